// The item editor's objs and tobj pages: typed values land in the definition, the flag
// check lists, the hour lists, undo, the archive markers and the "..." pick buttons.
#include "ArchiveMarkers.h"
#include "DefinitionPanel.h"
#include "ImgWriter.h"
#include "ModalDialogs.h"
#include "TFormEditorItem.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TestFiles.h"
#include "Twnd_imgfilepicker.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view DefinitionsText =
    "objs\n"
    "10, house, housetx, 1, 100, 2048\n"
    "11, lamp, street, 1, 50, 5\n"
    "12, tower, towertx, 3, 50, 150, 300, 4\n"
    "end\n"
    "tobj\n"
    "20, bar, bartx, 1, 33.3, 0, 6, 19\n"
    "21, ghost, bartx, 1, 120, 0, 30, 5\n"
    "end\n";

// Remembers the definitions the item editor offers the secondary model view.
struct ShownDefinitions {
    std::vector<std::pair<int, bool>> shown;
};

void typeInto(QLineEdit* box, const QString& text)
{
    ASSERT_NE(box, nullptr);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// Clicks the check box of a row, where the item view's style draws it.
void clickCheckBox(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
}

class DefinitionPanels : public testing::Test {
protected:
    DefinitionPanels() : DefinitionPanels(nullptr) {}
    explicit DefinitionPanels(TGTAImg* archive)
    {
        auto file = std::make_unique<TIDEFile>();
        file->ReadText(DefinitionsText);
        file->FileName = "town.ide";
        m_files.AddFile(std::move(file));
        m_document.setArchiveSet(archive);
        m_editor.emplace(m_document, nullptr);
        QObject::connect(&*m_editor, &TFormEditorItem::definitionShown,
                         [this](int id, bool timed) { m_peers.shown.emplace_back(id, timed); });
        m_editor->show();
    }

    TIDEFile& ide() { return *m_files.IDEFile(0); }
    TGTASObjsObj& objs(int record) { return ide().Objs.Items[record]; }
    TGTASTObjObj& tobj(int record) { return ide().TObj.Items[record]; }
    bool modified() { return m_files.File(0)->Modified; }
    template <typename Widget>
    Widget* find(const char* name)
    {
        auto* widget = m_editor->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* box(const char* name) { return find<QLineEdit>(name); }

    TGTAFileList m_files{programSettings().GameDir, programSettings().IsViceCity};
    MapDocument m_document{m_files};
    ShownDefinitions m_peers;
    std::optional<TFormEditorItem> m_editor;
};

} // namespace

TEST_F(DefinitionPanels, ShowingFillsTheBoxesWithoutMarkingTheFile)
{
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 1, 0);
    EXPECT_EQ(m_editor->PageControl1->currentWidget(), m_editor->panelideobjs);
    EXPECT_EQ(box("EditIDEObjsID")->text(), "11");
    EXPECT_EQ(box("EditIDEObjsModel")->text(), "lamp");
    EXPECT_EQ(box("EditIDEObjsTexture")->text(), "street");
    EXPECT_EQ(box("EditIDEObjsU4")->text(), "1");
    EXPECT_EQ(box("EditIDEObjsLOD")->text(), "50");
    EXPECT_EQ(box("EditIDEObjsFlags")->text(), "5");
    auto* bits = find<QListWidget>("ide_bits");
    ASSERT_EQ(bits->count(), 11);
    EXPECT_EQ(bits->item(10)->text(), "1024 Breakable window B");
    for (int bit = 0; bit < 11; ++bit)
        EXPECT_EQ(bits->item(bit)->checkState() == Qt::Checked, bit == 0 || bit == 2) << bit;
    ASSERT_EQ(m_peers.shown.size(), 1u);
    EXPECT_EQ(m_peers.shown[0], std::make_pair(11, false));

    // Timed objects show their draw distance with up to 15 digits, and their hours.
    m_editor->SelectRecord(FileKind::IDE, SectionCode::TObj, 0, 0);
    EXPECT_EQ(m_editor->PageControl1->currentWidget(), m_editor->panelidetobj);
    EXPECT_EQ(box("EditIDETObjID")->text(), "20");
    EXPECT_EQ(box("EditIDETObjLOD")->text(), "33.2999992370605");
    EXPECT_EQ(find<QComboBox>("EditIDETObjTimeOn")->currentText(), "06:00");
    EXPECT_EQ(find<QComboBox>("EditIDETObjTimeOff")->currentText(), "19:00");
    EXPECT_EQ(m_peers.shown.back(), std::make_pair(20, true));
    EXPECT_FALSE(modified()) << "showing a record never marks its file";
}

TEST_F(DefinitionPanels, TypedValuesLandInTheDefinition)
{
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 0, 0);
    typeInto(box("EditIDEObjsU4"), "x");
    EXPECT_EQ(objs(0).MeshCount, 1) << "text that is no number stores the default 1";
    EXPECT_FALSE(modified()) << "the record holds what it held: no step";
    typeInto(box("EditIDEObjsU4"), "2");
    EXPECT_EQ(objs(0).MeshCount, 2);
    EXPECT_TRUE(modified());
    typeInto(box("EditIDEObjsLOD"), "12.5");
    EXPECT_FLOAT_EQ(objs(0).DrawDistance, 12.5f);
    typeInto(box("EditIDEObjsLOD"), "abc");
    EXPECT_FLOAT_EQ(objs(0).DrawDistance, 0.0f);
    typeInto(box("EditIDEObjsFlags"), "260");
    EXPECT_EQ(objs(0).Flags, 260);
    typeInto(box("EditIDEObjsTexture"), "villa");
    EXPECT_EQ(objs(0).TextureName, "villa");

    m_peers.shown.clear();
    typeInto(box("EditIDEObjsID"), "77");
    EXPECT_EQ(objs(0).ID, 77);
    ASSERT_FALSE(m_peers.shown.empty());
    EXPECT_EQ(m_peers.shown.back(), std::make_pair(77, false));
    EXPECT_EQ(m_editor->ExpandedEdit->text(), "77, house, villa, 2, 0, 260");

    m_editor->SelectRecord(FileKind::IDE, SectionCode::TObj, 0, 0);
    typeInto(box("EditIDETObjModel"), "pub");
    typeInto(box("EditIDETObjLOD"), "250.25");
    EXPECT_EQ(tobj(0).ModelName, "pub");
    EXPECT_FLOAT_EQ(tobj(0).DrawDistance, 250.25f);
    EXPECT_EQ(m_editor->ExpandedEdit->text(), "20, pub, bartx, 1, 250.25, 0, 6, 19");
}

// A line of three meshes carries three distances; a mesh count typed over it must still
// give a line that reads back with the same flags.
TEST_F(DefinitionPanels, ChangingTheMeshCountKeepsTheLineReadable)
{
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 2, 0);
    typeInto(box("EditIDEObjsU4"), "1");
    EXPECT_EQ(m_editor->ExpandedEdit->text(), "12, tower, towertx, 1, 50, 4");
    TGTASObjs again;
    ASSERT_TRUE(again.ReadLine(m_editor->ExpandedEdit->text().toStdString()));
    EXPECT_EQ(again.Items[0].Flags, 4);

    typeInto(box("EditIDEObjsU4"), "3");
    EXPECT_EQ(m_editor->ExpandedEdit->text(), "12, tower, towertx, 3, 50, 150, 300, 4");
}

TEST_F(DefinitionPanels, FlagChecksStoreTheSumOfTheirBits)
{
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 0, 0);
    auto* bits = find<QListWidget>("ide_bits");
    ASSERT_EQ(objs(0).Flags, 2048);
    clickCheckBox(bits, 0);
    EXPECT_EQ(objs(0).Flags, 1) << "2048 has no check and is lost";
    clickCheckBox(bits, 5);
    EXPECT_EQ(objs(0).Flags, 33);
    EXPECT_EQ(box("EditIDEObjsFlags")->text(), "33");
    EXPECT_TRUE(modified());
    clickCheckBox(bits, 0);
    EXPECT_EQ(objs(0).Flags, 32);
    EXPECT_EQ(box("EditIDEObjsFlags")->text(), "32");

    m_editor->SelectRecord(FileKind::IDE, SectionCode::TObj, 1, 0);
    clickCheckBox(find<QListWidget>("CheckListBox1"), 10);
    EXPECT_EQ(tobj(1).Flags, 1024);
    EXPECT_EQ(box("EditIDETObjFlags")->text(), "1024");
    EXPECT_EQ(objs(0).Flags, 32) << "the objs record is no longer selected";
}

TEST_F(DefinitionPanels, HourListsSelectTheStoredHours)
{
    auto* on = find<QComboBox>("EditIDETObjTimeOn");
    auto* off = find<QComboBox>("EditIDETObjTimeOff");
    ASSERT_EQ(on->count(), 24);
    EXPECT_EQ(on->itemText(0), "00:00");
    EXPECT_EQ(on->itemText(23), "23:00");

    m_editor->SelectRecord(FileKind::IDE, SectionCode::TObj, 1, 0);
    EXPECT_EQ(on->currentIndex(), -1) << "hour 30 is none of the items";
    EXPECT_EQ(off->currentIndex(), 5);
    EXPECT_EQ(tobj(1).TimeOn, 30);
    EXPECT_FALSE(modified());

    off->setFocus();
    QTest::keyClick(off, Qt::Key_Down);
    EXPECT_EQ(tobj(1).TimeOff, 6);
    EXPECT_TRUE(modified());
    on->setCurrentIndex(22);
    EXPECT_EQ(tobj(1).TimeOn, 22);
    EXPECT_EQ(m_editor->ExpandedEdit->text(), "21, ghost, bartx, 1, 120, 0, 22, 6");
}

TEST_F(DefinitionPanels, UndoRestoresEveryEditOfTheSelection)
{
    m_editor->SelectRecord(FileKind::IDE, SectionCode::TObj, 0, 0);
    typeInto(box("EditIDETObjTexture"), "newtx");
    typeInto(box("EditIDETObjU4"), "2");
    find<QComboBox>("EditIDETObjTimeOn")->setCurrentIndex(9);
    ASSERT_TRUE(modified());
    ASSERT_TRUE(m_editor->BtnUndo->isEnabled());

    m_editor->BtnUndo->click();
    EXPECT_EQ(tobj(0).TextureName, "bartx");
    EXPECT_EQ(tobj(0).MeshCount, 1);
    EXPECT_EQ(tobj(0).TimeOn, 6);
    EXPECT_FALSE(modified()) << "the file was not modified before the selection";
    EXPECT_EQ(box("EditIDETObjTexture")->text(), "bartx");
    EXPECT_EQ(find<QComboBox>("EditIDETObjTimeOn")->currentIndex(), 6);

    // A file modified before the selection stays modified.
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 0, 0);
    typeInto(box("EditIDEObjsID"), "98");
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 1, 0);
    typeInto(box("EditIDEObjsID"), "99");
    m_editor->BtnUndo->click();
    EXPECT_EQ(objs(1).ID, 11);
    EXPECT_TRUE(modified());
}

TEST_F(DefinitionPanels, WithoutArchiveMarkersShowMissingAndPickButtonsAreOff)
{
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 0, 0);
    EXPECT_EQ(find<ArchiveMarker>("PaintBox1")->imageIndex(), ArchiveMarker::Missing);
    EXPECT_EQ(find<ArchiveMarker>("PaintBox2")->imageIndex(), ArchiveMarker::Missing);
    EXPECT_FALSE(find<QPushButton>("BtnIDEObjsModel")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("BtnIDETObjTexture")->isEnabled());
}

TEST(ArchiveMarkerImages, MissingAndPresentDiffer)
{
    const auto& images = ImageList1();
    ASSERT_FALSE(images[0].isNull());
    EXPECT_EQ(images[0].size(), images[1].size());
    EXPECT_NE(images[0], images[1]);
    // A cross is drawn in red, a tick in green: the centre pixel of each tells.
    const QColor missing = images[0].pixelColor(8, 8);
    EXPECT_GT(missing.red(), missing.green());

    ArchiveMarker marker("marker");
    marker.setImageIndex(ArchiveMarker::Present);
    const QImage drawn = marker.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(drawn.pixelColor(10, 8).green() > drawn.pixelColor(10, 8).red(),
              images[1].pixelColor(10, 8).green() > images[1].pixelColor(10, 8).red());
}

namespace {

// A game whose main archive holds the house's model and dictionary and the lamp's model.
class ArchiveGame {
protected:
    ArchiveGame()
    {
        const std::vector<std::uint8_t> bytes(100, 1);
        std::filesystem::create_directories(m_game.path() / "models");
        m_written = writeImgArchive(m_game.file("models/gta3.img"), {{"house.dff", bytes},
                                                        {"housetx.txd", bytes},
                                                        {"lamp.dff", bytes},
                                                        {"Bar.DFF", bytes},
                                                        {"pub.dff", bytes}});
        m_archive = std::make_unique<TGTAImg>(programSettings().GameDir, true, nullptr);
    }

    TempDir m_game;
    GameSettingsScope m_scope{m_game.path().string() + "/", true};
    int m_written = 0;
    std::unique_ptr<TGTAImg> m_archive;
};

// The archive outlives the editor: its base is built first and destroyed last.
class DefinitionPanelsWithArchive : protected ArchiveGame, public DefinitionPanels {
protected:
    DefinitionPanelsWithArchive() : DefinitionPanels(m_archive.get())
    {
        m_archive->ConnectFileList(m_files);
        m_editor->SetImgFilePicker(&m_picker);
    }

    int marker(const char* name) { return find<ArchiveMarker>(name)->imageIndex(); }

    Twnd_imgfilepicker m_picker{m_archive.get()};
};

} // namespace

TEST_F(DefinitionPanelsWithArchive, MarkersTellWhetherTheArchiveHoldsModelAndDictionary)
{
    ASSERT_EQ(m_written, 0);
    ASSERT_TRUE(m_archive->Opened);
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 0, 0);
    EXPECT_EQ(marker("PaintBox1"), ArchiveMarker::Present);
    EXPECT_EQ(marker("PaintBox2"), ArchiveMarker::Present);
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 1, 0);
    EXPECT_EQ(marker("PaintBox1"), ArchiveMarker::Present);
    EXPECT_EQ(marker("PaintBox2"), ArchiveMarker::Missing) << "no street.txd";

    typeInto(box("EditIDEObjsModel"), "lampX");
    EXPECT_EQ(marker("PaintBox1"), ArchiveMarker::Missing);
    typeInto(box("EditIDEObjsTexture"), "generic");
    EXPECT_EQ(marker("PaintBox2"), ArchiveMarker::Present);

    m_editor->SelectRecord(FileKind::IDE, SectionCode::TObj, 0, 0);
    EXPECT_EQ(marker("PaintBox3"), ArchiveMarker::Present) << "names compare without case";
    EXPECT_EQ(marker("PaintBox4"), ArchiveMarker::Missing);
    // The objs page's markers are not touched while a tobj record is selected.
    EXPECT_EQ(marker("PaintBox1"), ArchiveMarker::Missing);
}

// Timed objects draw through the same caches: a new name drops them on the tobj page too.
TEST_F(DefinitionPanelsWithArchive, NewNamesDropTheCachedModelAndDictionary)
{
    m_editor->SelectRecord(FileKind::IDE, SectionCode::TObj, 0, 0);
    tobj(0).ModelIndex = 3;
    ASSERT_EQ(tobj(0).TextureIndex, -1);
    typeInto(box("EditIDETObjTexture"), "housetx");
    EXPECT_EQ(tobj(0).ModelIndex, -1);
    EXPECT_EQ(tobj(0).TextureIndex, m_archive->FindTxd("housetx"));
    EXPECT_NE(tobj(0).TextureIndex, -1);
    tobj(0).ModelIndex = 3;
    typeInto(box("EditIDETObjModel"), "house");
    EXPECT_EQ(tobj(0).ModelIndex, -1);

    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 1, 0);
    objs(1).ModelIndex = 2;
    typeInto(box("EditIDEObjsTexture"), "housetx");
    EXPECT_EQ(objs(1).ModelIndex, -1);
    EXPECT_EQ(objs(1).TextureIndex, m_archive->FindTxd("housetx"));
}

TEST_F(DefinitionPanelsWithArchive, PickButtonWritesTheChosenNameWithoutExtension)
{
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 1, 0);
    auto* button = find<QPushButton>("BtnIDEObjsModel");
    ASSERT_TRUE(button->isEnabled());
    objs(1).ModelIndex = 4;
    QString offered;
    whenModalOpens([&](QWidget* dialog) {
        offered = dialog->findChild<QLineEdit*>("inp_find")->text();
        auto* list = dialog->findChild<QListWidget*>("listarchive");
        const auto rows = list->findItems("pub.dff", Qt::MatchExactly);
        EXPECT_EQ(rows.size(), 1);
        if (!rows.isEmpty())
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(rows[0]).center());
        QTest::mouseClick(dialog->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(offered, "lamp");
    EXPECT_EQ(objs(1).ModelName, "pub");
    EXPECT_EQ(objs(1).ModelIndex, -1);
    EXPECT_EQ(box("EditIDEObjsModel")->text(), "pub");
    EXPECT_EQ(m_editor->ExpandedEdit->text(), "11, pub, street, 1, 50, 5");
    EXPECT_TRUE(modified());
    EXPECT_EQ(marker("PaintBox1"), ArchiveMarker::Present);

    // The texture button on the tobj page: a dictionary entry becomes the texture name.
    m_editor->SelectRecord(FileKind::IDE, SectionCode::TObj, 0, 0);
    whenModalOpens([&](QWidget* dialog) {
        auto* find = dialog->findChild<QLineEdit*>("inp_find");
        find->selectAll();
        QTest::keyClicks(find, "housetx");
        auto* matches = dialog->findChild<QListWidget*>("ListBox1");
        EXPECT_EQ(matches->count(), 1);
        if (matches->count() > 0)
            QTest::mouseClick(matches->viewport(), Qt::LeftButton, {}, matches->visualItemRect(matches->item(0)).center());
        QTest::mouseClick(dialog->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    QTest::mouseClick(find<QPushButton>("BtnIDETObjTexture"), Qt::LeftButton);
    EXPECT_EQ(tobj(0).TextureName, "housetx");
    EXPECT_EQ(tobj(0).TextureIndex, m_archive->FindTxd("housetx"));
    EXPECT_EQ(marker("PaintBox4"), ArchiveMarker::Present);
}

TEST_F(DefinitionPanelsWithArchive, CancelledPickWritesTheOldNameBack)
{
    m_editor->SelectRecord(FileKind::IDE, SectionCode::Objs, 0, 0);
    ASSERT_FALSE(modified());
    whenModalOpens([](QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
    });
    QTest::mouseClick(find<QPushButton>("BtnIDEObjsTexture"), Qt::LeftButton);
    EXPECT_EQ(objs(0).TextureName, "housetx");
    // The old name written back changes nothing: no step, the file keeps its mark.
    EXPECT_FALSE(modified());
    EXPECT_TRUE(m_editor->BtnUndo->isEnabled());

    // Without a picker the box's text is written back the same way.
    m_editor->SetImgFilePicker(nullptr);
    m_editor->SelectRecord(FileKind::IDE, SectionCode::TObj, 1, 0);
    QTest::mouseClick(find<QPushButton>("BtnIDETObjModel"), Qt::LeftButton);
    EXPECT_EQ(tobj(1).ModelName, "ghost");
    EXPECT_FALSE(modified());
}

TEST(DefinitionPanelsReadOnly, AReadOnlyArchiveDisablesThePickButtons)
{
    TempDir game;
    GameSettingsScope scope{game.path().string() + "/", true};
    std::filesystem::create_directories(game.path() / "models");
    ASSERT_EQ(writeImgArchive(game.file("models/gta3.img"), {{"house.dff", std::vector<std::uint8_t>(10, 1)}}), 0);
    TGTAImg holder(programSettings().GameDir, true, nullptr);
    TGTAImg second(programSettings().GameDir, true, nullptr); // the first holds the lock: this one opens read-only
    ASSERT_TRUE(second.ReadOnly);
    TGTAFileList files{programSettings().GameDir, programSettings().IsViceCity};
    MapDocument readOnly(files, &second);
    TFormEditorItem editor(readOnly, nullptr);
    for (const char* name : {"BtnIDEObjsModel", "BtnIDEObjsTexture", "BtnIDETObjModel", "BtnIDETObjTexture"})
        EXPECT_FALSE(editor.findChild<QPushButton*>(name)->isEnabled()) << name;
    MapDocument locked(files, &holder);
    TFormEditorItem writable(locked, nullptr);
    for (const char* name : {"BtnIDEObjsModel", "BtnIDEObjsTexture", "BtnIDETObjModel", "BtnIDETObjTexture"})
        EXPECT_TRUE(writable.findChild<QPushButton*>(name)->isEnabled()) << name;
}
