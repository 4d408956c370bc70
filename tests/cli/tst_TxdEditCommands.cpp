#include "CliRun.h"
#include "FileSizeLimit.h"
#include "ImgWriter.h"
#include "TGTA3Archive.h"
#include "TestFiles.h"
#include "TxdDecoder.h"
#include "TxdTestData.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::string> names(const std::string& txdBytes)
{
    const TxdDecodeResult decoded = decodeTxd(Bytes(txdBytes.begin(), txdBytes.end()));
    std::vector<std::string> result;
    for (const TxdDecodedTexture& texture : decoded.Textures)
        result.push_back(texture.Texture.Name);
    return result;
}

// A folder of pictures: one opaque, one with an alpha picture beside it.
void writePictures(const TempDir& dir)
{
    writePng(dir.file("pics/brick.png"), solidImage(8, 8, {120, 40, 30, 255}));
    writePng(dir.file("pics/fence.png"), solidImage(4, 4, {90, 90, 90, 255}));
    writePng(dir.file("pics/fence_a.png"), blockImage(4, 4, {{0, 0, 0, 255}, {255, 255, 255, 255}}));
}

TEST(CliTxdBuild, AFolderOfPicturesBecomesAGameDictionaryThatExportsBack)
{
    TempDir dir;
    writePictures(dir);
    const CliResult built = runCli({"txd", "build", dir.file("pics"), "-o", dir.file("new.txd"), "--game", "gta3", "--mipmaps"});
    ASSERT_EQ(built.code, 0) << built.err;
    EXPECT_EQ(built.out, "brick\t8x8\t4\nfence\t4x4\t3\n");
    const std::string txd = readFile(dir.file("new.txd"));
    EXPECT_EQ(getU32(Bytes(txd.begin(), txd.end()), 8), 0x0800FFFFu); // GTA III's version word
    const CliResult info = runCli({"txd", "info", dir.file("new.txd")});
    EXPECT_NE(info.out.find("\"name\":\"fence\",\"mask\":\"fence_a\",\"width\":4,\"height\":4,\"depth\":8,\"levels\":3"),
              std::string::npos)
        << info.out;
    const CliResult exported = runCli({"txd", "export", dir.file("new.txd"), "-d", dir.file("out")});
    EXPECT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(readFile(dir.file("out/brick.png")), readFile(dir.file("pics/brick.png")));

    const CliResult badFormat = runCli({"txd", "build", dir.file("pics"), "-o", dir.file("x.txd"), "--format", "dxt9"});
    EXPECT_EQ(badFormat.code, 2);
    EXPECT_NE(badFormat.err.find("unknown texture format dxt9"), std::string::npos);
    writePng(dir.file("pics/odd.png"), solidImage(3, 4, {1, 2, 3, 255}));
    const CliResult refused = runCli({"txd", "build", dir.file("pics"), "-o", dir.file("x.txd")});
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("odd.png is 3x4"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.txd")));
}

TEST(CliTxdEdit, AddRemoveAndRenameKeepTheOtherTexturesAsTheyWere)
{
    TempDir dir;
    writePictures(dir);
    ASSERT_EQ(runCli({"txd", "build", dir.file("pics"), "-o", dir.file("set.txd")}).code, 0);
    const std::string before = readFile(dir.file("set.txd"));
    writePng(dir.file("road.png"), solidImage(4, 4, {10, 10, 10, 255}));

    const CliResult added = runCli({"txd", "add", dir.file("set.txd"), dir.file("road.png"), "--format", "888"});
    ASSERT_EQ(added.code, 0) << added.err;
    EXPECT_EQ(names(readFile(dir.file("set.txd"))), (std::vector<std::string>{"brick", "fence", "road"}));
    ASSERT_EQ(runCli({"txd", "rename", dir.file("set.txd"), "ROAD", "street"}).code, 0);
    ASSERT_EQ(runCli({"txd", "remove", dir.file("set.txd"), "street"}).code, 0);
    EXPECT_EQ(readFile(dir.file("set.txd")), before); // back to the very bytes built

    const struct {
        std::vector<std::string> args;
        const char* says;
    } refusals[] = {
        {{"txd", "remove", dir.file("set.txd"), "brick", "nothing"}, "has no texture named nothing; nothing was written"},
        {{"txd", "rename", dir.file("set.txd"), "brick", "fence"}, "already has a texture named fence"},
        {{"txd", "rename", dir.file("set.txd"), "brick", std::string(32, 'x')}, "a texture name has 1 to 31 characters"},
        {{"txd", "rename", dir.file("set.txd"), "nothing", "x"}, "has no texture named nothing"},
        {{"txd", "add", dir.file("set.txd"), dir.file("road.png"), dir.file("pics/../road.png")}, "a texture named road is already given"},
        {{"txd", "add", dir.file("missing.txd"), dir.file("road.png")}, "cannot read"},
    };
    for (const auto& refusal : refusals) {
        const CliResult result = runCli(refusal.args);
        EXPECT_EQ(result.code, 2);
        EXPECT_NE(result.err.find(refusal.says), std::string::npos) << result.err;
    }
    EXPECT_EQ(readFile(dir.file("set.txd")), before);
}

#ifndef _WIN32
TEST(CliTxdEdit, AFullDiskLeavesTheOldDictionaryWhole)
{
    TempDir dir;
    writePictures(dir);
    ASSERT_EQ(runCli({"txd", "build", dir.file("pics"), "-o", dir.file("set.txd")}).code, 0);
    const std::string before = readFile(dir.file("set.txd"));
    writePng(dir.file("big.png"), solidImage(64, 64, {10, 10, 10, 255}));
    CliResult result;
    {
        FileSizeLimit limit(before.size() + 100);
        ASSERT_TRUE(limit.active());
        result = runCli({"txd", "add", dir.file("set.txd"), dir.file("big.png"), "--format", "8888"});
    }
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find("the old file is unchanged"), std::string::npos) << result.err;
    EXPECT_EQ(readFile(dir.file("set.txd")), before);
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("")))
        EXPECT_EQ(entry.path().filename().string().find(".quoxsave-"), std::string::npos);
}
#endif

TEST(CliTxdEdit, ADictionaryInTheArchiveIsReplacedThere)
{
    TempDir dir;
    writePictures(dir);
    const std::string img = dir.file("gta3.img");
    ASSERT_EQ(writeImgArchive(img, {{"Shops.TXD", writeTxd({}, 0x0C02FFFF)}, {"shops.dff", Bytes(10, 1)}}), 0);
    ASSERT_EQ(runCli({"txd", "build", dir.file("pics"), "--img", img, "-o", "shops"}).code, 0);
    ASSERT_EQ(runCli({"txd", "build", dir.file("pics"), "--img", img, "-o", "new"}).code, 0);
    ASSERT_EQ(runCli({"txd", "rename", "--img", img, "new", "fence", "gate"}).code, 0);
    writePng(dir.file("road.png"), solidImage(4, 4, {10, 10, 10, 255}));
    ASSERT_EQ(runCli({"txd", "add", "--img", img, "SHOPS.txd", dir.file("road.png")}).code, 0);

    TGTA3Archive archive(img, false);
    ASSERT_TRUE(archive.Opened);
    ASSERT_EQ(archive.EntryCount(), 3);
    EXPECT_EQ(archive.GetEntry(0).TrimmedName(), "shops.dff");
    EXPECT_EQ(archive.GetEntry(1).TrimmedName(), "new.txd");
    EXPECT_EQ(archive.GetEntry(2).TrimmedName(), "Shops.TXD"); // the replaced entry keeps its name
    std::ostringstream shops, fresh;
    ASSERT_EQ(archive.ExtractEntry(2, shops), 0);
    ASSERT_EQ(archive.ExtractEntry(1, fresh), 0);
    EXPECT_EQ(names(shops.str()), (std::vector<std::string>{"brick", "fence", "road"}));
    EXPECT_EQ(names(fresh.str()), (std::vector<std::string>{"brick", "gate"}));
    EXPECT_EQ(runCli({"txd", "remove", "--img", img, "nothere", "x"}).code, 2);
}

} // namespace
