// The item editor's selection: picks from the view, the several-instance list, the centre
// the view's axes and drags use, and moving the selection.
#include "TFormEditorItem.h"

#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr std::string_view TownText =
    "inst\n"
    "10, house, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\n"
    "11, shop, 10, 20, 30, 1, 1, 1, 0, 0, 0, 1\n"
    "12, tree, -10, 4, 2, 1, 1, 1, 0, 0, 0, 1\n"
    "end\n";

class ItemEditorSelection : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"town.ipl", "docks.ipl"}) {
            auto file = std::make_unique<TIPLFile>();
            file->ReadText(TownText);
            file->FileName = name;
            m_files.AddFile(std::move(file));
        }
        auto ide = std::make_unique<TIDEFile>();
        ide->ReadText("objs\n10, house, town, 100, 0\nend\n");
        ide->FileName = "town.ide";
        m_files.AddFile(std::move(ide));
    }

    TGTASInstObj& inst(int file, int record) { return m_files.IPLFile(file)->Inst.Items[record]; }
    QString rowsText() const
    {
        QStringList rows;
        for (int row = 0; row < m_editor.EditIPLMultInstList->count(); ++row)
            rows << m_editor.EditIPLMultInstList->item(row)->text();
        return rows.join("|");
    }

    TGTAFileList m_files;
    TFormEditorItem m_editor{&m_files, nullptr};
};

TEST_F(ItemEditorSelection, APickSelectsOneInstanceAndShowsItsLine)
{
    m_editor.SelectRecord(FileKind::IPL, 11, 1, 0);
    EXPECT_TRUE(m_editor.HasSelection);
    EXPECT_EQ(m_editor.SelSection, 0);
    EXPECT_EQ(m_editor.SelRecord, 1);
    EXPECT_EQ(m_editor.SelFile, 0);
    EXPECT_EQ(m_editor.ModeValue->text(), "IPL - Inst");
    EXPECT_EQ(m_editor.FileIndexValue->text(), "town.ipl");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), QString::fromStdString(m_files.IPLFile(0)->Inst.WriteLine(1)));
    EXPECT_EQ(m_editor.GetSelectionCentre(), (std::array<float, 3>{10, 20, 30}));
    EXPECT_FALSE(m_files.File(0)->Modified) << "showing a record never marks its file";
}

TEST_F(ItemEditorSelection, ShiftPicksBuildAndToggleTheList)
{
    // The first Shift-pick with nothing selected selects one instance.
    m_editor.SelectRecord(FileKind::IPL, 10, 0, 0);
    EXPECT_EQ(m_editor.SelSection, 0);
    EXPECT_EQ(m_editor.EditIPLMultInstList->count(), 0);

    m_editor.SelectRecord(FileKind::IPL, 10, 1, 0);
    EXPECT_EQ(m_editor.SelSection, 10);
    EXPECT_EQ(rowsText(), "10 - house|11 - shop");
    EXPECT_EQ(m_editor.EditIPLMultInstItemCount->text(), "2 Items");
    EXPECT_EQ(m_editor.GetSelectionCentre(), (std::array<float, 3>{5, 10, 15}));
    EXPECT_EQ(m_editor.EditIPLMultInstItemCenter->text(), "5, 10, 15");
    EXPECT_EQ(m_editor.ModeValue->text(), "IPL - Inst(s)");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), "N/A");

    m_editor.SelectRecord(FileKind::IPL, 10, 2, 0);
    EXPECT_EQ(m_editor.EditIPLMultInstItemCount->text(), "3 Items");
    // Shift-picking a member again takes it out.
    m_editor.SelectRecord(FileKind::IPL, 10, 0, 0);
    EXPECT_EQ(rowsText(), "11 - shop|12 - tree");
    EXPECT_EQ(m_editor.MultipleInstances(), (std::vector<int>{1, 2}));
    EXPECT_EQ(m_editor.GetSelectionCentre(), (std::array<float, 3>{0, 12, 16}));
}

TEST_F(ItemEditorSelection, AnInstanceOfAnotherFileNeverJoinsTheList)
{
    m_editor.SelectRecord(FileKind::IPL, 11, 0, 0);
    m_editor.SelectRecord(FileKind::IPL, 10, 1, 0);
    ASSERT_EQ(m_editor.MultipleInstances(), (std::vector<int>{0, 1}));

    // A list of the other file starts with the new instance alone.
    m_editor.SelectRecord(FileKind::IPL, 10, 2, 1);
    EXPECT_EQ(m_editor.SelSection, 10);
    EXPECT_EQ(m_editor.SelFile, 1);
    EXPECT_EQ(m_editor.MultipleInstances(), (std::vector<int>{2}));
    m_editor.MoveSelection(1, 0, 0);
    EXPECT_FLOAT_EQ(inst(1, 2).PosX, -9);
    EXPECT_FLOAT_EQ(inst(0, 0).PosX, 0) << "records of the first file stay where they are";
    EXPECT_FLOAT_EQ(inst(0, 2).PosX, -10);

    // A single instance of one file and a Shift-pick in another: the new one alone.
    m_editor.SelectRecord(FileKind::IPL, 11, 0, 0);
    m_editor.SelectRecord(FileKind::IPL, 10, 1, 1);
    EXPECT_EQ(m_editor.SelSection, 0);
    EXPECT_EQ(m_editor.SelFile, 1);
    EXPECT_EQ(m_editor.MultipleInstances().size(), 0u);
}

TEST_F(ItemEditorSelection, MovingWritesEveryListedInstanceAndMarksTheFile)
{
    m_editor.SelectRecord(FileKind::IPL, 11, 1, 0);
    m_editor.MoveSelection(1.5f, -2, 0.25f);
    EXPECT_FLOAT_EQ(inst(0, 1).PosX, 11.5f);
    EXPECT_FLOAT_EQ(inst(0, 1).PosY, 18);
    EXPECT_FLOAT_EQ(inst(0, 1).PosZ, 30.25f);
    EXPECT_TRUE(m_files.File(0)->Modified);
    EXPECT_FALSE(m_files.File(1)->Modified);
    EXPECT_EQ(m_editor.ExpandedEdit->text(), QString::fromStdString(m_files.IPLFile(0)->Inst.WriteLine(1)));

    m_editor.SelectRecord(FileKind::IPL, 10, 2, 0);
    m_editor.MoveSelection(0, 0, 10);
    EXPECT_FLOAT_EQ(inst(0, 1).PosZ, 40.25f);
    EXPECT_FLOAT_EQ(inst(0, 2).PosZ, 12);
    EXPECT_FLOAT_EQ(inst(0, 0).PosZ, 0);
}

TEST_F(ItemEditorSelection, DefinitionsAndClearedSelectionsDoNotMove)
{
    m_editor.SelectRecord(FileKind::IDE, 1, 0, 2);
    EXPECT_EQ(m_editor.ModeValue->text(), "IDE - Objs");
    EXPECT_EQ(m_editor.GetSelectionCentre(), (std::array<float, 3>{0, 0, 0}));
    m_editor.MoveSelection(5, 5, 5);
    EXPECT_FALSE(m_files.File(2)->Modified);

    m_editor.SelectRecord(FileKind::IPL, 11, 0, 0);
    m_editor.ClearSelection();
    EXPECT_FALSE(m_editor.HasSelection);
    EXPECT_EQ(m_editor.ModeValue->text(), "N/A");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), "");
    m_editor.MoveSelection(5, 5, 5);
    EXPECT_FLOAT_EQ(inst(0, 0).PosX, 0);
    EXPECT_FALSE(m_files.File(0)->Modified);
}

}
