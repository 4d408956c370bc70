#include "MapDocument.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

namespace {

const char* const DatText = "IDE DATA\\MAPS\\town.ide\r\nIPL DATA\\MAPS\\town.ipl\r\nIPL DATA\\MAPS\\docks.ipl\r\n";
const char* const IdeText = "# definitions\r\nobjs\r\n1, box, generic, 1, 100, 0\r\n2, tree, generic, 1,  150, 0\r\n"
                            "end\r\ntobj\r\n3, lamp, generic, 1, 100, 0, 20, 6\r\nend\r\npath\r\ncar, 1, box\r\n"
                            "\t2, -1, 0, 1, 2, 3, 0, 1, 1\r\n\t2, 0, 0, 4, 5, 6, 0, 1, 1\r\nend\r\n";
const char* const TownText = "inst\r\n1, box, 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1\r\n2, tree, 0, 4.5, 5, 6, 1, 1, 1, 0, 0, 0, 1\r\n"
                             "3, lamp, 0, 7, 8, 9, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n# zones\r\nzone\r\n"
                             "Downtown, 0, -5, -5, 0, 5, 5, 50, 1\r\nend\r\n";
const char* const DocksText = "inst\n1, box, 0, 10, 20, 30, 1, 1, 1, 0, 0, 0, 1\n2, tree, 0, 40, 50, 60, 1, 1, 1, 0, 0, 0, 1\nend\n";

// A small game on disk, loaded into a file list with a document over it.
class Document : public testing::Test {
public:
    TempDir dir;
    std::unique_ptr<TGTAFileList> files;
    std::unique_ptr<MapDocument> document;

    void SetUp() override
    {
        document.reset();
        writeFile(dir.file("data/gta_vc.dat"), DatText);
        writeFile(dir.file("data/maps/town.ide"), IdeText);
        writeFile(dir.file("data/maps/town.ipl"), TownText);
        writeFile(dir.file("data/maps/docks.ipl"), DocksText);
        files = std::make_unique<TGTAFileList>(dir.path().string() + "/", true);
        ASSERT_EQ(files->LoadDat(DatPass::IDE), 0);
        ASSERT_EQ(files->LoadDat(DatPass::IPL), 0);
        ASSERT_EQ(files->Count(), 3);
        document = std::make_unique<MapDocument>(*files);
    }

    TIDEFile& ide() const { return *files->IDEFile(0); }
    TIPLFile& town() const { return *files->IPLFile(1); }
    TIPLFile& docks() const { return *files->IPLFile(2); }
    int section(int file, SectionCode code) const { return MapDocument::sectionIndex(*files->File(file), code); }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto& file : files->Files)
            result.push_back(file->SaveText());
        result.push_back(files->DatLines.empty() ? "" : files->DatLines.back());
        return result;
    }
    std::vector<bool> marks() const
    {
        std::vector<bool> result;
        for (const auto& file : files->Files)
            result.push_back(file->Modified);
        return result;
    }
    bool undo()
    {
        if (!document->undoStack().canUndo())
            return false;
        document->undoStack().undo();
        return true;
    }
    bool redo()
    {
        if (!document->undoStack().canRedo())
            return false;
        document->undoStack().redo();
        return true;
    }

    void moveInstances(int file, std::vector<int> records, float dx, MapDocument::Merge merge = MapDocument::Merge::Move)
    {
        TIPLFile& ipl = *files->IPLFile(file);
        document->editRecords("Move", file, section(file, SectionCode::Inst), records, [&] {
            for (int record : records)
                ipl.Inst.Items[static_cast<std::size_t>(record)].PosX += dx;
        }, merge);
    }
};

// Every kind of step: done, undone, redone. After the undo every file writes the bytes it was
// read with; after the redo, the bytes of the first do.
TEST_F(Document, EveryKindOfStepIsUndoneAndRedoneExactly)
{
    struct Case {
        const char* name;
        std::function<void(Document&)> step;
    };
    const std::vector<Case> cases = {
        {"field edit", [](Document& t) {
             t.document->editRecords("Edit", 0, t.section(0, SectionCode::Objs), {1},
                                     [&] { t.ide().Objs.Items[1].DrawDistance = 125.5f; });
         }},
        {"move of several instances", [](Document& t) { t.moveInstances(1, {0, 2}, 3.0f); }},
        {"add a record", [](Document& t) {
             t.document->addRecords("Add Record", 1, t.section(1, SectionCode::Inst),
                                    [&] { return std::vector<int>{t.town().Inst.NewRecordAt(1, 2, 3)}; });
         }},
        {"add to a section the file lacks", [](Document& t) {
             t.document->addRecords("Add Record", 0, t.section(0, SectionCode::Fx2d),
                                    [&] { return std::vector<int>{t.ide().Fx2d.NewRecord()}; });
         }},
        {"delete records", [](Document& t) {
             t.document->deleteRecords("Delete Records", 1, t.section(1, SectionCode::Inst), {2, 0});
         }},
        {"delete a definition", [](Document& t) {
             t.document->deleteRecords("Delete Record", 0, t.section(0, SectionCode::Objs), {0});
         }},
        {"path node edit", [](Document& t) {
             t.document->editRecords("Edit", 0, t.section(0, SectionCode::Path), {0}, [&] {
                 t.ide().Path.Items[0].Nodes[1].PosZ = 77;
                 t.ide().Path.Items[0].Nodes.pop_back();
             });
         }},
        {"several files at once", [](Document& t) {
             t.document->changeFiles("Validate", [&] {
                 t.town().Inst.DeleteRecord(1);
                 t.docks().Inst.Items[0].ModelName = "crate";
                 return std::vector<int>{1, 2};
             });
         }},
        {"DAT lines", [](Document& t) {
             std::vector<std::string> lines = t.files->DatLines;
             lines.push_back("IPL DATA\\MAPS\\new.ipl");
             t.document->setDatLines("Add Reference", lines);
         }},
    };
    for (const Case& c : cases) {
        SetUp();
        const std::vector<std::string> original = texts();
        c.step(*this);
        const std::vector<std::string> done = texts();
        EXPECT_NE(done, original) << c.name;
        EXPECT_EQ(document->undoStack().count(), 1) << c.name;
        ASSERT_TRUE(undo()) << c.name;
        EXPECT_EQ(texts(), original) << c.name;
        EXPECT_EQ(marks(), std::vector<bool>(3, false)) << c.name;
        EXPECT_FALSE(files->DatModified) << c.name;
        ASSERT_TRUE(redo()) << c.name;
        EXPECT_EQ(texts(), done) << c.name;
        EXPECT_TRUE(document->anyModified() || files->DatModified) << c.name;
    }
}

// A few hundred mixed steps over every file; undoing them all gives back every file as read,
// redoing them all gives back the state before the undo.
TEST_F(Document, ARandomSequenceUndoesToTheFilesReadAndRedoesToTheLastState)
{
    const std::vector<std::string> original = texts();
    std::mt19937 random(20261209);
    auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
    for (int step = 0; step < 400; ++step) {
        const int ipl = 1 + pick(2);
        TIPLFile& file = *files->IPLFile(ipl);
        const int count = file.Inst.Count();
        switch (pick(7)) {
        case 0:
            if (count > 0) {
                std::vector<int> records;
                for (int n = 1 + pick(std::min(count, 4)); n > 0; --n)
                    records.push_back(pick(count));
                std::sort(records.begin(), records.end());
                records.erase(std::unique(records.begin(), records.end()), records.end());
                moveInstances(ipl, records, static_cast<float>(pick(9)) - 4.0f);
            }
            break;
        case 1:
            if (count > 0) {
                const int record = pick(count);
                document->editRecords("Edit", ipl, section(ipl, SectionCode::Inst), {record},
                                      [&] { file.Inst.Items[static_cast<std::size_t>(record)].ModelName += "x"; },
                                      MapDocument::Merge::Field, 7);
            }
            break;
        case 2:
            document->addRecords("Add", ipl, section(ipl, SectionCode::Inst), [&] {
                return std::vector<int>{file.Inst.NewRecordAt(static_cast<float>(step), 0, 0)};
            });
            break;
        case 3:
            if (count > 0)
                document->deleteRecords("Delete", ipl, section(ipl, SectionCode::Inst), {pick(count), pick(count)});
            break;
        case 4:
            if (ide().Objs.Count() > 0)
                document->editRecords("Edit", 0, section(0, SectionCode::Objs), {0},
                                      [&] { ide().Objs.Items[0].DrawDistance += 1; });
            break;
        case 5:
            if (ide().Objs.Count() > 1)
                document->deleteRecords("Delete", 0, section(0, SectionCode::Objs), {pick(ide().Objs.Count())});
            else
                document->addRecords("Add", 0, section(0, SectionCode::Objs),
                                     [&] { return std::vector<int>{ide().Objs.NewRecord()}; });
            break;
        default:
            document->endMerging();
            break;
        }
    }
    const std::vector<std::string> last = texts();
    while (undo()) {
    }
    EXPECT_EQ(texts(), original);
    EXPECT_EQ(marks(), std::vector<bool>(3, false));
    while (redo()) {
    }
    EXPECT_EQ(texts(), last);
}

TEST_F(Document, ModifiedMarksFollowTheStackAcrossSaves)
{
    moveInstances(1, {0}, 1.0f, MapDocument::Merge::None);
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));

    ModifiedFilesReport report = document->saveModified();
    ASSERT_EQ(report.saved.size(), 1U);
    EXPECT_EQ(report.saved[0].name, "DATA\\MAPS\\town.ipl");
    EXPECT_TRUE(report.allSaved());
    EXPECT_EQ(marks(), std::vector<bool>(3, false));
    const std::string saved = readFile(dir.file("data/maps/town.ipl"));

    ASSERT_TRUE(undo());
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false})) << "undoing past a save modifies the file again";
    ASSERT_TRUE(redo());
    EXPECT_EQ(marks(), std::vector<bool>(3, false)) << "back at the saved state";

    moveInstances(1, {1}, 1.0f, MapDocument::Merge::None);
    ASSERT_TRUE(undo());
    EXPECT_FALSE(document->anyModified());
    EXPECT_EQ(readFile(dir.file("data/maps/town.ipl")), saved);

    // A save that fails keeps the file modified; the folder the file lives in is now a file.
    moveInstances(2, {0}, 1.0f, MapDocument::Merge::None);
    std::filesystem::rename(dir.file("data/maps/docks.ipl"), dir.file("docks.keep"));
    std::filesystem::create_directories(dir.file("data/maps/docks.ipl/inside"));
    report = document->saveModified();
    ASSERT_EQ(report.failed.size(), 1U);
    EXPECT_NE(report.failed[0].error, 0);
    EXPECT_TRUE(docks().Modified);
    ASSERT_TRUE(undo());
    EXPECT_FALSE(docks().Modified) << "back at the state read";
}

TEST_F(Document, EditsMergeWhileTheyFollowEachOtherOnTheSameRecords)
{
    // Typing "125.5": five edits of one field, one step.
    for (const float value : {1.0f, 12.0f, 125.0f, 125.0f, 125.5f})
        document->editRecords("Edit", 0, section(0, SectionCode::Objs), {0},
                              [&] { ide().Objs.Items[0].DrawDistance = value; }, MapDocument::Merge::Field, 3);
    EXPECT_EQ(document->undoStack().count(), 1);
    // Another field is a step of its own, and so is the same field after letting it go.
    document->editRecords("Edit", 0, section(0, SectionCode::Objs), {0}, [&] { ide().Objs.Items[0].Flags = 4; },
                          MapDocument::Merge::Field, 4);
    document->endMerging();
    document->editRecords("Edit", 0, section(0, SectionCode::Objs), {0}, [&] { ide().Objs.Items[0].Flags = 5; },
                          MapDocument::Merge::Field, 4);
    EXPECT_EQ(document->undoStack().count(), 3);

    // A drag of two instances: many moves, one step; a move of other instances is another.
    for (int tick = 0; tick < 20; ++tick)
        moveInstances(1, {0, 1}, 0.5f);
    moveInstances(1, {2}, 0.5f);
    EXPECT_EQ(document->undoStack().count(), 5);
    ASSERT_TRUE(undo());
    ASSERT_TRUE(undo());
    EXPECT_EQ(town().Inst.Items[0].PosX, 1.0f);
    EXPECT_EQ(town().Inst.Items[1].PosX, 4.5f);
    ASSERT_TRUE(undo());
    ASSERT_TRUE(undo());
    ASSERT_TRUE(undo());
    EXPECT_EQ(ide().Objs.Items[0].DrawDistance, 100.0f);
    EXPECT_EQ(texts()[0], IdeText);
}

TEST_F(Document, RemovingAFileDropsItsStepsAndKeepsTheOthers)
{
    moveInstances(2, {0}, 1.0f, MapDocument::Merge::None);
    moveInstances(1, {0}, 1.0f, MapDocument::Merge::None);
    moveInstances(2, {1}, 1.0f, MapDocument::Merge::None);
    document->setSelection({FileKind::IPL, SectionCode::Inst, 2, {1}});
    EXPECT_EQ(document->removeFile(1), 1);
    EXPECT_EQ(files->Count(), 2);
    EXPECT_EQ(document->selection().file, 1) << "the selection follows its file";

    while (undo()) {
    }
    EXPECT_EQ(files->File(1)->SaveText(), DocksText);
    EXPECT_FALSE(files->File(1)->Modified);
    while (redo()) {
    }
    EXPECT_EQ(files->IPLFile(1)->Inst.Items[0].PosX, 11.0f);
    EXPECT_EQ(files->IPLFile(1)->Inst.Items[1].PosX, 41.0f);
}

TEST_F(Document, TheSelectionKeepsOnlyRecordsThatStillExist)
{
    document->addRecords("Add", 1, section(1, SectionCode::Inst), [&] {
        return std::vector<int>{town().Inst.NewRecordAt(0, 0, 0), town().Inst.NewRecordAt(1, 1, 1)};
    });
    document->setSelection({FileKind::IPL, SectionCode::SeveralInst, 1, {4, 0, 3}});
    ASSERT_TRUE(undo());
    EXPECT_EQ(document->selection().records, std::vector<int>{0});
    document->setSelection({FileKind::IPL, SectionCode::Inst, 1, {2}});
    document->deleteRecords("Delete", 1, section(1, SectionCode::Inst), {0, 1, 2});
    EXPECT_TRUE(document->selection().empty());
}

// A several-instance selection whose last member the user toggled out still names its file:
// the next Shift-pick there adds to it. A step undone or redone keeps it so.
TEST_F(Document, AnEmptiedSeveralInstanceSelectionStaysASelection)
{
    const DocumentSelection emptied{FileKind::IPL, SectionCode::SeveralInst, 1, {}};
    document->setSelection(emptied);
    EXPECT_FALSE(document->selection().empty());
    moveInstances(2, {0}, 1.0f);
    ASSERT_TRUE(undo());
    EXPECT_EQ(document->selection(), emptied);
    document->removeFile(0);
    EXPECT_EQ(document->selection().file, 0) << "the selection follows its file";
    document->removeFile(0);
    EXPECT_TRUE(document->selection().empty());
}

} // namespace
