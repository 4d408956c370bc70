#include "CliRun.h"
#include "MapValidator.h"
#include "SmallGame.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace {

// What the window shows for the same game: its report lines, then the result text.
std::string expectedOutput(const SmallGame& game)
{
    LoadedSmallGame loaded(game);
    MapValidator validator(loaded.files, loaded.archive.get(), game.viceCity, loaded.gameDir);
    const ValidationReport report = validator.run();
    std::string text;
    for (const std::string& line : report.lines())
        text += line + "\n";
    return text + report.resultText() + "\n";
}

SmallGame fixableGame()
{
    SmallGame game = validSmallGame();
    addInstance(game, "999, nothing, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    addInstance(game, "100, box, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    std::string& ide = game.ide.front().second;
    ide.replace(ide.find("101, crate, generic, 1"), 22, "101, crate, generic, 0");
    return game;
}

TEST(ValidateCommand, PrintsTheReportAndExitsByWhatItFound)
{
    SmallGame warningsOnly = validSmallGame();
    addInstance(warningsOnly, "100, box, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    SmallGame gta3 = validSmallGame(false);
    SmallGame lods = validSmallGame();
    lods.entries.insert(lods.entries.end(), {"LODbarn.dff", "hd_silo.dff", "LODsilo.dff"});
    addDefinition(lods, "objs", "102, LODbarn, generic, 1, 1000, 0");
    addDefinition(lods, "objs", "103, hd_silo, generic, 1, 150, 0");
    addDefinition(lods, "objs", "104, LODsilo, generic, 1, 1000, 0");
    addInstance(lods, "103, hd_silo, 0, 10, 10, 0, 1, 1, 1, 0, 0, 0, 1");
    struct Case {
        const char* name;
        SmallGame game;
        std::vector<std::string> options;
        int code;
    } cases[] = {
        {"clean", validSmallGame(), {}, 0},
        {"clean GTA III", gta3, {"--game", "gta3"}, 0},
        {"warnings only", warningsOnly, {"--game", "vc"}, 0},
        {"errors", fixableGame(), {}, 1},
        {"LOD warnings", lods, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string gameDir = c.game.write(dir);
        std::vector<std::string> args{"validate", gameDir};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliResult result = runCli(args);
        EXPECT_EQ(result.code, c.code) << result.err;
        EXPECT_EQ(result.out, expectedOutput(c.game));
        if (std::string(c.name) == "LOD warnings") {
            EXPECT_NE(result.out.find("Model: \"LODbarn\" LOD Has No High-Detail Partner! \n"), std::string::npos);
            EXPECT_NE(result.out.find("(Model: \"hd_silo\") - its LOD placement is missing\n"), std::string::npos);
            EXPECT_NE(result.out.find("SUCCESS: No Errors Found! (2 Warnings)\n"), std::string::npos);
        }
    }
}

TEST(ValidateCommand, BadUsageAndUnreadableGamesExitWithTwo)
{
    TempDir empty;
    EXPECT_EQ(runCli({"validate", empty.path().string()}).code, 2) << "no DAT file";
    EXPECT_EQ(runCli({"validate"}).code, 2);
    TempDir dir;
    EXPECT_EQ(runCli({"validate", validSmallGame().write(dir), "--game", "gta4"}).code, 2);
    std::filesystem::remove(dir.file("models/gta3.dir"));
    const CliResult noArchive = runCli({"validate", dir.path().string()});
    EXPECT_EQ(noArchive.code, 2);
    EXPECT_NE(noArchive.err.find("gta3.img"), std::string::npos) << noArchive.err;
}

TEST(ValidateCommand, FixSavesAndASecondRunFindsNothingToFix)
{
    TempDir dir;
    const std::string gameDir = fixableGame().write(dir);
    const CliResult fixed = runCli({"validate", gameDir, "--fix-deletions"});
    EXPECT_EQ(fixed.code, 1) << "errors were found, though repaired";
    EXPECT_NE(fixed.out.find(" -> DELETED\n"), std::string::npos) << fixed.out;
    EXPECT_NE(fixed.out.find("Saved: DATA\\MAPS\\town.ide\n"), std::string::npos) << fixed.out;
    EXPECT_NE(fixed.out.find("Saved: DATA\\MAPS\\town.ipl\n"), std::string::npos) << fixed.out;

    const CliResult again = runCli({"validate", gameDir, "--fix-deletions"});
    EXPECT_EQ(again.code, 0) << again.out;
    EXPECT_EQ(again.out.find(" -> "), std::string::npos) << again.out;
    EXPECT_EQ(again.out.find("Saved: "), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("SUCCESS: No Errors Found!\n"), std::string::npos);
}

// Which flags may change which file: deletions only when asked for, nothing on a dry run.
TEST(ValidateCommand, FixFlagsDecideWhatIsRepairedDeletedAndSaved)
{
    const std::string missing = "Error @ File: DATA\\MAPS\\town.ipl [INST] ID: \"999\" (Model: \"nothing\" !! IDE "
                                "DEFINITION IS MISSING!!)";
    const std::string interior = "- missing VC interior number";
    struct Case {
        std::vector<std::string> options;
        int code;
        std::string missingLine; // the line of the placement without a definition
        const char* interiorNote; // after the interior warning's line
        const char* saving;       // what comes before each saved file's name
        bool filesChange;
        bool placementStays;
    } cases[] = {
        {{}, 1, missing + "\n", "\n", nullptr, false, true},
        {{"--fix"}, 1, missing + " -> (not deleted: use --fix-deletions)\n",
         " -> set interior to zero (externior)\n", "Saved: ", true, true},
        {{"--fix-deletions"}, 1, missing + " -> DELETED\n", " -> set interior to zero (externior)\n", "Saved: ", true,
         false},
        {{"--fix", "--dry-run"}, 1, missing + " -> (not deleted: use --fix-deletions)\n",
         " -> set interior to zero (externior)\n", "Would save: ", false, true},
        {{"--fix-deletions", "--dry-run"}, 1, missing + " -> DELETED\n", " -> set interior to zero (externior)\n",
         "Would save: ", false, true},
        {{"--fix", "--fix-deletions"}, 1, missing + " -> DELETED\n", " -> set interior to zero (externior)\n",
         "Saved: ", true, false},
        {{"--dry-run"}, 2, "", nullptr, nullptr, false, true},
    };
    for (const Case& c : cases) {
        std::string name = "validate";
        for (const std::string& option : c.options)
            name += " " + option;
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string gameDir = fixableGame().write(dir);
        const std::string ideBefore = readFile(dir.file("data/maps/town.ide"));
        const std::string iplBefore = readFile(dir.file("data/maps/town.ipl"));
        std::vector<std::string> args{"validate", gameDir};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliResult result = runCli(args);

        EXPECT_EQ(result.code, c.code) << result.err;
        const std::string ide = readFile(dir.file("data/maps/town.ide"));
        const std::string ipl = readFile(dir.file("data/maps/town.ipl"));
        EXPECT_EQ(ide != ideBefore, c.filesChange);
        EXPECT_EQ(ipl != iplBefore, c.filesChange);
        EXPECT_EQ(ipl.find("999, nothing") != std::string::npos, c.placementStays);
        if (c.code == 2) {
            EXPECT_NE(result.err.find("--dry-run needs --fix or --fix-deletions"), std::string::npos) << result.err;
            continue;
        }
        EXPECT_NE(result.out.find(c.missingLine), std::string::npos) << result.out;
        EXPECT_NE(result.out.find(interior + c.interiorNote), std::string::npos) << result.out;
        for (const char* file : {"DATA\\MAPS\\town.ide\n", "DATA\\MAPS\\town.ipl\n"}) {
            EXPECT_EQ(result.out.find(std::string("Saved: ") + file) != std::string::npos,
                      c.saving && std::string(c.saving) == "Saved: ")
                << result.out;
            EXPECT_EQ(result.out.find(std::string("Would save: ") + file) != std::string::npos,
                      c.saving && std::string(c.saving) == "Would save: ")
                << result.out;
        }
    }
}

TEST(ValidateCommand, FixThatCannotBeSavedFailsTheRun)
{
    // A name that reads well but leaves no room for the save's temporary file beside it.
    SmallGame game = validSmallGame();
    addInstance(game, "100, box, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    const std::string longName = std::string(245, 'x') + ".ipl";
    game.ipl.front().first = longName;
    TempDir dir;
    const std::string gameDir = game.write(dir);
    const std::string before = readFile(dir.file("data/maps/" + longName));

    const CliResult result = runCli({"validate", gameDir, "--fix"});
    EXPECT_EQ(result.code, 1) << "only a warning was found, but the repair was not saved";
    EXPECT_NE(result.err.find("cannot save DATA\\MAPS\\" + longName), std::string::npos) << result.err;
    EXPECT_EQ(result.out.find("Saved: "), std::string::npos) << result.out;
    EXPECT_EQ(readFile(dir.file("data/maps/" + longName)), before);
}

TEST(ValidateCommand, JsonFormReadsBack)
{
    TempDir dir;
    const std::string gameDir = fixableGame().write(dir);
    const CliResult result = runCli({"validate", gameDir, "--json", "--fix-deletions"});
    EXPECT_EQ(result.code, 1);
    const nlohmann::json report = nlohmann::json::parse(result.out);
    EXPECT_EQ(report["mode"], "vc");
    EXPECT_EQ(report["errors"], 2);
    EXPECT_EQ(report["warnings"], 1);
    ASSERT_EQ(report["findings"].size(), 3u);
    const nlohmann::json& deleted = report["findings"][2];
    EXPECT_EQ(deleted["section"], "IPL - Section: Inst");
    EXPECT_EQ(deleted["check"], "Associated Definition");
    EXPECT_EQ(deleted["severity"], "error");
    EXPECT_EQ(deleted["file"], "DATA\\MAPS\\town.ipl");
    EXPECT_EQ(deleted["id"], 999);
    EXPECT_EQ(deleted["model"], "nothing");
    EXPECT_EQ(deleted["line"], "Error @ File: DATA\\MAPS\\town.ipl [INST] ID: \"999\" (Model: \"nothing\" !! IDE "
                               "DEFINITION IS MISSING!!) -> DELETED");
    EXPECT_EQ(deleted["fix"], "DELETED");
    EXPECT_EQ(report["findings"][0]["fix"], "") << "zero meshes are repaired without a note";
}

// Each finding as a CI annotation, pointing at the file on disk and the line of its record.
TEST(ValidateCommand, AnnotationsNameFileAndLineOfEachFinding)
{
    SmallGame game = fixableGame();
    game.entries.insert(game.entries.end(), {"twice.dff", "TWICE.DFF"});
    game.unnamed.push_back({"x,y.ipl", "inst\r\nend\r\n"}); // not in the DAT file; a comma in its name
    TempDir dir;
    const std::string gameDir = game.write(dir);
    const CliResult result = runCli({"validate", gameDir, "--annotations"});
    EXPECT_EQ(result.code, 1);
    // town.ide: objs on line 1, 100 on 2, 101 (no mesh) on 3; town.ipl: inst on line 1, then
    // 100, 101, 200, 999 (no definition) and a 12-column 100 on lines 2 to 6.
    EXPECT_EQ(result.out,
              "::warning file=models/gta3.img::Warning @ File: twice.dff = Duplicate Entries Found![-1, -1, 4]\n"
              "::error file=data/maps/town.ide,line=3::Error @ ID: 101 - crate = ZERO number of clumps in model "
              "(!!model invisible!!) !\n"
              "::warning file=data/maps/town.ipl,line=6::Warning @ File: DATA\\MAPS\\town.ipl [OBJS] ID: 100 (Model: "
              "\"box\") - missing VC interior number\n"
              "::error file=data/maps/town.ipl,line=5::Error @ File: DATA\\MAPS\\town.ipl [INST] ID: \"999\" (Model: "
              "\"nothing\" !! IDE DEFINITION IS MISSING!!)\n"
              "::warning file=data/maps/x%2Cy.ipl::Warning @ file data\\maps\\x,y.ipl [DAT] -1 = Map File Not Named In "
              "data\\gta_vc.dat! \n"
              "ERROR: 2 Errors Found! (3 Warnings)\n");

    // Repairs keep the lines of the file as read: the deleted placement's line is named.
    const CliResult json = runCli({"validate", gameDir, "--json", "--fix-deletions", "--dry-run"});
    const nlohmann::json report = nlohmann::json::parse(json.out);
    std::vector<nlohmann::json> lines;
    for (const nlohmann::json& finding : report["findings"])
        lines.push_back(finding["lineNumber"]);
    EXPECT_EQ(lines, (std::vector<nlohmann::json>{nullptr, 3, 6, 5, nullptr}));

    EXPECT_EQ(runCli({"validate", gameDir, "--annotations", "--json"}).code, 2);
}

} // namespace
