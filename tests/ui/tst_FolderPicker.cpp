#include "DemoGame.h"
#include "FolderPickerDialog.h"
#include "ModalDialogs.h"
#include "ProgramSettings.h"
#include "ScriptedDialogService.h"
#include "TDirDialog.h"
#include "TestFiles.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace {

// One Vice City installation and the files that make a folder a GTA III one, once as the
// game writes them and once in other letter cases.
class FolderPicker : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root = std::make_unique<TempDir>();
        std::string error;
        ASSERT_EQ(writeDemoGame(root->file("vice city"), DemoGameOptions{true, false}, error), 0) << error;
        // The rule looks at three files only; a GTA III folder needs nothing more here.
        writeFile(root->file("gta3/models/gta3.dir"), "x");
        writeFile(root->file("gta3/models/gta3.img"), "x");
        writeFile(root->file("gta3/data/gta3.dat"), "x");
        writeFile(root->file("upper/MODELS/GTA3.DIR"), "x");
        writeFile(root->file("upper/MODELS/gta3.IMG"), "x");
        writeFile(root->file("upper/DATA/Gta3.dat"), "x");
    }
    static void TearDownTestSuite() { root.reset(); }

    static QString folder(const std::string& relative) { return QString::fromStdString(root->file(relative)); }

    GameSettingsScope settings{"", true};
    static std::unique_ptr<TempDir> root;
};

std::unique_ptr<TempDir> FolderPicker::root;

} // namespace

TEST_F(FolderPicker, OnlyTheCurrentGamesInstallationIsAcceptable)
{
    const TDirDialog picker;
    EXPECT_TRUE(picker.Acceptable(folder("vice city")));
    EXPECT_FALSE(picker.Acceptable(folder("vice city/models")));
    EXPECT_FALSE(picker.Acceptable(folder("gta3")));
    EXPECT_FALSE(picker.Acceptable(folder("")));

    programSettings().IsViceCity = false;
    EXPECT_TRUE(picker.Acceptable(folder("gta3")));
    EXPECT_TRUE(picker.Acceptable(folder("upper")));
    EXPECT_FALSE(picker.Acceptable(folder("vice city")));
    EXPECT_FALSE(picker.Acceptable(folder("gta3/data")));
}

TEST_F(FolderPicker, WhileAddingAGameEitherGameIsAcceptableButNothingElse)
{
    programSettings().AddingGame = true;
    const TDirDialog picker;
    EXPECT_TRUE(picker.Acceptable(folder("vice city")));
    EXPECT_TRUE(picker.Acceptable(folder("gta3")));
    EXPECT_FALSE(picker.Acceptable(folder("gta3/models")));
}

TEST_F(FolderPicker, WithoutValidationEveryFolderIsAcceptable)
{
    const TDirDialog picker(false);
    EXPECT_TRUE(picker.Acceptable(folder("gta3/models")));
    EXPECT_TRUE(picker.Acceptable(folder("gta3")));
}

TEST_F(FolderPicker, ExecuteSetsDirNameOnlyForAConfirmedAcceptableFolder)
{
    ScriptedDialogService scripted;
    TDirDialog picker;
    picker.Title = QStringLiteral("Please Select GTA Vice City Directory:");
    picker.DirName = QStringLiteral("unchanged");

    scripted.folderChoices = {std::nullopt, folder("vice city/models"), folder("vice city")};
    EXPECT_FALSE(picker.Execute());
    EXPECT_EQ(picker.DirName, QStringLiteral("unchanged"));
    EXPECT_FALSE(picker.Execute());
    EXPECT_EQ(picker.DirName, QStringLiteral("unchanged"));
    EXPECT_EQ(scripted.refusedFolders, std::vector<QString>{folder("vice city/models")});
    EXPECT_TRUE(picker.Execute());
    EXPECT_EQ(picker.DirName, folder("vice city"));

    ASSERT_EQ(scripted.folderRequests.size(), 3u);
    EXPECT_EQ(scripted.folderRequests[0].title, QStringLiteral("Please Select GTA Vice City Directory:"));
    EXPECT_TRUE(scripted.folderRequests[0].hasRule);
}

TEST_F(FolderPicker, DialogEnablesOkExactlyForFoldersTheRulePasses)
{
    const TDirDialog rule;
    FolderPickerDialog dialog(QStringLiteral("Please Select GTA Vice City Directory:"),
                              [&rule](const QString& path) { return rule.Acceptable(path); });
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.statusLine()->text().isEmpty());
    EXPECT_FALSE(dialog.okButton()->isEnabled());

    ASSERT_TRUE(dialog.selectFolder(folder("vice city/models")));
    EXPECT_EQ(dialog.statusLine()->text(), folder("vice city/models"));
    EXPECT_FALSE(dialog.okButton()->isEnabled());

    ASSERT_TRUE(dialog.selectFolder(folder("vice city")));
    EXPECT_EQ(dialog.statusLine()->text(), folder("vice city"));
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    EXPECT_EQ(dialog.selectedFolder(), folder("vice city"));

    ASSERT_TRUE(dialog.selectFolder(folder("gta3")));
    EXPECT_FALSE(dialog.okButton()->isEnabled());

    // A click in the tree goes the same way as a selection made in code.
    QTreeView* tree = dialog.folderTree();
    ASSERT_TRUE(dialog.selectFolder(folder("vice city/data")));
    const QModelIndex game = tree->currentIndex().parent();
    tree->scrollTo(game);
    const QRect row = tree->visualRect(game);
    ASSERT_TRUE(row.isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(dialog.statusLine()->text(), folder("vice city"));
    EXPECT_TRUE(dialog.okButton()->isEnabled());

    EXPECT_FALSE(dialog.selectFolder(folder("no such folder")));
}

TEST_F(FolderPicker, DialogWithoutARuleOffersEveryFolder)
{
    FolderPickerDialog dialog(QStringLiteral("Choose a folder"), {});
    EXPECT_FALSE(dialog.okButton()->isEnabled()); // nothing selected yet
    ASSERT_TRUE(dialog.selectFolder(folder("gta3/models")));
    EXPECT_TRUE(dialog.okButton()->isEnabled());
}

TEST_F(FolderPicker, TheProgramsPickerReturnsTheConfirmedFolderOrNothing)
{
    TDirDialog picker;
    picker.Title = QStringLiteral("Please Select GTA Vice City Directory:");
    bool okForModels = true;
    whenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<FolderPickerDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->selectFolder(folder("vice city/models"));
        okForModels = dialog->okButton()->isEnabled();
        dialog->selectFolder(folder("vice city"));
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(picker.Execute());
    EXPECT_FALSE(okForModels);
    EXPECT_EQ(picker.DirName, folder("vice city"));

    picker.DirName = QStringLiteral("unchanged");
    whenModalOpens([&](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_FALSE(picker.Execute());
    EXPECT_EQ(picker.DirName, QStringLiteral("unchanged"));
}
