#include "CliRun.h"
#include "DemoGame.h"
#include "GamePaths.h"
#include "SmallGame.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> outputLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string withoutBlanks(std::string text)
{
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r'; }),
               text.end());
    return text;
}

// Line `number` (1-based) of a file, read apart from the program.
std::string lineOfFile(const std::string& path, int number)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (int at = 0; at < number && std::getline(in, line); ++at) {
    }
    return line;
}

// A game whose two IDE files both define ID 100.
SmallGame duplicateIDGame()
{
    SmallGame game = validSmallGame();
    game.ide.push_back({"more.ide", "# again\r\nobjs\r\n100, box2, boxtex, 1, 100, 0\r\nend\r\n"});
    return game;
}

class FindCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir();
        std::string error;
        ASSERT_EQ(writeDemoGame(s_dir->path().string(), DemoGameOptions{}, error), 0) << error;
    }
    static void TearDownTestSuite() { delete s_dir; }
    static std::string gameDir() { return s_dir->path().string(); }
    static TempDir* s_dir;
};
TempDir* FindCommand::s_dir = nullptr;

// Every hit printed as PATH:LINE: TEXT names a line of the file on disk holding that record.
TEST_F(FindCommand, PrintsWhereEachHitStandsAndExitsByWhatItFound)
{
    struct Case {
        std::vector<std::string> args;
        int code;
        std::size_t hits;
    } cases[] = {
        {{"--id", "129"}, 0, 1 + 1 + 108}, // objs, its 2dfx, its placements
        {{"--model", "TREE_OAK"}, 0, 1 + 77},
        {{"--model", "qx_shop??"}, 0, 2 + 88},
        {{"--txd", "qx_parks"}, 0, 5},
        {{"--file", "park.ipl"}, 0, 260},
        {{"--id", "4242"}, 1, 0},
        {{"--model", "nothing*"}, 1, 0},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"find", gameDir()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(args[2] + " " + args[3]);
        const CliResult result = runCli(args);
        EXPECT_EQ(result.code, c.code);
        const std::vector<std::string> lines = outputLines(result.out);
        ASSERT_EQ(lines.size(), c.hits);
        for (const std::string& line : lines) {
            const std::size_t colon = line.find(':');
            const std::size_t text = line.find(": ", colon + 1);
            ASSERT_NE(text, std::string::npos) << line;
            const std::string path = line.substr(0, colon);
            EXPECT_EQ(path.find('\\'), std::string::npos) << "forward slashes: " << line;
            const int number = std::stoi(line.substr(colon + 1, text - colon - 1));
            EXPECT_EQ(withoutBlanks(lineOfFile(s_dir->file(path), number)), withoutBlanks(line.substr(text + 2))) << line;
        }
    }
    EXPECT_EQ(outputLines(runCli({"find", gameDir(), "--id", "129"}).out).front(),
              "data/maps/streets/streets.ide:5: 129, streetlamp, qx_streets, 1, 150, 0");
}

TEST_F(FindCommand, JsonFormReadsBack)
{
    const CliResult result = runCli({"find", gameDir(), "--model", "parkbench", "--json"});
    EXPECT_EQ(result.code, 0);
    const nlohmann::json found = nlohmann::json::parse(result.out);
    ASSERT_EQ(found["count"], 11);
    ASSERT_EQ(found["hits"].size(), 11u);
    const nlohmann::json& definition = found["hits"][0];
    EXPECT_EQ(definition["kind"], "objs");
    EXPECT_EQ(definition["file"], "DATA\\MAPS\\Streets\\Streets.ide");
    EXPECT_EQ(definition["path"], "data/maps/streets/streets.ide");
    EXPECT_EQ(definition["line"], 6);
    EXPECT_EQ(definition["id"], 133);
    EXPECT_EQ(definition["dictionary"], "qx_streets");
    EXPECT_FALSE(definition.contains("position"));
    const nlohmann::json& placement = found["hits"][1];
    EXPECT_EQ(placement["kind"], "inst");
    EXPECT_EQ(placement["dictionary"], "");
    ASSERT_EQ(placement["position"].size(), 3u);
    const std::string text = placement["text"];
    EXPECT_EQ(withoutBlanks(lineOfFile(s_dir->file(placement["path"]), placement["line"])), withoutBlanks(text));
}

TEST_F(FindCommand, BadUsageAndUnreadableGamesExitWithTwo)
{
    const TempDir empty;
    const std::vector<std::vector<std::string>> cases = {
        {"find", gameDir()},                                  // no query
        {"find", gameDir(), "--id", "129", "--model", "box"}, // two queries
        {"find", gameDir(), "--id", "lamp"},                  // not a number
        {"find", empty.path().string(), "--id", "1"},         // no DAT file
        {"ids", gameDir()},                                   // --free missing
        {"ids", empty.path().string(), "--free"},
        {"ids", gameDir(), "--free", "--table-size", "0"},
    };
    for (const auto& args : cases)
        EXPECT_EQ(runCli(args).code, 2) << args.size() << " arguments, " << args.back();
}

TEST_F(FindCommand, IdsListsFreeRangesAndExitsOneOnDuplicates)
{
    // The demo game defines 100 to 140.
    const CliResult demo = runCli({"ids", gameDir(), "--free"});
    EXPECT_EQ(demo.code, 0);
    EXPECT_EQ(demo.out, "Free IDs of 0-6499:\nfree 0-99 (100)\nfree 141-6499 (6359)\n");

    TempDir dir;
    const std::string duplicates = duplicateIDGame().write(dir);
    const CliResult twice = runCli({"ids", duplicates, "--free", "--table-size", "300"});
    EXPECT_EQ(twice.code, 1);
    EXPECT_EQ(twice.out, "Free IDs of 0-299:\nfree 0-99 (100)\nfree 102-199 (98)\nfree 201-299 (99)\nused twice 100\n");

    const CliResult json = runCli({"ids", duplicates, "--free", "--json"});
    EXPECT_EQ(json.code, 1);
    const nlohmann::json usage = nlohmann::json::parse(json.out);
    EXPECT_EQ(usage["tableSize"], 6500);
    EXPECT_EQ(usage["free"].back()["first"], 201);
    EXPECT_EQ(usage["free"].back()["last"], 6499);
    EXPECT_EQ(usage["usedTwice"], nlohmann::json::array({100}));

    // Both definitions of the doubled ID are found, each on its own line of its file.
    const CliResult found = runCli({"find", duplicates, "--id", "100"});
    EXPECT_EQ(found.code, 0);
    EXPECT_EQ(found.out, "data/maps/town.ide:2: 100, box, boxtex, 1, 100, 0\n"
                         "data/maps/more.ide:3: 100, box2, boxtex, 1, 100, 0\n"
                         "data/maps/town.ipl:2: 100, box, 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1\n");
}

} // namespace
