// The archive editor on a copy of the demo game's archive, driven through its controls:
// the virtual list with its texts and sorts, the selection that the viewers follow, and
// extract, insert, delete and rebuild, also where they must refuse or fail part way.
#include "DemoGame.h"
#include "ScriptedDialogService.h"
#include "TFormEditorArchive.h"
#include "TFormLoading.h"
#include "TGTA3Archive.h"
#include "TGTAImg.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Records, with every message, whether a progress window was still on screen.
class DialogsWatchingProgress : public ScriptedDialogService {
public:
    DialogAnswer showMessage(MessageKind kind, const QString& caption, const QString& text,
                             DialogButtons buttons = DialogButtons::Ok) override
    {
        bool progressShown = false;
        for (QWidget* window : QApplication::topLevelWidgets())
            progressShown |= qobject_cast<TFormLoading*>(window) && window->isVisible();
        progressShownAtMessage.push_back(progressShown);
        return ScriptedDialogService::showMessage(kind, caption, text, buttons);
    }
    std::vector<bool> progressShownAtMessage;
};

const TempDir& demoGame()
{
    static const TempDir* game = [] {
        auto* dir = new TempDir;
        std::string error;
        EXPECT_EQ(writeDemoGame(dir->path().string(), DemoGameOptions{true, false}, error), 0) << error;
        return dir;
    }();
    return *game;
}

std::string entryBytes(const TGTA3Archive& archive, int index)
{
    std::ostringstream out;
    EXPECT_EQ(archive.ExtractEntry(index, out), 0);
    return out.str();
}

class ArchiveEditor : public testing::Test {
protected:
    void SetUp() override
    {
        fs::copy(demoGame().path() / "models", m_game.path() / "models", fs::copy_options::recursive);
        m_settings = std::make_unique<GameSettingsScope>(m_game.path().string() + "/", true);
        // Entries of our own beside the demo's: a model with its own dictionary.
        writeFile(m_game.file("in/bank.dff"), "bank model");
        writeFile(m_game.file("in/bank.txd"), std::string(5000, 'b'));
        {
            TGTA3Archive archive(img(), false);
            for (const char* name : {"bank.dff", "bank.txd"}) {
                std::istringstream bytes(readFile(m_game.file(std::string("in/") + name)));
                ASSERT_EQ(archive.AddFile(name, bytes), 0);
            }
        }
    }

    void open()
    {
        m_set = std::make_unique<TGTAImg>(programSettings().GameDir, true, nullptr);
        ASSERT_TRUE(m_set->Opened);
        m_editor = std::make_unique<TFormEditorArchive>(m_set.get());
        m_list = m_editor->findChild<QTableView*>("ListArchive");
        ASSERT_NE(m_list, nullptr);
        m_editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_editor.get()));
    }

    std::string img() const { return m_game.file("models/gta3.img"); }
    QString text(int row, int column) const { return m_list->model()->index(row, column).data().toString(); }
    int rows() const { return m_list->model()->rowCount(); }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int row = 0; row < rows(); ++row)
            texts << text(row, c);
        return texts;
    }
    int rowOf(const QString& name) const { return static_cast<int>(column(1).indexOf(name)); }

    void clickHeader(int c)
    {
        QHeaderView* header = m_list->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, header->height() / 2));
    }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {})
    {
        ASSERT_GE(row, 0);
        const QModelIndex index = m_list->model()->index(row, 1);
        m_list->scrollTo(index);
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, modifiers, m_list->visualRect(index).center());
    }
    void select(const QStringList& names)
    {
        bool first = true;
        for (const QString& name : names) {
            clickRow(rowOf(name), first ? Qt::NoModifier : Qt::ControlModifier);
            first = false;
        }
    }
    void press(const char* button)
    {
        auto* tool = m_editor->findChild<QToolButton*>(button);
        ASSERT_NE(tool, nullptr) << button;
        QTest::mouseClick(tool, Qt::LeftButton);
    }
    int entryCount(const QString& name) const { return static_cast<int>(column(1).count(name)); }

    TempDir m_game;
    TempDir m_out;
    std::unique_ptr<GameSettingsScope> m_settings;
    DialogsWatchingProgress m_dialogs;
    std::unique_ptr<TGTAImg> m_set;
    std::unique_ptr<TFormEditorArchive> m_editor;
    QTableView* m_list = nullptr;
};

TEST(ArchiveEditorTexts, TypeAndSize)
{
    const struct {
        const char* name;
        const char* type;
    } types[] = {{"a.dff", "DFF File"}, {"wall.Col", "COL File"}, {"noextension", "File"}, {"two.dots.txd", "TXD File"}};
    for (const auto& c : types)
        EXPECT_EQ(TFormEditorArchive::TypeText(c.name), c.type) << c.name;
    const struct {
        quint32 sectors;
        const char* text;
    } sizes[] = {{0, "0 kB"}, {1, "0 kB"}, {2, "1 kB"}, {21, "10 kB"}};
    for (const auto& c : sizes)
        EXPECT_EQ(TFormEditorArchive::SizeText(c.sectors), c.text) << c.sectors;
}

TEST_F(ArchiveEditor, ListsEveryEntryInDirectoryOrderWithItsTexts)
{
    open();
    ASSERT_EQ(rows(), m_set->EntryCount());
    const QStringList headers = {"Index", "Filename", "Type", "Size"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(m_list->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
    EXPECT_EQ(QStringList({text(0, 0), text(0, 1), text(0, 2), text(0, 3)}),
              QStringList({"0", "qx_shops.txd", "TXD File",
                           TFormEditorArchive::SizeText(m_set->GetEntry(0).Size)}));
    EXPECT_EQ(text(rowOf("qx_shop01.dff"), 3), "1 kB");     // 2 sectors
    EXPECT_EQ(text(rowOf("LODshop01.dff"), 3), "0 kB");  // 1 sector
    EXPECT_EQ(text(rows() - 1, 0), QString::number(rows() - 1));
    EXPECT_EQ(text(rows() - 1, 1), "bank.txd");
    EXPECT_TRUE(m_editor->findChild<QToolButton*>("TBEditInsert")->isEnabled());
    EXPECT_EQ(m_editor->ActionEditExtract->text(), "&Extract Selected Items");
    EXPECT_EQ(m_editor->ActionEditInsert->text(), "&Insert Selected Items");
    EXPECT_EQ(m_editor->ActionEditDelete->text(), "&Delete Selected Items");
}

TEST_F(ArchiveEditor, HeaderClicksSortAscendingThenDescendingThenAscendingAgain)
{
    open();
    const auto sizeThenName = [this](bool descending) {
        for (int row = 1; row < rows(); ++row) {
            const TImgEntry a = m_set->GetEntry(m_editor->EntryOrder[row - 1]);
            const TImgEntry b = m_set->GetEntry(m_editor->EntryOrder[row]);
            const int byName = QString::compare(text(row - 1, 1), text(row, 1), Qt::CaseInsensitive);
            const bool ordered = descending ? (a.Size > b.Size || (a.Size == b.Size && byName >= 0))
                                            : (a.Size < b.Size || (a.Size == b.Size && byName <= 0));
            if (!ordered)
                return row;
        }
        return 0;
    };
    clickHeader(3);
    EXPECT_EQ(sizeThenName(false), 0);
    EXPECT_EQ(m_editor->SortColumn, 3);
    clickHeader(3);
    EXPECT_EQ(sizeThenName(true), 0) << "equal sizes in descending name order";
    EXPECT_EQ(m_editor->SortColumn, -1);
    clickHeader(3);
    EXPECT_EQ(sizeThenName(false), 0);

    clickHeader(1);
    QStringList names = column(1);
    QStringList sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(names, sorted) << "LODshop01.dff among the l's, not before every lower-case name";

    clickHeader(2);
    const QStringList types = column(2);
    EXPECT_EQ(types.first(), "DFF File");
    EXPECT_EQ(types.last(), "TXD File");
    EXPECT_EQ(text(0, 1), "bank.dff");

    clickHeader(0);
    clickHeader(0);
    EXPECT_EQ(text(0, 0), QString::number(rows() - 1));
    m_editor->RefreshList();
    EXPECT_EQ(text(0, 1), "qx_shops.txd") << "a refresh returns to directory order";
}

TEST_F(ArchiveEditor, SelectionShowsTheModelOrDictionaryAndClearingShowsNothing)
{
    open();
    QSignalSpy models(m_editor.get(), &TFormEditorArchive::modelChosen);
    QSignalSpy dictionaries(m_editor.get(), &TFormEditorArchive::dictionaryChosen);
    const int bankTxd = m_set->FindTxd("bank");
    ASSERT_GT(bankTxd, 0);

    select({"bank.dff"});
    ASSERT_EQ(models.size(), 1);
    EXPECT_EQ(models.last(), QVariantList({"bank", bankTxd}));
    select({"qx_shop01.dff"});
    EXPECT_EQ(models.last(), QVariantList({"qx_shop01", -1})) << "no dictionary of its own: untextured";
    select({"qx_shops.txd"});
    ASSERT_EQ(dictionaries.size(), 1);
    EXPECT_EQ(dictionaries.last(), QVariantList({"qx_shops", m_set->FindTxd("qx_shops")}));
    m_list->clearSelection();
    EXPECT_EQ(models.last(), QVariantList({"", -1}));
}

TEST_F(ArchiveEditor, ExtractWritesWholeSectorsIntoTheFolderOnly)
{
    {
        TGTA3Archive archive(img(), false);
        std::istringstream bytes("escaping");
        ASSERT_EQ(archive.AddFile("..\\../escape.dff", bytes), 0);
    }
    open();
    writeFile(m_out.file("qx_shop01.dff"), "an older file, replaced whole");
    clickHeader(1); // sorted: the rows are the entries shown, wherever they are in the directory
    select({"qx_shop01.dff", "..\\../escape.dff", "LODshop01.dff"});

    m_dialogs.folderChoices = {std::nullopt};
    press("TBEditExtract");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_out.path()), fs::directory_iterator()), 1) << "cancelled";
    ASSERT_EQ(m_dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(m_dialogs.folderRequests[0].title, "Please Specify Location To Extract Files:");
    EXPECT_FALSE(m_dialogs.folderRequests[0].hasRule);

    m_dialogs.folderChoices = {QString::fromStdString(m_out.path().string())};
    press("TBEditExtract");
    EXPECT_TRUE(m_dialogs.messages.empty());
    const int shop = m_set->FindEntry("qx_shop01.dff");
    EXPECT_EQ(readFile(m_out.file("qx_shop01.dff")), entryBytes(*m_set, shop));
    EXPECT_EQ(fs::file_size(m_out.file("qx_shop01.dff")), 2 * 2048u);
    EXPECT_EQ(fs::file_size(m_out.file("LODshop01.dff")), 2048u);
    EXPECT_EQ(readFile(m_out.file("escape.dff")).substr(0, 8), "escaping");
    EXPECT_FALSE(fs::exists(m_game.path() / "escape.dff"));
    EXPECT_FALSE(fs::exists(m_out.path().parent_path() / "escape.dff"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_out.path()), fs::directory_iterator()), 3);
}

TEST_F(ArchiveEditor, ExtractFailingPartWayClosesTheProgressAndSaysWhatWasDone)
{
    open();
    select({"qx_house01.dff", "qx_industry.txd", "qx_house02.dff"}); // extracted in directory order
    fs::create_directories(m_out.path() / "qx_house02.dff"); // a folder where the file must go
    m_dialogs.folderChoices = {QString::fromStdString(m_out.path().string())};
    press("TBEditExtract");
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_FALSE(m_dialogs.progressShownAtMessage[0]);
    const QString message = m_dialogs.messages[0].text;
    EXPECT_TRUE(message.startsWith("ERROR: Could not extract qx_house02.dff into " + QString::fromStdString(m_out.path().string())))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith("Extracted (1): qx_house01.dff\nNot extracted (2): qx_house02.dff, qx_industry.txd")) << message.toStdString();
    EXPECT_TRUE(fs::exists(m_out.file("qx_house01.dff")));
    EXPECT_FALSE(fs::exists(m_out.file("qx_industry.txd")));
    EXPECT_TRUE(m_editor->isEnabled());
}

TEST_F(ArchiveEditor, InsertAddsTheChosenFilesUnderTheirNames)
{
    open();
    const int before = rows();
    writeFile(m_out.file("newthing.dff"), std::string(2049, 'n'));
    writeFile(m_out.file("exactly_24_characters.tx"), "24");
    m_dialogs.openFileChoices = {{QString::fromStdString(m_out.file("newthing.dff")),
                                  QString::fromStdString(m_out.file("exactly_24_characters.tx"))}};
    QSignalSpy changed(m_editor.get(), &TFormEditorArchive::archiveChanged);
    press("TBEditInsert");
    EXPECT_TRUE(m_dialogs.messages.empty());
    ASSERT_EQ(rows(), before + 2);
    EXPECT_EQ(text(before, 1), "newthing.dff");
    EXPECT_EQ(text(before, 3), "1 kB");
    EXPECT_EQ(text(before + 1, 1), "exactly_24_characters.tx");
    EXPECT_EQ(entryBytes(*m_set, before).substr(0, 2049), std::string(2049, 'n'));
    EXPECT_GE(m_set->FindDff("newthing"), 0);
    EXPECT_EQ(changed.size(), 1);
}

TEST_F(ArchiveEditor, InsertRefusesANameTooLongAndNamesIt)
{
    open();
    const int before = rows();
    writeFile(m_out.file("fine.dff"), "fine");
    writeFile(m_out.file("a_name_far_too_long_for_it.dff"), "long");
    m_dialogs.openFileChoices = {{QString::fromStdString(m_out.file("fine.dff")),
                                  QString::fromStdString(m_out.file("a_name_far_too_long_for_it.dff"))}};
    press("TBEditInsert");
    EXPECT_EQ(rows(), before) << "nothing added, not even the file that fits";
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(m_dialogs.messages[0].text.startsWith(
        "ERROR: These file names are longer than the 24 characters an archive entry name can hold: "
        "a_name_far_too_long_for_it.dff\n"))
        << m_dialogs.messages[0].text.toStdString();
    EXPECT_EQ(m_set->FindEntry("a_name_far_too_long_for.d"), -1);
}

TEST_F(ArchiveEditor, InsertOfAnExistingNameAsksAndReplacesTheEntry)
{
    open();
    const int before = rows();
    const int model = m_set->FindDff("qx_shop01");
    const std::string oldBytes = entryBytes(*m_set, m_set->FindEntry("qx_shop01.dff"));
    writeFile(m_out.file("QX_SHOP01.DFF"), "the new shop");

    m_dialogs.openFileChoices = {{QString::fromStdString(m_out.file("QX_SHOP01.DFF"))}};
    m_dialogs.answers = {DialogAnswer::No};
    press("TBEditInsert");
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text, "The archive already has an entry named QX_SHOP01.DFF. Replace it?");
    EXPECT_EQ(m_dialogs.messages[0].buttons, DialogButtons::YesNo);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(entryBytes(*m_set, m_set->FindEntry("qx_shop01.dff")), oldBytes);

    m_dialogs.openFileChoices = {{QString::fromStdString(m_out.file("QX_SHOP01.DFF"))}};
    m_dialogs.answers = {DialogAnswer::Yes};
    press("TBEditInsert");
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(entryCount("qx_shop01.dff"), 0);
    EXPECT_EQ(entryCount("QX_SHOP01.DFF"), 1);
    const int entry = m_set->FindEntry("qx_shop01.dff");
    EXPECT_EQ(entryBytes(*m_set, entry).substr(0, 12), "the new shop");
    // The model of that name reads the new entry; no second model appears.
    EXPECT_EQ(m_set->FindDff("qx_shop01"), model);
    EXPECT_EQ(m_set->Dffs[static_cast<std::size_t>(model)]->Offset, std::int64_t{m_set->GetEntry(entry).Offset} * 2048);

    // The same for a dictionary, which is loaded: it drops what it read and reads the new entry.
    const int dictionary = m_set->FindTxd("qx_shops");
    TGTATxd& shops = *m_set->Txds[static_cast<std::size_t>(dictionary)];
    shops.Load();
    ASSERT_TRUE(shops.Loaded);
    writeFile(m_out.file("qx_shops.txd"), readFile(m_game.file("in/bank.txd")));
    m_dialogs.openFileChoices = {{QString::fromStdString(m_out.file("qx_shops.txd"))}};
    m_dialogs.answers = {DialogAnswer::Yes};
    press("TBEditInsert");
    EXPECT_EQ(entryCount("qx_shops.txd"), 1);
    EXPECT_EQ(m_set->FindTxd("qx_shops"), dictionary);
    EXPECT_FALSE(shops.Loaded);
    EXPECT_EQ(shops.Offset, std::int64_t{m_set->GetEntry(m_set->FindEntry("qx_shops.txd")).Offset} * 2048);
    EXPECT_EQ(m_set->TxdCount, static_cast<int>(m_set->Txds.size()));
}

TEST_F(ArchiveEditor, InsertFailingPartWayKeepsWhatWasAddedAndSaysSo)
{
    open();
    const int before = rows();
    writeFile(m_out.file("first.dff"), "first");
    writeFile(m_out.file("third.dff"), "third");
    m_dialogs.openFileChoices = {{QString::fromStdString(m_out.file("first.dff")),
                                  QString::fromStdString(m_out.file("gone/second.dff")),
                                  QString::fromStdString(m_out.file("third.dff"))}};
    press("TBEditInsert");
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_FALSE(m_dialogs.progressShownAtMessage[0]);
    EXPECT_EQ(m_dialogs.messages[0].text,
              "ERROR: Could not add " + QString::fromStdString(m_out.file("gone/second.dff"))
                  + " to the archive: No such file or directory.\n\nAdded (1): first.dff\nNot added (2): second.dff, third.dff");
    EXPECT_EQ(rows(), before + 1);
    EXPECT_EQ(text(before, 1), "first.dff");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ArchiveEditor, DeleteAsksThenRemovesTheEntriesShownInTheSelectedRows)
{
    open();
    const int before = rows();
    clickHeader(1);
    clickHeader(1); // by name, descending
    select({"qx_house01.dff", "bank.txd"});

    press("TBEditDelete");
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text, "Are you sure you want to delete the selected files?");
    EXPECT_EQ(m_dialogs.messages[0].buttons, DialogButtons::YesNo);
    EXPECT_EQ(rows(), before) << "No changes nothing";

    m_dialogs.answers = {DialogAnswer::Yes};
    press("TBEditDelete");
    EXPECT_EQ(rows(), before - 2);
    EXPECT_EQ(m_set->FindEntry("qx_house01.dff"), -1);
    EXPECT_EQ(m_set->FindEntry("bank.txd"), -1);
    EXPECT_GE(m_set->FindEntry("qx_house02.dff"), 0);
    EXPECT_EQ(text(0, 1), "qx_shops.txd") << "back in directory order";
    EXPECT_FALSE(m_list->selectionModel()->hasSelection());
    EXPECT_EQ(TGTA3Archive(img(), false).EntryCount(), before - 2) << "the directory file is written";

    m_dialogs.messages.clear();
    press("TBEditDelete");
    EXPECT_TRUE(m_dialogs.messages.empty()) << "nothing selected: no question";
}

TEST_F(ArchiveEditor, ReadOnlyArchiveAllowsOnlyExtracting)
{
    const TGTA3Archive holder(img(), false); // another editor has it
    open();
    EXPECT_TRUE(m_set->ReadOnly);
    for (const char* name : {"TBEditInsert", "TBEditDelete", "TBEditRebuild"})
        EXPECT_FALSE(m_editor->findChild<QToolButton*>(name)->isEnabled()) << name;
    EXPECT_TRUE(m_editor->findChild<QToolButton*>("TBEditExtract")->isEnabled());
    select({"qx_shop01.dff"});
    m_editor->ActionEditDelete->trigger();
    m_editor->ActionEditRebuildExecute();
    EXPECT_TRUE(m_dialogs.messages.empty());
    m_dialogs.folderChoices = {QString::fromStdString(m_out.path().string())};
    press("TBEditExtract");
    EXPECT_TRUE(fs::exists(m_out.file("qx_shop01.dff")));
}

TEST_F(ArchiveEditor, RebuildDropsTheHolesAndEveryEntryKeepsItsBytes)
{
    open();
    writeFile(m_out.file("qx_house02.dff"), "replacement house");
    m_dialogs.openFileChoices = {{QString::fromStdString(m_out.file("qx_house02.dff"))}};
    m_dialogs.answers = {DialogAnswer::Yes, DialogAnswer::Yes};
    press("TBEditInsert");
    select({"qx_tower01.dff", "qx_towers.txd"});
    press("TBEditDelete");
    m_dialogs.messages.clear();

    std::vector<std::string> names;
    std::vector<std::string> contents;
    std::uint64_t sectors = 0;
    for (int i = 0; i < m_set->EntryCount(); ++i) {
        names.push_back(m_set->GetEntry(i).TrimmedName());
        contents.push_back(entryBytes(*m_set, i));
        sectors += m_set->GetEntry(i).Size;
    }
    const std::uint64_t oldBytes = fs::file_size(img());
    const int house = m_set->FindDff("qx_house01");
    const int tower = m_set->FindDff("qx_tower01");

    press("TBEditRebuild");
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_FALSE(m_dialogs.progressShownAtMessage[0]);
    EXPECT_EQ(m_dialogs.messages[0].text, QStringLiteral("SUCCESS: The archive was rebuilt: %1 entries, %2 kB before, %3 kB after.")
                                              .arg(names.size())
                                              .arg(oldBytes / 1024)
                                              .arg(sectors * 2));
    EXPECT_EQ(fs::file_size(img()), sectors * 2048);
    EXPECT_LT(fs::file_size(img()), oldBytes);
    TGTA3Archive reopened(img(), false); // read-only: the editor holds the lock
    ASSERT_EQ(reopened.EntryCount(), static_cast<int>(names.size()));
    for (int i = 0; i < reopened.EntryCount(); ++i) {
        EXPECT_EQ(reopened.GetEntry(i).TrimmedName(), names[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(entryBytes(reopened, i) == contents[static_cast<std::size_t>(i)]) << names[static_cast<std::size_t>(i)];
    }
    // Models follow their entries; the one whose entry is gone reads nothing.
    TGTADff& kept = *m_set->Dffs[static_cast<std::size_t>(house)];
    EXPECT_EQ(kept.Offset, std::int64_t{m_set->GetEntry(m_set->FindEntry("qx_house01.dff")).Offset} * 2048);
    kept.Load();
    EXPECT_EQ(kept.LoadError, "");
    EXPECT_EQ(m_set->Dffs[static_cast<std::size_t>(tower)]->Length, 0);
    EXPECT_EQ(rows(), static_cast<int>(names.size()));
}

TEST_F(ArchiveEditor, RebuildThatCannotReadAnEntryClosesTheProgressAndChangesNothing)
{
    {
        // The last entry claims more sectors than the data file holds.
        std::string directory = readFile(m_game.file("models/gta3.dir"));
        directory[directory.size() - 32 + 5] = '\x10';
        writeFile(m_game.file("models/gta3.dir"), directory);
    }
    const std::string before = readFile(img());
    open();
    press("TBEditRebuild");
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_FALSE(m_dialogs.progressShownAtMessage[0]);
    EXPECT_EQ(m_dialogs.messages[0].text,
              "ERROR: Could not rebuild the archive (entry bank.txd): Input/output error.\n\nThe archive is unchanged.");
    EXPECT_TRUE(readFile(img()) == before);
    EXPECT_TRUE(m_editor->findChild<QToolButton*>("TBEditRebuild")->isEnabled());
    EXPECT_TRUE(m_editor->isEnabled());
}

} // namespace
