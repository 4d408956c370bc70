// Test main for programs that drive Qt widgets and the 3D view: one QApplication with the
// program's OpenGL surface defaults for the whole run. Run under an X server (xvfb-run).
#include "ViewSurfaceFormat.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    setViewSurfaceDefaults();
    QApplication app(argc, argv);
    // Settings the windows keep (the window layout, the draw distance) go to a file of this
    // run, not to the user's.
    const QTemporaryDir settingsDir;
    if (qEnvironmentVariableIsEmpty("QUOX_SETTINGS_FILE"))
        qputenv("QUOX_SETTINGS_FILE", (settingsDir.path() + "/settings.ini").toLocal8Bit());
    const int result = RUN_ALL_TESTS();
#if defined(__SANITIZE_ADDRESS__)
    // Check for leaks now, while the driver's libraries are still loaded (see GLTestMain).
    __lsan_do_leak_check();
#endif
    return result;
}
