// The path group pages of the item editor: group headers, the node list, and the node
// panel whose controls write into the selected node of an IDE or an IPL group.
#include "TFormEditorItem.h"

#include "EditorControls.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Failed comparisons of box texts print the text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr int IPLFileIndex = 0;
constexpr int IDEFileIndex = 1;

class PathPanels : public testing::Test {
protected:
    void SetUp() override
    {
        auto ipl = std::make_unique<TIPLFile>();
        ipl->ReadText("path\n"
                      "1, -1\n"
                      "\t2, 3, 0, 10.5, 20, 30, 1.5, 1, 1, 0, 0, 1\n"
                      "\t0, 3, 0, -5, 6, 7, 0, 0, 0, 0, 0, 1\n"
                      "\t5, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0\n"
                      "end\n");
        ipl->FileName = "paths.ipl";
        m_files.AddFile(std::move(ipl));
        auto ide = std::make_unique<TIDEFile>();
        ide->ReadText("path\n"
                      "Ped, 105, road01\n"
                      "\t2, 3, 0, 10, 20, 30, 4, 1, 1\n"
                      "\t1, 0, 0, -5, 6, 7, 0, 2, 0\n"
                      "\t5, 1, 0, 1, 1, 1, 0, 0, 0\n"
                      "end\n");
        ide->FileName = "paths.ide";
        m_files.AddFile(std::move(ide));
    }

    TGTASPathIPLObj& iplGroup() { return m_files.IPLFile(IPLFileIndex)->Path.Items[0]; }
    TGTASPathObj& ideGroup() { return m_files.IDEFile(IDEFileIndex)->Path.Items[0]; }
    std::string iplText() const { return m_files.IPLFile(IPLFileIndex)->Path.WriteLine(0); }
    std::string ideText() const { return m_files.IDEFile(IDEFileIndex)->Path.WriteLine(0); }

    void selectIPLGroup() { select(FileKind::IPL, IPLFileIndex); }
    void selectIDEGroup() { select(FileKind::IDE, IDEFileIndex); }
    void select(FileKind kind, int file)
    {
        m_editor.SelectRecord(kind, SectionCode::Path, 0, file);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_editor));
    }

    template <typename Widget = QLineEdit>
    Widget* control(const char* name) const
    {
        return namedControl<Widget>(m_editor, name);
    }
    QTreeWidget* list(const char* name) const { return control<QTreeWidget>(name); }
    void clickRow(const char* listName, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTreeWidget* nodes = list(listName);
        QTreeWidgetItem* item = nodes->topLevelItem(row);
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(nodes->viewport(), Qt::LeftButton, modifiers, nodes->visualItemRect(item).center());
    }
    int selectedRow(const char* listName) const
    {
        QTreeWidget* nodes = list(listName);
        const QList<QTreeWidgetItem*> selected = nodes->selectedItems();
        return selected.size() == 1 ? nodes->indexOfTopLevelItem(selected.first()) : -1;
    }
    QString rowText(const char* listName, int row, int column) const
    {
        return list(listName)->topLevelItem(row)->text(column);
    }
    void click(QAbstractButton* button)
    {
        ASSERT_NE(button, nullptr);
        clickAtLeft(button);
    }
    void clickButton(const char* name) { click(control<QAbstractButton>(name)); }
    void retype(const char* name, const QString& text) { retypeBox(control(name), text); }

    TGTAFileList m_files{"", true};
    MapDocument m_document{m_files};
    TFormEditorItem m_editor{m_document, nullptr};
};

TEST_F(PathPanels, AnIDEGroupShowsItsHeaderAndNodes)
{
    selectIDEGroup();
    EXPECT_EQ(m_editor.ModeValue->text(), "IDE - Path");
    // Only the exact lower-case word makes a pedestrian group.
    EXPECT_TRUE(control<QRadioButton>("EditIDEPathRadioCar")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("EditIDEPathRadioPed")->isChecked());
    EXPECT_EQ(control("EditIDEPathID")->text(), "105");
    EXPECT_EQ(control("EditIDEPathModel")->text(), "road01");
    ASSERT_EQ(list("EditIDEPathItems")->topLevelItemCount(), 3);
    EXPECT_EQ(rowText("EditIDEPathItems", 0, 0), "Mid");
    EXPECT_EQ(rowText("EditIDEPathItems", 1, 0), "End");
    EXPECT_EQ(rowText("EditIDEPathItems", 2, 0), "");
    EXPECT_EQ(rowText("EditIDEPathItems", 0, 1), "3");
    EXPECT_EQ(rowText("EditIDEPathItems", 1, 2), "(-5, 6, 7)");
    EXPECT_EQ(selectedRow("EditIDEPathItems"), -1);
    EXPECT_TRUE(control<QWidget>("PanelIDEPathItem")->isHidden());
    EXPECT_FALSE(m_files.File(IDEFileIndex)->Modified);

    clickButton("EditIDEPathRadioPed");
    EXPECT_EQ(ideGroup().GroupType, "ped");
    EXPECT_TRUE(m_files.File(IDEFileIndex)->Modified);
    clickButton("EditIDEPathRadioCar");
    EXPECT_EQ(ideGroup().GroupType, "car");
    retype("EditIDEPathID", "65537");
    EXPECT_EQ(ideGroup().ID, 1) << "the low 16 bits";
    retype("EditIDEPathID", "x");
    EXPECT_EQ(ideGroup().ID, 0);
    retype("EditIDEPathModel", "road02");
    EXPECT_EQ(ideGroup().ModelName, "road02");
    EXPECT_TRUE(m_editor.ExpandedEdit->text().startsWith("car, 0, road02\r\n\t2, 3, 0, 10, 20, 30"));
}

TEST_F(PathPanels, AnIPLGroupShowsItsHeaderAndNodes)
{
    selectIPLGroup();
    EXPECT_EQ(m_editor.ModeValue->text(), "IPL - Path");
    const QList<QRadioButton*> types = control<QGroupBox>("boxpathtype")->findChildren<QRadioButton*>();
    ASSERT_EQ(types.size(), 3);
    EXPECT_EQ(types[0]->text(), "Ped");
    EXPECT_TRUE(types[1]->isChecked());
    EXPECT_EQ(control("EditIPLPathOther")->text(), "-1");
    EXPECT_EQ(rowText("EditIPLPathItems", 0, 2), "(10.5, 20, 30)");
    EXPECT_EQ(rowText("EditIPLPathItems", 1, 0), "-");
    EXPECT_TRUE(control<QWidget>("PanelIPLPathItem")->isHidden());
    EXPECT_FALSE(m_files.File(IPLFileIndex)->Modified);

    click(types[2]);
    EXPECT_EQ(iplGroup().GroupType, 2);
    EXPECT_TRUE(m_files.File(IPLFileIndex)->Modified);
    retype("EditIPLPathOther", "x");
    EXPECT_EQ(iplGroup().Other, 0);
    retype("EditIPLPathOther", "5");
    EXPECT_EQ(iplGroup().Other, 5);
    EXPECT_TRUE(m_editor.ExpandedEdit->text().startsWith("2, 5\r\n\t"));
}

TEST_F(PathPanels, SelectingANodeFillsItsPanel)
{
    selectIDEGroup();
    clickRow("EditIDEPathItems", 0);
    EXPECT_FALSE(control<QWidget>("PanelIDEPathItem")->isHidden());
    EXPECT_EQ(control("EditIDEPathItemConnect")->text(), "3");
    EXPECT_EQ(control("EditIDEPathItemPosZ")->text(), "30");
    EXPECT_EQ(control("EditIDEPathItemU7")->text(), "4");
    EXPECT_TRUE(control<QToolButton>("EditIDEPathItemTypeMid")->isChecked());
    EXPECT_TRUE(control<QToolButton>("EditIDEPathItemLL1")->isChecked());
    EXPECT_FALSE(control<QToolButton>("EditIDEPathItemLL0")->isChecked());

    // Type 5 has no button: the type buttons stay as they were.
    clickRow("EditIDEPathItems", 2);
    EXPECT_EQ(control("EditIDEPathItemConnect")->text(), "1");
    EXPECT_TRUE(control<QToolButton>("EditIDEPathItemTypeMid")->isChecked());
    EXPECT_TRUE(control<QToolButton>("EditIDEPathItemLL0")->isChecked());
    EXPECT_FALSE(m_files.File(IDEFileIndex)->Modified) << "selecting a node writes nothing";

    // Taking the selection away hides the node panel.
    clickRow("EditIDEPathItems", 2, Qt::ControlModifier);
    EXPECT_EQ(selectedRow("EditIDEPathItems"), -1);
    EXPECT_TRUE(control<QWidget>("PanelIDEPathItem")->isHidden());

    selectIPLGroup();
    clickRow("EditIPLPathItems", 0);
    EXPECT_EQ(control("EditIPLPathItemPosX")->text(), "10.5");
    EXPECT_EQ(control("EditIPLPathItemU7")->text(), "1.5");
    EXPECT_EQ(control("EditIPLPathItemU12")->text(), "1");
    // Reloading the group clears the row and hides the node panel again.
    selectIPLGroup();
    EXPECT_EQ(selectedRow("EditIPLPathItems"), -1);
    EXPECT_TRUE(control<QWidget>("PanelIPLPathItem")->isHidden());
}

TEST_F(PathPanels, NodeBoxesConvertByTheGroupsFileKind)
{
    selectIDEGroup();
    clickRow("EditIDEPathItems", 0);
    retype("EditIDEPathItemConnect", "x");
    EXPECT_EQ(ideGroup().Nodes[0].NextNode, -1);
    EXPECT_EQ(rowText("EditIDEPathItems", 0, 1), "-1");
    retype("EditIDEPathItemPosX", "12.5");
    EXPECT_EQ(ideGroup().Nodes[0].PosX, 0) << "IDE coordinates are whole numbers";
    EXPECT_EQ(rowText("EditIDEPathItems", 0, 2), "(0, 20, 30)");
    retype("EditIDEPathItemU7", "0.25");
    EXPECT_EQ(ideGroup().Nodes[0].U7, 0);
    retype("EditIDEPathItemU3", "65538");
    EXPECT_EQ(ideGroup().Nodes[0].U3, 2);
    EXPECT_TRUE(m_files.File(IDEFileIndex)->Modified);

    selectIPLGroup();
    clickRow("EditIPLPathItems", 0);
    retype("EditIPLPathItemConnect", "x");
    EXPECT_EQ(iplGroup().Nodes[0].NextNode, 0);
    retype("EditIPLPathItemPosX", "12.5");
    EXPECT_FLOAT_EQ(iplGroup().Nodes[0].PosX, 12.5f);
    EXPECT_EQ(rowText("EditIPLPathItems", 0, 2), "(12.5, 20, 30)");
    retype("EditIPLPathItemU7", "0.25");
    EXPECT_FLOAT_EQ(iplGroup().Nodes[0].U7, 0.25f);
    retype("EditIPLPathItemU10", "x");
    EXPECT_EQ(iplGroup().Nodes[0].U10, 0);
    retype("EditIPLPathItemU11", "7");
    EXPECT_EQ(iplGroup().Nodes[0].U11, 7);
    EXPECT_TRUE(m_editor.ExpandedEdit->text().contains("\t2, 0, 0, 12.5, 20, 30, 0.25, 1, 1, 0, 7, 1"));
    retype("EditIPLPathItemU12", "0.5");
    EXPECT_EQ(iplGroup().Nodes[0].U12, 0.5f) << "columns 10 to 12 keep a fraction";
    retype("EditIPLPathItemU10", "-1");
    EXPECT_EQ(iplGroup().Nodes[0].U10, 65535.0f);
    EXPECT_TRUE(m_editor.ExpandedEdit->text().contains("\t2, 0, 0, 12.5, 20, 30, 0.25, 1, 1, 65535, 7, 0.5"));
}

TEST_F(PathPanels, TypeAndLaneButtonsWriteTheSelectedNodeOnly)
{
    const std::string ideBefore = ideText();
    selectIPLGroup();
    clickRow("EditIPLPathItems", 1);
    clickButton("EditIPLPathItemTypeMid");
    EXPECT_EQ(iplGroup().Nodes[1].NodeType, 2);
    EXPECT_EQ(rowText("EditIPLPathItems", 1, 0), "Mid");
    clickButton("EditIPLPathItemTypeEnd");
    EXPECT_EQ(iplGroup().Nodes[1].NodeType, 1);
    EXPECT_EQ(rowText("EditIPLPathItems", 1, 0), "End");
    clickButton("EditIPLPathItemTypeNone");
    EXPECT_EQ(iplGroup().Nodes[1].NodeType, 0);
    EXPECT_EQ(rowText("EditIPLPathItems", 1, 0), "-");

    clickButton("EditIPLPathItemLR2");
    EXPECT_EQ(iplGroup().Nodes[1].RightLanes, 2);
    EXPECT_TRUE(control<QToolButton>("EditIPLPathItemLR2")->isChecked());
    EXPECT_FALSE(control<QToolButton>("EditIPLPathItemLR0")->isChecked()) << "one button of a group is down";
    clickButton("EditIPLPathItemLL1");
    EXPECT_EQ(iplGroup().Nodes[1].LeftLanes, 1);
    EXPECT_EQ(iplGroup().Nodes[0].RightLanes, 1);
    EXPECT_EQ(iplGroup().Nodes[2].RightLanes, 0);
    EXPECT_EQ(ideText(), ideBefore);
    EXPECT_FALSE(m_files.File(IDEFileIndex)->Modified);

    selectIDEGroup();
    clickRow("EditIDEPathItems", 1);
    clickButton("EditIDEPathItemTypeMid");
    clickButton("EditIDEPathItemLR1");
    EXPECT_EQ(ideGroup().Nodes[1].NodeType, 2);
    EXPECT_EQ(ideGroup().Nodes[1].RightLanes, 1);
    EXPECT_EQ(rowText("EditIDEPathItems", 1, 0), "Mid");
}

TEST_F(PathPanels, TheSelectedNodeStaysSelectedAcrossEdits)
{
    selectIPLGroup();
    clickRow("EditIPLPathItems", 1);
    retype("EditIPLPathItemPosY", "8");
    retype("EditIPLPathItemPosZ", "-9.75");
    clickButton("EditIPLPathItemLL2");
    EXPECT_EQ(selectedRow("EditIPLPathItems"), 1);
    EXPECT_FALSE(control<QWidget>("PanelIPLPathItem")->isHidden());
    EXPECT_FLOAT_EQ(iplGroup().Nodes[1].PosY, 8);
    EXPECT_FLOAT_EQ(iplGroup().Nodes[1].PosZ, -9.75f);
    EXPECT_EQ(iplGroup().Nodes[1].LeftLanes, 2);
    EXPECT_EQ(rowText("EditIPLPathItems", 1, 2), "(-5, 8, -9.75)");
    EXPECT_FLOAT_EQ(iplGroup().Nodes[0].PosY, 20) << "the other nodes keep their values";
}

TEST_F(PathPanels, NodeControlsWithoutASelectedRowDoNothing)
{
    const std::string before = iplText();
    selectIPLGroup();
    QTest::keyClicks(control("EditIPLPathItemPosX"), "4");
    QTest::keyClicks(control("EditIPLPathItemConnect"), "2");
    EXPECT_EQ(iplText(), before);
    EXPECT_FALSE(m_files.File(IPLFileIndex)->Modified);
}

TEST_F(PathPanels, UndoRestoresTheGroupWithItsNodes)
{
    const std::string iplBefore = iplText();
    selectIPLGroup();
    retype("EditIPLPathOther", "9");
    clickRow("EditIPLPathItems", 2);
    retype("EditIPLPathItemPosX", "100");
    clickButton("EditIPLPathItemTypeEnd");
    ASSERT_NE(iplText(), iplBefore);
    QTest::mouseClick(m_editor.BtnUndo, Qt::LeftButton);
    EXPECT_EQ(iplText(), iplBefore);
    EXPECT_EQ(iplGroup().NodeCount(), 3);
    EXPECT_FALSE(m_files.File(IPLFileIndex)->Modified);
    EXPECT_EQ(rowText("EditIPLPathItems", 2, 2), "(1, 1, 1)");
    EXPECT_EQ(control("EditIPLPathOther")->text(), "-1");

    const std::string ideBefore = ideText();
    selectIDEGroup();
    clickButton("EditIDEPathRadioPed");
    clickRow("EditIDEPathItems", 0);
    retype("EditIDEPathItemPosY", "-40");
    QTest::mouseClick(m_editor.BtnUndo, Qt::LeftButton);
    EXPECT_EQ(ideText(), ideBefore);
    EXPECT_EQ(ideGroup().GroupType, "Ped");
    EXPECT_FALSE(m_files.File(IDEFileIndex)->Modified);
}

}
