#include "MapValidator.h"
#include "SmallGame.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

MapValidator validatorOf(LoadedSmallGame& game)
{
    return MapValidator(game.files, game.archive.get(), programSettings().IsViceCity, game.gameDir);
}

ValidationReport validate(LoadedSmallGame& game, const FixPolicy& policy = FixPolicy::checkOnly(),
                          ValidationObserver* observer = nullptr)
{
    return validatorOf(game).run(policy, observer);
}

std::vector<std::string> findingLines(const ValidationReport& report)
{
    std::vector<std::string> lines;
    for (const ValidationFinding& finding : report.findings)
        lines.push_back(finding.line());
    return lines;
}

struct Case {
    const char* name;
    bool viceCity;
    std::function<void(SmallGame&)> change;
    std::vector<std::string> lines;
    const char* result;
};

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        // Instance 100 has the smallest objs ID: the binary search must reach position 0.
        {"clean Vice City game", true, [](SmallGame&) {}, {}, "SUCCESS: No Errors Found!"},
        {"clean GTA III game with 12-column instances", false, [](SmallGame&) {}, {}, "SUCCESS: No Errors Found!"},
        {"archive names equal without regard to case", true,
         [](SmallGame& g) { g.entries.insert(g.entries.end(), {"a.dff", "A.DFF"}); },
         {"Warning @ File: a.dff = Duplicate Entries Found![-1, -1, 4]"}, "SUCCESS: No Errors Found! (1 Warnings)"},
        {"three equal archive names give two lines", true,
         [](SmallGame& g) { g.entries.insert(g.entries.end(), {"x.txd", "X.txd", "x.TXD"}); },
         {"Warning @ File: x.txd = Duplicate Entries Found![-1, -1, 4]",
          "Warning @ File: X.txd = Duplicate Entries Found![-1, -1, 4]"},
         "SUCCESS: No Errors Found! (2 Warnings)"},
        {"duplicate objs IDs in two IDE files", true,
         [](SmallGame& g) { g.ide.push_back({"more.ide", "objs\r\n100, box, boxtex, 1, 100, 0\r\nend\r\n"}); },
         {"Error @ file DATA\\MAPS\\town.ide [OBJS] 100 = Model: \"box\" Duplicate IDs Found! "},
         "ERROR: 1 Errors Found!"},
        {"zero meshes first and last in ID order", true,
         [](SmallGame& g) {
             std::string& text = g.ide.front().second;
             text.replace(text.find("100, box, boxtex, 1"), 19, "100, box, boxtex, 0");
             addDefinition(g, "objs", "300, box, boxtex, 0, 100, 0");
         },
         {"Error @ ID: 100 - box = ZERO number of clumps in model (!!model invisible!!) !",
          "Error @ ID: 300 - box = ZERO number of clumps in model (!!model invisible!!) !"},
         "ERROR: 2 Errors Found!"},
        {"models and dictionaries the archive lacks", true,
         [](SmallGame& g) {
             addDefinition(g, "objs", "102, ghost, ghosttex, 1, 100, 0");
             addDefinition(g, "tobj", "201, spook, spooktex, 1, 100, 0, 20, 6");
         },
         {"Error @ file DATA\\MAPS\\town.ide [OBJS] 102 = Model: \"ghost\" Not Found In Archive! ",
          "Error @ file DATA\\MAPS\\town.ide [OBJS] 102 = Texture: \"ghosttex\" Not Found In Archive! ",
          "Error @ file DATA\\MAPS\\town.ide [TOBJ] 201 = Model: \"spook\" Not Found In Archive! ",
          "Error @ file DATA\\MAPS\\town.ide [TOBJ] 201 = Texture: \"spooktex\" Not Found In Archive! "},
         "ERROR: 4 Errors Found!"},
        {"instance without a definition", true,
         [](SmallGame& g) { addInstance(g, "999, nothing, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1"); },
         {"Error @ File: DATA\\MAPS\\town.ipl [INST] ID: \"999\" (Model: \"nothing\" !! IDE DEFINITION IS MISSING!!)"},
         "ERROR: 1 Errors Found!"},
        {"Vice City instance without interior column", true,
         [](SmallGame& g) { addInstance(g, "100, box, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1"); },
         {"Warning @ File: DATA\\MAPS\\town.ipl [OBJS] ID: 100 (Model: \"box\") - missing VC interior number"},
         "SUCCESS: No Errors Found! (1 Warnings)"},
        {"instance named unlike its timed definition", true,
         [](SmallGame& g) { addInstance(g, "200, lamp2, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1"); },
         {"Error @ File: DATA\\MAPS\\town.ipl [TOBJ] ID: 200 (Model: \"lamp2\" should be \"lamp\")"},
         "ERROR: 1 Errors Found!"},
        {"instance named unlike its objs definition", true,
         [](SmallGame& g) { addInstance(g, "101, barrel, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1"); },
         {"Error @ File: DATA\\MAPS\\town.ipl [OBJS] ID: 101 (Model: \"barrel\" should be \"crate\")"},
         "ERROR: 1 Errors Found!"},
        {"an ID in objs and tobj is taken as objs", true,
         [](SmallGame& g) { addDefinition(g, "tobj", "100, lamp, boxtex, 1, 100, 0, 20, 6"); },
         {"Warning @ file DATA\\MAPS\\town.ide [OBJS] 100 = Model: \"box\" ID Also Defined As TOBJ In "
          "DATA\\MAPS\\town.ide! "},
         "SUCCESS: No Errors Found! (1 Warnings)"},
        {"the IDE file named like the IPL file is searched first", true,
         [](SmallGame& g) { g.ide.insert(g.ide.begin(), {"aaa.ide", "objs\r\n101, box, boxtex, 1, 100, 0\r\nend\r\n"}); },
         {"Error @ file DATA\\MAPS\\aaa.ide [OBJS] 101 = Model: \"box\" Duplicate IDs Found! "},
         "ERROR: 1 Errors Found!"},
        {"DAT line naming a missing map file", true,
         [](SmallGame& g) { g.extraDatLines.push_back("IPL DATA\\MAPS\\gone.ipl"); },
         {"Error @ file data\\gta_vc.dat [DAT] -1 = Map File: \"DATA\\MAPS\\gone.ipl\" Not Found On Disk! "},
         "ERROR: 1 Errors Found!"},
        {"map file the DAT file does not name", false,
         [](SmallGame& g) { g.unnamed.push_back({"stray.IPL", "inst\r\nend\r\n"}); },
         {"Warning @ file data\\maps\\stray.IPL [DAT] -1 = Map File Not Named In data\\gta3.dat! "},
         "SUCCESS: No Errors Found! (1 Warnings)"},
        {"names longer than an archive entry holds", true,
         [](SmallGame& g) { addDefinition(g, "objs", "102, abcdefghijklmnopqrstuvwx, generic, 1, 100, 0"); },
         {"Error @ file DATA\\MAPS\\town.ide [OBJS] 102 = Model: \"abcdefghijklmnopqrstuvwx\" Not Found In Archive! ",
          "Error @ file DATA\\MAPS\\town.ide [OBJS] 102 = Model: \"abcdefghijklmnopqrstuvwx\" Name Longer Than 23 "
          "Characters! "},
         "ERROR: 2 Errors Found!"},
        {"rotation far from a unit quaternion", true,
         [](SmallGame& g) { addInstance(g, "100, box, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 2"); },
         {"Warning @ File: DATA\\MAPS\\town.ipl [INST] ID: 100 (Model: \"box\") - rotation is not a unit quaternion "
          "(length 2)"},
         "SUCCESS: No Errors Found! (1 Warnings)"},
        {"LOD definition without a building of its name", true,
         [](SmallGame& g) {
             g.entries.push_back("LODbarn.dff");
             addDefinition(g, "objs", "102, LODbarn, generic, 1, 1000, 0");
             addDefinition(g, "tobj", "202, lodshed, generic, 1, 1000, 0, 20, 6");
             g.entries.push_back("lodshed.dff");
         },
         {"Warning @ file DATA\\MAPS\\town.ide [OBJS] 102 = Model: \"LODbarn\" LOD Has No High-Detail Partner! ",
          "Warning @ file DATA\\MAPS\\town.ide [TOBJ] 202 = Model: \"lodshed\" LOD Has No High-Detail Partner! "},
         "SUCCESS: No Errors Found! (2 Warnings)"},
        {"buildings whose LOD placement stands elsewhere or nowhere", true,
         [](SmallGame& g) {
             g.entries.insert(g.entries.end(), {"hd_barn.dff", "LODbarn.dff", "hd_silo.dff", "lodSILO.dff"});
             addDefinition(g, "objs", "102, hd_barn, generic, 1, 150, 0");
             addDefinition(g, "objs", "103, LODbarn, generic, 1, 1000, 0");
             addDefinition(g, "objs", "104, hd_silo, generic, 1, 150, 0");
             addDefinition(g, "objs", "105, lodSILO, generic, 1, 1000, 0");
             addInstance(g, "103, LODbarn, 0, 50, 50, 0, 1, 1, 1, 0, 0, 0, 1");
             addInstance(g, "102, hd_barn, 0, 53, 54, 0, 1, 1, 1, 0, 0, 0, 1"); // 5 units away: its own
             addInstance(g, "102, hd_barn, 0, 150, 50, 0, 1, 1, 1, 0, 0, 0, 1");
             addInstance(g, "104, hd_silo, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
         },
         {"Warning @ File: DATA\\MAPS\\town.ipl [INST] ID: 102 (Model: \"hd_barn\") - its nearest LOD placement is "
          "100 units away",
          "Warning @ File: DATA\\MAPS\\town.ipl [INST] ID: 104 (Model: \"hd_silo\") - its LOD placement is missing"},
         "SUCCESS: No Errors Found! (2 Warnings)"},
        {"timed object hour outside the day", true,
         [](SmallGame& g) { addDefinition(g, "tobj", "201, lamp, boxtex, 1, 100, 0, 25, 6"); },
         {"Warning @ file DATA\\MAPS\\town.ide [TOBJ] 201 = Model: \"lamp\" Hours 25-6 Outside 0..23! "},
         "SUCCESS: No Errors Found! (1 Warnings)"},
    };
    return all;
}

TEST(MapValidator, FindsWhatEachSmallGameHolds)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        SmallGame game = validSmallGame(c.viceCity);
        c.change(game);
        LoadedSmallGame loaded(game);
        const ValidationReport report = validate(loaded);

        EXPECT_EQ(findingLines(report), c.lines);
        EXPECT_EQ(report.resultText(), c.result);
        // Each check row counts exactly the findings of its check.
        for (const ValidationSectionRow& section : report.sections)
            for (const ValidationCheckRow& check : section.checks) {
                int count = 0;
                for (const ValidationFinding& finding : report.findings)
                    count += finding.section == section.caption && finding.check == check.caption;
                EXPECT_EQ(check.count, count) << section.caption << " / " << check.caption;
            }
        for (const ValidationFinding& finding : report.findings)
            EXPECT_FALSE(loaded.files.File(0)->Modified || loaded.files.File(1)->Modified)
                << "without fixes nothing is modified: " << finding.line();
    }
}

TEST(MapValidator, RowsAndHeadingsComeInRunOrder)
{
    LoadedSmallGame loaded(validSmallGame());
    const ValidationReport report = validate(loaded);
    std::vector<std::string> rows;
    for (const ValidationSectionRow& section : report.sections) {
        rows.push_back(section.caption);
        for (const ValidationCheckRow& check : section.checks)
            rows.push_back("  " + check.caption);
    }
    const std::vector<std::string> expected = {
        "Main Archive", "  Duplicate Entries", "IDE - Section: Objs", "  Duplicate IDs", "  Invalid Values",
        "  Models in Archive", "  Textures in Archive", "IDE - Section: TObj", "  Models in Archive",
        "  Textures in Archive", "IPL - Section: Inst", "  Associated Definition", "Map Consistency",
        "  DAT Map Files on Disk", "  Map Files Not in DAT", "  IDs in Objs and TObj", "  Name Lengths",
        "  Instance Rotations", "  TObj Hours", "  LOD Partners", "  LOD Placements"};
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(report.lines(),
              (std::vector<std::string>{"### Error Report: Main Archive  ###", "### Error Report: IDE - Objs ###",
                                        "### Error Report: IDE - TObj ###", "### Error Report: IPL - Inst ###",
                                        "### Error Report: Map Consistency ###"}));
    EXPECT_EQ(report.modeText(), "Vice City Mode");
}

// Records the order of what the observer hears, with the instance count at that moment.
class EventLog : public ValidationObserver {
public:
    explicit EventLog(const TGTAFileList& files) : m_files(files) {}
    std::vector<std::string> events;

    void instancesDeleting(int file) override { events.push_back("deleting " + counted(file)); }
    void recordsChanged(int file) override { events.push_back("changed " + counted(file)); }
    void fileModified(int file) override { events.push_back("modified " + std::to_string(file)); }

private:
    std::string counted(int file) const
    {
        const TIPLFile* ipl = m_files.IPLFile(file);
        return std::to_string(file) + (ipl ? " with " + std::to_string(ipl->Inst.Count()) : std::string());
    }
    const TGTAFileList& m_files;
};

SmallGame gameWithEveryFix()
{
    SmallGame game = validSmallGame();
    std::string& ide = game.ide.front().second;
    ide.replace(ide.find("101, crate, generic, 1"), 22, "101, crate, generic, 0");
    addInstance(game, "999, nothing, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    addInstance(game, "100, BOX, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    addInstance(game, "200, lamp2, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    addInstance(game, "101, barrel, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    return game;
}

TEST(MapValidator, FixesRepairNoteAndMarkTheirFiles)
{
    LoadedSmallGame loaded(gameWithEveryFix());
    EXPECT_EQ(validatorOf(loaded).placementsWithoutDefinition(), 1);
    EventLog log(loaded.files);
    const ValidationReport report = validate(loaded, FixPolicy::withDeletions(), &log);

    EXPECT_EQ(findingLines(report),
              (std::vector<std::string>{
                  "Error @ ID: 101 - crate = ZERO number of clumps in model (!!model invisible!!) !",
                  "Error @ File: DATA\\MAPS\\town.ipl [OBJS] ID: 101 (Model: \"barrel\" should be \"crate\") -> "
                  "changed ipl name to objs name",
                  "Error @ File: DATA\\MAPS\\town.ipl [TOBJ] ID: 200 (Model: \"lamp2\" should be \"lamp\") -> "
                  "changed ipl name to TOBJ name",
                  "Warning @ File: DATA\\MAPS\\town.ipl [OBJS] ID: 100 (Model: \"BOX\") - missing VC interior number "
                  "-> set interior to zero (externior)",
                  "Error @ File: DATA\\MAPS\\town.ipl [INST] ID: \"999\" (Model: \"nothing\" !! IDE DEFINITION IS "
                  "MISSING!!) -> DELETED"}));
    EXPECT_EQ(report.resultText(), "ERROR: 4 Errors Found! (1 Warnings)");

    const TIDEFile& definitions = *loaded.files.IDEFile(0);
    const TIPLFile& placements = *loaded.files.IPLFile(1);
    EXPECT_TRUE(definitions.Modified);
    EXPECT_TRUE(placements.Modified);
    EXPECT_EQ(definitions.Objs.Items[1].MeshCount, 1);
    ASSERT_EQ(placements.Inst.Count(), 6);
    EXPECT_EQ(placements.Inst.Items[3].ModelName, "BOX") << "the name matched without regard to case";
    EXPECT_TRUE(placements.Inst.Items[3].HasInterior);
    EXPECT_EQ(placements.Inst.Items[3].Interior, 0);
    EXPECT_EQ(placements.Inst.Items[4].ModelName, "lamp");
    EXPECT_EQ(placements.Inst.Items[5].ModelName, "crate");

    // The item editor hears of the deletion before positions shift, the IPL editor after.
    EXPECT_EQ(log.events, (std::vector<std::string>{"modified 0", "changed 0", "modified 1", "deleting 1 with 7",
                                                    "changed 1 with 6"}));

    const ValidationReport again = validate(loaded, FixPolicy::withDeletions());
    EXPECT_TRUE(again.findings.empty()) << (again.findings.empty() ? "" : again.findings.front().line());
    EXPECT_EQ(validatorOf(loaded).placementsWithoutDefinition(), 0);
}

TEST(MapValidator, RepairsWithoutDeletionsKeepAndNoteThePlacement)
{
    LoadedSmallGame loaded(gameWithEveryFix());
    FixPolicy policy = FixPolicy::repairsOnly();
    policy.keptNote = "(kept)";
    EventLog log(loaded.files);
    const ValidationReport report = validate(loaded, policy, &log);

    ASSERT_EQ(report.findings.size(), 5u);
    EXPECT_EQ(report.findings.back().line(), "Error @ File: DATA\\MAPS\\town.ipl [INST] ID: \"999\" (Model: "
                                             "\"nothing\" !! IDE DEFINITION IS MISSING!!) -> (kept)");
    EXPECT_EQ(report.findings[1].fix, "changed ipl name to objs name") << "the other repairs are made";
    EXPECT_EQ(loaded.files.IPLFile(1)->Inst.Count(), 7);
    EXPECT_EQ(log.events, (std::vector<std::string>{"modified 0", "changed 0", "modified 1", "changed 1 with 7"}))
        << "no deletion is announced";
    EXPECT_EQ(validatorOf(loaded).placementsWithoutDefinition(), 1);
}

// Every finding about a record names the line that record stands on in its file; findings
// about archive entries and whole files name none.
TEST(MapValidator, FindingsNameTheLineOfTheirRecord)
{
    SmallGame game = validSmallGame();
    game.ide.push_back({"more.ide", "# again\r\n\r\nobjs\r\n100, box2, boxtex, 1, 100, 0\r\nend\r\n"});
    addDefinition(game, "objs", "102, ghost, boxtex, 1, 100, 0");            // model not in the archive
    addDefinition(game, "objs", "103, box, boxtex, 0, 100, 0");              // no mesh
    addDefinition(game, "tobj", "201, lamp, boxtex, 1, 100, 0, 25, 6");       // hour outside the day
    addInstance(game, "100, box, 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 2");          // rotation of length 2
    addInstance(game, "555, nothing, 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1");      // no definition
    game.extraDatLines = {"IPL DATA\\MAPS\\gone.ipl"};                     // names no file
    game.entries.insert(game.entries.end(), {"twice.dff", "TWICE.DFF"});
    LoadedSmallGame loaded(game);
    const ValidationReport report = validate(loaded, FixPolicy::withDeletions());

    int withLines = 0;
    for (const ValidationFinding& finding : report.findings) {
        SCOPED_TRACE(finding.line());
        if (finding.inArchive || finding.check == "Map Files Not in DAT") {
            EXPECT_EQ(finding.lineNumber, 0);
            continue;
        }
        ASSERT_GT(finding.lineNumber, 0);
        ++withLines;
        // The line as it is on disk, read apart from the program.
        std::string text = readFile(resolveGamePath(loaded.gameDir, finding.file));
        for (int line = 1; line < finding.lineNumber; ++line)
            text.erase(0, text.find('\n') + 1);
        text.resize(text.find('\r'));
        if (finding.id >= 0)
            EXPECT_EQ(text.substr(0, text.find(',')), std::to_string(finding.id));
        else
            EXPECT_EQ(text, "IPL DATA\\MAPS\\gone.ipl");
    }
    // Duplicate ID, the models box2 and ghost missing from the archive, no mesh, hours,
    // rotation, no definition (deleted by the fix, still named by its line), the DAT line.
    EXPECT_EQ(withLines, 8);
}

} // namespace
