#include "CliRun.h"
#include "DffWriter.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

DffClump carClump()
{
    DffClump clump;
    DffFrame root;
    root.name = "car";
    DffFrame body;
    body.name = "body";
    body.parent = 0;
    clump.frames = {root, body};
    DffGeometry g;
    g.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    g.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    g.materials = {{"paint", "paintm", {255, 255, 255, 255}}, {"glass", "", {255, 255, 255, 255}}};
    g.splits = {{1, {0, 1, 2}}, {0, {0, 2, 3}}};
    DffGeometry strip;
    strip.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    strip.materials = {{"", "", {255, 255, 255, 255}}};
    strip.strips = true;
    strip.splits = {{0, {0, 1, 2, 3}}};
    clump.geometries = {g, strip, DffGeometry{}};
    clump.atomics = {{1, 0, 5}, {0, 1, 5}};
    return clump;
}

TEST(CliDffInfo, PrintsTheModelAsJson)
{
    TempDir dir;
    writeFile(dir.file("car.dff"), bytesText(writeDff(carClump(), 0x0C02FFFF)));
    const CliResult result = runCli({"dff", "info", dir.file("car.dff")});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              R"({"clumps":[{"frames":[{"name":"car","parent":-1},{"name":"body","parent":0}],)"
              R"("geometries":[{"vertices":4,"triangles":2,"texCoords":true,"faceType":0,)"
              R"("splits":[{"indices":3,"material":1},{"indices":3,"material":0}],)"
              R"("materials":[{"texture":"paint","mask":"paintm"},{"texture":"glass","mask":""}]},)"
              R"({"vertices":4,"triangles":2,"texCoords":false,"faceType":1,)"
              R"("splits":[{"indices":4,"material":0}],"materials":[{"texture":"","mask":""}]},)"
              R"({"vertices":0,"triangles":0,"texCoords":false,"faceType":0,"splits":[],"materials":[]}],)"
              R"("atomics":[{"frame":1,"geometry":0},{"frame":0,"geometry":1}]}]})"
              "\n");
}

TEST(CliDffInfo, NonModelsExitTwoNamingTheFileAndTheFault)
{
    TempDir dir;
    struct Case {
        const char* file;
        std::string bytes;
        const char* fault;
    };
    const std::vector<Case> cases{
        {"text.dff", "objs\n1, a, b, 1, 100, 0\nend\n", "not a model"},
        {"short.dff", "ab", "too short"},
    };
    for (const Case& c : cases) {
        writeFile(dir.file(c.file), c.bytes);
        const CliResult result = runCli({"dff", "info", dir.file(c.file)});
        EXPECT_EQ(result.code, 2) << c.file;
        EXPECT_EQ(result.out, "") << c.file;
        EXPECT_NE(result.err.find(dir.file(c.file)), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.fault), std::string::npos) << result.err;
    }
    const CliResult missing = runCli({"dff", "info", dir.file("missing.dff")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("missing.dff"), std::string::npos) << missing.err;
    const CliResult folder = runCli({"dff", "info", dir.path().string()});
    EXPECT_EQ(folder.code, 2);
    EXPECT_NE(folder.err.find("not a file"), std::string::npos) << folder.err;
    EXPECT_EQ(runCli({"dff", "info"}).code, 2);
    EXPECT_EQ(runCli({"dff"}).code, 2);
}

TEST(CliDffInfo, PartlyReadModelPrintsValidJsonWithTheErrorAndExitsOne)
{
    TempDir dir;
    std::vector<std::uint8_t> half = writeDff(carClump(), 0x1003FFFF);
    half.resize(half.size() / 2);
    DffClump badAtomic = carClump();
    badAtomic.atomics.push_back({7, 0, 5});
    const struct {
        const char* file;
        std::vector<std::uint8_t> bytes;
        std::size_t frames;
        const char* error;
    } cases[] = {
        {"half.dff", half, 2, "the clump claims"},
        {"atomic.dff", writeDff(badAtomic, 0x0C02FFFF), 2, "atomic 2 names frame 7 of 2"},
    };
    for (const auto& c : cases) {
        writeFile(dir.file(c.file), bytesText(c.bytes));
        const CliResult result = runCli({"dff", "info", dir.file(c.file)});
        EXPECT_EQ(result.code, 1) << c.file;
        const nlohmann::json json = nlohmann::json::parse(result.out, nullptr, false);
        ASSERT_FALSE(json.is_discarded()) << result.out;
        ASSERT_EQ(json["clumps"].size(), 1u) << result.out;
        EXPECT_EQ(json["clumps"][0]["frames"].size(), c.frames) << result.out;
        EXPECT_EQ(json["clumps"][0]["frames"][0]["name"], "car") << result.out;
        ASSERT_TRUE(json.contains("error")) << result.out;
        EXPECT_NE(json["error"].get<std::string>().find(c.error), std::string::npos) << result.out;
        EXPECT_NE(result.err.find(c.file), std::string::npos) << result.err;
    }
}

// The car with its clump's size ending before its last atomic, as a real GTA III vehicle
// has it: the game, and so `dff info`, still finds both atomics, and says the size was wrong.
// Cut inside that atomic, the model is read only in part.
TEST(CliDffInfo, AtomicsPastAnUnderDeclaredClumpAreListedWithAWarning)
{
    TempDir dir;
    std::vector<std::uint8_t> bytes = writeDff(carClump(), 0x0800FFFF);
    const auto u32At = [&](std::size_t at) {
        return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (std::uint32_t{bytes[at + 3]} << 24);
    };
    std::size_t lastAtomic = 0;
    for (std::size_t at = 12; at + 12 <= bytes.size(); at += 12 + u32At(at + 4))
        if (u32At(at) == 20)
            lastAtomic = at;
    ASSERT_NE(lastAtomic, 0u);
    const std::uint32_t declared = static_cast<std::uint32_t>(lastAtomic - 12);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<std::uint8_t>(declared >> (8 * i));
    writeFile(dir.file("short.dff"), bytesText(bytes));
    const CliResult result = runCli({"dff", "info", dir.file("short.dff")});
    EXPECT_EQ(result.code, 0) << result.err;
    const nlohmann::json json = nlohmann::json::parse(result.out, nullptr, false);
    ASSERT_FALSE(json.is_discarded()) << result.out;
    EXPECT_EQ(json["clumps"][0]["atomics"].size(), 2u) << result.out;
    EXPECT_EQ(json["clumps"][0]["atomics"][1]["geometry"], 1) << result.out;
    EXPECT_NE(json.value("warning", "").find("bytes short: 1 of its 2 atomics follow its declared end"),
              std::string::npos)
        << result.out;
    EXPECT_FALSE(json.contains("error")) << result.out;

    bytes.resize(lastAtomic + 20);
    writeFile(dir.file("cut.dff"), bytesText(bytes));
    const CliResult cut = runCli({"dff", "info", dir.file("cut.dff")});
    EXPECT_EQ(cut.code, 1);
    const nlohmann::json partial = nlohmann::json::parse(cut.out, nullptr, false);
    ASSERT_FALSE(partial.is_discarded()) << cut.out;
    EXPECT_NE(partial.value("error", "").find("after the clump's declared end"), std::string::npos) << cut.out;
}

} // namespace
