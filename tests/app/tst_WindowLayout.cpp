// The tool windows as docks of the main window in the loaded program: each floats at its
// first place, docks, tabs with the editors, closes and reopens through its action; the
// layout comes back at the next launch, inside the present screen; and it can be reset.
#include "LoadSequence.h"

#include "DemoGameInCubes.h"
#include "EnvironmentScope.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "ScriptedDialogService.h"
#include "TFormMain.h"
#include "TestFiles.h"
#include "ToolDock.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

class WindowLayoutTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(chooseDemoGameInCubes(m_game, m_settings), "");
        launch();
    }

    void TearDown() override
    {
        if (main)
            main->close();
        DestroyProgramWindows();
    }

    // Loads the game and shows the main window, as the program does.
    void launch()
    {
        ASSERT_TRUE(RunLoadSequence());
        main = programWindows().Main;
        if (!main->LayoutFromLastRun())
            main->setGeometry(20, 40, 1200, 800);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
    }

    // Closes the program and starts it again on the same settings.
    void relaunch()
    {
        main->close();
        DestroyProgramWindows();
        main = nullptr;
        launch();
    }

    ToolDock* dockOf(ToolWindow which) const { return main->DockOf(main->ToolWindowOf(which)); }

    QRect viewRect() const { return {main->DrawPanel->mapToGlobal(QPoint(0, 0)), main->DrawPanel->size()}; }

    TempDir m_game;
    const EnvironmentScope m_settingsFile{"QUOX_SETTINGS_FILE", QByteArray::fromStdString(m_game.file("settings.ini"))};
    std::optional<GameSettingsScope> m_settings;
    ScriptedDialogService dialogs;
    TFormMain* main = nullptr;
};

TEST_F(WindowLayoutTest, EachToolWindowFloatsAtItsPlaceDocksTabsClosesAndReopensThroughItsAction)
{
    struct Case {
        ToolWindow window;
        bool right; // first placed against the view's right edge, else its left
        bool bottom;
    };
    const Case cases[] = {
        {ToolWindow::ItemEditor, true, true},   {ToolWindow::ExtraView, false, true},
        {ToolWindow::TextureView, false, false}, {ToolWindow::DATEditor, true, false},
        {ToolWindow::Validate, true, false},
    };
    QDockWidget* ipl = dockOf(ToolWindow::IPLEditor);
    for (const Case& c : cases) {
        ToolDock* dock = dockOf(c.window);
        ASSERT_NE(dock, nullptr);
        QAction* action = main->ActionOf(c.window);
        SCOPED_TRACE(action->objectName().toStdString());
        EXPECT_FALSE(dock->isVisible()) << "closed at the first launch";
        action->trigger();
        EXPECT_TRUE(dock->isVisible());
        EXPECT_TRUE(dock->isFloating());
        EXPECT_TRUE(action->isChecked());
        const QRect frame = dock->frameGeometry();
        const QRect view = viewRect();
        if (c.right)
            EXPECT_EQ(frame.right(), view.right());
        else
            EXPECT_EQ(frame.left(), view.left());
        if (c.bottom) {
            EXPECT_EQ(frame.bottom(), view.bottom());
        } else {
            EXPECT_GE(frame.top(), view.top());
            EXPECT_LT(frame.top() - view.top(), 60) << "at the view's top, at most below its button";
        }

        // Docked to the right, then tabbed with the IPL editor, then floating again.
        dock->setFloating(false);
        main->addDockWidget(Qt::RightDockWidgetArea, dock);
        EXPECT_EQ(main->dockWidgetArea(dock), Qt::RightDockWidgetArea);
        EXPECT_TRUE(action->isChecked());
        main->tabifyDockWidget(ipl, dock);
        EXPECT_TRUE(main->tabifiedDockWidgets(ipl).contains(dock));
        EXPECT_TRUE(action->isChecked()) << "tabbed is still open";
        dock->setFloating(true);
        dock->move(view.topLeft() + QPoint(30, 30));
        const QPoint movedTo = dock->pos();

        // Closed and reopened: where the user left it.
        action->trigger();
        EXPECT_FALSE(dock->isVisible());
        EXPECT_FALSE(dock->widget()->isVisible());
        EXPECT_FALSE(action->isChecked());
        action->trigger();
        EXPECT_TRUE(dock->widget()->isVisible());
        EXPECT_TRUE(action->isChecked());
        EXPECT_EQ(dock->pos(), movedTo);
        dock->close();
        EXPECT_FALSE(action->isChecked());
    }
}

TEST_F(WindowLayoutTest, TheLayoutComesBackAtTheNextLaunch)
{
    ToolDock* dat = dockOf(ToolWindow::DATEditor);
    main->ActionViewDAT->trigger();
    dat->setFloating(false);
    main->addDockWidget(Qt::BottomDockWidgetArea, dat);
    ToolDock* texture = dockOf(ToolWindow::TextureView);
    main->ActionViewTexture->trigger();
    texture->setFloating(false);
    main->tabifyDockWidget(dockOf(ToolWindow::IPLEditor), texture);
    ToolDock* item = dockOf(ToolWindow::ItemEditor);
    main->ActionViewEditor->trigger();
    item->move(200, 150);
    main->ActionViewArchive->trigger(); // its tab closed
    main->setGeometry(10, 30, 1260, 900);
    QCoreApplication::processEvents();
    // The tool panel made wider than it starts; the view takes what is left.
    QList<int> sizesSet = main->MainSplitter->sizes();
    sizesSet[0] -= 70;
    sizesSet[2] += 70;
    main->MainSplitter->setSizes(sizesSet);
    sizesSet = main->MainSplitter->sizes();
    const QRect geometry = main->geometry();
    const int editorsWidth = texture->width(); // the front tab of the editors' docks

    relaunch();
    QCoreApplication::processEvents();
    EXPECT_EQ(main->geometry(), geometry);
    EXPECT_EQ(main->MainSplitter->sizes().at(2), sizesSet.at(2)) << "the tool panel's width";
    EXPECT_EQ(dockOf(ToolWindow::TextureView)->width(), editorsWidth) << "the editors' docks keep their width";
    dat = dockOf(ToolWindow::DATEditor);
    EXPECT_TRUE(dat->isVisible());
    EXPECT_FALSE(dat->isFloating());
    EXPECT_EQ(main->dockWidgetArea(dat), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(main->ActionViewDAT->isChecked());
    texture = dockOf(ToolWindow::TextureView);
    EXPECT_TRUE(main->tabifiedDockWidgets(dockOf(ToolWindow::IPLEditor)).contains(texture));
    EXPECT_TRUE(main->ActionViewTexture->isChecked());
    item = dockOf(ToolWindow::ItemEditor);
    EXPECT_TRUE(item->isFloating());
    EXPECT_EQ(item->pos(), QPoint(200, 150)) << "where it was, not at its first place";
    EXPECT_FALSE(dockOf(ToolWindow::ArchiveEditor)->isVisible());
    EXPECT_FALSE(main->ActionViewArchive->isChecked());
    EXPECT_FALSE(dockOf(ToolWindow::Validate)->isVisible());

    // A window never shown before still goes to its first place when first shown.
    main->ActionValidateAll->trigger();
    const QRect frame = dockOf(ToolWindow::Validate)->frameGeometry();
    EXPECT_EQ(frame.right(), viewRect().right());
}

TEST_F(WindowLayoutTest, TheFirstRunLayoutComesBackUnchanged)
{
    QCoreApplication::processEvents();
    const int editorsWidth = dockOf(ToolWindow::IPLEditor)->width();
    const QList<int> splitter = main->MainSplitter->sizes();
    relaunch();
    QCoreApplication::processEvents();
    EXPECT_EQ(dockOf(ToolWindow::IPLEditor)->width(), editorsWidth);
    EXPECT_EQ(main->MainSplitter->sizes(), splitter);
}

TEST_F(WindowLayoutTest, ALayoutSavedOnABiggerScreenComesBackInsideThisOne)
{
    const QRect screen = main->screen()->availableGeometry();
    main->setGeometry(screen.width() / 2, screen.height() / 2, screen.width() * 2, screen.height() * 2);
    ToolDock* item = dockOf(ToolWindow::ItemEditor);
    main->ActionViewEditor->trigger();
    item->move(screen.width() + 400, screen.height() + 300);
    QCoreApplication::processEvents();

    relaunch();
    EXPECT_TRUE(screen.contains(main->frameGeometry())) << "main window";
    item = dockOf(ToolWindow::ItemEditor);
    EXPECT_TRUE(item->isVisible());
    EXPECT_TRUE(screen.contains(item->frameGeometry())) << "floating item editor";
}

TEST_F(WindowLayoutTest, ResetWindowLayoutReturnsToTheFirstRunLayout)
{
    ToolDock* ipl = dockOf(ToolWindow::IPLEditor);
    ToolDock* ide = dockOf(ToolWindow::IDEEditor);
    ToolDock* archive = dockOf(ToolWindow::ArchiveEditor);
    ToolDock* dat = dockOf(ToolWindow::DATEditor);
    ipl->setFloating(true);
    ipl->move(300, 300);
    main->ActionViewIDE->trigger();
    main->ActionViewDAT->trigger();
    dat->setFloating(false);
    main->addDockWidget(Qt::BottomDockWidgetArea, dat);
    main->ActionViewHistory->trigger();
    main->PageControl1->hide();

    main->ActionResetLayout->trigger();
    for (ToolDock* editor : {ipl, ide, archive}) {
        EXPECT_TRUE(editor->isVisible()) << editor->objectName().toStdString();
        EXPECT_FALSE(editor->isFloating());
        EXPECT_EQ(main->dockWidgetArea(editor), Qt::LeftDockWidgetArea);
    }
    EXPECT_EQ(main->tabifiedDockWidgets(archive).size(), 2);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ipl->visibleRegion().isEmpty()) << "the IPL editor's tab is in front";
    EXPECT_TRUE(ide->visibleRegion().isEmpty());
    EXPECT_FALSE(dat->isVisible());
    EXPECT_FALSE(main->ActionViewDAT->isChecked());
    EXPECT_FALSE(main->ActionViewHistory->isChecked());
    EXPECT_TRUE(main->PageControl1->isVisible());

    // Shown again, the DAT editor floats at its first place.
    main->ActionViewDAT->trigger();
    EXPECT_TRUE(dat->isFloating());
    EXPECT_EQ(dat->frameGeometry().right(), viewRect().right());
    EXPECT_EQ(dat->frameGeometry().top(), viewRect().top());
}

} // namespace
