#include "CliRun.h"
#include "TestFiles.h"
#include "TxdTestData.h"
#include "TxdWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> twoTextures()
{
    TxdTextureData odd = encodeTexture("odd\xFFname", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 2, 3, 4}), 1);
    return writeTxd({encodeTexture("road", "roadmask", TxdFormat::Dxt1Alpha, solidImage(8, 4, {1, 2, 3, 0}), 3),
                     encodeTexture("Lamp", "", TxdFormat::Pal4_888, solidImage(2, 2, {9, 9, 9, 255}), 1), odd},
                    0x0C02FFFF);
}

TEST(CliTxdInfo, PrintsEveryTextureInFileOrder)
{
    TempDir dir;
    writeFile(dir.file("roads.txd"), bytesText(twoTextures()));
    const CliResult result = runCli({"txd", "info", dir.file("roads.txd")});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              "{\"textures\":["
              "{\"name\":\"road\",\"mask\":\"roadmask\",\"width\":8,\"height\":4,\"depth\":16,\"levels\":3,"
              "\"compression\":1,\"hasAlpha\":1,\"rasterFormat\":33024,\"format\":\"DXT1\"},"
              "{\"name\":\"Lamp\",\"mask\":\"\",\"width\":2,\"height\":2,\"depth\":8,\"levels\":1,"
              "\"compression\":0,\"hasAlpha\":0,\"rasterFormat\":17920,\"format\":\"PAL4\"},"
              "{\"name\":\"odd\xEF\xBF\xBDname\",\"mask\":\"\",\"width\":2,\"height\":2,\"depth\":32,\"levels\":1,"
              "\"compression\":0,\"hasAlpha\":1,\"rasterFormat\":1280,\"format\":\"A8R8G8B8\"}"
              "]}\n");

    writeFile(dir.file("empty.txd"), bytesText(writeTxd({}, 0x00000310)));
    const CliResult empty = runCli({"txd", "info", dir.file("empty.txd")});
    EXPECT_EQ(empty.code, 0);
    EXPECT_EQ(empty.out, "{\"textures\":[]}\n");
}

// Direct3D 9 textures name their fields by their Direct3D 9 meaning; a DXT texture that
// declares depth 32 is read, and named, as the DXT texture its compression byte makes it.
TEST(CliTxdInfo, Direct3D9FieldsAndTheFormatThePixelsAreReadAs)
{
    TempDir dir;
    const std::vector<std::uint8_t> dxt1(8, 0);
    writeFile(dir.file("d3d9.txd"),
              bytesText(handTxd({{"dxt", 9, 0x0200, 0x31545844, 4, 4, 16, 8 | 4, {}, {dxt1}},
                                 {"argb", 9, 0x0500, 21, 1, 1, 32, 1 | 2, {}, std::vector(6, std::vector<std::uint8_t>(4)), 1},
                                 {"deep", 8, 0x0600, 0, 4, 4, 32, 1, {}, {dxt1}}})));
    const CliResult result = runCli({"txd", "info", dir.file("d3d9.txd")});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out,
              "{\"textures\":["
              "{\"name\":\"dxt\",\"mask\":\"\",\"width\":4,\"height\":4,\"depth\":16,\"levels\":1,\"platform\":9,"
              "\"d3dFormat\":\"DXT1\",\"alpha\":false,\"cubeMap\":false,\"autoMipLevels\":true,\"compressed\":true,"
              "\"rasterFormat\":512,\"format\":\"DXT1\"},"
              "{\"name\":\"argb\",\"mask\":\"\",\"width\":1,\"height\":1,\"depth\":32,\"levels\":1,\"platform\":9,"
              "\"d3dFormat\":21,\"alpha\":true,\"cubeMap\":true,\"autoMipLevels\":false,\"compressed\":false,"
              "\"rasterFormat\":1280,\"format\":\"A8R8G8B8\"},"
              "{\"name\":\"deep\",\"mask\":\"\",\"width\":4,\"height\":4,\"depth\":32,\"levels\":1,"
              "\"compression\":1,\"hasAlpha\":0,\"rasterFormat\":1536,\"format\":\"DXT1\"}"
              "]}\n");
}

TEST(CliTxdInfo, NonDictionariesExitTwoNamingTheFile)
{
    TempDir dir;
    writeFile(dir.file("text.txd"), "objs\nend\n");
    writeFile(dir.file("tiny.txd"), "ab");
    TxdTextureData console = encodeTexture("c", "", TxdFormat::Rgba32, solidImage(1, 1, {1, 1, 1, 1}), 1);
    console.platform = 0x00325350;
    writeFile(dir.file("ps2.txd"), bytesText(writeTxd({console}, 0x0C02FFFF)));

    const struct {
        const char* file;
        const char* says;
    } cases[] = {
        {"missing.txd", "cannot read"},
        {"text.txd", "not a texture dictionary: the first chunk has type 1936351855"},
        {"tiny.txd", "cannot read 4 bytes at byte 0"},
        {"ps2.txd", "console (PS2) texture dictionary"},
    };
    for (const auto& c : cases) {
        const CliResult result = runCli({"txd", "info", dir.file(c.file)});
        EXPECT_EQ(result.code, 2) << c.file;
        EXPECT_EQ(result.out, "") << c.file;
        EXPECT_NE(result.err.find(dir.file(c.file)), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    }
    EXPECT_EQ(runCli({"txd", "info"}).code, 2);
    EXPECT_EQ(runCli({"txd"}).code, 2);
}

TEST(CliTxdInfo, PartlyReadDictionaryPrintsValidJsonWithTheErrorAndExitsOne)
{
    TempDir dir;
    std::vector<std::uint8_t> bytes = twoTextures();
    const std::size_t third = texturePositions(bytes)[2];
    bytes.resize(third + 50);
    writeFile(dir.file("cut.txd"), bytesText(bytes));
    std::vector<std::uint8_t> headerOnly = twoTextures();
    headerOnly.resize(20);
    writeFile(dir.file("header.txd"), bytesText(headerOnly));

    const struct {
        const char* file;
        std::vector<std::string> names;
        const char* error;
    } cases[] = {
        {"cut.txd", {"road", "Lamp"}, "the dictionary chunk holds"},
        {"header.txd", {}, "the dictionary chunk holds"},
    };
    for (const auto& c : cases) {
        const CliResult result = runCli({"txd", "info", dir.file(c.file)});
        EXPECT_EQ(result.code, 1) << c.file;
        const nlohmann::json json = nlohmann::json::parse(result.out, nullptr, false);
        ASSERT_FALSE(json.is_discarded()) << result.out;
        ASSERT_TRUE(json["textures"].is_array()) << result.out;
        std::vector<std::string> names;
        for (const auto& texture : json["textures"])
            names.push_back(texture["name"]);
        EXPECT_EQ(names, c.names) << c.file;
        ASSERT_TRUE(json.contains("error")) << result.out;
        EXPECT_NE(json["error"].get<std::string>().find(c.error), std::string::npos) << result.out;
        EXPECT_NE(result.err.find(std::string(c.file) + ": the dictionary chunk holds"), std::string::npos) << result.err;
    }
}

} // namespace
