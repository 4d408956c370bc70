// The main window without a 3D view: saving modified files and its report, the close
// question, and the visibility list.
#include "TFormMain.h"

#include "DrawSettings.h"
#include "EnvironmentScope.h"
#include "MapDocument.h"
#include "ProgramSettings.h"
#include "ScriptedDialogService.h"
#include "Snapping.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"
#include "ToolDock.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

std::unique_ptr<TIPLFile> iplFile(const std::string& path, std::string_view text)
{
    auto file = std::make_unique<TIPLFile>();
    file->ReadText(text);
    file->FileName = path;
    return file;
}

// A hand edit of the settings file. The settings keep a file they have read until its size or
// time changes, and an edit of the same size within one tick of the clock looks unchanged: the
// edit is dated back so that it is always read.
void editSettingsFile(const std::string& path, const std::string& text)
{
    writeFile(path, text);
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) - std::chrono::hours(1));
}

class MainWindowFiles : public testing::Test {
protected:
    void SetUp() override
    {
        // A file whose folder is a regular file cannot be written, even by root.
        writeFile(m_dir.file("blocker"), "not a folder");
        auto files = std::make_unique<TGTAFileList>(programSettings().GameDir, programSettings().IsViceCity);
        auto ide = std::make_unique<TIDEFile>();
        ide->FileName = m_dir.file("town.ide");
        files->AddFile(std::move(ide));
        files->AddFile(iplFile(m_dir.file("town.ipl"), "inst\n10, house, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1\nend\n"));
        files->AddFile(iplFile(m_dir.file("blocker/docks.ipl"), "inst\n11, crane, 4, 5, 6, 1, 1, 1, 0, 0, 0, 1\nend\n"));
        m_files = files.get();
        m_main.SetFileList(std::move(files));
        m_main.RebuildVisibleList();
    }

    TGTASFile& town() { return *m_files->File(1); }
    TGTASFile& docks() { return *m_files->File(2); }

    TempDir m_dir;
    GameSettingsScope m_settings{m_dir.path().string() + "/", true};
    ScriptedDialogService m_dialogs;
    TFormMain m_main;
    TGTAFileList* m_files = nullptr;
};

TEST_F(MainWindowFiles, SavingReportsSavedAndFailedFilesInOneErrorMessage)
{
    town().Modified = true;
    docks().Modified = true;
    m_main.ActionSaveModified->setEnabled(true);
    m_main.ActionSaveModified->trigger();

    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(m_dialogs.messages[0].text,
              QString("SUCCESS: The following files saved successfully:\n\n%1\n"
                      "ERROR: The following files failed to save:\n"
                      "These could be read only, or in use by another program!\n\n%2")
                  .arg(QString::fromStdString(town().FileName), QString::fromStdString(docks().FileName)));
    EXPECT_FALSE(town().Modified);
    EXPECT_TRUE(docks().Modified) << "a failed file is retried by the next save";
    EXPECT_NE(readFile(town().FileName).find("10, house, 1, 2, 3"), std::string::npos);
    EXPECT_TRUE(m_main.ActionSaveModified->isEnabled()) << "the failed file can be saved again";
    m_main.ActionSaveModified->trigger();
    ASSERT_EQ(m_dialogs.messages.size(), 2u);
    EXPECT_TRUE(m_dialogs.messages[1].text.startsWith("ERROR: The following files failed to save:"));
}

TEST_F(MainWindowFiles, SavingOnlyWritableFilesIsAnInformation)
{
    town().Modified = true;
    m_main.ActionSaveModified->setEnabled(true);
    m_main.ActionSaveModified->trigger();
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(m_dialogs.messages[0].text, "SUCCESS: The following files saved successfully:\n\n"
                                              + QString::fromStdString(town().FileName));
    EXPECT_FALSE(m_main.ActionSaveModified->isEnabled());
}

TEST_F(MainWindowFiles, TheCloseQuestionHasThreeAnswers)
{
    // Nothing modified: no question.
    EXPECT_TRUE(m_main.close());
    EXPECT_TRUE(m_dialogs.messages.empty());

    town().Modified = true;
    m_main.ActionSaveModified->setEnabled(true);
    m_dialogs.answers = {DialogAnswer::Cancel};
    EXPECT_FALSE(m_main.close());
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text, "Do you want to save changes?");
    EXPECT_EQ(m_dialogs.messages[0].buttons, DialogButtons::YesNoCancel);

    m_dialogs.answers = {DialogAnswer::No};
    EXPECT_TRUE(m_main.close());
    EXPECT_TRUE(town().Modified);
    EXPECT_FALSE(std::filesystem::exists(town().FileName));

    m_dialogs.answers = {DialogAnswer::Yes};
    EXPECT_TRUE(m_main.close());
    EXPECT_FALSE(town().Modified);
    EXPECT_TRUE(std::filesystem::exists(town().FileName));
}

TEST_F(MainWindowFiles, YesWithAFileThatCannotBeSavedKeepsTheWindowOpen)
{
    docks().Modified = true;
    m_main.ActionSaveModified->setEnabled(true);
    m_dialogs.answers = {DialogAnswer::Yes};
    // The save report is an error; the changes of that file are not dropped by closing.
    EXPECT_FALSE(m_main.close());
    EXPECT_TRUE(docks().Modified);
    EXPECT_TRUE(m_main.ActionSaveModified->isEnabled());
}

TEST_F(MainWindowFiles, YesSavesModifiedFilesEvenWhileTheSaveActionIsDisabled)
{
    // A file an editor created is modified before any edit enabled the action.
    town().Modified = true;
    ASSERT_FALSE(m_main.ActionSaveModified->isEnabled());
    m_dialogs.answers = {DialogAnswer::Yes};
    EXPECT_TRUE(m_main.close());
    EXPECT_FALSE(town().Modified);
    EXPECT_TRUE(std::filesystem::exists(town().FileName));
}

TEST_F(MainWindowFiles, YesWithOnlyTheDatFileModifiedSavesItAndCloses)
{
    std::filesystem::create_directories(m_dir.file("data"));
    m_files->DatLines = {"IDE DATA\\MAPS\\TOWN.IDE", "IPL DATA\\MAPS\\TOWN.IPL"};
    m_files->DatModified = true;
    m_dialogs.answers = {DialogAnswer::Yes};
    EXPECT_TRUE(m_main.close());
    EXPECT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(readFile(m_dir.file("data/gta_vc.dat")), "IDE DATA\\MAPS\\TOWN.IDE\r\nIPL DATA\\MAPS\\TOWN.IPL\r\n");
    EXPECT_FALSE(m_files->DatModified);
}

TEST_F(MainWindowFiles, TheVisibilityListHasOneRowPerIPLFile)
{
    ASSERT_EQ(m_main.ChkListVisible->count(), 2);
    EXPECT_EQ(m_main.VisibleRows(), (std::vector<int>{1, 2}));
    EXPECT_EQ(m_main.ChkListVisible->item(0)->text().toStdString(), town().FileName);

    // Cubes mode: a check takes effect at once, without a loading pass or a question.
    programSettings().LoadModels = false;
    m_main.ChkListVisible->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(docks().Visible);
    EXPECT_FALSE(town().Visible);
    EXPECT_FALSE(m_main.LoadingPending());
    m_main.BtnVisCheckAll->click();
    EXPECT_TRUE(town().Visible);
    EXPECT_TRUE(m_dialogs.messages.empty());
    m_main.BtnVisUnCheckAll->click();
    EXPECT_FALSE(town().Visible);
    EXPECT_FALSE(docks().Visible);
    EXPECT_EQ(m_main.ChkListVisible->item(0)->checkState(), Qt::Unchecked);
}

// The visibility list and the save action follow the document, whichever window changed it.
TEST_F(MainWindowFiles, TheVisibilityListAndTheSaveActionFollowTheDocument)
{
    MapDocument& document = *m_main.Document();
    auto added = iplFile(m_dir.file("pier.ipl"), "inst\n12, boat, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n");
    added->Modified = true; // a new file, written by the next save
    document.addFile(std::move(added));
    ASSERT_EQ(m_main.ChkListVisible->count(), 3);
    EXPECT_TRUE(m_main.ActionSaveModified->isEnabled()) << "a new file waits for its first save";

    document.showFile(3);
    EXPECT_EQ(m_main.ChkListVisible->item(2)->checkState(), Qt::Checked);
    document.removeFile(3);
    EXPECT_EQ(m_main.VisibleRows(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(m_main.ActionSaveModified->isEnabled()) << "the only modified file left";

    // A whole-file change (a validation run with fixes) marks its files like any other step.
    document.changeFiles(QStringLiteral("Validation Fixes"), [this] {
        static_cast<TIPLFile&>(town()).Inst.Items[0].PosX = 5;
        town().Modified = true;
        return std::vector<int>{1};
    });
    EXPECT_TRUE(m_main.ActionSaveModified->isEnabled());
    document.undoStack().undo();
    EXPECT_FALSE(town().Modified);
    EXPECT_FALSE(m_main.ActionSaveModified->isEnabled());
}

TEST_F(MainWindowFiles, SelectAllInModelsModeAsksFirst)
{
    programSettings().LoadModels = true;
    m_dialogs.answers = {DialogAnswer::No};
    m_main.BtnVisCheckAll->click();
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text, "This operation might take a while, the mapper runs far faster viewing a few "
                                          "files instead of everything. Continue?");
    EXPECT_EQ(m_dialogs.messages[0].buttons, DialogButtons::YesNo);
    EXPECT_FALSE(town().Visible);
    EXPECT_EQ(m_main.ChkListVisible->item(0)->checkState(), Qt::Unchecked);

    m_dialogs.answers = {DialogAnswer::Yes};
    m_main.BtnVisCheckAll->click();
    EXPECT_TRUE(town().Visible);
    EXPECT_TRUE(docks().Visible);
}


// Snapping's check box and step boxes on the editing page: a step that is not a positive
// number keeps the one before; all three are kept for the next run.
TEST(MainWindowViewOptions, SnappingAndItsStepsAreKeptForTheNextRun)
{
    TempDir dir;
    const EnvironmentScope file("QUOX_SETTINGS_FILE", QByteArray::fromStdString(dir.file("settings.ini")));
    const SnapSettings saved = snapSettings();
    const auto type = [](QLineEdit* box, const char* text) {
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    };
    {
        TFormMain main;
        auto* snap = main.findChild<QCheckBox*>("ChkSnap");
        auto* grid = main.findChild<QLineEdit*>("EditSnapGrid");
        auto* angle = main.findChild<QLineEdit*>("EditSnapAngle");
        ASSERT_TRUE(snap && grid && angle);
        EXPECT_FALSE(snap->isChecked());
        EXPECT_EQ(grid->text(), "1");
        EXPECT_EQ(angle->text(), "15");
        snap->click();
        EXPECT_TRUE(snapSettings().Enabled);
        struct Typed {
            QLineEdit* box;
            const char* text;
            const char* shown;
        };
        for (const Typed& typed : {Typed{grid, "2.5", "2.5"}, Typed{grid, "2,5", "2.5"}, Typed{grid, "0", "2.5"},
                                   Typed{angle, "-15", "15"}, Typed{angle, "abc", "15"}, Typed{angle, "22.5", "22.5"}}) {
            type(typed.box, typed.text);
            EXPECT_EQ(typed.box->text(), typed.shown) << typed.text;
        }
        EXPECT_EQ(snapSettings().GridStep, 2.5f);
        EXPECT_EQ(snapSettings().AngleStep, 22.5f);
    }
    const std::string text = readFile(dir.file("settings.ini"));
    for (const char* line : {"Snap=1", "GridStep=2.5", "AngleStep=22.5"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    snapSettings() = {};
    {
        TFormMain main;
        EXPECT_TRUE(main.findChild<QCheckBox*>("ChkSnap")->isChecked());
        EXPECT_EQ(main.findChild<QLineEdit*>("EditSnapGrid")->text(), "2.5");
        EXPECT_EQ(main.findChild<QLineEdit*>("EditSnapAngle")->text(), "22.5");
        EXPECT_EQ(snapSettings().GridStep, 2.5f);
        EXPECT_EQ(snapSettings().AngleStep, 22.5f);
    }
    editSettingsFile(dir.file("settings.ini"), "[Editing]\nSnap=1\nGridStep=-1\nAngleStep=1e9\n");
    {
        TFormMain main;
        EXPECT_EQ(snapSettings().GridStep, 1.0f) << "unusable steps start from their defaults";
        EXPECT_EQ(snapSettings().AngleStep, 15.0f);
    }
    snapSettings() = saved;
}

// The actions that show the tool windows: each hidden until the load sequence hands over its
// window, then following the window however it is shown; the menu items follow the actions.
TEST(MainWindowViewOptions, AsInGameAndItsDrawDistanceAreKeptForTheNextRun)
{
    TempDir dir;
    const EnvironmentScope file("QUOX_SETTINGS_FILE", QByteArray::fromStdString(dir.file("settings.ini")));
    const DrawSettings saved = drawSettings();
    {
        TFormMain main;
        auto* asInGame = main.findChild<QRadioButton*>("ComboLodItem3");
        ASSERT_NE(asInGame, nullptr);
        EXPECT_EQ(asInGame->text(), "As In Game");
        asInGame->click();
        EXPECT_EQ(drawSettings().LodChoice, LodChoiceAsInGame);

        auto* slider = main.findChild<QSlider*>("TrackDrawDistance");
        auto* label = main.findChild<QLabel*>("LblDrawDistance");
        ASSERT_TRUE(slider && label);
        EXPECT_EQ(drawSettings().DrawDistanceScale, 1.0f) << "x1 without a saved choice";
        EXPECT_EQ(label->text(), QString::fromUtf8("\u00d71.00"));
        slider->setValue(slider->minimum());
        EXPECT_EQ(drawSettings().DrawDistanceScale, 0.25f);
        slider->setValue(slider->maximum());
        EXPECT_EQ(drawSettings().DrawDistanceScale, 4.0f);
        slider->setValue(7);
        EXPECT_EQ(drawSettings().DrawDistanceScale, 1.75f);
        EXPECT_EQ(label->text(), QString::fromUtf8("\u00d71.75"));
    }
    EXPECT_NE(readFile(dir.file("settings.ini")).find("DrawDistance=1.75"), std::string::npos);
    drawSettings().DrawDistanceScale = 1;
    {
        TFormMain main;
        EXPECT_EQ(main.findChild<QSlider*>("TrackDrawDistance")->value(), 7);
        EXPECT_EQ(drawSettings().DrawDistanceScale, 1.75f);
    }
    // A value a hand edit broke, or one outside the slider, starts at x1 again.
    for (const char* text : {"DrawDistance=1,75", "DrawDistance=9", "DrawDistance=nan"}) {
        editSettingsFile(dir.file("settings.ini"), std::string("[View]\n") + text + "\n");
        TFormMain main;
        EXPECT_EQ(drawSettings().DrawDistanceScale, 1.0f) << text;
    }
    drawSettings() = saved;
}

TEST(MainWindowToolWindows, ActionsAppearWithTheirWindowsAndFollowThem)
{
    TFormMain main;
    main.show();
    struct Case {
        ToolWindow window;
        const char* action;
        const char* caption;
        const char* shortcut;
        const char* menuItem;
    };
    const Case cases[] = {
        {ToolWindow::ItemEditor, "ActionViewEditor", "Item &Editor", "Alt+0", "ViewEditorItem"},
        {ToolWindow::ExtraView, "ActionViewExtra", "Second &Display", "Alt+1", "ViewExtraItem"},
        {ToolWindow::TextureView, "ActionViewTexture", "&Texture Display", "Alt+2", "ViewTextureItem"},
        {ToolWindow::DATEditor, "ActionViewDAT", "&DAT Editor", "Alt+3", "DATEditor1"},
        {ToolWindow::IPLEditor, "ActionViewIPL", "View Item Instance Editor", "", "ViewIPLItem"},
        {ToolWindow::IDEEditor, "ActionViewIDE", "View Object Definition Editor", "", "ViewIDEItem"},
        {ToolWindow::ArchiveEditor, "ActionViewArchive", "View Archive Editor", "", "ViewArchiveItem"},
        {ToolWindow::Validate, "ActionValidateAll", "&Validate All Files", "Ctrl+F", "FileValidateAll"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(main.ActionOf(c.window), nullptr) << c.action << ": no window yet";
        QAction* item = main.findChild<QAction*>(c.menuItem);
        ASSERT_NE(item, nullptr) << c.menuItem;
        EXPECT_FALSE(item->isVisible());

        auto* window = new QWidget(nullptr, Qt::Tool);
        window->setWindowTitle("A window whose title changes");
        main.SetToolWindow(c.window, window);
        QAction* action = main.findChild<QAction*>(c.action);
        ASSERT_NE(action, nullptr) << c.action;
        EXPECT_EQ(action, main.ActionOf(c.window));
        EXPECT_EQ(action, main.DockOf(window)->toggleViewAction()) << "one action: the dock's own";
        window->setWindowTitle("Changed");
        EXPECT_EQ(action->text(), c.caption);
        EXPECT_EQ(action->shortcut(), QKeySequence(c.shortcut)) << c.action;
        EXPECT_TRUE(item->isVisible());
        EXPECT_TRUE(item->text().startsWith(c.caption));

        action->trigger();
        EXPECT_TRUE(window->isVisible()) << c.action;
        EXPECT_TRUE(action->isChecked());
        window->hide(); // closed by a button of its own
        EXPECT_FALSE(action->isChecked()) << c.action;
        window->show(); // shown by another window, as a pick shows the item editor
        EXPECT_TRUE(window->isVisible()) << c.action;
        EXPECT_TRUE(action->isChecked()) << c.action;
        EXPECT_TRUE(item->isChecked()) << c.menuItem;
        item->trigger();
        EXPECT_FALSE(window->isVisible()) << c.menuItem;
        EXPECT_FALSE(action->isChecked());
        main.DockOf(window)->close(); // by the dock's own close button
        EXPECT_FALSE(action->isChecked());
        item->trigger();
        EXPECT_TRUE(window->isVisible()) << c.menuItem;
    }

    // The About window is a window of its own; its action shows and hides it.
    EXPECT_FALSE(main.ActionHelpAbout->isVisible());
    auto about = std::make_unique<QWidget>(nullptr, Qt::Dialog);
    main.SetToolWindow(ToolWindow::About, about.get());
    EXPECT_TRUE(main.findChild<QAction*>("HelpAboutItem")->isVisible());
    main.ActionHelpAbout->trigger();
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->isWindow());
    main.ActionHelpAbout->trigger();
    EXPECT_FALSE(about->isVisible());

    for (const char* name : {"FileSaveItem", "FileExitItem", "HelpHelpItem"})
        EXPECT_NE(main.findChild<QAction*>(name), nullptr) << name;
    EXPECT_EQ(main.findChild<QAction*>("FileSaveItem")->isEnabled(), main.ActionSaveModified->isEnabled());
    main.ActionSaveModified->setEnabled(true);
    EXPECT_TRUE(main.findChild<QAction*>("FileSaveItem")->isEnabled());
}

// The caption of the active tab among the main window's tabbed docks.
QString activeDockTab(const TFormMain& main)
{
    QCoreApplication::processEvents();
    for (const QTabBar* bar : main.findChildren<QTabBar*>()) {
        if (bar->isVisible() && bar->count() > 1 && !bar->parentWidget()->inherits("QTabWidget"))
            return bar->tabText(bar->currentIndex());
    }
    return {};
}

TEST(MainWindowToolWindows, EditorsDockAsTabsAndTheLastDockedIsActive)
{
    TFormMain main;
    main.show();
    auto* ide = new QWidget(&main, Qt::Tool);
    ide->setWindowTitle("IDE");
    auto* ipl = new QWidget(&main, Qt::Tool);
    ipl->setWindowTitle("IPL");
    main.SetToolWindow(ToolWindow::IDEEditor, ide);
    main.SetToolWindow(ToolWindow::IPLEditor, ipl);
    main.DockEditor(ide);
    main.DockEditor(ipl);
    QDockWidget* ideDock = main.DockOf(ide);
    QDockWidget* iplDock = main.DockOf(ipl);
    EXPECT_EQ(main.tabifiedDockWidgets(ideDock), QList<QDockWidget*>{iplDock});
    EXPECT_EQ(main.dockWidgetArea(iplDock), Qt::LeftDockWidgetArea);
    EXPECT_FALSE(iplDock->isFloating());
    EXPECT_EQ(ideDock->windowTitle(), "IDE") << "the tab is named after the window";
    EXPECT_EQ(activeDockTab(main), "IPL");
    EXPECT_TRUE(main.ActionViewIPL->isChecked());
    EXPECT_TRUE(main.ActionViewIDE->isChecked()) << "a tab behind another is still open";

    // The action closes and brings back the editor's tab.
    main.ActionViewIPL->trigger();
    EXPECT_FALSE(iplDock->isVisible());
    EXPECT_FALSE(main.ActionViewIPL->isChecked());
    QCoreApplication::processEvents();
    EXPECT_TRUE(ide->isVisible()) << "the tab left comes to the front";
    main.ActionViewIPL->trigger();
    EXPECT_TRUE(ipl->isVisible());
    main.DockOf(ide)->raise();
    EXPECT_EQ(activeDockTab(main), "IDE");
    ipl->raise(); // a window raising itself comes to the front of its tabs
    EXPECT_EQ(activeDockTab(main), "IPL");
    EXPECT_TRUE(main.ActionViewIPL->isChecked());

    // The panel button hides the editors' tabs together and brings them back.
    main.BtnHideShowEditors->click();
    EXPECT_FALSE(ideDock->isVisible());
    EXPECT_FALSE(iplDock->isVisible());
    EXPECT_FALSE(main.ActionViewIDE->isChecked());
    main.BtnHideShowEditors->click();
    EXPECT_TRUE(main.ActionViewIDE->isChecked());
    EXPECT_TRUE(main.ActionViewIPL->isChecked());
}

}
