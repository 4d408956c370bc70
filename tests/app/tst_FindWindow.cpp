// The find window on the demo game, loaded and wired as the program does it: queries typed
// into its box against counts taken from the game's text files, hits opened where the user
// edits them, the find entries of the other editors, and free IDs taken by "Add Item".
#include "LoadSequence.h"

#include "DefinitionPanel.h"
#include "DemoGame.h"
#include "EnvironmentScope.h"
#include "LoadedDemoGame.h"
#include "InstancePanel.h"
#include "MapDocument.h"
#include "MapListDriving.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "ScriptedDialogService.h"
#include "SearchHitsModel.h"
#include "TFormEditorIDE.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TFormFind.h"
#include "TFormMain.h"
#include "ToolDock.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// One record line of a map file as written on disk: its section keyword, its fields
// (trimmed) and the file's name.
struct RecordLine {
    std::string section;
    std::vector<std::string> fields;
    std::string fileName;
};

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Every inst, objs, tobj and 2dfx line of the game's map files, read straight from the
// text: the oracle the window's counts are checked against.
std::vector<RecordLine> recordLines(const fs::path& game)
{
    std::vector<RecordLine> lines;
    for (const auto& entry : fs::recursive_directory_iterator(game / "data")) {
        const std::string extension = lower(entry.path().extension().string());
        if (extension != ".ide" && extension != ".ipl")
            continue;
        std::ifstream in(entry.path());
        std::string line;
        std::string section;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty() || line[0] == '#')
                continue;
            if (line.find(',') == std::string::npos) {
                section = line == "end" ? std::string() : line;
                continue;
            }
            if (section != "inst" && section != "objs" && section != "tobj" && section != "2dfx")
                continue;
            RecordLine record{section, {}, lower(entry.path().filename().string())};
            std::stringstream fields(line);
            for (std::string field; std::getline(fields, field, ',');) {
                field.erase(0, field.find_first_not_of(" \t"));
                field.erase(field.find_last_not_of(" \t") + 1);
                record.fields.push_back(field);
            }
            lines.push_back(std::move(record));
        }
    }
    return lines;
}

bool hasModel(const RecordLine& r)
{
    return r.section != "2dfx";
}

bool hasDictionary(const RecordLine& r)
{
    return r.section == "objs" || r.section == "tobj";
}

class FindWindow : public LoadedDemoGame {
protected:
    void SetUp() override
    {
        LoadedDemoGame::SetUp();
        find = static_cast<TFormFind*>(programWindows().FindWindow);
        ASSERT_NE(find, nullptr);
    }

    // Opens the window as the user does, by its shortcut.
    void openByShortcut()
    {
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_TRUE(find->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(find));
    }

    void search(const QString& text, const QString& field)
    {
        find->ComboField->setCurrentText(field);
        find->EditFind->clear();
        QTest::keyClicks(find->EditFind, text);
    }

    // The row of the first hit of the kind, -1 when there is none.
    int firstRowOf(HitKind kind) const
    {
        for (int row = 0; row < find->Hits().rowCount(); ++row) {
            if (find->Hits().hitAt(row)->kind == kind)
                return row;
        }
        return -1;
    }

    TGTAFileList& files() const { return *main->FileList(); }
    MapDocument& document() const { return *main->Document(); }

    // The table size the window keeps goes to a file of the test's own.
    TempDir m_config;
    EnvironmentScope m_settingsFile{"QUOX_SETTINGS_FILE", QByteArray::fromStdString(m_config.file("settings.ini"))};
    TFormFind* find = nullptr;
};

TEST_F(FindWindow, QueriesTypedIntoTheBoxFindWhatTheGameFilesHold)
{
    EXPECT_EQ(main->ActionFind->text(), "&Find...");
    EXPECT_TRUE(main->EditMenu->actions().contains(main->EditFindItem) && main->EditFindItem->isVisible());
    EXPECT_EQ(main->ActionValidateAll->shortcut(), QKeySequence("Ctrl+F")) << "Ctrl+F stays the validation";
    openByShortcut();
    EXPECT_TRUE(main->ActionFind->isChecked());
    QTRY_COMPARE(QApplication::focusWidget(), find->EditFind);

    const std::vector<RecordLine> lines = recordLines(m_game.path());
    const auto modelIs = [](const std::string& pattern) {
        return [re = std::regex(pattern, std::regex::icase)](const RecordLine& r) {
            return hasModel(r) && r.fields.size() > 1 && std::regex_match(r.fields[1], re);
        };
    };
    struct Case {
        const char* query;
        const char* field;
        std::function<bool(const RecordLine&)> expected;
    };
    const Case cases[] = {
        {"130", "ID", [](const RecordLine& r) { return r.fields[0] == "130"; }},
        // An ID also finds the 2D effects of the definition.
        {"129", "Everything", [](const RecordLine& r) { return r.fields[0] == "129"; }},
        {"TREE_OAK", "Everything", modelIs(".*tree_oak.*")},
        {"Tree_P", "Model", modelIs(".*tree_p.*")},
        {"tree_p*", "Everything", modelIs("tree_p.*")},
        {"sh?p0?", "Model", modelIs("sh.p0.")},
        {"QX_parks", "Dictionary",
         [](const RecordLine& r) { return hasDictionary(r) && lower(r.fields[2]).find("qx_parks") != std::string::npos; }},
        // A file name takes every record of the file.
        {"Park.IPL", "File", [](const RecordLine& r) { return r.fileName == "park.ipl"; }},
        {"no_such_model", "Everything", [](const RecordLine&) { return false; }},
    };
    for (const Case& c : cases) {
        search(c.query, c.field);
        const int expected = static_cast<int>(std::count_if(lines.begin(), lines.end(), c.expected));
        EXPECT_EQ(find->ListHits->model()->rowCount(), expected) << c.query << " in " << c.field;
        EXPECT_EQ(find->LabelHitCount->text(), TFormFind::hitCountText(expected)) << c.query;
    }
    EXPECT_GT(std::count_if(lines.begin(), lines.end(), cases[2].expected), 10) << "the oracle reads the files";

    // The list sorts by a column: IDs ascending, then descending.
    search("tree", "Model");
    clickHeader(find->ListHits, SearchHitsModel::IDColumn);
    QStringList ids = column(find->ListHits, SearchHitsModel::IDColumn);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end(), [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); }));
    clickHeader(find->ListHits, SearchHitsModel::IDColumn);
    ids = column(find->ListHits, SearchHitsModel::IDColumn);
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end(), [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); }));
    EXPECT_NE(ids.first(), ids.last());
    search("qx_", "Everything");
    clickHeader(find->ListHits, SearchHitsModel::FileColumn);
    const QStringList names = column(find->ListHits, SearchHitsModel::FileColumn);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(),
                               [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; }));
    EXPECT_NE(names.first().toLower(), names.last().toLower());

    // A change of the map shows in the hits: a deleted placement leaves the list.
    const int before = find->ListHits->model()->rowCount();
    const SearchHit hit = *find->Hits().hitAt(firstRowOf(HitKind::Inst));
    document().deleteRecords("Delete Record", hit.file, hit.section, {hit.record});
    QTRY_COMPARE(find->ListHits->model()->rowCount(), before - 1);
    document().undoStack().undo();
    QTRY_COMPARE(find->ListHits->model()->rowCount(), before);
}

TEST_F(FindWindow, ADoubleClickOpensTheHitAndCentresTheViewOnAPlacement)
{
    openByShortcut();
    search("tree_pine", "Model");
    const int instRow = firstRowOf(HitKind::Inst);
    ASSERT_GE(instRow, 0);
    const SearchHit hit = *find->Hits().hitAt(instRow);
    doubleClickRow(find->ListHits, instRow);

    const DocumentSelection& selection = document().selection();
    EXPECT_EQ(selection.kind, FileKind::IPL);
    EXPECT_EQ(selection.section, SectionCode::Inst);
    EXPECT_EQ(selection.file, hit.file);
    EXPECT_EQ(selection.records, std::vector<int>{hit.record});
    EXPECT_EQ(item->SelSection(), SectionCode::Inst);
    EXPECT_EQ(ipl->CurrentFile(), hit.file);
    EXPECT_EQ(ipl->CurrentRecord(), hit.record) << "the IPL editor shows the placement's row";
    EXPECT_TRUE(ipl->isVisible() && !ipl->visibleRegion().isEmpty()) << "the IPL editor's tab is in front";
    const TGTASInstObj& inst = files().IPLFile(hit.file)->Inst.Items[static_cast<size_t>(hit.record)];
    const std::array<float, 3> target = main->View()->GetCameraTarget();
    EXPECT_FLOAT_EQ(target[0], inst.PosX);
    EXPECT_FLOAT_EQ(target[1], inst.PosY);
    EXPECT_FLOAT_EQ(target[2], inst.PosZ);

    // A definition is selected without moving the camera; Enter opens it as a double click does.
    const int objsRow = firstRowOf(HitKind::Objs);
    ASSERT_GE(objsRow, 0);
    const SearchHit definition = *find->Hits().hitAt(objsRow);
    clickRow(find->ListHits, objsRow);
    QTest::keyClick(find->ListHits, Qt::Key_Return);
    EXPECT_EQ(document().selection().kind, FileKind::IDE);
    EXPECT_EQ(document().selection().section, SectionCode::Objs);
    EXPECT_EQ(document().selection().records, std::vector<int>{definition.record});
    EXPECT_EQ(ide->CurrentFile(), definition.file);
    EXPECT_EQ(ide->CurrentRecord(), definition.record);
    EXPECT_TRUE(ide->isVisible() && !ide->visibleRegion().isEmpty()) << "the IDE editor's tab is in front";
    EXPECT_EQ(main->View()->GetCameraTarget(), target);
}

TEST_F(FindWindow, TheEditorsFindPlacementsOfADefinitionAndTheDefinitionOfAPlacement)
{
    // "tree_oak" in the park's definitions.
    int parkIDE = -1;
    int oak = -1;
    for (int f = 0; f < files().Count() && oak < 0; ++f) {
        if (const TIDEFile* file = files().IDEFile(f)) {
            for (int r = 0; r < file->Objs.Count(); ++r) {
                if (file->Objs.Items[static_cast<size_t>(r)].ModelName == "tree_oak") {
                    parkIDE = f;
                    oak = r;
                }
            }
        }
    }
    ASSERT_GE(oak, 0);
    const int oakID = files().IDEFile(parkIDE)->Objs.Items[static_cast<size_t>(oak)].ID;
    int placements = 0;
    for (int f = 0; f < files().Count(); ++f) {
        if (const TIPLFile* file = files().IPLFile(f))
            placements += static_cast<int>(std::count_if(file->Inst.Items.begin(), file->Inst.Items.end(),
                                                         [oakID](const TGTASInstObj& i) { return i.ID == oakID; }));
    }
    ASSERT_GT(placements, 1);

    // The IDE editor's popup entry.
    main->DockOf(ide)->bringToFront();
    ide->ShowRecordRow(parkIDE, SectionCode::Objs, oak);
    EXPECT_TRUE(ide->PopupItems->actions().contains(ide->ActionFindPlacements));
    ASSERT_TRUE(ide->ActionFindPlacements->isEnabled());
    ide->ActionFindPlacements->trigger();
    EXPECT_TRUE(find->isVisible());
    EXPECT_EQ(find->ListHits->model()->rowCount(), placements);
    EXPECT_EQ(find->LabelHitCount->text(),
              TFormFind::hitCountText(placements) + ": placements of ID " + QString::number(oakID));
    for (int row = 0; row < placements; ++row) {
        EXPECT_EQ(find->Hits().hitAt(row)->kind, HitKind::Inst);
        EXPECT_EQ(find->Hits().hitAt(row)->id, oakID);
    }

    // The item editor's definition panel: the same list after another search.
    find->close();
    search("shop", "Model");
    item->SelectRecord(FileKind::IDE, SectionCode::Objs, oak, parkIDE);
    item->panelideobjs->BtnFindPlacements->click();
    EXPECT_TRUE(find->isVisible());
    EXPECT_EQ(find->ListHits->model()->rowCount(), placements);

    // "Find Definition" of the IPL editor's popup goes from a placement to its definition.
    const SearchHit placement = *find->Hits().hitAt(placements - 1);
    ipl->ShowRecordRow(placement.file, SectionCode::Inst, placement.record);
    EXPECT_TRUE(ipl->PopupItems->actions().contains(ipl->ActionFindDefinition));
    ASSERT_TRUE(ipl->ActionFindDefinition->isEnabled());
    ipl->ActionFindDefinition->trigger();
    EXPECT_EQ(document().selection(), (DocumentSelection{FileKind::IDE, SectionCode::Objs, parkIDE, {oak}}));
    EXPECT_EQ(ide->CurrentRecord(), oak);

    // And the item editor's instance panel; an ID no definition has is said so.
    item->SelectRecord(FileKind::IPL, SectionCode::Inst, placement.record, placement.file);
    item->paneliplinst->BtnFindDefinition->click();
    EXPECT_EQ(document().selection(), (DocumentSelection{FileKind::IDE, SectionCode::Objs, parkIDE, {oak}}));
    item->SelectRecord(FileKind::IPL, SectionCode::Inst, placement.record, placement.file);
    item->paneliplinst->EditIPLInstID->setText("6400");
    item->paneliplinst->BtnFindDefinition->click();
    EXPECT_EQ(dialogs.messageTexts().last(), "No definition with the ID 6400 is loaded.");
    EXPECT_EQ(document().selection().kind, FileKind::IPL) << "nothing else was selected";
}

TEST_F(FindWindow, AddItemTakesTheFirstFreeIDOfTheChosenRange)
{
    openByShortcut();
    find->PageControl->setCurrentWidget(find->TabFreeIDs);
    EXPECT_EQ(find->EditTableSize->value(), 6500) << "Vice City's model table";

    // The IDs the definitions use, read from the files: the oracle of the free ranges.
    std::set<int> used;
    for (const RecordLine& r : recordLines(m_game.path()))
        if (r.section == "objs" || r.section == "tobj")
            used.insert(std::stoi(r.fields[0]));
    ASSERT_GE(find->ListFreeIDs->topLevelItemCount(), 2);
    const QTreeWidgetItem* last = find->ListFreeIDs->topLevelItem(find->ListFreeIDs->topLevelItemCount() - 1);
    EXPECT_EQ(last->text(0), QString::number(*used.rbegin() + 1) + " - 6499");
    // The range below the first used ID.
    QTreeWidgetItem* below = find->ListFreeIDs->topLevelItem(0);
    const int belowFirst = below->data(0, Qt::UserRole).toInt();
    const int belowLast = below->data(1, Qt::UserRole).toInt();
    EXPECT_EQ(belowFirst, 0);
    EXPECT_EQ(belowLast, *used.begin() - 1);
    EXPECT_EQ(below->text(1), QString::number(*used.begin()));

    // Chosen, the IDE editor's "Add Item" takes the range's first free IDs, each one step.
    find->ListFreeIDs->setCurrentItem(below);
    find->BtnUseRange->click();
    EXPECT_EQ(find->LabelAddItemIDs->text(), "\"Add Item\" gives a new definition the first free ID from 0 - " +
                                                 QString::number(belowLast) + ".");
    ide->ShowRecordRow(0, SectionCode::Objs, 0);
    TIDEFile& definitions = *files().IDEFile(ide->CurrentFile());
    const int count = definitions.Objs.Count();
    ide->ActionEditAdd->trigger();
    ide->ActionEditAdd->trigger();
    ASSERT_EQ(definitions.Objs.Count(), count + 2);
    EXPECT_EQ(definitions.Objs.Items[static_cast<size_t>(count)].ID, 0);
    EXPECT_EQ(definitions.Objs.Items[static_cast<size_t>(count) + 1].ID, 1);
    EXPECT_EQ(document().selection(), (DocumentSelection{FileKind::IDE, SectionCode::Objs, ide->CurrentFile(), {count + 1}}));
    // The free IDs follow the map.
    QTRY_COMPARE(find->ListFreeIDs->topLevelItem(0)->text(0), "2 - " + QString::number(belowLast));
    document().undoStack().undo();
    document().undoStack().undo();
    EXPECT_EQ(definitions.Objs.Count(), count);
    QTRY_COMPARE(find->ListFreeIDs->topLevelItem(0)->text(0), "0 - " + QString::number(belowLast));

    // A range with no ID left: the written default and a warning.
    const int highest = files().HighestID();
    ide->SetNewIDRange(std::make_pair(*used.begin(), *used.begin()));
    ide->ActionEditAdd->trigger();
    EXPECT_EQ(definitions.Objs.Items.back().ID, highest + 1);
    EXPECT_EQ(dialogs.messageTexts().last(), "No free ID is left from " + QString::number(*used.begin()) + " to " +
                                                 QString::number(*used.begin()) + ": the new definition has the ID " +
                                                 QString::number(highest + 1) + ", the highest ID + 1.");
    document().undoStack().undo();

    // Back to the default.
    find->BtnDefaultIDs->click();
    ide->ActionEditAdd->trigger();
    EXPECT_EQ(definitions.Objs.Items.back().ID, highest + 1);
    document().undoStack().undo();

    // The table size is a setting kept for the next run, per game.
    find->EditTableSize->setValue(6000);
    EXPECT_EQ(find->ListFreeIDs->topLevelItem(find->ListFreeIDs->topLevelItemCount() - 1)->text(0).section(" - ", 1), "5999");
    TFormFind again(document(), nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(again.EditTableSize->value(), 6000);
}

} // namespace
