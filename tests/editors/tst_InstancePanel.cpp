// The instance page of the item editor: typed fields landing in the record, the interior
// switch, the buttons beside the boxes, the validation rows, and the main window's list of
// shown files following a pick in a hidden file.
#include "TFormEditorItem.h"

#include "ImgWriter.h"
#include "InstancePanel.h"
#include "MainImageList.h"
#include "TFormMain.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

namespace {

constexpr double Pi = 3.14159265358979;

// 0 house: no interior, a turned rotation; 2 villa: interior 4; 3 clock: only a timed
// definition; 4 ghost: no definition anywhere.
constexpr std::string_view TownText =
    "inst\n"
    "10, house, 1, 2, 3, 1, 1, 1, 0.1, 0.2, 0.3, 0.9\n"
    "20, lamp, 5, 6, 7, 1, 1, 1, 0, 0, 0, 1\n"
    "30, villa, 4, 8, 9, 10, 1, 1, 1, 0, 0, 0, 1\n"
    "40, clock, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\n"
    "99, ghost, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\n"
    "end\n";

template <typename File>
std::unique_ptr<File> mapFile(const std::string& name, std::string_view text)
{
    auto file = std::make_unique<File>();
    file->ReadText(text);
    file->FileName = name;
    return file;
}

// Two IDE files define ID 10 differently: "other.ide" comes first in the list, the file
// named like the IPL file comes later but is asked first.
void addTownFiles(TGTAFileList& files)
{
    files.AddFile(mapFile<TIDEFile>("data\\maps\\other.ide", "objs\n"
                                                              "10, house, othertex, 1, 100, 0\n"
                                                              "20, lamp, lamptex, 1, 100, 0\n"
                                                              "end\n"));
    files.AddFile(mapFile<TIPLFile>("DATA\\MAPS\\town.ipl", TownText));
    files.AddFile(mapFile<TIDEFile>("data\\maps\\TOWN.ide", "objs\n"
                                                            "30, villa, villatex, 1, 100, 0\n"
                                                            "10, villa, towntex, 1, 100, 0\n"
                                                            "5, shed, shedtex, 1, 100, 0\n"
                                                            "end\n"
                                                            "tobj\n"
                                                            "40, clock, clocktex, 1, 100, 0, 6, 20\n"
                                                            "end\n"));
}

constexpr int TownIPL = 1;
constexpr int TownIDE = 2;

class InstancePanelTest : public testing::Test {
protected:
    void SetUp() override { addTownFiles(m_files); }

    void select(int record, SectionCode code = SectionCode::Inst)
    {
        m_editor.SelectRecord(FileKind::IPL, code, record, TownIPL);
    }
    TGTASInstObj& inst(int record) { return m_files.IPLFile(TownIPL)->Inst.Items[record]; }
    QLineEdit* box(const char* name) { return m_editor.findChild<QLineEdit*>(name); }
    void type(const char* name, const QString& text)
    {
        QLineEdit* edit = box(name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    QString expandedLine(int record) const
    {
        return QString::fromStdString(m_files.IPLFile(TownIPL)->Inst.WriteLine(record));
    }
    bool modified() const { return m_files.File(TownIPL)->Modified; }
    // The four status texts of the validation list, joined by "|".
    QString statusTexts() const
    {
        const auto* list = m_editor.findChild<QTreeWidget*>("EditIPLInstValidation");
        QStringList texts;
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            texts << list->topLevelItem(row)->text(1);
        return texts.join("|");
    }

    TGTAFileList m_files{programSettings().GameDir, programSettings().IsViceCity};
    MapDocument m_document{m_files};
    TFormEditorItem m_editor{m_document, nullptr};
};

TEST_F(InstancePanelTest, TypedAnglesStoreTheirSineOrCosineAndLeaveTheOtherComponents)
{
    select(0);
    type("EditIPLInstRotZ", "45");
    EXPECT_NEAR(inst(0).RotZ, std::sin(45 * Pi / 180), 1e-7);
    EXPECT_FLOAT_EQ(inst(0).RotX, 0.1f) << "no normalisation";
    EXPECT_FLOAT_EQ(inst(0).RotY, 0.2f);
    EXPECT_FLOAT_EQ(inst(0).RotW, 0.9f);
    EXPECT_TRUE(modified());
    EXPECT_EQ(m_editor.ExpandedEdit->text(), expandedLine(0));

    type("EditIPLInstRotW", "60");
    EXPECT_NEAR(inst(0).RotW, 0.5, 1e-7);

    select(0);
    EXPECT_EQ(box("EditIPLInstRotZ")->text(), "45.00");
    EXPECT_EQ(box("EditIPLInstRotW")->text(), "60.00");
    EXPECT_NEAR(inst(0).RotZ, std::sin(45 * Pi / 180), 1e-7) << "showing again writes nothing back";
}

TEST_F(InstancePanelTest, TypedNumbersAndNamesLandInTheRecord)
{
    select(1);
    type("EditIPLInstPosX", "abc");
    EXPECT_EQ(inst(1).PosX, 0.0f);
    EXPECT_TRUE(modified());
    type("EditIPLInstPosZ", "-12.5");
    EXPECT_EQ(inst(1).PosZ, -12.5f);
    type("EditIPLInstScaleY", "2.25");
    EXPECT_EQ(inst(1).ScaleY, 2.25f);
    type("EditIPLInstRotX", "x");
    EXPECT_EQ(inst(1).RotX, 0.0f) << "not a number counts as 0 degrees";
    type("EditIPLInstModel", "lamp_new");
    EXPECT_EQ(inst(1).ModelName, "lamp_new");
    type("EditIPLInstID", "7q");
    EXPECT_EQ(inst(1).ID, 0);
    type("EditIPLInstID", "1234");
    EXPECT_EQ(inst(1).ID, 1234);
    EXPECT_EQ(m_editor.ExpandedEdit->text(), expandedLine(1));
    EXPECT_TRUE(m_editor.ExpandedEdit->text().startsWith("1234, lamp_new, "));
    EXPECT_EQ(inst(1).PosY, 6.0f) << "untouched boxes write nothing";
}

TEST_F(InstancePanelTest, ANameTakesNoCommaThatWouldSplitItsColumn)
{
    select(1);
    type("EditIPLInstModel", "lamp,post");
    EXPECT_EQ(inst(1).ModelName, "lamppost");
    // The line reads back into the same record.
    TGTASInst reread;
    ASSERT_TRUE(reread.ReadLine(m_editor.ExpandedEdit->text().toStdString()));
    EXPECT_EQ(reread.Items[0].ModelName, "lamppost");
    EXPECT_EQ(reread.Items[0].PosY, inst(1).PosY);
}

TEST_F(InstancePanelTest, TheInteriorBoxIsEnabledOnlyWithAnInterior)
{
    auto* hasInterior = m_editor.findChild<QCheckBox*>("EditIPLInstHasInterior");
    select(2);
    EXPECT_TRUE(hasInterior->isChecked());
    EXPECT_TRUE(box("EditIPLInstInterior")->isEnabled());
    EXPECT_EQ(box("EditIPLInstInterior")->text(), "4");

    select(0);
    EXPECT_FALSE(hasInterior->isChecked());
    EXPECT_FALSE(box("EditIPLInstInterior")->isEnabled());
    EXPECT_FALSE(modified());

    QTest::mouseClick(hasInterior, Qt::LeftButton);
    EXPECT_TRUE(inst(0).HasInterior);
    EXPECT_TRUE(box("EditIPLInstInterior")->isEnabled());
    EXPECT_TRUE(modified());
    type("EditIPLInstInterior", "7");
    EXPECT_EQ(inst(0).Interior, 7);
    EXPECT_TRUE(m_editor.ExpandedEdit->text().startsWith("10, house, 7, ")) << m_editor.ExpandedEdit->text().toStdString();

    QTest::mouseClick(hasInterior, Qt::LeftButton);
    EXPECT_FALSE(inst(0).HasInterior);
    EXPECT_FALSE(box("EditIPLInstInterior")->isEnabled());
}

TEST_F(InstancePanelTest, ShowingNeverMarksTheFileAndTheRotationButtonResets)
{
    for (int record = 0; record < 5; ++record) {
        select(record);
        select(record, SectionCode::PickedInst);
    }
    select(0);
    EXPECT_FALSE(modified());
    EXPECT_EQ(box("EditIPLInstID")->text(), "10");
    EXPECT_EQ(box("EditIPLInstModel")->text(), "house");
    EXPECT_EQ(box("EditIPLInstPosX")->text(), "1");
    EXPECT_EQ(box("EditIPLInstPosZ")->text(), "3");
    EXPECT_EQ(box("EditIPLInstRotX")->text(), "5.74"); // asin 0.1

    // Without a 3D view the centre button has nothing to do.
    QTest::mouseClick(m_editor.findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    EXPECT_FALSE(modified());

    QTest::mouseClick(m_editor.findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(inst(0).RotX, 0.0f);
    EXPECT_EQ(inst(0).RotY, 0.0f);
    EXPECT_EQ(inst(0).RotZ, 0.0f);
    EXPECT_EQ(inst(0).RotW, 1.0f);
    for (const char* name : {"EditIPLInstRotX", "EditIPLInstRotY", "EditIPLInstRotZ", "EditIPLInstRotW"})
        EXPECT_EQ(box(name)->text(), "0.00") << name;
    EXPECT_TRUE(modified());
    EXPECT_EQ(m_editor.ExpandedEdit->text(), expandedLine(0));
}

TEST_F(InstancePanelTest, TheCentreButtonMovesTheViewToTheInstance)
{
    QWidget panel;
    TGLView view(&panel, nullptr, nullptr, false, false);
    m_editor.SetView(&view);
    select(2);
    QTest::mouseClick(m_editor.findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(view.GetCameraTarget(), (std::array<float, 3>{8, 9, 10}));
    EXPECT_FALSE(modified());
    m_editor.SetView(nullptr);
}

TEST_F(InstancePanelTest, ValidationWithoutAnArchiveFindsDefinitionsOnly)
{
    select(0);
    // The IDE file named like the IPL file answers first, although another file earlier in
    // the list defines ID 10 with the instance's model.
    EXPECT_EQ(statusTexts(), "Found|Not Found|Not Found|Not Found");
    select(1);
    EXPECT_EQ(statusTexts(), "Found|Found|Not Found|Not Found");
    select(3);
    EXPECT_EQ(statusTexts(), "Found|Found|Not Found|Not Found") << "timed definitions count";
    select(4);
    EXPECT_EQ(statusTexts(), "Not Found|Not Found|Not Found|Not Found");

    const auto* list = m_editor.findChild<QTreeWidget*>("EditIPLInstValidation");
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Associated Object Definition");
    EXPECT_EQ(list->topLevelItem(1)->text(0), "Correct Model Name");
    EXPECT_EQ(list->topLevelItem(2)->text(0), "Model Exists in Archive");
    EXPECT_EQ(list->topLevelItem(3)->text(0), "Texture Exists in Archive");
}

TEST_F(InstancePanelTest, ValidationRowsCarryThePassedAndFailedPictures)
{
    select(1);
    const auto* list = m_editor.findChild<QTreeWidget*>("EditIPLInstValidation");
    const QImage passed = mainImage(27).pixmap(16, 16).toImage();
    const QImage failed = mainImage(26).pixmap(16, 16).toImage();
    ASSERT_NE(passed, failed);
    EXPECT_EQ(list->topLevelItem(0)->icon(1).pixmap(16, 16).toImage(), passed);
    EXPECT_EQ(list->topLevelItem(2)->icon(1).pixmap(16, 16).toImage(), failed);
    for (int index : {22, 24})
        EXPECT_FALSE(mainImage(index).isNull()) << index;
}

TEST_F(InstancePanelTest, TheDefinitionCacheIsUsedWhileItHoldsAndNeverWritten)
{
    // A cached reference to other.ide's record 0 (ID 10, model house) wins over the search.
    inst(0).DefFile = 0;
    inst(0).DefIndex = 0;
    select(0);
    EXPECT_EQ(statusTexts(), "Found|Found|Not Found|Not Found");

    // A cache that no longer holds (out of range, another ID, a tobj hour) is searched past.
    for (auto [file, index, hour] : {std::tuple{0, 5, -1}, std::tuple{0, 1, -1}, std::tuple{0, 0, 6},
                                     std::tuple{9, 0, -1}, std::tuple{TownIPL, 0, -1}}) {
        inst(0).DefFile = file;
        inst(0).DefIndex = index;
        inst(0).DefHour = hour;
        select(0);
        EXPECT_EQ(statusTexts(), "Found|Not Found|Not Found|Not Found") << file << " " << index << " " << hour;
    }

    inst(1).DefFile = -1;
    select(1);
    EXPECT_EQ(inst(1).DefFile, -1) << "the search does not fill the cache";
    EXPECT_EQ(inst(1).DefIndex, -1);
}

TEST_F(InstancePanelTest, TheIDIndexIsSearchedWhenItExists)
{
    TIDEFile& town = *m_files.IDEFile(TownIDE);
    town.Objs.BuildIDIndex();
    select(0);
    EXPECT_EQ(statusTexts(), "Found|Not Found|Not Found|Not Found");

    // Records deleted after the index was built: the search stays inside the records.
    town.Objs.Items.resize(1);
    select(0);
    EXPECT_EQ(statusTexts().left(5), "Found");
    town.Objs.Items.clear();
    select(0);
    EXPECT_EQ(statusTexts(), "Found|Found|Not Found|Not Found") << "other.ide answers";
}

TEST_F(InstancePanelTest, TypingAnIDOrModelChecksAgain)
{
    select(0);
    type("EditIPLInstID", "20");
    EXPECT_EQ(statusTexts(), "Found|Not Found|Not Found|Not Found");
    type("EditIPLInstModel", "LAMP");
    EXPECT_EQ(statusTexts(), "Found|Found|Not Found|Not Found") << "model names compare without case";
    type("EditIPLInstID", "77");
    EXPECT_EQ(statusTexts(), "Not Found|Not Found|Not Found|Not Found");
}

// The same files with a main archive holding the house model and two dictionaries.
class InstanceValidationArchive : public InstancePanelTest {
protected:
    void SetUp() override
    {
        InstancePanelTest::SetUp();
        std::filesystem::create_directories(m_game.file("models"));
        ASSERT_EQ(writeImgArchive(m_game.file("models/gta3.img"), {{"HOUSE.dff", {1, 2, 3}},
                                                                   {"towntex.txd", {4, 5, 6}},
                                                                   {"clocktex.txd", {7, 8, 9}},
                                                                   {"lamptex.dff", {1}}}),
                  0);
        m_archive = std::make_unique<TGTAImg>(programSettings().GameDir, true, nullptr);
        m_archiveDocument = std::make_unique<MapDocument>(m_files, m_archive.get());
        m_archiveEditor = std::make_unique<TFormEditorItem>(*m_archiveDocument, nullptr);
    }

    QString statusTextsWithArchive(int record)
    {
        m_archiveEditor->SelectRecord(FileKind::IPL, SectionCode::Inst, record, TownIPL);
        const auto* list = m_archiveEditor->findChild<QTreeWidget*>("EditIPLInstValidation");
        QStringList texts;
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            texts << list->topLevelItem(row)->text(1);
        return texts.join("|");
    }

    TempDir m_game;
    GameSettingsScope m_settings{m_game.path().string() + "/", true};
    std::unique_ptr<TGTAImg> m_archive;
    std::unique_ptr<MapDocument> m_archiveDocument;
    std::unique_ptr<TFormEditorItem> m_archiveEditor;
};

TEST_F(InstanceValidationArchive, ModelAndDictionaryAreLookedUpInTheArchive)
{
    // The house model exists; the dictionary is the one of TOWN.ide's definition.
    EXPECT_EQ(statusTextsWithArchive(0), "Found|Not Found|Found|Found");
    // other.ide's lamp: no model entry, and "lamptex" exists only as a model entry.
    EXPECT_EQ(statusTextsWithArchive(1), "Found|Found|Not Found|Not Found");
    EXPECT_EQ(statusTextsWithArchive(3), "Found|Found|Not Found|Found");
    EXPECT_EQ(statusTextsWithArchive(4), "Not Found|Not Found|Not Found|Not Found");

    // With the cache on other.ide's house, the dictionary asked for is "othertex".
    inst(0).DefFile = 0;
    inst(0).DefIndex = 0;
    EXPECT_EQ(statusTextsWithArchive(0), "Found|Found|Found|Not Found");
}

// Resets the program's main window when the test ends, whatever it asserted.

TEST(InstancePanelMainWindow, PickingInAHiddenFileShowsAndTicksIt)
{
    TFormMain main;
    auto files = std::make_unique<TGTAFileList>(programSettings().GameDir, programSettings().IsViceCity);
    addTownFiles(*files);
    files->AddFile(mapFile<TIPLFile>("docks.ipl", "inst\n1, crane, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n"));
    files->File(3)->Visible = true;
    TGTAFileList* list = files.get();
    main.SetFileList(std::move(files));
    main.RebuildVisibleList();
    ASSERT_EQ(main.ChkListVisible->count(), 2);
    ASSERT_EQ(main.ChkListVisible->item(0)->checkState(), Qt::Unchecked);

    TFormEditorItem editor{*main.Document(), nullptr};
    editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 2, TownIPL);
    EXPECT_TRUE(list->File(TownIPL)->Visible);
    EXPECT_EQ(main.ChkListVisible->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(main.ChkListVisible->item(1)->checkState(), Qt::Checked);
    EXPECT_FALSE(list->File(TownIPL)->Modified);
    EXPECT_FALSE(main.ActionSaveModified->isEnabled());

    // The list follows the record again when the user unticks the file and picks once more.
    main.ChkListVisible->item(0)->setCheckState(Qt::Unchecked);
    ASSERT_FALSE(list->File(TownIPL)->Visible);
    editor.SelectRecord(FileKind::IPL, SectionCode::Inst, 0, TownIPL);
    EXPECT_EQ(main.ChkListVisible->item(0)->checkState(), Qt::Checked);

    QLineEdit* posY = editor.findChild<QLineEdit*>("EditIPLInstPosY");
    posY->clear();
    EXPECT_TRUE(main.ActionSaveModified->isEnabled()) << "an edit enables saving";
}

} // namespace
