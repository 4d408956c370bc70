#include "CliRun.h"
#include "ProgramVersion.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <vector>

namespace {

TEST(CliVersion, PrintsTheVersionWithoutASubcommand)
{
    const CliResult result = runCli({"--version"});
    EXPECT_EQ(result.code, 0);
    std::string expected = "quoxmapper-cli ";
    expected += ProgramVersionText;
    expected += '\n';
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(std::string(ProgramVersionText).rfind(ProgramVersion, 0), 0u) << "the text starts with the version";
    // Without it a subcommand is still required.
    EXPECT_EQ(runCli({}).code, 2);
}

TEST(CliRoundtrip, PrintsExactlyWhatSavingWrites)
{
    TempDir dir;
    const std::string text = "# comment\npick\nend\ninst\n1,  lamp, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1\nend\n";
    writeFile(dir.file("town.ipl"), text);
    const CliResult result = runCli({"roundtrip", dir.file("town.ipl")});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, text) << "an unedited file is saved as it was";
    EXPECT_EQ(result.err, "");

    const CliResult normal = runCli({"roundtrip", "--normal-form", dir.file("town.ipl")});
    EXPECT_EQ(normal.code, 0);
    EXPECT_EQ(normal.out, "inst\r\n1, lamp, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1\r\nend\r\npick\r\nend\r\n");
    EXPECT_EQ(normal.err, "");
}

TEST(CliRoundtrip, ChoosesTheReaderByTheExtension)
{
    TempDir dir;
    const std::string definitions = "objs\n1, a, b, 1, 100, 0\nend\n";
    writeFile(dir.file("town.IDE"), definitions);
    writeFile(dir.file("town.txt"), definitions);
    EXPECT_EQ(runCli({"roundtrip", "--normal-form", dir.file("town.IDE")}).out, "objs\r\n1, a, b, 1, 100, 0\r\nend\r\n");
    // Read as an IPL file, "objs" is no section of it: kept as an unknown one.
    EXPECT_EQ(runCli({"roundtrip", "--normal-form", dir.file("town.txt")}).out, "objs\r\n1, a, b, 1, 100, 0\r\nend\r\n");
    writeFile(dir.file("t.ide"), "inst\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n");
    EXPECT_EQ(runCli({"roundtrip", "--normal-form", dir.file("t.ide")}).out, "inst\r\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n");
}

TEST(CliRoundtrip, UnreadableFilesAndBadUsageExitTwo)
{
    TempDir dir;
    const CliResult missing = runCli({"roundtrip", dir.file("missing.ipl")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("missing.ipl"), std::string::npos) << missing.err;
    EXPECT_EQ(runCli({"roundtrip"}).code, 2);
    EXPECT_EQ(runCli({}).code, 2);
    EXPECT_EQ(runCli({"frobnicate"}).code, 2);
    EXPECT_EQ(runCli({"--help"}).code, 0);
}

class CliDat : public testing::Test {
protected:
    TempDir dir;
    void SetUp() override
    {
        writeFile(dir.file("data/gta_vc.dat"), "# Vice City\r\nIDE DATA\\MAPS\\town.ide\r\nIPL data\\maps\\town.ipl\r\n"
                                              "IPL data\\maps\\gone.ipl\r\nSPLASH loadsc0\r\n");
        writeFile(dir.file("data/gta3.dat"), "MAPZONE data\\map.zon\n");
        writeFile(dir.file("data/maps/town.ide"),
                  "objs\n1, a, b, 1, 100, 0\n2, a, b, 2, 20, 70, 0\nend\ntobj\n3, c, d, 1, 100, 0, 20, 6\nend\n"
                  "path\nped, 1, a\n\t0, -1, 0, 0, 0, 0, 1, 1, 1\nend\n2dfx\n1, 0, 0, 1, 255, 255, 255, 100, 2\nend\n");
        writeFile(dir.file("data/maps/town.ipl"), "inst\n1, a, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n"
                                                  "cull\n0, 0, 0, 1, 1, 1, 2, 2, 2, 40, 0\nend\n"
                                                  "occl\n1, 2, 3, 4, 5, 6, 7\nend\n");
        writeFile(dir.file("data/map.zon"), "zone\nZone01, 3, 0, 0, 0, 1, 1, 1, 1\nend\n");
    }
};

TEST_F(CliDat, ListsEveryFileWithItsRecordCounts)
{
    writeFile(dir.file("GTA-VC.EXE"), "");
    const CliResult result = runCli({"dat", dir.path().string()});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "IDE\tDATA\\MAPS\\town.ide\tobjs=2 tobj=1 path=1 2dfx=1\n"
                          "IPL\tdata\\maps\\town.ipl\tinst=1 cull=1 zone=0 occl=1 path=0\n"
                          "IPL\tdata\\maps\\gone.ipl\tinst=0 cull=0 zone=0 occl=0 path=0\n"
                          "dat-lines=5\n");
}

TEST_F(CliDat, TheGameIsGtaThreeWithoutTheViceCityProgramUnlessToldOtherwise)
{
    EXPECT_EQ(runCli({"dat", dir.path().string()}).out,
              "IPL\tdata\\map.zon\tinst=0 cull=0 zone=1 occl=0 path=0\ndat-lines=1\n");
    EXPECT_EQ(runCli({"dat", dir.path().string(), "--game", "vc"}).out.substr(0, 4), "IDE\t");
    EXPECT_EQ(runCli({"dat", dir.path().string(), "--game", "sa"}).code, 2);
}

TEST_F(CliDat, AnUnreadableDatFileExitsTwo)
{
    const CliResult result = runCli({"dat", dir.file("nowhere"), "--game", "gta3"});
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find("gta3.dat"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

// The installed program itself: exit codes and bytes on standard output.
TEST(CliProgram, RunsAsAProcess)
{
    TempDir dir;
    writeFile(dir.file("a.ipl"), "inst\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n");
    const CliResult result = runCliProgram({"roundtrip", dir.file("a.ipl")});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "inst\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n");

    EXPECT_EQ(runCliProgram({"roundtrip", dir.file("none.ipl")}).code, 2);
}

} // namespace
