// Where the program finds its own files, installed or not, and where windows are put: the
// first place of a floating tool window and a saved window brought inside the screen.
#include "ProgramFolders.h"
#include "TestFiles.h"
#include "WindowPlacement.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(ProgramFolders, AnInstalledProgramFindsItsFilesInTheSharedDataFolder)
{
    TempDir root;
    const QString base = QString::fromStdString(root.path().string());
    QDir().mkpath(base + "/build/src/app");
    writeFile(root.file("build/src/app/quoxmapper.hlp"), "# Help\n");
    QDir().mkpath(base + "/usr/bin");
    QDir().mkpath(base + "/usr/share/quoxmapper");
    writeFile(root.file("usr/share/quoxmapper/quoxmapper.hlp"), "# Help\n");
    QDir().mkpath(base + "/bare/bin");
    struct Case {
        const char* folder;
        bool installed;
        const char* help;
    };
    const Case cases[] = {
        {"/build/src/app", false, "/build/src/app/quoxmapper.hlp"}, // run from the build folder
        {"/usr/bin", true, "/usr/share/quoxmapper/quoxmapper.hlp"}, // installed
        {"/bare/bin", false, "/bare/bin/quoxmapper.hlp"},           // unpacked without help: beside it
    };
    for (const Case& c : cases) {
        const QString folder = base + c.folder;
        EXPECT_EQ(ProgramFolders::isInstalled(folder), c.installed) << c.folder;
        EXPECT_EQ(ProgramFolders::dataFile(folder, "quoxmapper.hlp"), base + c.help) << c.folder;
    }
    // A help file beside the program wins over an installed one.
    writeFile(root.file("usr/bin/quoxmapper.hlp"), "# Help\n");
    EXPECT_FALSE(ProgramFolders::isInstalled(base + "/usr/bin"));
}

TEST(WindowPlacement, FirstPlacesLieAtTheViewsCornersClampedAtZero)
{
    const QRect view(100, 50, 800, 600); // right 899, bottom 649
    const QSize frame(200, 150);
    struct Case {
        DockPlace place;
        QPoint at;
    };
    const Case cases[] = {
        {DockPlace::ViewTopRight, {700, 50}},
        {DockPlace::ViewTopRightBelowButton, {700, 80}},
        {DockPlace::ViewBottomRight, {700, 500}},
        {DockPlace::ViewTopLeftBelowButton, {100, 80}},
        {DockPlace::ViewBottomLeft, {100, 500}},
    };
    for (const Case& c : cases) {
        const QPoint at = firstFloatingPlace(c.place, view, 30, frame);
        EXPECT_EQ(at, c.at) << static_cast<int>(c.place);
        EXPECT_EQ(QRect(at, frame).right() == view.right(), c.at.x() == 700) << "flush with the view's edge";
    }
    // A window larger than the view does not go off the screen's top left.
    EXPECT_EQ(firstFloatingPlace(DockPlace::ViewBottomRight, QRect(0, 0, 100, 100), 0, QSize(300, 300)), QPoint(0, 0));
}

TEST(WindowPlacement, AWindowIsMovedAndShrunkInsideTheScreen)
{
    const QRect screen(0, 0, 1280, 1024);
    struct Case {
        QRect window;
        QRect fitted;
    };
    const Case cases[] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},     // inside: unchanged
        {{1000, 900, 800, 600}, {480, 424, 800, 600}},    // past the bottom right: moved back
        {{-300, -50, 800, 600}, {0, 0, 800, 600}},        // past the top left
        {{640, 512, 2560, 2048}, {0, 0, 1280, 1024}},     // from a screen twice as big
        {{200, 100, 400, 3000}, {200, 0, 400, 1024}},     // only too tall
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitInside(c.window, screen), c.fitted) << c.window.x() << "," << c.window.y();
    // A second screen to the right keeps its own coordinates.
    EXPECT_EQ(fitInside(QRect(3000, 10, 500, 500), QRect(1280, 0, 1920, 1080)), QRect(2700, 10, 500, 500));
}

} // namespace
