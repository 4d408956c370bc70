#include "MapSearch.h"

#include "DemoGame.h"
#include "GamePaths.h"
#include "SmallGame.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TGTAFileList> loadGame(const std::string& gameDir, bool viceCity)
{
    auto files = std::make_unique<TGTAFileList>(gameDir, viceCity);
    EXPECT_EQ(files->LoadDat(DatPass::IDE), 0);
    EXPECT_EQ(files->LoadDat(DatPass::IPL), 0);
    return files;
}

class DemoGameSearch : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir();
        std::string error;
        ASSERT_EQ(writeDemoGame(s_dir->path().string(), DemoGameOptions{}, error), 0) << error;
        s_files = loadGame(withTrailingSeparator(s_dir->path().string()), true).release();
    }
    static void TearDownTestSuite()
    {
        delete s_files;
        delete s_dir;
    }
    static TempDir* s_dir;
    static TGTAFileList* s_files;
};
TempDir* DemoGameSearch::s_dir = nullptr;
TGTAFileList* DemoGameSearch::s_files = nullptr;

// The counts come from the demo game's text, counted line by line apart from the program:
// 41 objs and tobj records, 3 2dfx records and 1081 inst records in all.
TEST_F(DemoGameSearch, QueriesFindTheirRecords)
{
    struct Case {
        const char* query;
        SearchField field;
        std::size_t hits;
    };
    const Case cases[] = {
        {"130", SearchField::Any, 1 + 77},               // objs tree_oak and its placements
        {"  130 ", SearchField::Any, 1 + 77},            // blanks around the query are ignored
        {"tree_oak", SearchField::Any, 1 + 77},          // model name
        {"TREE_Oak", SearchField::Any, 1 + 77},          // any letter case
        {"tree", SearchField::Any, 6 + 285 + 3 + 254},   // "streets" holds "tree": both its files whole
        {"tree", SearchField::Model, 4 + 254 + 108},     // names only: trees, and streetlamps
        {"qx_shop??", SearchField::Any, 2 + 88},         // ? is one character, the whole name
        {"qx_shop?", SearchField::Any, 3},              // the dictionary qx_shops of three definitions
        {"lod*", SearchField::Model, 12 + 186},
        {"*01", SearchField::Model, 12 + 158},
        {"QX_PARKS", SearchField::Dictionary, 5},        // dictionary: objs and tobj only
        {"qx_*", SearchField::Dictionary, 41},
        {"park.ipl", SearchField::File, 260},
        {"PARK.*", SearchField::File, 5 + 260},
        {"129", SearchField::Any, 1 + 1 + 108},          // objs, its 2dfx and its placements
        {"129", SearchField::ID, 1 + 1 + 108},
        {"129", SearchField::Model, 0},
        {"tree", SearchField::ID, 0},
        {"*", SearchField::Any, 41 + 3 + 1081},
        {"", SearchField::Any, 0},
        {"zzz", SearchField::Any, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(searchMap(*s_files, c.query, c.field).size(), c.hits) << '"' << c.query << "\" field " << static_cast<int>(c.field);
}

TEST_F(DemoGameSearch, HitsDescribeTheirRecords)
{
    const std::vector<SearchHit> hits = searchMap(*s_files, "129", SearchField::ID);
    ASSERT_FALSE(hits.empty());
    // File order: the IDE files come before the IPL files.
    EXPECT_EQ(hits[0].kind, HitKind::Objs);
    EXPECT_EQ(hits[0].model, "streetlamp");
    EXPECT_EQ(hits[0].dictionary, "qx_streets");
    EXPECT_FALSE(hits[0].hasPosition);
    EXPECT_EQ(hits[1].kind, HitKind::Effect2D);
    EXPECT_STREQ(hitKindName(hits[1].kind), "2dfx");
    EXPECT_TRUE(hits[1].model.empty());
    for (std::size_t i = 2; i < hits.size(); ++i) {
        const SearchHit& hit = hits[i];
        ASSERT_EQ(hit.kind, HitKind::Inst);
        const TIPLFile* ipl = s_files->IPLFile(hit.file);
        ASSERT_NE(ipl, nullptr);
        ASSERT_EQ(ipl->SectionAt(hit.section), &ipl->Inst);
        const TGTASInstObj& inst = ipl->Inst.Items.at(static_cast<std::size_t>(hit.record));
        EXPECT_EQ(inst.ID, 129);
        EXPECT_TRUE(hit.hasPosition);
        EXPECT_EQ(hit.x, inst.PosX);
        EXPECT_EQ(hit.y, inst.PosY);
        EXPECT_EQ(hit.z, inst.PosZ);
        if (i > 2) {
            EXPECT_TRUE(hits[i - 1].file < hit.file || (hits[i - 1].file == hit.file && hits[i - 1].record < hit.record));
        }
    }

    const std::vector<SearchHit> placements = placementsOfDefinition(*s_files, 129);
    EXPECT_EQ(placements.size(), 108u);
    EXPECT_TRUE(placementsOfDefinition(*s_files, 99999).empty());
}

// Whole-name wildcards and substrings on hand-picked names, through a small game.
TEST(MapSearchNames, WildcardsAndSubstrings)
{
    struct Case {
        const char* query;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"box", "bigbox01", true},     {"BOX", "bigbox01", true},    {"box*", "bigbox01", false},
        {"*box*", "bigbox01", true},   {"b?g*1", "bigbox01", true},  {"*x0?", "bigbox01", true},
        {"*x0", "bigbox01", false},    {"a*b*c", "aXbYbc", true},    {"a*b*c", "aXbYbcd", false},
        {"***", "", true},             {"?", "", false},             {"bigbox01x", "bigbox01", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchQuery(c.query, SearchField::Model).matchesName(c.name), c.matches) << c.query << " / " << c.name;
    EXPECT_TRUE(SearchQuery("town", SearchField::File).matchesFileName("DATA\\MAPS\\Town\\TOWN.IDE"));
    EXPECT_FALSE(SearchQuery("maps", SearchField::File).matchesFileName("DATA\\MAPS\\Town\\TOWN.IDE"));
    EXPECT_TRUE(SearchQuery("*.ide", SearchField::File).matchesFileName("data/maps/town.IDE"));
}

TEST(IdUsage, FreeRangesAndDuplicates)
{
    SmallGame game = validSmallGame(); // objs 100, 101; tobj 200
    addDefinition(game, "objs", "0, first, generic, 1, 100, 0");
    addDefinition(game, "objs", "102, nextbox, generic, 1, 100, 0");
    addDefinition(game, "tobj", "101, crate2, generic, 1, 100, 0, 20, 6"); // 101 again, as timed object
    addDefinition(game, "objs", "7000, far, generic, 1, 100, 0");           // beyond the table
    game.ide.push_back({"more.ide", "objs\r\n200, lamp2, generic, 1, 100, 0\r\n6499, last, generic, 1, 100, 0\r\nend\r\n"});
    const TempDir dir;
    const auto files = loadGame(game.write(dir), true);

    const IdUsage usage = idUsage(*files, defaultHighestGameID(true));
    ASSERT_EQ(usage.free.size(), 3u);
    EXPECT_EQ(usage.free[0].first, 1);
    EXPECT_EQ(usage.free[0].last, 99);
    EXPECT_EQ(usage.free[1].first, 103);
    EXPECT_EQ(usage.free[1].last, 199);
    EXPECT_EQ(usage.free[2].first, 201);
    EXPECT_EQ(usage.free[2].last, 6498); // 6499 is used, and the table ends there
    EXPECT_EQ(usage.usedTwice, (std::vector<int>{101, 200}));
    EXPECT_EQ(usage.outside, (std::vector<int>{7000}));

    EXPECT_EQ(defaultHighestGameID(false), 5500);
    const IdUsage gta3 = idUsage(*files, defaultHighestGameID(false));
    EXPECT_EQ(gta3.free.back().last, 5499);
    EXPECT_EQ(gta3.outside, (std::vector<int>{6499, 7000}));

    // An empty game: the whole table is free.
    const TGTAFileList none("", true);
    const IdUsage empty = idUsage(none, 10);
    ASSERT_EQ(empty.free.size(), 1u);
    EXPECT_EQ(empty.free[0].first, 0);
    EXPECT_EQ(empty.free[0].last, 9);
}

TEST(RecordLineNumbers, CountLinesAsInTheFile)
{
    // Line ends mixed on purpose: LF, CR LF and a lone CR all end a line.
    const std::string text = "# placements\n"                                    // 1
                             "\n"                                                // 2
                             "cars\r\n"                                          // 3 unknown section
                             "1, 2, 3\r\n"                                       // 4
                             "end\r\n"                                           // 5
                             "inst\n"                                            // 6
                             "100, box, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1\n"          // 7
                             "# a comment between records\r"                     // 8
                             "  \t\n"                                            // 9 blanks only
                             "101, crate, 4, 5, 6, 1, 1, 1, 0, 0, 0, 1\n"        // 10
                             "end\n"                                             // 11
                             "path\n"                                            // 12
                             "ped, -1\n"                                         // 13
                             "\t1, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0\n"            // 14
                             "ped, -1\n"                                         // 15
                             "end\n"                                             // 16
                             "inst\n"                                            // 17 a second block
                             "102, lamp, 7, 8, 9, 1, 1, 1, 0, 0, 0, 1";          // 18, no line end
    TIPLFile ipl;
    ipl.ReadText(text);
    const int inst = ipl.SectionIndexOf(&ipl.Inst);
    const int path = ipl.SectionIndexOf(&ipl.Path);
    ASSERT_EQ(ipl.Inst.Count(), 3);
    ASSERT_EQ(ipl.Path.Count(), 2);
    EXPECT_EQ(recordLineNumber(ipl, inst, 0), 7);
    EXPECT_EQ(recordLineNumber(ipl, inst, 1), 10);
    EXPECT_EQ(recordLineNumber(ipl, inst, 2), 18);
    EXPECT_EQ(recordLineNumber(ipl, path, 0), 13);
    EXPECT_EQ(recordLineNumber(ipl, path, 1), 15);
    EXPECT_EQ(recordLineNumber(ipl, inst, 3), 0);  // out of range
    EXPECT_EQ(recordLineNumber(ipl, 99, 0), 0);

    // Records keep their line when earlier ones are deleted; a created record has none.
    ipl.Inst.DeleteRecord(0);
    const int created = ipl.Inst.NewRecord();
    const RecordLines lines(ipl);
    EXPECT_EQ(lines.line(inst, 0), 10);
    EXPECT_EQ(lines.line(inst, 1), 18);
    EXPECT_EQ(lines.line(inst, created), 0);

    // A byte order mark does not make a line.
    TIDEFile ide;
    ide.ReadText("\xEF\xBB\xBFobjs\r\n100, box, tex, 1, 100, 0\r\nend\r\n");
    EXPECT_EQ(recordLineNumber(ide, ide.SectionIndexOf(&ide.Objs), 0), 2);
}

} // namespace
