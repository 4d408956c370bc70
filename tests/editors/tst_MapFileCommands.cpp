// New, open, close and delete of map files in the IPL and IDE editors: the rule for names,
// the questions and messages, the DAT offer, unsaved changes, and files moving up the list.
#include "MapEditorFixture.h"

#include "GamePaths.h"
#include "MapDocument.h"
#include "TFormEditorDAT.h"

#include <QAction>
#include <QSignalSpy>

#include <filesystem>

namespace {

const QString Refusal = "\nPlease check this file is located in a subfolder of the GTA Path and that there are no "
                        "spaces or illegal characters in the filename!";

class MapFileCommands : public MapEditorFixture {
protected:
    void SetUp() override { showEditors(); }

    QString gamePath(const std::string& relative) const { return QString::fromStdString(m_dir.file(relative)); }
};

TEST_F(MapFileCommands, NamesOutsideTheGameFolderOrWithBlanksAreRefused)
{
    TempDir outside;
    std::filesystem::create_directories(outside.path());
    std::filesystem::create_symlink(outside.path(), m_dir.path() / "data" / "elsewhere");
    const QString cases[] = {
        gamePath("data/maps/new town.ipl"),
        gamePath("data/../../x.ipl"),
        QString::fromStdString(outside.file("x.ipl")),
        gamePath("data/elsewhere/x.ipl"),
    };
    for (const QString& chosen : cases) {
        m_dialogs.messages.clear();
        m_dialogs.saveFileChoices.push_back(chosen);
        m_ipl.ActionFileNew->trigger();
        ASSERT_EQ(m_dialogs.messages.size(), 1u) << chosen.toStdString();
        EXPECT_EQ(m_dialogs.messages[0].text, "ERROR: \"" + chosen + "\" Could Not Be Created!" + Refusal);
        EXPECT_EQ(m_dialogs.messages[0].kind, MessageKind::Error);
        EXPECT_EQ(files().Count(), 3);
    }
    // Opening follows the same rule, and a file that cannot be read is refused alike.
    for (const QString& chosen : {gamePath("data/elsewhere/x.ide"), gamePath("data/maps/missing.ide")}) {
        m_dialogs.messages.clear();
        m_dialogs.openFileChoices.push_back({chosen});
        m_ide.ActionFileOpen->trigger();
        ASSERT_EQ(m_dialogs.messages.size(), 1u);
        EXPECT_EQ(m_dialogs.messages[0].text, "ERROR: \"" + chosen + "\" Could Not Be Loaded!" + Refusal);
    }
    EXPECT_EQ(files().Count(), 3);

    // A file that is loaded already is not loaded, nor created, a second time.
    m_dialogs.messages.clear();
    m_dialogs.openFileChoices.push_back({gamePath("data/maps/town.ide")});
    m_ide.ActionFileOpen->trigger();
    m_dialogs.saveFileChoices.push_back(gamePath("data/maps/docks.ipl"));
    m_ipl.ActionFileNew->trigger();
    EXPECT_EQ(m_dialogs.messageTexts(), QStringList({"ERROR: \"data\\maps\\town.ide\" Is Already Loaded!",
                                                     "ERROR: \"data\\maps\\docks.ipl\" Is Already Loaded!"}));
    EXPECT_EQ(files().Count(), 3);
    EXPECT_TRUE(m_dat.calls.empty());
}

TEST_F(MapFileCommands, ANewFileIsOfferedToTheDatFileAddedModifiedAndWrittenBySave)
{
    QSignalSpy added(&m_document, &MapDocument::fileAdded);
    // Without an extension the file takes the editor's.
    m_dialogs.saveFileChoices.push_back(gamePath("data/maps/harbour"));
    m_dialogs.answers = {DialogAnswer::Yes, DialogAnswer::Ok};
    m_ipl.ActionFileNew->trigger();

    ASSERT_EQ(m_dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(m_dialogs.fileRequests[0].folder.toStdString(), resolveGamePath(programSettings().GameDir, "DATA\\"));
    EXPECT_EQ(m_dialogs.fileRequests[0].filter, "Object Instance Files (*.ipl)|*.ipl");
    EXPECT_EQ(m_dialogs.messageTexts(), QStringList({"Do you want to add the reference to data\\gta_vc.dat?",
                                                     "SUCCESS: \"data\\maps\\harbour.ipl\" Created Successfully!"}));
    EXPECT_EQ(m_dat.calls, (std::vector<std::string>{"add ipl data\\maps\\harbour.ipl"}));
    ASSERT_EQ(files().Count(), 4);
    TIPLFile& created = ipl(3);
    EXPECT_EQ(created.FileName, "data\\maps\\harbour.ipl");
    EXPECT_TRUE(created.Modified);
    EXPECT_FALSE(created.Visible);
    EXPECT_EQ(added.count(), 1);
    EXPECT_EQ(added[0][0].toInt(), 3);
    EXPECT_TRUE(m_document.anyModified());
    EXPECT_EQ(m_ipl.CurrentFile(), 3);

    m_ipl.ActionEditAdd->trigger();
    ASSERT_EQ(created.Save(), 0);
    EXPECT_NE(readFile(m_dir.file("data/maps/harbour.ipl")).find("inst"), std::string::npos);
}

TEST_F(MapFileCommands, TheDatEditorTakesAndDropsTheReferences)
{
    files().DatLines = {"IDE DATA\\MAPS\\TOWN.IDE", "IPL DATA\\MAPS\\TOWN.IPL", "IPL DATA\\MAPS\\DOCKS.IPL"};
    TFormEditorDAT datEditor(m_document, nullptr);
    TFormEditorIPL editor(m_document, &m_item, &m_view, &datEditor);
    m_dialogs.saveFileChoices.push_back(gamePath("data/maps/pier.ipl"));
    m_dialogs.answers = {DialogAnswer::Yes, DialogAnswer::Ok};
    editor.ActionFileNew->trigger();
    chooseFile(editor, 2);
    m_dialogs.answers = {DialogAnswer::Ok, DialogAnswer::Yes};
    editor.ActionFileClose->trigger();
    EXPECT_EQ(files().DatLines, (std::vector<std::string>{"IDE DATA\\MAPS\\TOWN.IDE", "IPL DATA\\MAPS\\TOWN.IPL",
                                                         "IPL data\\maps\\pier.ipl"}));
    EXPECT_TRUE(files().DatModified);
    // Each reference is a step of its own, named for what it did to the DAT file.
    const QUndoStack& steps = m_document.undoStack();
    ASSERT_EQ(steps.count(), 2);
    EXPECT_EQ(steps.text(0), "Add DAT Reference");
    EXPECT_EQ(steps.text(1), "Remove DAT Reference");
}

TEST_F(MapFileCommands, AnOpenedFileListsItsRecordsUnmodified)
{
    writeFile(m_dir.file("data/maps/extra.ide"), "objs\n40, crane, docks, 100, 0\nend\n");
    m_dialogs.openFileChoices.push_back({gamePath("data/maps/extra.ide")});
    m_dialogs.answers = {DialogAnswer::No, DialogAnswer::Ok};
    m_ide.ActionFileOpen->trigger();
    EXPECT_EQ(m_dialogs.fileRequests[0].filter, "Object Instance Files (*.ide)|*.ide");
    EXPECT_EQ(m_dialogs.messageTexts().last(), "SUCCESS: \"data\\maps\\extra.ide\" Loaded Successfully!");
    EXPECT_TRUE(m_dat.calls.empty()) << "answered No";
    ASSERT_EQ(files().Count(), 4);
    EXPECT_FALSE(files().File(3)->Modified);
    EXPECT_EQ(m_ide.CurrentFile(), 3);
    EXPECT_EQ(cell(m_ide.ListItems, 0, 1), "crane");
}

TEST_F(MapFileCommands, ClosingAFileWithChangesAsksToSaveIt)
{
    struct Case {
        DialogAnswer answer;
        bool closed;
        bool saved;
    };
    const Case cases[] = {{DialogAnswer::Yes, true, true}, {DialogAnswer::No, true, false},
                          {DialogAnswer::Cancel, false, false}};
    for (const Case& c : cases) {
        writeFile(m_dir.file("data/maps/town.ipl"), std::string(TownIPL));
        files().Files.clear();
        load("DATA\\MAPS\\TOWN.IPL");
        refresh();
        chooseFile(m_ipl, 0);
        m_ipl.ActionEditAdd->trigger();
        m_dialogs.messages.clear();
        m_dialogs.answers = {DialogAnswer::Ok, c.answer, DialogAnswer::No};
        m_ipl.ActionFileClose->trigger();

        ASSERT_GE(m_dialogs.messages.size(), 2u);
        EXPECT_EQ(m_dialogs.messages[0].text, "Are you sure you wish to close the following files?\r\nDATA\\MAPS\\TOWN.IPL");
        EXPECT_EQ(m_dialogs.messages[0].buttons, DialogButtons::OkCancel);
        EXPECT_EQ(m_dialogs.messages[1].text,
                  "The following file has unsaved changes:\r\nDATA\\MAPS\\TOWN.IPL\r\nSave it before closing?");
        EXPECT_EQ(m_dialogs.messages[1].buttons, DialogButtons::YesNoCancel);
        EXPECT_EQ(files().Count(), c.closed ? 0 : 1);
        EXPECT_EQ(m_ipl.CurrentFile(), c.closed ? -1 : 0);
        EXPECT_EQ(readFile(m_dir.file("data/maps/town.ipl")) != TownIPL, c.saved);
    }
}

TEST_F(MapFileCommands, AFileThatCannotBeSavedStaysOpen)
{
    // A folder stands where the file would be written.
    std::filesystem::create_directories(m_dir.path() / "data" / "maps" / "blocked.ipl");
    auto blocked = std::make_unique<TIPLFile>();
    blocked->FileName = "data\\maps\\blocked.ipl";
    blocked->RelativeToGame = true;
    blocked->Modified = true;
    files().AddFile(std::move(blocked));
    refresh();
    chooseFile(m_ipl, 3);
    m_dialogs.answers = {DialogAnswer::Ok, DialogAnswer::Yes, DialogAnswer::Ok};
    m_ipl.ActionFileClose->trigger();
    EXPECT_EQ(m_dialogs.messageTexts().last(), "ERROR: \"data\\maps\\blocked.ipl\" Could Not Be Saved!\nPlease check "
                                               "this file is not in use or marked as read only!");
    EXPECT_EQ(files().Count(), 4);
    EXPECT_EQ(m_ipl.CurrentFile(), 3);
    EXPECT_TRUE(m_dat.calls.empty());
}

TEST_F(MapFileCommands, DeletingRemovesTheFileFoundThroughTheGamePaths)
{
    QSignalSpy removed(&m_document, &MapDocument::fileRemoved);
    chooseFile(m_ipl, 2);
    m_dialogs.answers = {DialogAnswer::Ok, DialogAnswer::Yes, DialogAnswer::Ok};
    m_ipl.ActionFileDelete->trigger();
    EXPECT_EQ(m_dialogs.messageTexts(),
              QStringList({"Are you sure you wish to close the following files?\r\nDATA\\MAPS\\DOCKS.IPL",
                           "Do you want to remove the reference from data\\gta_vc.dat?",
                           "SUCCESS: \"DATA\\MAPS\\DOCKS.IPL\" Successfully Deleted!"}));
    EXPECT_EQ(m_dat.calls, (std::vector<std::string>{"remove ipl DATA\\MAPS\\DOCKS.IPL"}));
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("data/maps/docks.ipl")));
    EXPECT_TRUE(std::filesystem::exists(m_dir.file("data/maps/town.ipl")));
    EXPECT_EQ(files().Count(), 2);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][0].toInt(), 2);

    // A file never written cannot be deleted from the disk; it still leaves the list.
    m_dialogs.saveFileChoices.push_back(gamePath("data/maps/fresh.ipl"));
    m_ipl.ActionFileNew->trigger();
    m_dialogs.messages.clear();
    m_dialogs.answers = {DialogAnswer::Ok, DialogAnswer::No, DialogAnswer::No, DialogAnswer::Ok};
    m_ipl.ActionFileDelete->trigger();
    EXPECT_EQ(m_dialogs.messageTexts().last(), "ERROR: \"data\\maps\\fresh.ipl\" Could NOT Be Deleted! \nPlease check "
                                               "this file is not in use or marked as read only!");
    EXPECT_EQ(files().Count(), 2);
}

TEST_F(MapFileCommands, AReferenceTheDatFileLacksIsReportedOnClosing)
{
    m_dat.referenced = false;
    chooseFile(m_ipl, 2);
    m_dialogs.answers = {DialogAnswer::Ok, DialogAnswer::Yes, DialogAnswer::Ok};
    m_ipl.ActionFileClose->trigger();
    ASSERT_EQ(m_dialogs.messages.size(), 3u);
    EXPECT_EQ(m_dialogs.messages[2].kind, MessageKind::Warning);
    EXPECT_EQ(m_dialogs.messages[2].text,
              "Warning: No line of data\\gta_vc.dat refers to \"DATA\\MAPS\\DOCKS.IPL\"; nothing was removed.");
    EXPECT_EQ(files().Count(), 2) << "the file is closed all the same";
}

TEST_F(MapFileCommands, RemovingAFileKeepsTheOtherEditorOnItsFile)
{
    chooseFile(m_ipl, 2);
    clickRow(m_ipl.ListItems, 1);
    m_item.SelectRecord(FileKind::IPL, SectionCode::Inst, 1, 2);
    chooseFile(m_ide, 0);
    m_dialogs.answers = {DialogAnswer::Ok, DialogAnswer::No};
    m_ide.ActionFileClose->trigger();

    EXPECT_EQ(files().Count(), 2);
    EXPECT_EQ(m_ipl.CurrentFile(), 1) << "the IPL file moved up one place";
    EXPECT_EQ(column(m_ipl.ListFiles, 0), QStringList({"0", "1"}));
    EXPECT_EQ(column(m_ipl.ListItems, 1), QStringList({"tree", "house", "Shop"}));
    EXPECT_EQ(m_ide.CurrentFile(), -1);
    EXPECT_EQ(m_ide.ListItems->model()->rowCount(), 0);
    EXPECT_FALSE(m_item.HasSelection());
    // The lists read the moved file, not past the end of the list.
    m_ipl.ActionEditAdd->trigger();
    EXPECT_EQ(ipl(1).Inst.Count(), 4);
    EXPECT_EQ(ipl(0).Inst.Count(), 3);

    // The editor that removes a file follows the removal once, however often it hears of it.
    chooseFile(m_ipl, 0);
    m_dialogs.answers = {DialogAnswer::Ok, DialogAnswer::No};
    m_ipl.ActionFileClose->trigger();
    m_ipl.FileRemoved(0);
    EXPECT_EQ(column(m_ipl.ListFiles, 0), QStringList({"0"}));
    EXPECT_EQ(column(m_ipl.ListFiles, 1), QStringList({"DATA\\MAPS\\DOCKS.IPL *"}));
}

}
