#include "DemoGame.h"
#include "EnvironmentScope.h"
#include "GameList.h"
#include "GameRegistry.h"
#include "ProgramSettings.h"
#include "ScriptedDialogService.h"
#include "TFormStartup.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A Vice City folder (holding "GTA-VC.EXE", in another letter case than the program looks
// for) and a GTA III folder, the game list and the registry in a fresh folder per test.
class StartupWindow : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        games = std::make_unique<TempDir>();
        writeFile(games->file("vice city/GTA-VC.EXE"), "");
        writeFile(games->file("gta3/gta3.exe"), "");
    }
    static void TearDownTestSuite() { games.reset(); }

    static std::string game(const std::string& name) { return games->file(name) + "/"; }

    void writeList(const std::string& text) { writeFile(gamesFile, text); }
    std::string writtenList() const { return readFile(gamesFile); }

    static void clickRow(QListWidget* list, int row)
    {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    static inline std::unique_ptr<TempDir> games;
    TempDir dir;
    const std::string gamesFile = dir.file("GAMES.TXT");
    EnvironmentScope gamesPath{"QUOX_GAMES_FILE", QByteArray::fromStdString(gamesFile)};
    EnvironmentScope registry{"QUOX_REGISTRY_FILE", QByteArray::fromStdString(dir.file("registry.ini"))};
    GameSettingsScope settings{"", true};
    ScriptedDialogService scripted;
};

} // namespace

TEST_F(StartupWindow, ShowsTheListAndAppliesTheFirstEntry)
{
    writeList(commaText({game("gta3"), "GTA 3"}) + "\r\n" + commaText({game("vice city"), "My VC"}) + "\r\n");
    TFormStartup form;
    form.show();

    ASSERT_EQ(form.box_games->count(), 2);
    EXPECT_EQ(form.box_games->item(0)->text(), QStringLiteral("GTA 3"));
    EXPECT_EQ(form.box_games->item(1)->text(), QStringLiteral("My VC"));
    EXPECT_EQ(form.box_games->currentRow(), 0);
    EXPECT_EQ(programSettings().GameDir, game("gta3"));
    EXPECT_EQ(programSettings().GameDescription, "GTA 3");
    EXPECT_FALSE(programSettings().IsViceCity);
    EXPECT_TRUE(programSettings().LoadModels);
    EXPECT_TRUE(programSettings().LoadTextures);
    EXPECT_FALSE(programSettings().SkipTextures);
    EXPECT_TRUE(programSettings().LaunchRequested);
    EXPECT_EQ(form.gamename->text(), QStringLiteral("GTA 3"));
    EXPECT_EQ(form.MemoryValue->text(), QStringLiteral("60 - 360 Mb"));
    EXPECT_EQ(form.MemoryLabel->text(), QStringLiteral("Approx Mem Usage:"));

    clickRow(form.box_games, 1);
    EXPECT_EQ(programSettings().GameDir, game("vice city"));
    EXPECT_EQ(programSettings().GameDescription, "My VC");
    EXPECT_TRUE(programSettings().IsViceCity);
    EXPECT_EQ(form.gamename->text(), QStringLiteral("My VC"));
    EXPECT_EQ(form.MemoryValue->text(), QStringLiteral("30 - 380 Mb"));
    EXPECT_TRUE(scripted.messages.empty());
}

TEST_F(StartupWindow, LevelOfDetailAndTexturesChangeTheSettingsAndTheEstimate)
{
    writeList(commaText({game("gta3"), "GTA 3"}) + "\r\n");
    TFormStartup form;
    form.show();
    auto* cubes = form.ModelGroup->findChild<QRadioButton*>("ModelGroupCubes");
    ASSERT_NE(cubes, nullptr);
    EXPECT_EQ(form.ModelGroup->title(), QStringLiteral("Level Of Detail"));

    QTest::mouseClick(cubes, Qt::LeftButton);
    EXPECT_FALSE(programSettings().LoadModels);
    EXPECT_EQ(form.MemoryValue->text(), QStringLiteral("60 - 210 Mb"));

    QTest::mouseClick(form.box_txd, Qt::LeftButton);
    EXPECT_FALSE(programSettings().LoadTextures);
    EXPECT_TRUE(programSettings().SkipTextures);
    EXPECT_EQ(form.MemoryValue->text(), QStringLiteral("60 Mb"));
}

TEST_F(StartupWindow, RenamingRewritesTheLineAndExitSavesIt)
{
    writeList(commaText({game("gta3"), "GTA 3"}) + "\r\n" + commaText({game("vice city"), "VC"}) + "\r\n");
    TFormStartup form;
    form.show();
    clickRow(form.box_games, 1);
    form.gamename->selectAll();
    QTest::keyClicks(form.gamename, QStringLiteral("VC, modded"));
    EXPECT_EQ(form.box_games->item(1)->text(), QStringLiteral("VC, modded"));

    QTest::mouseClick(form.ExitButton, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(programSettings().LaunchRequested);
    EXPECT_EQ(writtenList(), commaText({game("gta3"), "GTA 3"}) + "\r\n\"" + game("vice city") +
                                 "\",\"VC, modded\"\r\n");
}

TEST_F(StartupWindow, WithoutAFileTheRegistryFillsTheListAndHidingWritesIt)
{
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::GTA3Key, QString::fromStdString(game("gta3"))));
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::ViceCityKey, QString::fromStdString(game("vice city"))));
    TFormStartup form;
    form.show();
    ASSERT_EQ(form.box_games->count(), 2);
    EXPECT_EQ(form.box_games->item(0)->text(), QStringLiteral("GTA 3"));
    EXPECT_EQ(form.box_games->item(1)->text(), QStringLiteral("GTA Vice City"));
    EXPECT_EQ(programSettings().GameDir, game("gta3"));

    QTest::mouseClick(form.LaunchButton, Qt::LeftButton);
    EXPECT_TRUE(programSettings().LaunchRequested);
    EXPECT_EQ(writtenList(), commaText({game("gta3"), "GTA 3"}) + "\r\n" +
                                 commaText({game("vice city"), "GTA Vice City"}) + "\r\n");
}

TEST_F(StartupWindow, AFirstEntryWithoutADescriptionAsksToAddGames)
{
    writeList(game("gta3") + "\r\n");
    TFormStartup form;
    form.show();
    EXPECT_EQ(scripted.messageTexts(), QStringList{QStringLiteral("NO GAMES FOUND, ADD THEM MANUALLY!")});
    EXPECT_EQ(programSettings().GameDir, "");
    EXPECT_EQ(form.box_games->item(0)->text(), QString());

    // Naming the entry gives it the description it lacked.
    form.gamename->setText(QStringLiteral("GTA 3"));
    EXPECT_EQ(form.gameLines(), std::vector<std::string>{commaText({game("gta3"), "GTA 3"})});
}

TEST_F(StartupWindow, AnEmptyListSelectsNothingAndSaysNothing)
{
    writeList("");
    TFormStartup form;
    form.show();
    EXPECT_EQ(form.box_games->count(), 0);
    EXPECT_EQ(form.box_games->currentRow(), -1);
    EXPECT_TRUE(scripted.messages.empty());
    // The options still count for a launch without a chosen game.
    QTest::mouseClick(form.box_txd, Qt::LeftButton);
    EXPECT_TRUE(programSettings().LoadModels);
    EXPECT_FALSE(programSettings().LoadTextures);
    EXPECT_EQ(form.MemoryValue->text(), QStringLiteral("30 - 180 Mb"));
}

TEST_F(StartupWindow, AddingAGameTakesAFolderOfEitherGameAndADescription)
{
    TempDir installs;
    std::string error;
    ASSERT_EQ(writeDemoGame(installs.file("gta3 mod"), DemoGameOptions{false, false}, error), 0) << error;
    writeList(commaText({game("vice city"), "VC"}) + "\r\n");
    TFormStartup form;
    form.show();
    ASSERT_TRUE(programSettings().IsViceCity);

    scripted.folderChoices = {QString::fromStdString(installs.file("gta3 mod"))};
    scripted.inputTexts = {QStringLiteral("Liberty, again")};
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);

    ASSERT_EQ(scripted.folderRequests.size(), 1u);
    EXPECT_EQ(scripted.folderRequests[0].title, QStringLiteral("Please Select GTA Vice City Directory:"));
    EXPECT_TRUE(scripted.refusedFolders.empty());
    EXPECT_EQ(scripted.inputPrompts,
              std::vector<QString>{QStringLiteral("Game description: Enter this game / mod description")});
    ASSERT_EQ(form.box_games->count(), 2);
    EXPECT_EQ(form.box_games->currentRow(), 1);
    EXPECT_EQ(form.box_games->item(1)->text(), QStringLiteral("Liberty, again"));
    const std::string added = installs.file("gta3 mod") + "/";
    EXPECT_EQ(form.gameLines()[1], commaText({added, "Liberty, again"}));
    EXPECT_EQ(programSettings().GameDir, added);
    EXPECT_FALSE(programSettings().IsViceCity);
    EXPECT_TRUE(programSettings().AddingGame);
}

TEST_F(StartupWindow, CancelledAdditionsAddNothing)
{
    TempDir installs;
    std::string error;
    ASSERT_EQ(writeDemoGame(installs.file("vc"), DemoGameOptions{true, false}, error), 0) << error;
    writeList(commaText({game("gta3"), "GTA 3"}) + "\r\n");
    TFormStartup form;
    form.show();

    // The picker cancelled; then a folder without a game, which the picker refuses.
    scripted.folderChoices = {std::nullopt, QString::fromStdString(installs.file("vc/models"))};
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(programSettings().AddingGame);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(programSettings().AddingGame);
    EXPECT_TRUE(scripted.inputPrompts.empty());

    // The description cancelled.
    scripted.folderChoices = {QString::fromStdString(installs.file("vc"))};
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(scripted.inputPrompts.size(), 1u);
    EXPECT_EQ(form.box_games->count(), 1);
    EXPECT_EQ(programSettings().GameDir, game("gta3"));
    EXPECT_FALSE(programSettings().AddingGame);
}

TEST_F(StartupWindow, RemovingAnEntryKeepsTheSettingsItGave)
{
    writeList(commaText({game("gta3"), "GTA 3"}) + "\r\n" + commaText({game("vice city"), "VC"}) + "\r\n");
    TFormStartup form;
    form.show();
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    ASSERT_EQ(form.box_games->count(), 1);
    EXPECT_EQ(form.box_games->item(0)->text(), QStringLiteral("VC"));
    EXPECT_EQ(form.box_games->currentRow(), -1);
    EXPECT_EQ(programSettings().GameDir, game("gta3"));

    // Nothing selected: removing and renaming do nothing.
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    form.gamename->setText(QStringLiteral("renamed"));
    EXPECT_EQ(form.gameLines(), std::vector<std::string>{commaText({game("vice city"), "VC"})});
}

TEST_F(StartupWindow, KeysAndClosingLeaveLikeTheButtons)
{
    writeList(commaText({game("gta3"), "GTA 3"}) + "\r\n");
    {
        TFormStartup form;
        form.show();
        QTest::keyClick(form.gamename, Qt::Key_Return);
        EXPECT_FALSE(form.isVisible());
        EXPECT_TRUE(programSettings().LaunchRequested);
    }
    {
        TFormStartup form;
        form.show();
        QTest::keyClick(form.box_games, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
        EXPECT_FALSE(programSettings().LaunchRequested);
    }
    {
        TFormStartup form;
        form.show();
        EXPECT_TRUE(programSettings().LaunchRequested);
        form.close();
        EXPECT_FALSE(form.isVisible());
        EXPECT_FALSE(programSettings().LaunchRequested);
    }
    EXPECT_EQ(writtenList(), commaText({game("gta3"), "GTA 3"}) + "\r\n");
}

TEST_F(StartupWindow, RunReturnsWhetherTheUserLaunched)
{
    writeList(commaText({game("vice city"), "VC"}) + "\r\n");
    const auto clickWhenShown = [](const char* button) {
        QTimer::singleShot(0, [button] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* form = qobject_cast<TFormStartup*>(window); form && form->isVisible())
                    QTest::mouseClick(form->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
            }
        });
    };
    clickWhenShown("ExitButton");
    EXPECT_FALSE(runStartupWindow());
    EXPECT_EQ(writtenList(), commaText({game("vice city"), "VC"}) + "\r\n");

    clickWhenShown("LaunchButton");
    EXPECT_TRUE(runStartupWindow());
    EXPECT_EQ(programSettings().GameDir, game("vice city"));
    EXPECT_TRUE(programSettings().IsViceCity);
}

TEST_F(StartupWindow, AListThatCannotBeSavedDoesNotStopTheLaunch)
{
    writeFile(dir.file("plain-file"), "x");
    const EnvironmentScope unwritable("QUOX_GAMES_FILE", QByteArray::fromStdString(dir.file("plain-file/GAMES.TXT")));
    ASSERT_TRUE(GameRegistry::writePath(GameRegistry::GTA3Key, QString::fromStdString(game("gta3"))));
    TFormStartup form;
    form.show();
    ASSERT_EQ(form.box_games->count(), 1);
    QTest::mouseClick(form.LaunchButton, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(programSettings().LaunchRequested);
    EXPECT_EQ(readFile(dir.file("plain-file")), "x");
}
