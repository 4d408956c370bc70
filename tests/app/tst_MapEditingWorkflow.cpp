// Adding a new object to the map, as a modder does it through the windows of the editor:
// a new IPL file (named in the DAT file), an instance of a chosen definition placed into it,
// moved in the item editor, everything saved, and the game read again from disk; and a new
// object made from pictures: dictionary, model, archive, definition, placement, validation.
#include "LoadSequence.h"

#include "DemoGameInCubes.h"
#include "EditorControls.h"
#include "LoadedDemoGame.h"
#include "MapDocument.h"
#include "MapListDriving.h"
#include "MapValidator.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "ScriptedDialogService.h"
#include "SquareModel.h"
#include "TFormEditorArchive.h"
#include "TFormEditorDAT.h"
#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TFormExtraView.h"
#include "TFormMain.h"
#include "ToolDock.h"
#include "TFormTextureView.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"
#include "TextParser.h"
#include "TxdBuild.h"
#include "TxdDecoder.h"
#include "TxdTestData.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <optional>

namespace {

class MapEditingWorkflow : public LoadedDemoGame {};

TEST_F(MapEditingWorkflow, ANewFileTakesAnInstanceOfAChosenDefinitionAndTheGameReadsItBack)
{
    EXPECT_TRUE(ipl->isVisible() && !ipl->visibleRegion().isEmpty()) << "the IPL editor's tab is the active one after loading";
    EXPECT_TRUE(main->tabifiedDockWidgets(main->DockOf(ipl)).contains(main->DockOf(ide)));

    // A new IPL file, its DAT reference added.
    const std::string chosen = m_game.file("data/maps/newblock.ipl");
    dialogs.saveFileChoices.push_back(QString::fromStdString(chosen));
    dialogs.answers = {DialogAnswer::Yes, DialogAnswer::Ok};
    ipl->ActionFileNew->trigger();
    EXPECT_EQ(dialogs.messageTexts().last(), "SUCCESS: \"data\\maps\\newblock.ipl\" Created Successfully!");
    TGTAFileList& files = *main->FileList();
    const int newFile = files.Count() - 1;
    EXPECT_EQ(files.File(newFile)->FileName, "data\\maps\\newblock.ipl");
    EXPECT_EQ(ipl->CurrentFile(), newFile);
    EXPECT_EQ(main->ChkListVisible->count(), 10) << "the visibility list shows the new file";
    EXPECT_TRUE(main->ActionSaveModified->isEnabled());

    // A definition chosen in the IDE editor, placed into the new file.
    main->DockOf(ide)->bringToFront();
    chooseFile(*ide, 0);
    ASSERT_GT(ide->ListItems->model()->rowCount(), 2);
    clickRow(ide->ListItems, 2);
    const TGTASObjsObj& definition = files.IDEFile(0)->Objs.Items[ide->CurrentRecord()];
    auto* extraView = static_cast<TFormExtraView*>(main->ToolWindowOf(ToolWindow::ExtraView));
    ASSERT_NE(extraView, nullptr);
    EXPECT_EQ(extraView->Mode, 2) << "the second display follows the chosen definition";
    EXPECT_EQ(extraView->DefinitionID, definition.ID);
    ASSERT_TRUE(ide->ActionEditAddInstance->isEnabled());
    dialogs.answers = {DialogAnswer::Yes};
    ide->ActionEditAddInstance->trigger();
    EXPECT_EQ(dialogs.messageTexts().last(), "Add item instance of selected object to: data\\maps\\newblock.ipl?");
    TIPLFile& block = *files.IPLFile(newFile);
    ASSERT_EQ(block.Inst.Count(), 1);
    EXPECT_EQ(block.Inst.Items[0].ID, definition.ID);
    EXPECT_EQ(block.Inst.Items[0].ModelName, definition.ModelName);
    ASSERT_TRUE(item->HasSelection());
    EXPECT_EQ(item->SelFile(), newFile);
    EXPECT_TRUE(main->ActionViewEditor->isChecked()) << "the item editor shows the instance";

    // Moved in the item editor, as typed: each field typed is one step.
    QUndoStack& steps = main->Document()->undoStack();
    const int stepsBefore = steps.count();
    const float placedX = block.Inst.Items[0].PosX;
    const float placedZ = block.Inst.Items[0].PosZ;
    retypeBox(namedControl(*item, "EditIPLInstPosX"), "123.5");
    retypeBox(namedControl(*item, "EditIPLInstPosZ"), "7.25");
    EXPECT_FLOAT_EQ(block.Inst.Items[0].PosX, 123.5f);
    EXPECT_EQ(steps.count(), stepsBefore + 2);

    // Undone and redone from the Edit menu; the item editor shows the record as it is.
    EXPECT_EQ(main->ActionUndo->text(), "&Undo Edit Record");
    main->ActionUndo->trigger();
    main->ActionUndo->trigger();
    EXPECT_FLOAT_EQ(block.Inst.Items[0].PosX, placedX);
    EXPECT_FLOAT_EQ(block.Inst.Items[0].PosZ, placedZ);
    EXPECT_EQ(namedControl(*item, "EditIPLInstPosX")->text().toFloat(), placedX);
    EXPECT_EQ(main->ActionUndo->text(), "&Undo Add Item Instance");
    main->ActionUndo->trigger();
    EXPECT_EQ(block.Inst.Count(), 0) << "the added instance is taken back in one step";
    EXPECT_FALSE(item->HasSelection()) << "the selected record no longer exists";
    EXPECT_EQ(main->ActionRedo->text(), "&Redo Add Item Instance");
    for (int step = 0; step < 3; ++step)
        main->ActionRedo->trigger();
    EXPECT_FALSE(main->ActionRedo->isEnabled());
    ASSERT_EQ(block.Inst.Count(), 1);
    EXPECT_EQ(block.Inst.Items[0].ID, definition.ID);
    EXPECT_FLOAT_EQ(block.Inst.Items[0].PosX, 123.5f);
    EXPECT_FLOAT_EQ(block.Inst.Items[0].PosZ, 7.25f);

    // Saved: the map files, then the DAT file from its editor.
    dialogs.messages.clear();
    main->ActionSaveModified->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("data\\maps\\newblock.ipl"));
    ASSERT_TRUE(dat->BtnSave->isEnabled());
    dat->BtnSave->click();
    EXPECT_TRUE(dialogs.messageTexts().last().startsWith("SUCCESS: The DAT file"));

    // The next start reads the DAT file and finds the instance at its new place.
    TGTAFileList reread(m_game.path().string() + "/", true);
    reread.LoadDat(DatPass::IDE);
    reread.LoadDat(DatPass::IPL);
    const TIPLFile* saved = nullptr;
    for (int pos = 0; pos < reread.Count(); ++pos) {
        if (reread.File(pos)->FileName == "data\\maps\\newblock.ipl")
            saved = reread.IPLFile(pos);
    }
    ASSERT_NE(saved, nullptr) << "the DAT file names the new file";
    ASSERT_EQ(saved->Inst.Count(), 1);
    EXPECT_EQ(saved->Inst.Items[0].ID, definition.ID);
    EXPECT_EQ(saved->Inst.Items[0].ModelName, definition.ModelName);
    EXPECT_FLOAT_EQ(saved->Inst.Items[0].PosX, 123.5f);
    EXPECT_FLOAT_EQ(saved->Inst.Items[0].PosZ, 7.25f);
}

// Placements moved between files as a modder does it with the keys: two picked, copied with
// Ctrl+C, pasted into the file chosen in the IPL editor with Ctrl+V, duplicated with Ctrl+D
// and the duplicates deleted again in the view, everything saved and read back from disk.
TEST_F(MapEditingWorkflow, PlacementsCopiedFromTheViewArePastedIntoAnotherFileAndSaved)
{
    TGTAFileList& files = *main->FileList();
    std::vector<int> ipls;
    for (int pos = 0; pos < files.Count(); ++pos) {
        if (const TIPLFile* file = files.IPLFile(pos); file && file->Inst.Count() >= 2)
            ipls.push_back(pos);
    }
    ASSERT_GE(ipls.size(), 2u);
    const int source = ipls[0];
    const int target = ipls[1];
    TIPLFile& to = *files.IPLFile(target);
    const int before = to.Inst.Count();
    item->SelectRecord(FileKind::IPL, SectionCode::PickedInst, 0, source);
    item->SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 1, source);

    TGLView* view = main->View();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    const QString copied = QGuiApplication::clipboard()->text();
    const TIPLFile& from = *files.IPLFile(source);
    EXPECT_EQ(copied, QString::fromStdString(from.Inst.WriteLine(0) + "\n" + from.Inst.WriteLine(1) + "\n"));

    main->DockOf(ipl)->bringToFront();
    chooseFile(*ipl, target);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(to.Inst.Count(), before + 2);
    EXPECT_EQ(main->Document()->selection().records, (std::vector<int>{before, before + 1}));
    EXPECT_EQ(main->ActionUndo->text(), "&Undo Paste 2 Placements");
    EXPECT_EQ(ipl->ListItems->model()->rowCount(), before + 2) << "the IPL editor lists the pasted rows";

    view->setFocus();
    QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(to.Inst.Count(), before + 4);
    EXPECT_EQ(main->Document()->selection().records, (std::vector<int>{before + 2, before + 3}));
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(to.Inst.Count(), before + 2);
    main->ActionUndo->trigger();
    EXPECT_EQ(to.Inst.Count(), before + 4);
    main->ActionRedo->trigger();
    EXPECT_EQ(to.Inst.Count(), before + 2);

    dialogs.messages.clear();
    main->ActionSaveModified->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("SUCCESS: "));
    TGTAFileList reread(m_game.path().string() + "/", true);
    reread.LoadDat(DatPass::IDE);
    reread.LoadDat(DatPass::IPL);
    ASSERT_NE(reread.IPLFile(target), nullptr);
    const TIPLFile& saved = *reread.IPLFile(target);
    EXPECT_EQ(saved.FileName, to.FileName);
    ASSERT_EQ(saved.Inst.Count(), before + 2);
    EXPECT_EQ(QString::fromStdString(saved.Inst.WriteLine(before) + "\n" + saved.Inst.WriteLine(before + 1) + "\n"),
              copied);
}

// A new object from nothing but pictures: a dictionary built from a folder of PNG files (as
// `txd build` builds it), put into the archive with a model through the archive editor,
// given one more texture in the texture viewer, then defined, placed, validated and saved.
TEST_F(MapEditingWorkflow, PicturesBecomeAPlacedObjectThatValidates)
{
    const std::string pictures = m_game.file("work/pictures");
    std::filesystem::create_directories(pictures);
    writePng(pictures + "/tex.png", solidImage(16, 16, {40, 160, 60, 255}));
    std::vector<std::string> pngs;
    ASSERT_EQ(pngFilesOfFolder(pictures, pngs), 0);
    std::vector<std::string> refusals;
    const std::vector<TxdTextureData> textures = buildTextures(pngs, TxdBuildOptions{}, refusals);
    ASSERT_TRUE(refusals.empty());
    writeFile(m_game.file("work/crate.txd"), bytesText(writeTxd(textures, txdGameStamp(TxdGame::ViceCity))));
    writeFile(m_game.file("work/crate.dff"), bytesText(squareModel())); // its texture is "tex"

    // Into the archive with the archive editor.
    auto* archiveEditor = static_cast<TFormEditorArchive*>(main->ToolWindowOf(ToolWindow::ArchiveEditor));
    ASSERT_NE(archiveEditor, nullptr);
    TGTAImg& archive = *main->ArchiveSet();
    const int entries = archive.EntryCount();
    dialogs.openFileChoices.push_back(
        {QString::fromStdString(m_game.file("work/crate.dff")), QString::fromStdString(m_game.file("work/crate.txd"))});
    archiveEditor->ActionEditInsert->trigger();
    ASSERT_EQ(archive.EntryCount(), entries + 2);
    ASSERT_GE(archive.FindDff("crate"), 0);
    const int dictionary = archive.FindTxd("crate");
    ASSERT_GT(dictionary, 0) << "the archive set has the new dictionary";

    // One more texture, imported and saved in the texture viewer.
    auto* textureView = static_cast<TFormTextureView*>(main->ToolWindowOf(ToolWindow::TextureView));
    ASSERT_NE(textureView, nullptr);
    textureView->SetDictionary(dictionary);
    EXPECT_EQ(textureView->FilenameValue->text(), "crate.txd");
    writePng(m_game.file("work/crate_side.png"), solidImage(8, 8, {200, 100, 0, 255}));
    dialogs.openFileChoices.push_back({QString::fromStdString(m_game.file("work/crate_side.png"))});
    textureView->BtnImport->click();
    dialogs.answers = {DialogAnswer::Yes};
    textureView->BtnSave->click();
    EXPECT_FALSE(textureView->Modified);
    EXPECT_EQ(archive.EntryCount(), entries + 2) << "saving replaced the entry";

    // A definition naming the model and the dictionary.
    main->DockOf(ide)->bringToFront();
    chooseFile(*ide, 0);
    ide->SetSection(SectionCode::Objs);
    TGTAFileList& files = *main->FileList();
    TIDEFile& definitions = *files.IDEFile(0);
    const int before = definitions.Objs.Count();
    ide->ActionEditAdd->trigger();
    ASSERT_EQ(definitions.Objs.Count(), before + 1);
    retypeBox(namedControl<QLineEdit>(*item, "EditIDEObjsModel"), "crate");
    retypeBox(namedControl<QLineEdit>(*item, "EditIDEObjsTexture"), "crate");
    const TGTASObjsObj& crate = definitions.Objs.Items[static_cast<std::size_t>(before)];
    EXPECT_EQ(crate.ModelName, "crate");
    EXPECT_EQ(crate.TextureName, "crate");
    const int crateId = crate.ID;

    // Placed into the first IPL file.
    int placeFile = -1;
    for (int pos = 0; pos < files.Count() && placeFile < 0; ++pos)
        if (files.IPLFile(pos))
            placeFile = pos;
    ASSERT_GE(placeFile, 0);
    main->DockOf(ipl)->bringToFront();
    chooseFile(*ipl, placeFile);
    main->DockOf(ide)->bringToFront();
    clickRow(ide->ListItems, before);
    dialogs.answers = {DialogAnswer::Yes};
    ide->ActionEditAddInstance->trigger();
    TIPLFile& placements = *files.IPLFile(placeFile);
    ASSERT_EQ(placements.Inst.Items.back().ID, crateId);

    // Validation finds nothing wrong with the new object.
    MapValidator validator(files, &archive, true, programSettings().GameDir);
    const ValidationReport report = validator.run();
    for (const ValidationFinding& finding : report.findings) {
        EXPECT_NE(finding.id, crateId) << finding.line();
        EXPECT_FALSE(equalsIgnoringCase(finding.model, "crate")) << finding.line();
    }

    // Saved and read back as the next start reads the game.
    dialogs.answers = {DialogAnswer::Ok};
    main->ActionSaveModified->trigger();
    TGTAFileList reread(programSettings().GameDir, true);
    reread.LoadDat(DatPass::IDE);
    reread.LoadDat(DatPass::IPL);
    bool defined = false;
    bool placed = false;
    for (int pos = 0; pos < reread.Count(); ++pos) {
        if (const TIDEFile* ideFile = reread.IDEFile(pos))
            for (const TGTASObjsObj& record : ideFile->Objs.Items)
                defined = defined || (record.ID == crateId && record.ModelName == "crate" && record.TextureName == "crate");
        if (const TIPLFile* iplFile = reread.IPLFile(pos))
            for (const TGTASInstObj& record : iplFile->Inst.Items)
                placed = placed || (record.ID == crateId && record.ModelName == "crate");
    }
    EXPECT_TRUE(defined);
    EXPECT_TRUE(placed);
    TGTA3Archive saved(archive.FileName, false);
    std::ostringstream bytes;
    ASSERT_EQ(saved.ExtractEntry(saved.FindEntry("crate.txd"), bytes), 0);
    const std::string text = bytes.str();
    const TxdDecodeResult decoded = decodeTxd(std::vector<std::uint8_t>(text.begin(), text.end()));
    ASSERT_EQ(decoded.Textures.size(), 2u);
    EXPECT_EQ(decoded.Textures[0].Texture.Name, "tex");
    EXPECT_EQ(decoded.Textures[1].Texture.Name, "crate_side");
}

} // namespace
