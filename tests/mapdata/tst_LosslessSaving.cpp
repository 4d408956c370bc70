#include "Log.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Texts as real and modded files have them, each saved without an edit.
const struct {
    const char* what;
    bool ide;
    std::string text;
} Unedited[] = {
    {"comments, blank lines, odd spacing, exponents, CR LF", false,
     "# Vice City placements\r\n\r\ninst\r\n"
     "  2139, , 0, 3.80387E-010,\t-1.5 ,0, 0,0,0, 0, 0, 0, 1\r\n"
     "# the lamp\r\n"
     "1,lamppost1,10.50,-3,0,1,1,1,0,0,0,1.000000\r\n\r\nend\r\n"},
    {"LF, unknown sections in odd order, empty sections", false,
     "pick\nend\ncull\n1, 2, 3, 4, 5, 6, 7, 8, 9, 40, 0\nend\nmult\n 1, 2\nend\ninst\n"
     "1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\nzone\nend\n"},
    {"path groups with a comment between nodes, TAB padding", false,
     "path\r\n0, -1\r\n\t2, -1, 0, -3628.81, 16622.8, 96, 18, 1, 1, 0, 8, 0.5\r\n"
     "# half way\r\n\t2,  0, 0, 1, 2, 3, 0, 1, 1, 0, 0, 1\r\nend\r\n"},
    {"a byte order mark, no line end after the last line", true,
     "\xEF\xBB\xBFobjs\n100, gate, gatetxd, 1, 150, 200, 0\n6620, spl_b_bab_m, generic, 1, 20, 70, 0\nend"},
    {"IDE sections this program does not edit, lone CR line ends", true,
     "cars\r400, landstal, landstal, car, LANDSTAL, LANDSTK, null, normal, 10, 7, 0\rend\r"
     "tobj\r7, lamp, lamptxd, 1, 50, 0, 20, 6\rend\r"},
    {"a record line without any section and stray ends", false, "end\n1, 2, 3\nEND\ninst\nend\n"},
};

TEST(LosslessSaving, AnUneditedFileIsSavedByteForByte)
{
    for (const auto& c : Unedited) {
        if (c.ide) {
            TIDEFile file;
            file.ReadText(c.text);
            EXPECT_EQ(file.SaveText(), c.text) << c.what;
        } else {
            TIPLFile file;
            file.ReadText(c.text);
            EXPECT_EQ(file.SaveText(), c.text) << c.what;
        }
    }
}

const std::string Town = "# town\ninst\n"
                         "1,  lamp, 10.50, -3, 0, 1, 1, 1, 0, 0, 0, 1\n"
                         "# the bench\n"
                         "2, bench, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\n"
                         "3, bin, 5, 5, 0, 1, 1, 1, 0, 0, 0, 1\n"
                         "end\n"
                         "path\n0, -1\n\t2, -1, 0, 1.5, 2, 3, 0, 1, 1, 0, 8, 0.5\n\t2, 0, 0, 4, 5, 6, 0, 1, 1, 0, 0, 1\nend\n";

const struct {
    const char* what;
    std::function<void(TIPLFile&)> edit;
    std::string saved;
} Edits[] = {
    {"one record edited: only its line changes, in normal form",
     [](TIPLFile& f) { f.Inst.Items[1].PosZ = 0.3f; },
     "# town\ninst\n1,  lamp, 10.50, -3, 0, 1, 1, 1, 0, 0, 0, 1\n# the bench\n"
     "2, bench, 0, 0, 0.3, 1, 1, 1, 0, 0, 0, 1\n"
     "3, bin, 5, 5, 0, 1, 1, 1, 0, 0, 0, 1\nend\n"
     "path\n0, -1\n\t2, -1, 0, 1.5, 2, 3, 0, 1, 1, 0, 8, 0.5\n\t2, 0, 0, 4, 5, 6, 0, 1, 1, 0, 0, 1\nend\n"},
    {"an edit undone by value keeps the original text",
     [](TIPLFile& f) {
         f.Inst.Items[0].PosX = 99;
         f.Inst.Items[0].PosX = 10.5f;
     },
     Town},
    {"a record read back from its normal form, as undo does, keeps the original text",
     [](TIPLFile& f) {
         TGTASInst again;
         again.ReadLine(f.Inst.WriteLine(0));
         f.Inst.Items[0] = again.Items[0];
     },
     Town},
    {"a deleted record's comment stays",
     [](TIPLFile& f) { f.Inst.DeleteRecord(1); },
     "# town\ninst\n1,  lamp, 10.50, -3, 0, 1, 1, 1, 0, 0, 0, 1\n# the bench\n"
     "3, bin, 5, 5, 0, 1, 1, 1, 0, 0, 0, 1\nend\n"
     "path\n0, -1\n\t2, -1, 0, 1.5, 2, 3, 0, 1, 1, 0, 8, 0.5\n\t2, 0, 0, 4, 5, 6, 0, 1, 1, 0, 0, 1\nend\n"},
    {"a new record goes after the last of its section, a new section after everything",
     [](TIPLFile& f) {
         f.Inst.NewRecordAt(7, 8, 9);
         f.Zone.NewRecord();
     },
     "# town\ninst\n1,  lamp, 10.50, -3, 0, 1, 1, 1, 0, 0, 0, 1\n# the bench\n"
     "2, bench, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\n3, bin, 5, 5, 0, 1, 1, 1, 0, 0, 0, 1\n"
     "0, , 0, 7, 8, 9, 0, 0, 0, 0, 0, 0, 1\nend\n"
     "path\n0, -1\n\t2, -1, 0, 1.5, 2, 3, 0, 1, 1, 0, 8, 0.5\n\t2, 0, 0, 4, 5, 6, 0, 1, 1, 0, 0, 1\nend\n"
     "zone\nZone01, 3, 0, 0, 0, 0, 0, 0, 1\nend\n"},
    {"an edited path node rewrites its group with the file's line ends",
     [](TIPLFile& f) { f.Path.Items[0].Nodes[1].PosZ = 7; },
     "# town\ninst\n1,  lamp, 10.50, -3, 0, 1, 1, 1, 0, 0, 0, 1\n# the bench\n"
     "2, bench, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\n3, bin, 5, 5, 0, 1, 1, 1, 0, 0, 0, 1\nend\n"
     "path\n0, -1\n\t2, -1, 0, 1.5, 2, 3, 0, 1, 1, 0, 8, 0.5\n\t2, 0, 0, 4, 5, 7, 0, 1, 1, 0, 0, 1\nend\n"},
    {"a definition cache filled by drawing is no edit",
     [](TIPLFile& f) { f.Inst.Items[2].DefFile = f.Inst.Items[2].DefIndex = 4; },
     Town},
};

TEST(LosslessSaving, OnlyWhatWasEditedIsWrittenAnew)
{
    GameSettingsScope game("/nowhere/", true); // new inst records take the Vice City form
    for (const auto& c : Edits) {
        TIPLFile file;
        file.ReadText(Town);
        c.edit(file);
        EXPECT_EQ(file.SaveText(), c.saved) << c.what;
    }
}

TEST(LosslessSaving, RejectedLinesStayInPlaceAndAreLogged)
{
    std::vector<std::string> logged;
    const TextSink previous = setLogSink([&](std::string_view line) { logged.emplace_back(line); });
    const std::string text = "tobj\r\n1, a, b, 1, 100, 0, six, 6\r\n2, a, b, 1, 100, 0, 20, 6\r\nend\r\n"
                             "path\r\n\t0, -1, 0, 0, 0, 0, 0, 0, 0\r\nend\r\n";
    TIDEFile file;
    file.FileName = "town.ide";
    file.ReadText(text);
    setLogSink(previous);
    ASSERT_EQ(file.TObj.Count(), 1);
    EXPECT_EQ(file.Path.Count(), 0);
    EXPECT_EQ(file.SaveText(), text);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_NE(logged[0].find("town.ide line 2"), std::string::npos) << logged[0];
    EXPECT_NE(logged[1].find("town.ide line 6"), std::string::npos) << logged[1];

    file.TObj.Items[0].TimeOff = 5;
    EXPECT_EQ(file.SaveText(), "tobj\r\n1, a, b, 1, 100, 0, six, 6\r\n2, a, b, 1, 100, 0, 20, 5\r\nend\r\n"
                               "path\r\n\t0, -1, 0, 0, 0, 0, 0, 0, 0\r\nend\r\n");
}

TEST(LosslessSaving, NewFilesAndTheNormalFormUseCrLf)
{
    TIDEFile created;
    created.Objs.NewRecord();
    EXPECT_EQ(created.SaveText(), "objs\r\n1, , , 1, 0, 0\r\nend\r\n");

    TIPLFile read;
    read.ReadText("path\n0, -1\n\t2, -1, 0, 1.5, 2, 3, 0, 1, 1, 0, 8, 0.5\nend\n# tail\ninst\nend\n");
    EXPECT_EQ(read.NormalFormText(),
              "inst\r\nend\r\npath\r\n0, -1\r\n\t2, -1, 0, 1.5, 2, 3, 0, 1, 1, 0, 8, 0.5\r\nend\r\n");
}

TEST(LosslessSaving, SavingToDiskWritesTheSameBytes)
{
    TempDir dir;
    const std::string text = Unedited[0].text;
    writeFile(dir.file("town.ipl"), text);
    TIPLFile file;
    ASSERT_EQ(file.Load(dir.file("town.ipl")), 0);
    ASSERT_EQ(file.Save(), 0);
    EXPECT_EQ(readFile(dir.file("town.ipl")), text);
    file.Inst.Items[0].ID = 2140;
    ASSERT_EQ(file.Save(), 0);
    EXPECT_EQ(readFile(dir.file("town.ipl")),
              "# Vice City placements\r\n\r\ninst\r\n"
              "2140, , 0, 3.80387E-010, -1.5, 0, 0, 0, 0, 0, 0, 0, 1\r\n"
              "# the lamp\r\n"
              "1,lamppost1,10.50,-3,0,1,1,1,0,0,0,1.000000\r\n\r\nend\r\n");
}

} // namespace
