// Quox Mapper: the start-up window, then the load sequence, then the main window's loop.
#include "DialogService.h"
#include "LoadSequence.h"
#include "ProgramVersion.h"
#include "ProgramWindows.h"
#include "TFormMain.h"
#include "TFormStartup.h"
#include "ViewSurfaceFormat.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before any window system is asked for, so that it works without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("quoxmapper %s\n", ProgramVersionText);
        return 0;
    }
    setViewSurfaceDefaults();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quox Mapper");
    installUserNoticeDialogs();

    if (!runStartupWindow())
        return 0;
    if (!RunLoadSequence()) {
        DestroyProgramWindows();
        return 0;
    }
    TFormMain* main = programWindows().Main;
    main->ShowInitialFiles();
    if (main->LayoutFromLastRun())
        main->show();
    else
        main->showMaximized();
    main->raise();
    main->activateWindow();
    const int result = QApplication::exec();
    DestroyProgramWindows();
    return result;
}
