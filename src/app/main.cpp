// Quox Mapper: the start-up window, then the load sequence, then the main window's loop.
#include "DialogService.h"
#include "LoadSequence.h"
#include "ProgramWindows.h"
#include "TFormMain.h"
#include "TFormStartup.h"
#include "ViewSurfaceFormat.h"

#include <QApplication>

int main(int argc, char** argv)
{
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
    main->showMaximized();
    main->raise();
    main->activateWindow();
    const int result = QApplication::exec();
    DestroyProgramWindows();
    return result;
}
