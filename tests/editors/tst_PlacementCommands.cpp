// Copy and paste of placements through the system clipboard, and delete and duplicate in the
// 3D view: the lines saved for pasted records, the interior column between the games' forms,
// all-or-nothing pastes, and each change one step of the document.
#include "MapEditorFixture.h"

#include "PlacementCommands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QUndoStack>

namespace {

class PlacementCommandsTest : public MapEditorFixture {
protected:
    void SetUp() override
    {
        showEditors();
        m_frame.resize(400, 300);
        m_frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
    }

    void selectPlacements(int file, const std::vector<int>& records)
    {
        m_item.SelectRecord(FileKind::IPL, SectionCode::Inst, records.front(), file);
        for (std::size_t i = 1; i < records.size(); ++i)
            m_item.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, records[i], file);
    }

    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }
    static void setClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

    // The inst lines of the file as saved on disk.
    std::vector<std::string> savedInstLines(const char* name)
    {
        EXPECT_EQ(m_document.saveModified().failed.size(), 0u);
        const std::string text = readFile(m_dir.file(std::string("data/maps/") + name));
        std::vector<std::string> lines;
        bool inInst = false;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find('\n', start);
            std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            start = end == std::string::npos ? text.size() : end + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line == "inst")
                inInst = true;
            else if (line == "end")
                inInst = false;
            else if (inInst)
                lines.push_back(line);
        }
        return lines;
    }

    void focusView()
    {
        m_frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
        m_view.setFocus();
    }

    PlacementCommands m_commands{m_document, m_ipl, &m_view};
};

TEST_F(PlacementCommandsTest, CopiedPlacementsPastedIntoAnotherFileAreSavedAsTheCopiedLines)
{
    struct Case {
        const char* form;
        bool sourceViceCity;
        bool targetViceCity;
        int interior;              // of the first copied record
        const char* firstSavedLine; // the first pasted line as saved
        const char* warning;        // the message after the paste, if any
    };
    const Case cases[] = {
        {"Vice City to Vice City", true, true, 3, "12, tree, 3, -10, 4, 2, 1, 1, 1, 0, 0, 0, 1", nullptr},
        {"Vice City to GTA III", true, false, 3, "12, tree, -10, 4, 2, 1, 1, 1, 0, 0, 0, 1",
         "Warning: 1 of the pasted placements had an interior other than 0. DATA\\MAPS\\DOCKS.IPL is a GTA III "
         "file, which has no interior column: it was dropped."},
        {"Vice City to GTA III, interior 0", true, false, 0, "12, tree, -10, 4, 2, 1, 1, 1, 0, 0, 0, 1", nullptr},
        {"GTA III to Vice City", false, true, 0, "12, tree, 0, -10, 4, 2, 1, 1, 1, 0, 0, 0, 1", nullptr},
    };
    const std::vector<std::string> docksBefore = savedInstLines("docks.ipl");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        m_dialogs.messages.clear();
        for (TGTASInstObj& record : ipl(1).Inst.Items) {
            record.HasInterior = c.sourceViceCity;
            record.Interior = 0;
        }
        ipl(1).Inst.Items[0].Interior = c.interior;
        ipl(2).Inst.ViceCity = c.targetViceCity;
        selectPlacements(1, {0, 2});
        m_commands.ActionEditCopy->trigger();
        const QString copied = clipboardText();
        EXPECT_EQ(copied.count('\n'), 2);
        EXPECT_TRUE(copied.startsWith(QString::fromStdString(ipl(1).Inst.WriteLine(0)) + "\n"));

        chooseFile(m_ipl, 2);
        m_commands.ActionEditPaste->trigger();
        ASSERT_EQ(ipl(2).Inst.Count(), 5);
        EXPECT_EQ(m_document.selection(), (DocumentSelection{FileKind::IPL, SectionCode::SeveralInst, 2, {3, 4}}));
        if (c.warning) {
            ASSERT_EQ(m_dialogs.messages.size(), 1u);
            EXPECT_EQ(m_dialogs.messages[0].text, c.warning);
        } else {
            EXPECT_TRUE(m_dialogs.messages.empty()) << m_dialogs.messageTexts().join('|').toStdString();
        }

        // Saved after the last of the file's inst lines, in the target file's form.
        std::vector<std::string> expected = docksBefore;
        expected.push_back(c.firstSavedLine);
        TGTASInst shop; // the second copied record, in the target's form
        shop.Items.push_back(ipl(1).Inst.Items[2]);
        shop.Items[0].HasInterior = c.targetViceCity;
        expected.push_back(shop.WriteLine(0));
        EXPECT_EQ(savedInstLines("docks.ipl"), expected);
        if (c.sourceViceCity == c.targetViceCity) {
            EXPECT_EQ(QString::fromStdString(expected[3] + "\n" + expected[4] + "\n"), copied);
        }

        m_document.undoStack().undo();
        EXPECT_EQ(savedInstLines("docks.ipl"), docksBefore);
    }
}

TEST_F(PlacementCommandsTest, NamesWithBytesBeyondAsciiComeBackAsTheSameBytes)
{
    ipl(1).Inst.Items[1].ModelName = "caf\xe9_\x80\xff";
    selectPlacements(1, {1});
    m_commands.ActionEditCopy->trigger();
    chooseFile(m_ipl, 2);
    m_commands.ActionEditPaste->trigger();
    ASSERT_EQ(ipl(2).Inst.Count(), 4);
    EXPECT_EQ(ipl(2).Inst.Items[3].ModelName, "caf\xe9_\x80\xff");
    EXPECT_EQ(m_document.selection(), (DocumentSelection{FileKind::IPL, SectionCode::Inst, 2, {3}}));
}

TEST_F(PlacementCommandsTest, APasteWithOneBadLinePastesNothingAndNamesTheLine)
{
    chooseFile(m_ipl, 2);
    setClipboardText("1, a, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\n"
                     "# a comment\n"
                     "2, b, 0, 0, nought, 0, 1, 1, 1, 0, 0, 0, 1\n"
                     "3, c, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\n");
    for (QAction* paste : {m_commands.ActionEditPaste, m_commands.ActionEditPasteAtTarget}) {
        m_dialogs.messages.clear();
        paste->trigger();
        EXPECT_EQ(ipl(2).Inst.Count(), 3);
        EXPECT_EQ(m_document.undoStack().count(), 0);
        ASSERT_EQ(m_dialogs.messages.size(), 1u);
        EXPECT_EQ(m_dialogs.messages[0].kind, MessageKind::Error);
        EXPECT_EQ(m_dialogs.messages[0].text, "ERROR: Nothing was pasted. These lines are not placements:\n"
                                              "Line 3: 2, b, 0, 0, nought, 0, 1, 1, 1, 0, 0, 0, 1");
    }

    // Text without any placement says so and changes nothing.
    m_dialogs.messages.clear();
    setClipboardText("\n# nothing here\n");
    m_commands.ActionEditPaste->trigger();
    EXPECT_EQ(m_dialogs.messageTexts(), QStringList{"The clipboard holds no placements to paste."});
    EXPECT_EQ(ipl(2).Inst.Count(), 3);
}

TEST_F(PlacementCommandsTest, UndoOfAPasteRemovesExactlyThePastedRecordsAndRedoPutsThemBack)
{
    const std::string docksText = readFile(m_dir.file("data/maps/docks.ipl"));
    const std::vector<TGTASInstObj> before = ipl(2).Inst.Items;
    chooseFile(m_ipl, 2);
    setClipboardText("5, a, 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1\n"
                     "6, b, 0, 4, 5, 6, 1, 1, 1, 0, 0, 0, 1\n"
                     "7, c, 0, 7, 8, 9, 1, 1, 1, 0, 0, 0, 1\n");
    m_commands.ActionEditPaste->trigger();
    ASSERT_EQ(ipl(2).Inst.Count(), 6);
    const std::vector<TGTASInstObj> after = ipl(2).Inst.Items;
    EXPECT_EQ(m_document.undoStack().count(), 1);
    EXPECT_EQ(m_document.undoStack().undoText(), "Paste 3 Placements");
    EXPECT_EQ(m_ipl.ListItems->model()->rowCount(), 6) << "the IPL editor lists the new rows";

    m_document.undoStack().undo();
    EXPECT_EQ(ipl(2).Inst.Items, before);
    EXPECT_FALSE(ipl(2).Modified);
    EXPECT_FALSE(m_item.HasSelection()) << "the pasted records are gone from the selection";
    EXPECT_EQ(ipl(1).Inst.Count(), 3) << "other files are untouched";
    ipl(2).Modified = true;
    EXPECT_EQ(ipl(2).Save(), 0);
    EXPECT_EQ(readFile(m_dir.file("data/maps/docks.ipl")), docksText);

    m_document.undoStack().redo();
    EXPECT_EQ(ipl(2).Inst.Items, after);
}

TEST_F(PlacementCommandsTest, PasteAtTargetCentresTheGroupAndAsksForTheFileWhenNoneIsChosen)
{
    ASSERT_EQ(m_ipl.CurrentFile(), -1);
    setClipboardText("5, a, 0, 0, 0, 10, 1, 1, 1, 0, 0, 0, 1\n"
                     "6, b, 0, 4, -2, 20, 1, 1, 1, 0, 0, 0, 1\n");
    m_view.MoveTo(100, 200, 5);

    m_dialogs.itemChoices = {std::nullopt};
    m_commands.ActionEditPasteAtTarget->trigger();
    ASSERT_EQ(m_dialogs.itemRequests.size(), 1u);
    EXPECT_EQ(m_dialogs.itemRequests[0].second, (QStringList{"DATA\\MAPS\\TOWN.IPL", "DATA\\MAPS\\DOCKS.IPL"}));
    EXPECT_EQ(ipl(1).Inst.Count() + ipl(2).Inst.Count(), 6) << "cancelled: nothing pasted";

    m_dialogs.itemChoices = {1};
    m_commands.ActionEditPasteAtTarget->trigger();
    ASSERT_EQ(ipl(2).Inst.Count(), 5);
    const TGTASInstObj& a = ipl(2).Inst.Items[3];
    const TGTASInstObj& b = ipl(2).Inst.Items[4];
    EXPECT_FLOAT_EQ((a.PosX + b.PosX) / 2, 100);
    EXPECT_FLOAT_EQ((a.PosY + b.PosY) / 2, 200);
    EXPECT_FLOAT_EQ((a.PosZ + b.PosZ) / 2, 5);
    EXPECT_FLOAT_EQ(b.PosX - a.PosX, 4) << "the group keeps its shape";
    EXPECT_FLOAT_EQ(b.PosZ - a.PosZ, 10);
    EXPECT_EQ(m_document.selection().records, (std::vector<int>{3, 4}));
    EXPECT_TRUE(ipl(2).Visible) << "the pasted records are shown";
}

TEST_F(PlacementCommandsTest, DeleteAndDuplicateInTheViewAreOneStepEachUndoneAndRedone)
{
    const std::vector<TGTASInstObj> original = ipl(1).Inst.Items;
    selectPlacements(1, {0, 2});
    focusView();

    QTest::keyClick(&m_view, Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(ipl(1).Inst.Count(), 5);
    EXPECT_EQ(ipl(1).Inst.WriteLine(3), ipl(1).Inst.WriteLine(0));
    EXPECT_EQ(ipl(1).Inst.WriteLine(4), ipl(1).Inst.WriteLine(2));
    EXPECT_EQ(m_document.selection(), (DocumentSelection{FileKind::IPL, SectionCode::SeveralInst, 1, {3, 4}}))
        << "the copies are selected";
    EXPECT_EQ(m_document.undoStack().count(), 1);
    EXPECT_EQ(m_document.undoStack().undoText(), "Duplicate 2 Records");
    const std::vector<TGTASInstObj> duplicated = ipl(1).Inst.Items;
    m_document.undoStack().undo();
    EXPECT_EQ(ipl(1).Inst.Items, original);
    m_document.undoStack().redo();
    EXPECT_EQ(ipl(1).Inst.Items, duplicated);

    // Delete takes the selected copies, as the IPL editor's delete does: the selection goes.
    m_document.setSelection({FileKind::IPL, SectionCode::SeveralInst, 1, {3, 4}});
    focusView();
    QTest::keyClick(&m_view, Qt::Key_Delete);
    EXPECT_EQ(ipl(1).Inst.Items, original);
    EXPECT_TRUE(m_document.selection().empty());
    EXPECT_EQ(m_document.undoStack().count(), 2);
    EXPECT_EQ(m_document.undoStack().undoText(), "Delete 2 Records");
    m_document.undoStack().undo();
    EXPECT_EQ(ipl(1).Inst.Items, duplicated);
    m_document.undoStack().redo();
    EXPECT_EQ(ipl(1).Inst.Items, original);

    // A single placement; and without a selection the keys do nothing.
    m_item.SelectRecord(FileKind::IPL, SectionCode::PickedInst, 1, 1);
    focusView();
    QTest::keyClick(&m_view, Qt::Key_Delete);
    ASSERT_EQ(ipl(1).Inst.Count(), 2);
    EXPECT_EQ(m_document.undoStack().undoText(), "Delete Record");
    QTest::keyClick(&m_view, Qt::Key_Delete);
    QTest::keyClick(&m_view, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(ipl(1).Inst.Count(), 2);
    EXPECT_EQ(m_document.undoStack().count(), 3);
}

} // namespace
