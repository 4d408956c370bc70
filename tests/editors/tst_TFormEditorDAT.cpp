// The DAT editor: editing, inserting, moving and deleting lines, the references the IPL and
// IDE editors add and remove, and saving the DAT file.
#include "TFormEditorDAT.h"

#include "MapDocument.h"
#include "ScriptedDialogService.h"
#include "TGTAFileList.h"
#include "TestFiles.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

class DatEditor : public testing::Test {
protected:
    void open(Lines lines, bool viceCity = false)
    {
        m_editor.reset();
        m_document.reset();
        m_fileList = std::make_unique<TGTAFileList>(m_dir.path().string() + "/", viceCity);
        m_fileList->DatLines = std::move(lines);
        m_document = std::make_unique<MapDocument>(*m_fileList);
        m_editor = std::make_unique<TFormEditorDAT>(*m_document, nullptr);
        m_changes = std::make_unique<QSignalSpy>(m_editor.get(), &TFormEditorDAT::datModified);
        m_editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_editor.get()));
    }

    template <typename Widget>
    Widget* control(const char* name) const
    {
        auto* widget = m_editor->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QListWidget* list() const { return control<QListWidget>("ListDAT"); }
    QLineEdit* editLine() const { return control<QLineEdit>("EditLine"); }
    QPushButton* button(const char* name) const { return control<QPushButton>(name); }

    void clickRow(int row)
    {
        QListWidget* rows = list();
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rows->visualItemRect(rows->item(row)).center());
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    int selectedRow() const
    {
        const QList<QListWidgetItem*> selected = list()->selectedItems();
        return selected.isEmpty() ? -1 : list()->row(selected.first());
    }

    // The DAT lines joined by "|"; the list must show exactly the same rows.
    std::string lines() const
    {
        std::string joined;
        for (size_t row = 0; row < m_fileList->DatLines.size(); ++row) {
            joined += (row ? "|" : "") + m_fileList->DatLines[row];
            EXPECT_EQ(list()->item(static_cast<int>(row))->text().toStdString(), m_fileList->DatLines[row]);
        }
        EXPECT_EQ(list()->count(), static_cast<int>(m_fileList->DatLines.size()));
        return joined;
    }

    void expectModified(bool modified) const
    {
        EXPECT_EQ(m_fileList->DatModified, modified);
        EXPECT_EQ(button("BtnSave")->isEnabled(), modified);
        EXPECT_EQ(m_changes->count() > 0, modified);
    }

    TempDir m_dir;
    GameSettingsScope m_game{m_dir.path().string() + "/", false};
    ScriptedDialogService m_dialogs;
    std::unique_ptr<TGTAFileList> m_fileList;
    std::unique_ptr<MapDocument> m_document;
    std::unique_ptr<TFormEditorDAT> m_editor;
    std::unique_ptr<QSignalSpy> m_changes;
};

TEST_F(DatEditor, ClickingARowPutsItsLineInTheEditBox)
{
    open({"# map", "IDE a.ide", "IPL x.ipl"});
    EXPECT_EQ(lines(), "# map|IDE a.ide|IPL x.ipl");
    EXPECT_FALSE(button("BtnUpdate")->isEnabled());
    EXPECT_TRUE(button("BtnUpdate")->isDefault());
    EXPECT_EQ(button("BtnUpdate")->text(), "&Update");
    EXPECT_EQ(button("BtnAdd")->text(), "&Insert");
    EXPECT_EQ(button("BtnSave")->text(), "&Save File");
    expectModified(false);

    clickRow(1);
    EXPECT_TRUE(button("BtnUpdate")->isEnabled());
    EXPECT_EQ(editLine()->text(), "IDE a.ide");

    // Enter in the edit box answers the default button; the line is stored trimmed.
    editLine()->selectAll();
    QTest::keyClicks(editLine(), "  IDE b.ide  ");
    QTest::keyClick(editLine(), Qt::Key_Return);
    EXPECT_EQ(lines(), "# map|IDE b.ide|IPL x.ipl");
    EXPECT_EQ(selectedRow(), 1);
    expectModified(true);
}

TEST_F(DatEditor, InsertGoesAtTheSelectedRowOrAtTheEnd)
{
    open({"IDE a.ide", "IPL x.ipl"});
    clickRow(0);
    editLine()->selectAll();
    QTest::keyClicks(editLine(), " IDE new.ide ");
    click("BtnAdd");
    EXPECT_EQ(lines(), "IDE new.ide|IDE a.ide|IPL x.ipl");
    EXPECT_EQ(selectedRow(), 0) << "the first row, which now holds the new line, stays selected";
    expectModified(true);

    // Without a selection the line goes last.
    list()->clearSelection();
    EXPECT_FALSE(button("BtnUpdate")->isEnabled());
    EXPECT_EQ(editLine()->text(), "");
    QTest::keyClicks(editLine(), "IPL y.ipl");
    click("BtnAdd");
    EXPECT_EQ(lines(), "IDE new.ide|IDE a.ide|IPL x.ipl|IPL y.ipl");
    EXPECT_EQ(selectedRow(), -1);
}

TEST_F(DatEditor, DeletingKeepsThePositionSelectedWhileALineIsThere)
{
    open({"IDE a.ide", "IDE b.ide", "IPL x.ipl"});
    clickRow(1);
    click("BtnDel");
    EXPECT_EQ(lines(), "IDE a.ide|IPL x.ipl");
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(editLine()->text(), "IPL x.ipl");
    EXPECT_TRUE(button("BtnUpdate")->isEnabled());
    expectModified(true);

    // The last line: nothing follows, so nothing stays selected.
    click("BtnDel");
    EXPECT_EQ(lines(), "IDE a.ide");
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_EQ(editLine()->text(), "");
    EXPECT_FALSE(button("BtnUpdate")->isEnabled());

    // Commands that need a selection do nothing without one.
    click("BtnDel");
    click("BtnUp");
    click("BtnDown");
    EXPECT_EQ(lines(), "IDE a.ide");
}

TEST_F(DatEditor, MovingSwapsWithTheNeighbourAndFollowsTheLine)
{
    struct Case {
        int row;
        const char* button;
        std::string expected; // empty: nothing changes
        int selectedAfter;
    };
    const Case cases[] = {
        {1, "BtnUp", "b|a|c", 0},
        {1, "BtnDown", "a|c|b", 2},
        {2, "BtnUp", "a|c|b", 1},
        {0, "BtnUp", "", 0},   // already first
        {2, "BtnDown", "", 2}, // already last
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string(test.button) + " on row " + std::to_string(test.row));
        open({"a", "b", "c"});
        clickRow(test.row);
        click(test.button);
        EXPECT_EQ(lines(), test.expected.empty() ? "a|b|c" : test.expected);
        EXPECT_EQ(selectedRow(), test.selectedAfter);
        expectModified(!test.expected.empty());
        m_fileList->DatModified = false;
    }
}

TEST_F(DatEditor, ReferencesJoinTheLastGroupOfTheirKind)
{
    struct Case {
        Lines lines;
        bool ipl;
        std::string name;
        std::string expected;
    };
    const Case cases[] = {
        {{"IDE a.ide", "IDE b.ide", "IPL x.ipl"}, false, "c.ide", "IDE a.ide|IDE b.ide|IDE c.ide|IPL x.ipl"},
        {{"# map", "IDE a.ide"}, true, "  data\\maps\\y.ipl ", "IPL data\\maps\\y.ipl|# map|IDE a.ide"},
        {{}, false, "a.ide", "IDE a.ide"},
        // Any letter case counts; a bare keyword line does not.
        {{"ipl a.ipl", "IDE b.ide", "IPL", "Ipl c.ipl", "COLFILE 0 x.col"}, true, "d.ipl",
         "ipl a.ipl|IDE b.ide|IPL|Ipl c.ipl|IPL d.ipl|COLFILE 0 x.col"},
        {{"IDE a.ide", "IDE"}, false, "b.ide", "IDE a.ide|IDE b.ide|IDE"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.expected);
        open(test.lines);
        if (!test.lines.empty())
            clickRow(0);
        if (test.ipl)
            m_editor->AddIPLReference(test.name);
        else
            m_editor->AddIDEReference(test.name);
        EXPECT_EQ(lines(), test.expected);
        expectModified(true);
        EXPECT_EQ(selectedRow(), -1);
        EXPECT_EQ(editLine()->text(), "");
        EXPECT_FALSE(button("BtnUpdate")->isEnabled());
        m_fileList->DatModified = false;
    }
}

TEST_F(DatEditor, RemovingAReferenceTakesTheLastLineThatNamesIt)
{
    struct Case {
        Lines lines;
        bool ipl;
        std::string expected; // empty: not found, nothing changes
    };
    const Case cases[] = {
        {{"IPL x.ipl", "ipl X.IPL", "IDE x.ide"}, true, "IPL x.ipl|IDE x.ide"},
        {{"IPL  x.ipl", "IDE a.ide"}, true, ""}, // two blanks: another text
        {{"IDE x.ipl"}, true, ""},
        {{"IPL x.ipl", "IDE X.ipl", "IDE a.ide"}, false, "IPL x.ipl|IDE a.ide"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.expected);
        open(test.lines);
        clickRow(0);
        const bool removed
            = test.ipl ? m_editor->RemoveIPLReference("x.ipl") : m_editor->RemoveIDEReference("x.ipl");
        const bool found = !test.expected.empty();
        EXPECT_EQ(removed, found);
        expectModified(found);
        if (found) {
            EXPECT_EQ(lines(), test.expected);
            EXPECT_EQ(selectedRow(), -1);
            EXPECT_EQ(editLine()->text(), "");
            EXPECT_FALSE(button("BtnUpdate")->isEnabled());
        } else {
            // Nothing happened, so the row and its text in the edit box stay.
            EXPECT_EQ(selectedRow(), 0);
            EXPECT_EQ(editLine()->text().toStdString(), test.lines[0]);
            EXPECT_TRUE(button("BtnUpdate")->isEnabled());
        }
        m_fileList->DatModified = false;
    }
}

TEST_F(DatEditor, SavingWritesTheLinesAndDisablesSaveUntilTheNextChange)
{
    struct Case {
        bool viceCity;
        const char* file;
    };
    for (const Case& test : {Case{false, "data/gta3.dat"}, Case{true, "data/gta_vc.dat"}}) {
        SCOPED_TRACE(test.file);
        writeFile(m_dir.file(test.file), "IDE a.ide\r\n");
        m_dialogs.messages.clear();
        open({"# map", "IDE a.ide", "COLFILE 0 x.col"}, test.viceCity);
        clickRow(2);
        click("BtnUp");
        click("BtnSave");

        EXPECT_EQ(readFile(m_dir.file(test.file)), "# map\r\nCOLFILE 0 x.col\r\nIDE a.ide\r\n");
        ASSERT_EQ(m_dialogs.messages.size(), 1u);
        EXPECT_EQ(m_dialogs.messages[0].kind, MessageKind::Information);
        EXPECT_EQ(m_dialogs.messages[0].buttons, DialogButtons::Ok);
        EXPECT_EQ(m_dialogs.messages[0].text,
                  QString("SUCCESS: The DAT file \"data\\%1\" was saved successfully!")
                      .arg(test.viceCity ? "gta_vc.dat" : "gta3.dat"));
        EXPECT_FALSE(m_fileList->DatModified);
        EXPECT_FALSE(button("BtnSave")->isEnabled());

        click("BtnDown");
        EXPECT_TRUE(button("BtnSave")->isEnabled());
        EXPECT_TRUE(m_fileList->DatModified);
    }
}

TEST_F(DatEditor, AFailedSaveKeepsTheChangesAndSaysSo)
{
    // A file where the data folder should be: the DAT file cannot be written.
    writeFile(m_dir.file("data"), "not a folder");
    open({"IDE a.ide"});
    clickRow(0);
    click("BtnDel");
    click("BtnSave");

    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(m_dialogs.messages[0].buttons, DialogButtons::Ok);
    EXPECT_EQ(m_dialogs.messages[0].text, "ERROR: The DAT file \"data\\gta3.dat\" failed to save.\n"
                                          "This file could be read only or in use by another program!");
    expectModified(true);
    EXPECT_EQ(readFile(m_dir.file("data")), "not a folder");
}

TEST(DatEditorWindow, AToolWindowOnTopThatReloadsItsLines)
{
    TGTAFileList files{"", true};
    files.DatLines = {"IDE a.ide"};
    files.DatModified = true;
    MapDocument document(files);
    TFormEditorDAT editor(document, nullptr);
    EXPECT_EQ(editor.windowTitle(), "DAT Editor");
    EXPECT_TRUE(editor.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(editor.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(editor.BtnSave->isEnabled()) << "lines changed before the window was made";

    // Reload shows lines changed behind the window's back.
    files.DatLines.push_back("IPL x.ipl");
    editor.Reload();
    EXPECT_EQ(editor.ListDAT->count(), 2);
}

} // namespace
