#include "CliRun.h"
#include "ImgWriter.h"
#include "TGTA3Archive.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

// gta3.img: Lamp.DFF (1 sector) from sector 2, same.txd (2 sectors), SAME.TXD (1 sector).
std::string writeArchive(const TempDir& dir)
{
    const std::string img = dir.file("gta3.img");
    EXPECT_EQ(writeImgArchive(img,
                              {{"Lamp.DFF", bytesOf("lamp model")},
                               {"same.txd", bytesOf(std::string(3000, 't'))},
                               {"SAME.TXD", bytesOf("other")}},
                              2),
              0);
    return img;
}

TEST(CliImgList, PrintsIndexNameOffsetAndSizePerEntry)
{
    TempDir dir;
    const std::string img = writeArchive(dir);
    const CliResult result = runCli({"img", "list", img});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "0\tLamp.DFF\t2\t1\n1\tsame.txd\t3\t2\n2\tSAME.TXD\t5\t1\n");
    EXPECT_EQ(result.err, "");

    ASSERT_EQ(writeImgArchive(dir.file("empty.img"), {}), 0);
    const CliResult empty = runCli({"img", "list", dir.file("empty.img")});
    EXPECT_EQ(empty.code, 0);
    EXPECT_EQ(empty.out, "");
}

TEST(CliImgAdd, AppendsEachFileUnderItsNameWithoutFolder)
{
    TempDir dir;
    const std::string img = writeArchive(dir);
    writeFile(dir.file("in/tree.dff"), std::string(2049, 'd'));
    writeFile(dir.file("in/empty.txd"), "");
    const CliResult result = runCli({"img", "add", img, dir.file("in/tree.dff"), dir.file("in/empty.txd")});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "3\ttree.dff\t6\t2\n4\tempty.txd\t8\t0\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(fs::file_size(img), 8 * 2048u);
    EXPECT_EQ(runCli({"img", "list", img}).out,
              "0\tLamp.DFF\t2\t1\n1\tsame.txd\t3\t2\n2\tSAME.TXD\t5\t1\n3\ttree.dff\t6\t2\n4\tempty.txd\t8\t0\n");
}

TEST(CliImgDelete, RemovesEveryEntryOfTheNamesInAnyLetterCase)
{
    TempDir dir;
    const std::string img = writeArchive(dir);
    const CliResult result = runCli({"img", "delete", img, "Same.Txd"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "1\tsame.txd\t3\t2\n2\tSAME.TXD\t5\t1\n");
    EXPECT_EQ(runCli({"img", "list", img}).out, "0\tLamp.DFF\t2\t1\n");
    EXPECT_EQ(fs::file_size(dir.file("gta3.dir")), 32u);
}

TEST(CliImgExtract, WritesWholeSectorsUnderTheEntryNameInsideTheFolder)
{
    TempDir dir;
    const std::string img = dir.file("gta3.img");
    ASSERT_EQ(writeImgArchive(img, {{"Lamp.DFF", bytesOf("lamp model")}, {"../../up.txd", bytesOf("up")}}), 0);
    const CliResult result = runCli({"img", "extract", img, "lamp.dff", "../../UP.TXD", "-d", dir.file("out")});
    EXPECT_EQ(result.code, 0);
    const fs::path out(dir.file("out"));
    EXPECT_EQ(result.out, (out / "Lamp.DFF").string() + "\n" + (out / "up.txd").string() + "\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(readFile(dir.file("out/Lamp.DFF")), "lamp model" + std::string(2038, '\0'));
    EXPECT_EQ(readFile(dir.file("out/up.txd")), "up" + std::string(2046, '\0'));
    EXPECT_FALSE(fs::exists(fs::path(dir.path()).parent_path() / "up.txd"));
}

TEST(CliImgRebuild, PacksTheEntriesAndPrintsTheCountAndBothSizes)
{
    TempDir dir;
    const std::string img = writeArchive(dir); // two free sectors before the first entry
    ASSERT_EQ(runCli({"img", "delete", img, "same.txd"}).code, 0);
    const std::string lamp = readFile(img).substr(2 * 2048, 2048);
    const CliResult result = runCli({"img", "rebuild", img});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "entries\t1\nold size\t12288\nnew size\t2048\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(runCli({"img", "list", img}).out, "0\tLamp.DFF\t0\t1\n");
    EXPECT_EQ(readFile(img), lamp);

    // A directory that points past the end of the data file: nothing is changed.
    writeFile(dir.file("gta3.dir"), readFile(dir.file("gta3.dir")).replace(4, 1, "\x09"));
    const CliResult failed = runCli({"img", "rebuild", img});
    EXPECT_EQ(failed.code, 2);
    EXPECT_EQ(failed.err, "quoxmapper-cli: cannot rebuild " + img + " (entry Lamp.DFF): Input/output error; it is unchanged\n");
    EXPECT_EQ(readFile(img), lamp);
}

TEST(CliImgErrors, InvalidArchivesMissingNamesAndFailedWritesExitTwo)
{
    TempDir dir;
    const std::string img = writeArchive(dir);
    const std::string dirBefore = readFile(dir.file("gta3.dir"));
    writeFile(dir.file("lone.img"), std::string(2048, 'x'));
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"img", "list", dir.file("lone.img")},
         "quoxmapper-cli: cannot open archive " + dir.file("lone.dir") + ": No such file or directory\n"},
        {{"img", "list", dir.file("none.img")},
         "quoxmapper-cli: cannot open archive " + dir.file("none.img") + ": No such file or directory\n"},
        {{"img", "delete", img, "lamp.dff", "gone.dff"},
         "quoxmapper-cli: " + img + " has no entry named gone.dff\n"},
        {{"img", "extract", img, "gone.dff", "-d", dir.file("out")},
         "quoxmapper-cli: " + img + " has no entry named gone.dff\n"},
        {{"img", "add", img, dir.file("missing.dff")},
         "quoxmapper-cli: cannot read " + dir.file("missing.dff") + ": No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const CliResult result = runCli(c.args);
        EXPECT_EQ(result.code, 2) << c.args[1];
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(readFile(dir.file("gta3.dir")), dirBefore) << "nothing deleted when one name is missing";
    EXPECT_FALSE(fs::exists(dir.file("out")));
}

TEST(CliImgErrors, WritesNeedTheArchiveOpenForWriting)
{
    TempDir dir;
    const std::string img = writeArchive(dir);
    writeFile(dir.file("tree.dff"), "tree");
    const TGTA3Archive holder(img, false); // another editor holding the archive
    ASSERT_FALSE(holder.ReadOnly);
    const std::string message =
        "quoxmapper-cli: cannot change " + img + ": the archive could only be opened read-only (another program holds it)\n";
    for (const auto& args : {std::vector<std::string>{"img", "add", img, dir.file("tree.dff")},
                             std::vector<std::string>{"img", "delete", img, "lamp.dff"},
                             std::vector<std::string>{"img", "rebuild", img}}) {
        const CliResult result = runCli(args);
        EXPECT_EQ(result.code, 2);
        EXPECT_EQ(result.err, message);
    }
    const CliResult listed = runCli({"img", "list", img});
    EXPECT_EQ(listed.code, 0) << "reading needs no lock";
    EXPECT_EQ(listed.out, "0\tLamp.DFF\t2\t1\n1\tsame.txd\t3\t2\n2\tSAME.TXD\t5\t1\n");
}

TEST(CliImgErrors, AnImgWithoutSubcommandIsBadUsage)
{
    const CliResult result = runCli({"img"});
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find("A subcommand is required"), std::string::npos);
}

} // namespace
