// The load sequence on the demo game: its stages in order, the game directory step with and
// without the registry value, and the folder picker's rule.
#include "LoadSequence.h"

#include "DemoGame.h"
#include "GameRegistry.h"
#include "LoadProgress.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "ScriptedDialogService.h"
#include "TFormEditorArchive.h"
#include "TFormEditorItem.h"
#include "TFormExtraView.h"
#include "TFormMain.h"
#include "ToolDock.h"
#include "TFormTextureView.h"
#include "TIDEFile.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TestFiles.h"
#include "Twnd_imgfilepicker.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Records the stage texts with the overall bar's position when each was shown.
class StageRecorder : public LoadProgress {
public:
    struct Stage {
        std::string text;
        int overall;
    };
    std::vector<Stage> stages;
    int overall = 0;
    int overallMax = 0;
    bool pickerBeforeGameDirectory = false;

    void SetOverallMax(int n) override { overallMax = n; }
    void StepOverall() override { ++overall; }
    void ResetOverall() override { overall = 0; }
    void SetCurrentText(std::string_view text) override
    {
        stages.push_back({std::string(text), overall});
        if (text == "Retrieving GTA Path")
            pickerBeforeGameDirectory = programWindows().ImgFilePicker != nullptr;
    }
};

class LoadSequence : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_EQ(writeDemoGame(m_game.path().string(), DemoGameOptions{}, error), 0) << error;
        m_gameDir = m_game.path().string() + "/";
        programSettings().LoadModels = false;
        programSettings().LoadTextures = true;
        programSettings().SkipTextures = false;
        setenv("QUOX_REGISTRY_FILE", m_registry.file("registry.ini").c_str(), 1);
    }
    void TearDown() override
    {
        DestroyProgramWindows();
        unsetenv("QUOX_REGISTRY_FILE");
    }

    TempDir m_game;
    TempDir m_registry;
    std::string m_gameDir;
    GameSettingsScope m_settings{"", true};
    ScriptedDialogService m_dialogs;
};

TEST_F(LoadSequence, RunsItsStagesInOrderAndFillsTheMainWindow)
{
    programSettings().GameDir = m_game.path().string(); // without the trailing separator
    StageRecorder recorder;
    ASSERT_TRUE(RunLoadSequence(&recorder));

    const std::vector<std::pair<std::string, int>> expected = {
        {"Retrieving GTA Path", 0},
        {"Initialising OpenGL Display", 1},
        {"Loading Models && Textures", 2},
        {"Loading IDE (Object Definition) Files", 3},
        {"Loading IPL (Object Instance) Files", 4},
        {"Executing Program", 5},
    };
    std::vector<std::pair<std::string, int>> stages;
    for (const auto& stage : recorder.stages)
        stages.emplace_back(stage.text, stage.overall);
    EXPECT_EQ(stages, expected);
    EXPECT_EQ(recorder.overallMax, 6);
    EXPECT_EQ(recorder.overall, 6) << "the overall bar stands at 6 of 6";
    EXPECT_EQ(programSettings().GameDir, m_gameDir);
    EXPECT_TRUE(m_dialogs.folderRequests.empty());

    TFormMain* main = programWindows().Main;
    ASSERT_NE(main, nullptr);
    ASSERT_NE(main->FileList(), nullptr);
    ASSERT_NE(main->ArchiveSet(), nullptr);
    EXPECT_GT(main->ArchiveSet()->DffCount, 30);
    int ideFiles = 0;
    int iplFiles = 0;
    for (const auto& file : main->FileList()->Files)
        (file->Kind == FileKind::IDE ? ideFiles : iplFiles) += 1;
    EXPECT_EQ(ideFiles, 5);
    EXPECT_EQ(main->ChkListVisible->count(), iplFiles);
    EXPECT_GE(iplFiles, 5);
    auto* editor = dynamic_cast<TFormEditorItem*>(programWindows().ItemEditor);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->ArchiveSet(), main->ArchiveSet()) << "the markers and pick buttons ask the game's archive";
    ASSERT_NE(programWindows().ImgFilePicker, nullptr);
    EXPECT_EQ(static_cast<QWidget*>(editor->ImgFilePicker()), programWindows().ImgFilePicker);
    EXPECT_TRUE(recorder.pickerBeforeGameDirectory) << "made with the settings window";
    EXPECT_NE(programWindows().View, nullptr);

    // The secondary model view, then the texture viewer, before the other tool windows.
    auto* extraView = dynamic_cast<TFormExtraView*>(main->ToolWindowOf(ToolWindow::ExtraView));
    auto* textureView = dynamic_cast<TFormTextureView*>(main->ToolWindowOf(ToolWindow::TextureView));
    ASSERT_NE(extraView, nullptr);
    ASSERT_NE(textureView, nullptr);
    const auto& made = programWindows().Created;
    const auto position = [&made](QWidget* window) { return std::find(made.begin(), made.end(), window) - made.begin(); };
    EXPECT_LT(position(extraView), position(textureView));
    EXPECT_LT(position(textureView), position(programWindows().DATEditor));
    EXPECT_TRUE(main->ActionViewExtra->isVisible());
    EXPECT_TRUE(main->ActionViewTexture->isVisible());
    // The model view shows its dictionary in the texture viewer.
    extraView->ShowDefinition(main->FileList()->IDEFile(0)->Objs.Items.at(0).ID, 0);
    EXPECT_NE(textureView->DictionaryIndex, -1);
    EXPECT_FALSE(textureView->FilenameValue->text().isEmpty());
    main->ActionViewTexture->trigger();
    EXPECT_TRUE(textureView->isVisible());
    EXPECT_TRUE(main->ActionViewTexture->isChecked());
    textureView->close();
    EXPECT_FALSE(main->ActionViewTexture->isChecked());
    QSignalSpy switched(main, &TFormMain::texturesSwitched);
    main->ChkTexture->click();
    ASSERT_EQ(switched.count(), 1);
    EXPECT_EQ(switched.at(0).at(0).toBool(), main->ChkTexture->isChecked());

    // Each window the sequence made has its action, following the window in the running
    // program (the main window shown): a selection shows the item editor and checks
    // "Item &Editor".
    main->show();
    EXPECT_TRUE(main->ActionViewEditor->isVisible());
    EXPECT_TRUE(main->ActionViewDAT->isVisible());
    EXPECT_TRUE(main->ActionHelpAbout->isVisible());
    EXPECT_FALSE(main->ActionViewEditor->isChecked());
    editor->SelectRecord(FileKind::IPL, SectionCode::PickedInst, 0, ideFiles);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(main->ActionViewEditor->isChecked());
    editor->BtnCancel->click();
    EXPECT_FALSE(main->ActionViewEditor->isChecked());
    main->ActionViewDAT->trigger();
    EXPECT_TRUE(programWindows().DATEditor->isVisible());
    EXPECT_TRUE(main->ActionViewDAT->isChecked());

    // The archive editor is a tab beside the view with the map file editors, listing the
    // game's archive.
    auto* archiveEditor = qobject_cast<TFormEditorArchive*>(main->ToolWindowOf(ToolWindow::ArchiveEditor));
    ASSERT_NE(archiveEditor, nullptr);
    ASSERT_NE(main->DockOf(archiveEditor), nullptr);
    EXPECT_TRUE(main->tabifiedDockWidgets(main->DockOf(archiveEditor)).contains(main->DockOf(programWindows().IPLEditor)));
    EXPECT_TRUE(main->ActionViewArchive->isVisible());
    EXPECT_TRUE(main->ActionViewArchive->isChecked());
    EXPECT_EQ(static_cast<int>(archiveEditor->EntryOrder.size()), main->ArchiveSet()->EntryCount());
}

TEST_F(LoadSequence, TheRegistryValueFindsTheGameWithoutAsking)
{
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::ViceCityKey, QString::fromStdString(m_gameDir)));
    ASSERT_TRUE(RunLoadSequence());
    EXPECT_TRUE(m_dialogs.folderRequests.empty());
    EXPECT_EQ(programSettings().GameDir, m_gameDir);
}

TEST_F(LoadSequence, WithoutARegistryValueThePickerAsksAndItsChoiceIsKept)
{
    // The models folder is not a game: the picker refuses it, as its disabled OK would.
    m_dialogs.folderChoices = {QString::fromStdString(m_game.file("models"))};
    EXPECT_FALSE(RunLoadSequence());
    ASSERT_EQ(m_dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(m_dialogs.folderRequests[0].title, "Please Select GTA Vice City Directory:");
    EXPECT_EQ(m_dialogs.refusedFolders.size(), 1u);
    ASSERT_NE(programWindows().Main, nullptr);
    EXPECT_EQ(programWindows().Main->FileList(), nullptr) << "nothing is loaded after a cancelled picker";
    DestroyProgramWindows();

    programSettings().GameDir.clear();
    m_dialogs.folderChoices = {QString::fromStdString(m_game.path().string())};
    ASSERT_TRUE(RunLoadSequence());
    EXPECT_EQ(programSettings().GameDir, m_gameDir);
    EXPECT_EQ(GameRegistry::readPath(GameRegistry::ViceCityKey).toStdString(), m_gameDir);
    DestroyProgramWindows();

    // The next start finds it through the registry value.
    programSettings().GameDir.clear();
    ASSERT_TRUE(RunLoadSequence());
    EXPECT_EQ(m_dialogs.folderRequests.size(), 2u);
    EXPECT_EQ(programSettings().GameDir, m_gameDir);
}

TEST_F(LoadSequence, TheGTA3FormOfTheDemoGameLoadsInModelsMode)
{
    TempDir gta3;
    std::string error;
    ASSERT_EQ(writeDemoGame(gta3.path().string(), DemoGameOptions{false, false}, error), 0) << error;
    programSettings().GameDir = gta3.path().string() + "/";
    programSettings().IsViceCity = false;
    programSettings().LoadModels = true;
    ASSERT_TRUE(RunLoadSequence());
    TFormMain* main = programWindows().Main;
    ASSERT_NE(main->FileList(), nullptr);
    EXPECT_GT(main->FileList()->Count(), 5);
    EXPECT_GT(main->ArchiveSet()->DffCount, 30);
    EXPECT_GT(main->ArchiveSet()->TxdCount, 10);
    EXPECT_TRUE(m_dialogs.folderRequests.empty());
}

TEST_F(LoadSequence, AGTA3GameIsAskedForByItsOwnTitle)
{
    programSettings().IsViceCity = false;
    EXPECT_FALSE(RunLoadSequence());
    ASSERT_EQ(m_dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(m_dialogs.folderRequests[0].title, "Please Select GTA III Directory:");
}

}
