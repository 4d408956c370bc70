// The item editor's selection: picks from the view, the several-instance list, the centre
// the view's axes and drags use, and moving the selection.
#include "TFormEditorItem.h"

#include "TFormMain.h"
#include "ToolDock.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

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
        ide->ReadText("objs\n10, house, town, 100, 0\nend\n"
                      "path\ncar, 105, road01\n\t2, -1, 0, 10, 20, 0, 0, 1, 1\n\t1, 0, 0, 30, 40, 0, 0, 1, 1\nend\n");
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

    TGTAFileList m_files{"", true};
    MapDocument m_document{m_files};
    TFormEditorItem m_editor{m_document, nullptr};
};

TEST_F(ItemEditorSelection, APickSelectsOneInstanceAndShowsItsLine)
{
    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 1, 0);
    EXPECT_TRUE(m_editor.HasSelection());
    EXPECT_EQ(m_editor.SelSection(), SectionCode::Inst);
    EXPECT_EQ(m_editor.SelRecord(), 1);
    EXPECT_EQ(m_editor.SelFile(), 0);
    EXPECT_EQ(m_editor.ModeValue->text(), "IPL - Inst");
    EXPECT_EQ(m_editor.FileIndexValue->text(), "town.ipl");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), QString::fromStdString(m_files.IPLFile(0)->Inst.WriteLine(1)));
    EXPECT_EQ(m_editor.GetSelectionCentre(), (std::array<float, 3>{10, 20, 30}));
    EXPECT_FALSE(m_files.File(0)->Modified) << "showing a record never marks its file";
}

TEST_F(ItemEditorSelection, ShiftPicksBuildAndToggleTheList)
{
    // The first Shift-pick with nothing selected selects one instance.
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 0, 0);
    EXPECT_EQ(m_editor.SelSection(), SectionCode::Inst);
    EXPECT_EQ(m_editor.EditIPLMultInstList->count(), 0);

    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 1, 0);
    EXPECT_EQ(m_editor.SelSection(), SectionCode::SeveralInst);
    EXPECT_EQ(rowsText(), "10 - house|11 - shop");
    EXPECT_EQ(m_editor.EditIPLMultInstItemCount->text(), "2 Items");
    EXPECT_EQ(m_editor.GetSelectionCentre(), (std::array<float, 3>{5, 10, 15}));
    EXPECT_EQ(m_editor.EditIPLMultInstItemCenter->text(), "5, 10, 15");
    EXPECT_EQ(m_editor.ModeValue->text(), "IPL - Inst(s)");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), "N/A");

    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 2, 0);
    EXPECT_EQ(m_editor.EditIPLMultInstItemCount->text(), "3 Items");
    // Shift-picking a member again takes it out.
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 0, 0);
    EXPECT_EQ(rowsText(), "11 - shop|12 - tree");
    EXPECT_EQ(m_editor.MultipleInstances(), (std::vector<int>{1, 2}));
    EXPECT_EQ(m_editor.GetSelectionCentre(), (std::array<float, 3>{0, 12, 16}));
}

TEST_F(ItemEditorSelection, AnInstanceOfAnotherFileNeverJoinsTheList)
{
    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 0, 0);
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 1, 0);
    ASSERT_EQ(m_editor.MultipleInstances(), (std::vector<int>{0, 1}));

    // A list of the other file starts with the new instance alone.
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 2, 1);
    EXPECT_EQ(m_editor.SelSection(), SectionCode::SeveralInst);
    EXPECT_EQ(m_editor.SelFile(), 1);
    EXPECT_EQ(m_editor.MultipleInstances(), (std::vector<int>{2}));
    m_editor.MoveSelection(1, 0, 0);
    EXPECT_FLOAT_EQ(inst(1, 2).PosX, -9);
    EXPECT_FLOAT_EQ(inst(0, 0).PosX, 0) << "records of the first file stay where they are";
    EXPECT_FLOAT_EQ(inst(0, 2).PosX, -10);

    // A single instance of one file and a Shift-pick in another: the new one alone.
    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 0, 0);
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 1, 1);
    EXPECT_EQ(m_editor.SelSection(), SectionCode::Inst);
    EXPECT_EQ(m_editor.SelFile(), 1);
    EXPECT_EQ(m_editor.MultipleInstances().size(), 0u);
}

// The selection is the document's: whatever sets it there (another window, a step undone, a
// file leaving the list), the page shows it.
TEST_F(ItemEditorSelection, ThePageFollowsTheDocumentsSelection)
{
    m_document.setSelection({FileKind::IPL, SectionCode::SeveralInst, 1, {2, 0}});
    EXPECT_EQ(m_editor.ModeValue->text(), "IPL - Inst(s)");
    EXPECT_EQ(m_editor.FileIndexValue->text(), "docks.ipl");
    EXPECT_EQ(rowsText(), "12 - tree|10 - house");
    EXPECT_EQ(m_editor.EditIPLMultInstItemCount->text(), "2 Items");
    EXPECT_EQ(m_editor.EditIPLMultInstItemCenter->text(), "-5, 2, 1");
    m_editor.MoveSelection(1, 0, 0);
    m_editor.MoveFinished();
    EXPECT_FLOAT_EQ(inst(1, 2).PosX, -9);
    EXPECT_FLOAT_EQ(inst(1, 0).PosX, 1);

    // The file before it leaves: the selection moves up with its file.
    m_document.removeFile(0);
    EXPECT_EQ(m_editor.SelFile(), 0);
    EXPECT_EQ(m_editor.FileIndexValue->text(), "docks.ipl");
    EXPECT_EQ(m_editor.MultipleInstances(), (std::vector<int>{2, 0}));

    m_document.setSelection({FileKind::IDE, SectionCode::Objs, 1, {0}});
    EXPECT_EQ(m_editor.ModeValue->text(), "IDE - Objs");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), QString::fromStdString(m_files.IDEFile(1)->Objs.WriteLine(0)));
    EXPECT_EQ(m_editor.EditIPLMultInstList->count(), 0);
    m_document.setSelection({});
    EXPECT_FALSE(m_editor.HasSelection());
    EXPECT_EQ(m_editor.ModeValue->text(), "N/A");
}

TEST_F(ItemEditorSelection, MovingWritesEveryListedInstanceAndMarksTheFile)
{
    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 1, 0);
    m_editor.MoveSelection(1.5f, -2, 0.25f);
    EXPECT_FLOAT_EQ(inst(0, 1).PosX, 11.5f);
    EXPECT_FLOAT_EQ(inst(0, 1).PosY, 18);
    EXPECT_FLOAT_EQ(inst(0, 1).PosZ, 30.25f);
    EXPECT_TRUE(m_files.File(0)->Modified);
    EXPECT_FALSE(m_files.File(1)->Modified);
    EXPECT_EQ(m_editor.ExpandedEdit->text(), QString::fromStdString(m_files.IPLFile(0)->Inst.WriteLine(1)));

    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 2, 0);
    m_editor.MoveSelection(0, 0, 10);
    EXPECT_FLOAT_EQ(inst(0, 1).PosZ, 40.25f);
    EXPECT_FLOAT_EQ(inst(0, 2).PosZ, 12);
    EXPECT_FLOAT_EQ(inst(0, 0).PosZ, 0);
}

TEST_F(ItemEditorSelection, DefinitionsAndClearedSelectionsDoNotMove)
{
    m_editor.SelectRecord(FileKind::IDE, SectionCode::Objs, 0, 2);
    EXPECT_EQ(m_editor.ModeValue->text(), "IDE - Objs");
    EXPECT_EQ(m_editor.GetSelectionCentre(), (std::array<float, 3>{0, 0, 0}));
    m_editor.MoveSelection(5, 5, 5);
    EXPECT_FALSE(m_files.File(2)->Modified);

    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 0, 0);
    m_editor.ClearSelection();
    EXPECT_FALSE(m_editor.HasSelection());
    EXPECT_EQ(m_editor.ModeValue->text(), "N/A");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), "");
    m_editor.MoveSelection(5, 5, 5);
    EXPECT_FLOAT_EQ(inst(0, 0).PosX, 0);
    EXPECT_FALSE(m_files.File(0)->Modified);
}


TEST_F(ItemEditorSelection, EachSectionShowsItsOwnPageAlone)
{
    struct Case {
        FileKind kind;
        SectionCode code;
        int file;
        const char* page;
        const char* mode;
    };
    const Case cases[] = {
        {FileKind::IPL, SectionCode::PickedInst, 0, "paneliplinst", "IPL - Inst"},
        {FileKind::IPL, SectionCode::Path, 0, "paneliplpath", "IPL - Path"},
        {FileKind::IPL, SectionCode::Cull, 0, "paneliplcull", "IPL - Cull"},
        {FileKind::IPL, SectionCode::Zone, 0, "paneliplzone", "IPL - Zone"},
        {FileKind::IDE, SectionCode::Objs, 2, "panelideobjs", "IDE - Objs"},
        {FileKind::IDE, SectionCode::TObj, 2, "panelidetobj", "IDE - TObj"},
        {FileKind::IDE, SectionCode::Path, 2, "panelidepath", "IDE - Path"},
        {FileKind::IDE, SectionCode::Fx2d, 2, "panelide2dfx", "IDE - 2dfx"},
    };
    for (const Case& c : cases) {
        m_editor.SelectRecord(c.kind, c.code, 0, c.file);
        QTabWidget* pages = m_editor.PageControl1;
        EXPECT_EQ(pages->currentWidget()->objectName(), c.page);
        int shown = 0;
        for (int tab = 0; tab < pages->count(); ++tab)
            shown += pages->isTabVisible(tab) ? 1 : 0;
        EXPECT_EQ(shown, 1) << c.page;
        EXPECT_TRUE(pages->isVisibleTo(&m_editor)) << c.page;
        EXPECT_EQ(m_editor.ModeValue->text(), c.mode);
        EXPECT_TRUE(m_editor.BtnUndo->isVisibleTo(&m_editor)) << c.page;
    }
    m_editor.SelectRecord(FileKind::IDE, SectionCode::Path, 0, 2);
    EXPECT_EQ(m_editor.ExpandedEdit->text().toStdString(), m_files.IDEFile(2)->Path.WriteLine(0))
        << "a group's text line holds its node lines";

    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 0, 0);
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 1, 0);
    EXPECT_EQ(m_editor.PageControl1->currentWidget()->objectName(), "paneliplmultinst");
    EXPECT_FALSE(m_editor.BtnUndo->isVisibleTo(&m_editor)) << "no undo for several instances";

    m_editor.SelectRecord(FileKind::IDE, SectionCode::Occl, 0, 2);
    EXPECT_EQ(m_editor.ModeValue->text(), "N/A");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), "N/A");

    m_editor.ClearSelection();
    EXPECT_FALSE(m_editor.PageControl1->isVisibleTo(&m_editor));
    for (const Case& c : cases)
        EXPECT_FALSE(m_files.File(c.file)->Modified) << "showing " << c.page << " marked its file";
}

TEST_F(ItemEditorSelection, UndoRestoresTheRecordAsItWasSelected)
{
    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 1, 0);
    EXPECT_FALSE(m_editor.BtnUndo->isEnabled());
    const std::string before = m_files.IPLFile(0)->Inst.WriteLine(1);
    m_editor.MoveSelection(1, 2, 3);
    m_editor.SetSelectionRotation({0, 0, 1, 0});
    m_editor.UseDefinition(77, "kiosk");
    EXPECT_TRUE(m_editor.BtnUndo->isEnabled());
    EXPECT_TRUE(m_files.File(0)->Modified);
    EXPECT_EQ(inst(0, 1).ID, 77);

    m_editor.BtnUndo->click();
    EXPECT_EQ(m_files.IPLFile(0)->Inst.WriteLine(1), before);
    EXPECT_EQ(inst(0, 1).ModelName, "shop");
    EXPECT_FLOAT_EQ(inst(0, 1).RotW, 1);
    EXPECT_FALSE(m_files.File(0)->Modified) << "the file was not modified when the record was selected";
    EXPECT_FALSE(m_editor.BtnUndo->isEnabled());
    EXPECT_EQ(m_editor.ExpandedEdit->text().toStdString(), before);

    // A file modified before the selection stays modified.
    m_editor.MoveSelection(5, 0, 0);
    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 2, 0);
    m_editor.MoveSelection(5, 0, 0);
    m_editor.BtnUndo->click();
    EXPECT_FLOAT_EQ(inst(0, 2).PosX, -10);
    EXPECT_FLOAT_EQ(inst(0, 1).PosX, 15) << "undo reaches only the selected record";
    EXPECT_TRUE(m_files.File(0)->Modified);
}

TEST_F(ItemEditorSelection, UndoRestoresAPathGroupWithItsNodes)
{
    TIDEFile& ide = *m_files.IDEFile(2);
    m_editor.SelectRecord(FileKind::IDE, SectionCode::Path, 0, 2);
    const std::string before = ide.Path.WriteLine(0);
    ide.Path.Items[0].GroupType = "ped";
    ide.Path.Items[0].Nodes[1].PosX = 999;
    ide.Path.Items[0].Nodes.pop_back();
    m_editor.RefreshRecord(RecordRefresh::Edit);
    EXPECT_NE(m_editor.ExpandedEdit->text().toStdString(), before);
    m_editor.BtnUndo->click();
    EXPECT_EQ(ide.Path.WriteLine(0), before);
    ASSERT_EQ(ide.Path.Items[0].NodeCount(), 2);
    EXPECT_EQ(ide.Path.Items[0].Nodes[1].PosX, 30);
    EXPECT_FALSE(ide.Modified);
}

TEST_F(ItemEditorSelection, TheWindowsAroundHearOfPicksAndDefinitions)
{
    QSignalSpy picked(&m_editor, &TFormEditorItem::instancePicked);
    QSignalSpy definitions(&m_editor, &TFormEditorItem::definitionShown);
    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 2, 1);
    ASSERT_EQ(picked.count(), 1) << "a pick shows its row in the IPL editor";
    EXPECT_EQ(picked[0], (QList<QVariant>{1, 2}));
    m_editor.SelectRecord(FileKind::IPL, SectionCode::Inst, 1, 1);
    EXPECT_EQ(picked.count(), 1) << "a row chosen there is not selected again";
    ASSERT_EQ(definitions.count(), 2) << "each instance shows its definition";
    EXPECT_EQ(definitions[1], (QList<QVariant>{11, false}));
    m_editor.SelectRecord(FileKind::IDE, SectionCode::Objs, 0, 2);
    EXPECT_EQ(definitions.last(), (QList<QVariant>{10, false}));
}

TEST_F(ItemEditorSelection, ShiftPicksAndDefinitionsOfOtherSelectionsChangeNoFile)
{
    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 0, 0);
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 1, 0);
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 2, 0);
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 1, 0);
    EXPECT_FALSE(m_files.File(0)->Modified) << "choosing the members is not an edit";
    EXPECT_EQ(m_editor.GetSelectionRotation(), (std::array<float, 4>{0, 0, 0, 1}));
    m_editor.UseDefinition(99, "other");
    m_editor.SetSelectionRotation({1, 0, 0, 0});
    EXPECT_EQ(inst(0, 0).ID, 10);
    EXPECT_FLOAT_EQ(inst(0, 0).RotX, 0);
    EXPECT_FALSE(m_files.File(0)->Modified);

    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 1, 0);
    m_editor.SetSelectionRotation({0, 0.5f, 0, 0.8660254f});
    EXPECT_EQ(m_editor.GetSelectionRotation(), (std::array<float, 4>{0, 0.5f, 0, 0.8660254f}));
    EXPECT_TRUE(m_files.File(0)->Modified);
}

TEST_F(ItemEditorSelection, TheMainWindowsActionShowsHidesAndFollowsTheWindow)
{
    TFormMain main;
    main.SetToolWindow(ToolWindow::ItemEditor, &m_editor);
    // The editor belongs to the fixture: it leaves the main window's dock before the window goes.
    const auto giveBack = qScopeGuard([this] { m_editor.setParent(nullptr); });
    QAction* action = main.ActionViewEditor;
    EXPECT_EQ(action->text(), "Item &Editor");
    EXPECT_EQ(action->shortcut(), QKeySequence("Alt+0"));

    action->trigger();
    EXPECT_TRUE(m_editor.isVisible());
    EXPECT_TRUE(action->isChecked());
    EXPECT_EQ(action, main.DockOf(&m_editor)->toggleViewAction());
    action->trigger();
    EXPECT_FALSE(m_editor.isVisible());
    EXPECT_FALSE(action->isChecked());

    // A selection shows the window; closing it by its frame keeps the selection.
    m_editor.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 1, 0);
    EXPECT_TRUE(m_editor.isVisible());
    EXPECT_TRUE(action->isChecked());
    m_editor.close();
    EXPECT_FALSE(action->isChecked());
    EXPECT_TRUE(m_editor.HasSelection());

    // Close clears the selection too.
    m_editor.show();
    m_editor.MoveSelection(1, 0, 0);
    m_editor.BtnCancel->click();
    EXPECT_FALSE(m_editor.isVisible());
    EXPECT_FALSE(m_editor.HasSelection());
    EXPECT_FALSE(action->isChecked());
}


}
