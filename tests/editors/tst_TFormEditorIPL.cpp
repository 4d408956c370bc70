// The IPL editor's lists and record commands: row texts of every section, the sort cycle,
// adding, duplicating and deleting, opening rows in the item editor and selecting all.
#include "MapEditorFixture.h"

#include "RecordRowsModel.h"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>

#include <numeric>

namespace {

class IPLEditor : public MapEditorFixture {
protected:
    void SetUp() override
    {
        showEditors();
        chooseFile(m_ipl, 1);
    }

    void chooseSection(const QString& caption)
    {
        for (QRadioButton* button : m_ipl.RadioSection->findChildren<QRadioButton*>()) {
            if (button->text() == caption) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << caption.toStdString();
    }
};

TEST_F(IPLEditor, EverySectionShowsItsRowTexts)
{
    ipl(1).Path.ReadLine("1, -1");
    ipl(1).Occl.ReadLine("10, 20.5, -1, 1, 1, 1, 0");
    struct Case {
        const char* section;
        const char* index;
        const char* name;
    };
    const Case cases[] = {
        {"INST", "12", "tree"},
        {"CULL", "0", "(1.500, 2.250, -3.000)"},
        {"ZONE", "0", "docks"},
        {"PATH", "Vehicle", "-1"},
        {"OCCL", "0", "(10.000, 20.500, -1.000)"},
    };
    for (const Case& c : cases) {
        chooseSection(c.section);
        EXPECT_EQ(cell(m_ipl.ListItems, 0, 0), c.index) << c.section;
        EXPECT_EQ(cell(m_ipl.ListItems, 0, 1), c.name) << c.section;
        EXPECT_EQ(m_ipl.PanelInstSelect->isVisible(), std::string_view(c.section) == "INST") << c.section;
    }
    EXPECT_EQ(cell(m_ipl.ListFiles, 0, 1), "DATA\\MAPS\\TOWN.IPL");
    ipl(1).Modified = true;
    m_ipl.RepaintLists();
    EXPECT_EQ(cell(m_ipl.ListFiles, 0, 1), "DATA\\MAPS\\TOWN.IPL *");
}

TEST_F(IPLEditor, HeaderClicksSortAscendingDescendingThenAscendingAgain)
{
    clickHeader(m_ipl.ListItems, 0);
    EXPECT_EQ(column(m_ipl.ListItems, 0), QStringList({"10", "11", "12"}));
    clickHeader(m_ipl.ListItems, 0);
    EXPECT_EQ(column(m_ipl.ListItems, 0), QStringList({"12", "11", "10"}));
    clickHeader(m_ipl.ListItems, 0);
    EXPECT_EQ(column(m_ipl.ListItems, 0), QStringList({"10", "11", "12"}));
    clickHeader(m_ipl.ListItems, 1);
    EXPECT_EQ(column(m_ipl.ListItems, 1), QStringList({"house", "Shop", "tree"})) << "names sort without case";

    // The row map follows the sort: a row opens its own record.
    doubleClickRow(m_ipl.ListItems, 2);
    EXPECT_EQ(m_item.SelRecord(), 0);

    // Adding rebuilds the rows in file order with the new one chosen.
    m_ipl.ActionEditAdd->trigger();
    EXPECT_EQ(column(m_ipl.ListItems, 1), QStringList({"tree", "house", "Shop", ""}));
    EXPECT_EQ(m_ipl.CurrentRow(), 3);

    // Files sort by name without their folder; the chosen row keeps its place.
    clickHeader(m_ipl.ListFiles, 1);
    EXPECT_EQ(column(m_ipl.ListFiles, 0), QStringList({"2", "1"}));
    EXPECT_EQ(m_ipl.CurrentFile(), 2);
}

TEST_F(IPLEditor, AddItemPlacesADefaultInstanceAtTheCameraTarget)
{
    QSignalSpy modified(&m_document, &MapDocument::modifiedChanged);
    m_view.MoveTo(100, -50, 7.5f);
    m_ipl.ActionEditAdd->trigger();
    ASSERT_EQ(ipl(1).Inst.Count(), 4);
    const TGTASInstObj& added = ipl(1).Inst.Items[3];
    EXPECT_EQ(added.ID, 0);
    EXPECT_EQ(added.ModelName, "");
    EXPECT_EQ((std::array<float, 3>{added.PosX, added.PosY, added.PosZ}), (std::array<float, 3>{100, -50, 7.5f}));
    EXPECT_EQ((std::array<float, 4>{added.RotX, added.RotY, added.RotZ, added.RotW}), (std::array<float, 4>{0, 0, 0, 1}));
    EXPECT_TRUE(ipl(1).Modified);
    ASSERT_EQ(modified.count(), 1);
    EXPECT_EQ(modified[0][0].toInt(), 1);
    EXPECT_TRUE(m_item.HasSelection()) << "the new record is opened";
    EXPECT_EQ(m_item.SelRecord(), 3);
    EXPECT_EQ(m_item.SelSection(), SectionCode::Inst);

    // Occluders take no new records.
    chooseSection("OCCL");
    m_ipl.ActionEditAdd->trigger();
    EXPECT_EQ(ipl(1).Occl.Count(), 0);
}

TEST_F(IPLEditor, DuplicateCopiesAndDeleteClearsTheItemEditor)
{
    clickRow(m_ipl.ListItems, 2);
    EXPECT_TRUE(m_ipl.ActionEditDuplicate->isEnabled());
    m_ipl.ActionEditDuplicate->trigger();
    ASSERT_EQ(ipl(1).Inst.Count(), 4);
    EXPECT_EQ(ipl(1).Inst.WriteLine(3), ipl(1).Inst.WriteLine(2));
    EXPECT_EQ(m_item.SelRecord(), 3);
    EXPECT_TRUE(ipl(1).Modified);

    ipl(1).Modified = false;
    QSignalSpy modified(&m_document, &MapDocument::modifiedChanged);
    clickRow(m_ipl.ListItems, 0);
    doubleClickRow(m_ipl.ListItems, 0);
    ASSERT_TRUE(m_item.HasSelection());
    // Del is the action's shortcut within the window.
    m_ipl.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_ipl));
    m_ipl.ListItems->setFocus();
    QTest::keyClick(m_ipl.ListItems, Qt::Key_Delete);
    EXPECT_FALSE(m_item.HasSelection());
    EXPECT_EQ(ipl(1).Inst.Count(), 3);
    EXPECT_EQ(ipl(1).Inst.Items[0].ModelName, "house");
    EXPECT_TRUE(ipl(1).Modified);
    EXPECT_EQ(modified.count(), 1);
    EXPECT_EQ(m_ipl.ListItems->model()->rowCount(), 3);
    EXPECT_FALSE(m_ipl.ActionEditDuplicate->isEnabled());

    // Path groups are not duplicated; the current row opens again.
    chooseSection("PATH");
    m_ipl.ActionEditAdd->trigger();
    ASSERT_EQ(ipl(1).Path.Count(), 1);
    m_ipl.ActionEditDuplicate->trigger();
    EXPECT_EQ(ipl(1).Path.Count(), 1);
    EXPECT_EQ(m_item.SelSection(), SectionCode::Path);
}

TEST_F(IPLEditor, DoubleClickOpensShiftAddsAndEnterOpens)
{
    doubleClickRow(m_ipl.ListItems, 1);
    EXPECT_EQ(m_item.SelSection(), SectionCode::Inst);
    EXPECT_EQ(m_item.SelRecord(), 1);
    doubleClickRow(m_ipl.ListItems, 2, Qt::ShiftModifier);
    EXPECT_EQ(m_item.SelSection(), SectionCode::SeveralInst);
    EXPECT_EQ(m_item.MultipleInstances(), (std::vector<int>{1, 2}));

    clickRow(m_ipl.ListItems, 0);
    QTest::keyClick(m_ipl.ListItems, Qt::Key_Return);
    EXPECT_EQ(m_item.SelSection(), SectionCode::Inst);
    EXPECT_EQ(m_item.SelRecord(), 0);
    EXPECT_EQ(m_view.GetCameraTarget(), (std::array<float, 3>{-10, 4, 2})) << "the view centres on the instance";
}

TEST_F(IPLEditor, SelectAllListsEveryInstanceOnce)
{
    for (int extra = 0; extra < 7; ++extra)
        ipl(1).Inst.NewRecordAt(float(extra), 0, 0);
    m_ipl.RefreshRecords();
    // A single instance already selected, as after a pick in the view.
    m_item.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 1, 1);
    m_ipl.BtnInstSelectAll->click();
    std::vector<int> expected(10);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(m_item.MultipleInstances(), expected);
    EXPECT_EQ(m_item.EditIPLMultInstItemCount->text(), "10 Items");
    EXPECT_EQ(m_item.EditIPLMultInstList->item(2)->text(), "11 - Shop");
    EXPECT_EQ(m_document.selection(), (DocumentSelection{FileKind::IPL, SectionCode::SeveralInst, 1, expected}));
    EXPECT_EQ(m_view.GetSelectionState(), SelectionState::Several) << "the view shows the document's selection";

    // Moving them all is one step that takes every one of them back.
    const std::string before = ipl(1).SaveText();
    m_item.MoveSelection(5, 0, 0);
    m_item.MoveFinished();
    EXPECT_EQ(m_document.undoStack().undoText(), "Move 10 Instances");
    m_document.undoStack().undo();
    EXPECT_EQ(ipl(1).SaveText(), before);
    EXPECT_EQ(m_item.MultipleInstances(), expected) << "the records still exist: the selection stays";
    m_document.setSelection({});
    EXPECT_EQ(m_view.GetSelectionState(), SelectionState::Nothing);

    // Two records: both opened through the item editor.
    ipl(2).Inst.DeleteRecord(0);
    chooseFile(m_ipl, 2);
    m_item.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 1, 2);
    m_ipl.BtnInstSelectAll->click();
    EXPECT_EQ(m_item.SelFile(), 2);
    EXPECT_EQ(m_item.MultipleInstances(), (std::vector<int>{0, 1}));
    EXPECT_EQ(m_item.EditIPLMultInstItemCount->text(), "2 Items");
}

TEST_F(IPLEditor, APickInTheViewShowsItsRowWithoutOpeningItAgain)
{
    chooseSection("ZONE");
    m_view.MoveTo(1, 2, 3);
    m_item.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 2, 2);
    EXPECT_EQ(m_ipl.CurrentFile(), 2);
    EXPECT_EQ(m_ipl.CurrentSection(), SectionCode::Inst);
    EXPECT_EQ(m_ipl.CurrentRecord(), 2);
    EXPECT_EQ(m_item.SelSection(), SectionCode::Inst);
    EXPECT_EQ(m_view.GetCameraTarget(), (std::array<float, 3>{1, 2, 3})) << "showing the row does not open it";

    // The main window shows a file's records the same way.
    EXPECT_TRUE(m_ipl.ShowFile(1));
    EXPECT_EQ(m_ipl.CurrentFile(), 1);
    EXPECT_EQ(column(m_ipl.ListItems, 1), QStringList({"tree", "house", "Shop"}));
    EXPECT_FALSE(m_ipl.ShowFile(0)) << "an IDE file";
    EXPECT_EQ(m_ipl.CurrentFile(), 1);
}

TEST_F(IPLEditor, ASectionOf30000RecordsIsAModelNotItems)
{
    TIPLFile& big = ipl(2);
    for (int record = 0; record < 30000; ++record)
        big.Inst.NewRecordAt(0, 0, 0);
    big.Inst.Items.back().ModelName = "last";
    chooseFile(m_ipl, 2);
    EXPECT_EQ(qobject_cast<QTreeWidget*>(m_ipl.ListItems), nullptr);
    auto* rows = dynamic_cast<RecordRowsModel*>(m_ipl.ListItems->model());
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->rowCount(), 30003);
    EXPECT_EQ(cell(m_ipl.ListItems, 30002, 1), "last");
    // Rows past the section (records gone behind the list's back) read as empty.
    big.Inst.Items.resize(10);
    EXPECT_EQ(cell(m_ipl.ListItems, 30002, 1), "");
    clickHeader(m_ipl.ListItems, 1);
    EXPECT_EQ(rows->rowCount(), 30003);
}

TEST_F(IPLEditor, ActionsHaveTheirCaptions)
{
    EXPECT_EQ(m_ipl.ActionEditAdd->text(), "&Add Item");
    EXPECT_EQ(m_ipl.ActionEditDelete->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(m_ipl.ActionFileOpen->text(), "&Open IPL File");
    EXPECT_EQ(m_ipl.ActionFileNew->text(), "&New IPL File");
    EXPECT_EQ(m_ipl.ActionFileClose->text(), "&Close IPL File");
    EXPECT_EQ(m_ipl.ActionFileDelete->text(), "&Delete File");
    EXPECT_EQ(m_ide.ActionFileDelete->text(), "&Delete IDE File");
}

}
