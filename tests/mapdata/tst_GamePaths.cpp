#include "GamePaths.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

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

} // namespace
