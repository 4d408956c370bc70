#include "GamePaths.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace {

TEST(GamePaths, MatchEachComponentWithoutRegardToCase)
{
    TempDir dir;
    writeFile(dir.file("data/maps/x.ide"), "");
    writeFile(dir.file("Models/Gta3.IMG"), "");
    const std::string game = dir.path().string() + "/";
    EXPECT_EQ(resolveGamePath(game, "DATA\\MAPS\\X.IDE"), dir.file("data/maps/x.ide"));
    EXPECT_EQ(resolveGamePath(game, "data\\\\maps\\x.ide"), dir.file("data/maps/x.ide")) << "doubled backslash";
    EXPECT_EQ(resolveGamePath(game, "models\\gta3.img"), dir.file("Models/Gta3.IMG"));
    EXPECT_EQ(resolveGamePath(game, "data/maps/x.ide"), dir.file("data/maps/x.ide"));
}

TEST(GamePaths, ComponentsThatDoNotExistAreTakenAsWritten)
{
    TempDir dir;
    writeFile(dir.file("data/maps/x.ide"), "");
    const std::string game = dir.path().string() + "/";
    EXPECT_EQ(resolveGamePath(game, "DATA\\MAPS\\New.ipl"), dir.file("data/maps/New.ipl"));
    EXPECT_EQ(resolveGamePath(game, "DATA\\Extra\\Maps\\n.ipl"), dir.file("data/Extra/Maps/n.ipl"));
}

TEST(GamePaths, AnExactMatchWinsOverOthersDifferingInCase)
{
    TempDir dir;
    writeFile(dir.file("data/a.ipl"), "");
    writeFile(dir.file("Data/a.ipl"), "");
    const std::string game = dir.path().string() + "/";
    EXPECT_EQ(resolveGamePath(game, "Data\\a.ipl"), dir.file("Data/a.ipl"));
    EXPECT_EQ(resolveGamePath(game, "data\\a.ipl"), dir.file("data/a.ipl"));
    EXPECT_EQ(resolveGamePath(game, "DATA\\a.ipl"), dir.file("Data/a.ipl")) << "the smallest name of those alike";
}

TEST(GamePaths, TrailingSeparator)
{
    EXPECT_EQ(withTrailingSeparator("/games/vc"), "/games/vc/");
    EXPECT_EQ(withTrailingSeparator("/games/vc/"), "/games/vc/");
    EXPECT_EQ(withTrailingSeparator(""), "");
}

// The rule for a map file that an editor creates or opens: inside the game directory once
// resolved, no blank, stored with backslashes relative to the game directory.
TEST(GamePaths, ChosenMapFilesMustLieInsideTheGameDirectory)
{
    TempDir dir;
    writeFile(dir.file("game/data/maps/x.ipl"), "");
    writeFile(dir.file("outside/y.ipl"), "");
    std::filesystem::create_symlink(dir.file("outside"), dir.file("game/data/link"));
    std::filesystem::create_symlink(dir.file("game"), dir.file("gamelink"));
    const std::string game = dir.file("game") + "/";
    struct Case {
        std::string chosen;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
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
    for (const Case& c : cases)
        EXPECT_EQ(gameRelativeName(game, c.chosen), c.expected) << c.chosen;
    EXPECT_EQ(gameRelativeName(dir.file("game"), dir.file("game/a.ipl")), "a.ipl") << "no trailing separator";
    EXPECT_EQ(gameRelativeName("", dir.file("game/a.ipl")), std::nullopt);
}

} // namespace
