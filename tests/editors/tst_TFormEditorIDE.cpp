// The IDE editor: row texts and sorts of its sections, new definitions' IDs, and placing or
// handing a definition to an instance.
#include "MapEditorFixture.h"

#include <QAction>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalSpy>

namespace {

class IDEEditor : public MapEditorFixture {
protected:
    void SetUp() override
    {
        TIDEFile& town = ide(0);
        town.Path.ReadLine("car, -1, road01");
        town.Path.ReadLine("ped, 7, Alley");
        town.Fx2d.ReadLine("10, 0, 0, 5, 255, 128, 0, 200, 0, \"coronastar\", \"shad_exp\", 100, 3, 5, 0, 40, 0, 0, 0, 0");
        town.Fx2d.ReadLine("25, 1, 1, 1, 9, 8, 7, 200, 1, 3, 0, 0, 0, 1");
        town.Fx2d.ReadLine("30, 1, 1, 1, 1, 2, 3, 200, 9");
        showEditors();
        chooseFile(m_ide, 0);
    }

    void chooseSection(const QString& caption)
    {
        for (QRadioButton* button : m_ide.RadioSection->findChildren<QRadioButton*>()) {
            if (button->text() == caption) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << caption.toStdString();
    }
};

TEST_F(IDEEditor, RowsOfEverySection)
{
    struct Case {
        const char* section;
        QStringList indexes;
        QStringList names;
    };
    const Case cases[] = {
        {"OBJS", {"10", "25"}, {"house", "shop"}},
        {"TOBJ", {"30"}, {"lamp"}},
        {"PATH (GTA III)", {"65535", "7"}, {"road01", "Alley"}},
        {"2DFX", {"10", "25", "30"}, {"(255, 128, 0) - Light", "(9, 8, 7) - Particle", "(1, 2, 3)"}},
    };
    for (const Case& c : cases) {
        chooseSection(c.section);
        EXPECT_EQ(column(m_ide.ListItems, 0), c.indexes) << c.section;
        EXPECT_EQ(column(m_ide.ListItems, 1), c.names) << c.section;
    }
}

TEST_F(IDEEditor, SortsByIDNameOrFileOrder)
{
    chooseSection("PATH (GTA III)");
    clickHeader(m_ide.ListItems, 0);
    EXPECT_EQ(column(m_ide.ListItems, 0), QStringList({"7", "65535"})) << "IDs sort as unsigned";
    clickHeader(m_ide.ListItems, 1);
    EXPECT_EQ(column(m_ide.ListItems, 1), QStringList({"Alley", "road01"}));

    // Effects keep the file order ascending and reverse it descending, by either column.
    chooseSection("2DFX");
    for (int header : {0, 1}) {
        clickHeader(m_ide.ListItems, header);
        EXPECT_EQ(column(m_ide.ListItems, 0), QStringList({"10", "25", "30"})) << header;
        clickHeader(m_ide.ListItems, header);
        EXPECT_EQ(column(m_ide.ListItems, 0), QStringList({"30", "25", "10"})) << header;
    }
}

TEST_F(IDEEditor, NewDefinitionsTakeTheHighestIDOfAllFilesPlusOne)
{
    QSignalSpy modified(&m_document, &MapDocument::modifiedChanged);
    auto other = std::make_unique<TIDEFile>();
    other->ReadText("objs\n900, far, far, 100, 0\nend\n");
    files().AddFile(std::move(other));
    chooseSection("TOBJ");
    ide(0).TObj.BuildIDIndex();
    m_ide.ActionEditAdd->trigger();
    EXPECT_FALSE(ide(0).TObj.IDIndex) << "the index would miss the new record";
    ASSERT_EQ(ide(0).TObj.Count(), 2);
    EXPECT_EQ(ide(0).TObj.Items[1].ID, 901);
    EXPECT_TRUE(ide(0).Modified);
    EXPECT_EQ(modified.count(), 1);
    EXPECT_EQ(m_item.SelSection(), SectionCode::TObj);
    EXPECT_EQ(m_item.SelRecord(), 1);
}

TEST_F(IDEEditor, AddItemInstanceNeedsAnIPLFile)
{
    clickRow(m_ide.ListItems, 1);
    ASSERT_TRUE(m_ide.ActionEditAddInstance->isEnabled());
    m_ide.ActionEditAddInstance->trigger();
    EXPECT_EQ(m_dialogs.messageTexts(), QStringList({"Please ensure a file is selected in the Item Placement panel!"}));
    EXPECT_EQ(ipl(1).Inst.Count(), 3);
    EXPECT_FALSE(ipl(1).Modified);
}

TEST_F(IDEEditor, AddItemInstanceAlwaysPlacesAnInstanceOfTheDefinition)
{
    chooseFile(m_ipl, 2);
    m_ipl.SetSection(SectionCode::Cull);
    m_view.MoveTo(5, 6, 7);
    clickRow(m_ide.ListItems, 1);
    m_dialogs.answers = {DialogAnswer::Yes};
    m_ide.ActionEditAddInstance->trigger();

    EXPECT_EQ(m_dialogs.messageTexts(), QStringList({"Add item instance of selected object to: DATA\\MAPS\\DOCKS.IPL?"}));
    EXPECT_EQ(ipl(2).Cull.Count(), 1);
    ASSERT_EQ(ipl(2).Inst.Count(), 4);
    const TGTASInstObj& placed = ipl(2).Inst.Items[3];
    EXPECT_EQ(placed.ID, 25);
    EXPECT_EQ(placed.ModelName, "shop");
    EXPECT_EQ((std::array<float, 3>{placed.PosX, placed.PosY, placed.PosZ}), (std::array<float, 3>{5, 6, 7}));
    EXPECT_EQ(m_ipl.CurrentSection(), SectionCode::Inst);
    EXPECT_EQ(m_item.SelFile(), 2);
    EXPECT_EQ(m_item.SelRecord(), 3);
    EXPECT_TRUE(ipl(2).Modified);
    // One step, which takes the instance and its definition back together.
    EXPECT_EQ(m_document.undoStack().count(), 1);
    EXPECT_EQ(m_document.undoStack().undoText(), "Add Item Instance");
    m_document.undoStack().undo();
    EXPECT_EQ(ipl(2).Inst.Count(), 3);
    EXPECT_EQ(ipl(2).SaveText(), TownIPL);
    EXPECT_FALSE(m_item.HasSelection()) << "the selected record no longer exists";
    m_document.undoStack().redo();
    EXPECT_EQ(ipl(2).Inst.Items[3].ModelName, "shop");

    // Answered No: nothing is placed.
    m_ide.ActionEditAddInstance->trigger();
    EXPECT_EQ(ipl(2).Inst.Count(), 4);
}

TEST_F(IDEEditor, UseDefinitionFollowsTheItemEditorsSelection)
{
    QSignalSpy chosen(&m_ide, &MapFileEditor::definitionChosen);
    EXPECT_FALSE(m_ide.ActionEditUseDefinition->isEnabled());
    m_item.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 0, 1);
    EXPECT_TRUE(m_ide.ActionEditUseDefinition->isEnabled());
    clickRow(m_ide.ListItems, 0);
    m_ide.ActionEditUseDefinition->trigger();
    EXPECT_EQ(ipl(1).Inst.Items[0].ID, 10);
    EXPECT_EQ(ipl(1).Inst.Items[0].ModelName, "house");
    ASSERT_GE(chosen.count(), 1);
    EXPECT_EQ(chosen.last()[0].toInt(), 10);
    EXPECT_FALSE(chosen.last()[1].toBool());
    m_item.ClearSelection();
    EXPECT_FALSE(m_ide.ActionEditUseDefinition->isEnabled());
}

}
