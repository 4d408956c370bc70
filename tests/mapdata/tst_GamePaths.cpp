#include "GamePaths.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

// Windows finds a file in any letter case and keeps the case it was asked for, and takes
// both separators: there two paths name the same file when they match without regard to
// either. Elsewhere they must be equal.
std::string comparable(std::string path)
{
#ifdef _WIN32
    for (char& c : path)
        c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
    return path;
}

TEST(GamePaths, MatchEachComponentWithoutRegardToCase)
{
    TempDir dir;
    writeFile(dir.file("data/maps/x.ide"), "");
    writeFile(dir.file("Models/Gta3.IMG"), "");
    const std::string game = dir.path().string() + "/";
    EXPECT_EQ(comparable(resolveGamePath(game, "DATA\\MAPS\\X.IDE")), comparable(dir.file("data/maps/x.ide")));
    EXPECT_EQ(comparable(resolveGamePath(game, "data\\\\maps\\x.ide")), comparable(dir.file("data/maps/x.ide"))) << "doubled backslash";
    EXPECT_EQ(comparable(resolveGamePath(game, "models\\gta3.img")), comparable(dir.file("Models/Gta3.IMG")));
    EXPECT_EQ(comparable(resolveGamePath(game, "data/maps/x.ide")), comparable(dir.file("data/maps/x.ide")));
}

TEST(GamePaths, ComponentsThatDoNotExistAreTakenAsWritten)
{
    TempDir dir;
    writeFile(dir.file("data/maps/x.ide"), "");
    const std::string game = dir.path().string() + "/";
    EXPECT_EQ(comparable(resolveGamePath(game, "DATA\\MAPS\\New.ipl")), comparable(dir.file("data/maps/New.ipl")));
    EXPECT_EQ(comparable(resolveGamePath(game, "DATA\\Extra\\Maps\\n.ipl")), comparable(dir.file("data/Extra/Maps/n.ipl")));
}

TEST(GamePaths, AnExactMatchWinsOverOthersDifferingInCase)
{
    TempDir dir;
    writeFile(dir.file("data/a.ipl"), "");
    writeFile(dir.file("Data/a.ipl"), "");
    const std::string game = dir.path().string() + "/";
    EXPECT_EQ(comparable(resolveGamePath(game, "Data\\a.ipl")), comparable(dir.file("Data/a.ipl")));
    EXPECT_EQ(comparable(resolveGamePath(game, "data\\a.ipl")), comparable(dir.file("data/a.ipl")));
    EXPECT_EQ(comparable(resolveGamePath(game, "DATA\\a.ipl")), comparable(dir.file("Data/a.ipl"))) << "the smallest name of those alike";
}

// Reports name files as a case-sensitive copy of the folder does, on every system: the
// spelling of the directory listing, not the DAT file's.
TEST(GamePaths, NamesAsListedFollowTheDirectoryOnEverySystem)
{
    TempDir dir;
    writeFile(dir.file("data/Maps/Town.ipl"), "");
    writeFile(dir.file("models/gta3.img"), "");
    const std::string game = dir.path().string() + "/";
    EXPECT_EQ(nameAsListed(game, "DATA\\MAPS\\town.IPL"), "data/Maps/Town.ipl");
    EXPECT_EQ(nameAsListed(game, "models\\gta3.img"), "models/gta3.img");
    EXPECT_EQ(nameAsListed(game, "DATA\\maps\\New\\x.ipl"), "data/Maps/New/x.ipl") << "as written from the first missing part";
}

TEST(GamePaths, TrailingSeparator)
{
    const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
    EXPECT_EQ(withTrailingSeparator("/games/vc"), "/games/vc" + separator);
    EXPECT_EQ(withTrailingSeparator("/games/vc/"), "/games/vc/");
#ifdef _WIN32
    EXPECT_EQ(withTrailingSeparator("C:\\Games\\VC\\"), "C:\\Games\\VC\\");
#endif
    EXPECT_EQ(withTrailingSeparator(""), "");
}

// The rule for a map file that an editor creates or opens: inside the game directory once
// resolved, no blank, stored with backslashes relative to the game directory.
TEST(GamePaths, ChosenMapFilesMustLieInsideTheGameDirectory)
{
    TempDir dir;
    writeFile(dir.file("game/data/maps/x.ipl"), "");
    writeFile(dir.file("outside/y.ipl"), "");
    // Windows lets only some users make links (and Wine none): the cases through links are
    // left out where none can be made.
    std::error_code noLinks;
    std::filesystem::create_directory_symlink(dir.file("outside"), dir.file("game/data/link"), noLinks);
    if (!noLinks)
        std::filesystem::create_directory_symlink(dir.file("game"), dir.file("gamelink"), noLinks);
    const std::string game = dir.file("game") + "/";
    struct Case {
        std::string chosen;
        std::optional<std::string> expected;
    };
    std::vector<Case> cases = {
        {dir.file("game/data/maps/x.ipl"), "data\\maps\\x.ipl"},
        {dir.file("game/data/maps/new.ipl"), "data\\maps\\new.ipl"}, // not created yet
        {dir.file("game/data/maps/../maps/./x.ipl"), "data\\maps\\x.ipl"},
        {dir.file("gamelink/data/x.ipl"), "data\\x.ipl"}, // a link into the game is inside
        {dir.file("game/data/my map.ipl"), std::nullopt},
        {dir.file("game/my maps/x.ipl"), std::nullopt},
        {dir.file("game/../outside/y.ipl"), std::nullopt},
        {dir.file("game/data/link/y.ipl"), std::nullopt}, // a link out of the game
        {dir.file("outside/y.ipl"), std::nullopt},
        {dir.file("gameother/x.ipl"), std::nullopt}, // a sibling sharing the prefix
        {"/etc/passwd", std::nullopt},
        {dir.file("game"), std::nullopt},
        {"", std::nullopt},
    };
    if (noLinks)
        std::erase_if(cases, [](const Case& c) { return c.chosen.find("link") != std::string::npos; });
#ifdef _WIN32
    cases.push_back({dir.file("GAME/Data/maps/x.ipl"), "Data\\maps\\x.ipl"}); // folders in any letter case
    cases.push_back({dir.file("game\\data\\maps\\x.ipl"), "data\\maps\\x.ipl"});
#endif
    for (const Case& c : cases)
        EXPECT_EQ(gameRelativeName(game, c.chosen), c.expected) << c.chosen;
    EXPECT_EQ(gameRelativeName(dir.file("game"), dir.file("game/a.ipl")), "a.ipl") << "no trailing separator";
    EXPECT_EQ(gameRelativeName("", dir.file("game/a.ipl")), std::nullopt);
}

} // namespace
