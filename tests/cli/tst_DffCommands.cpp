#include "CliApp.h"
#include "DffWriter.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

CliResult run(std::vector<std::string> args)
{
    args.insert(args.begin(), "quoxmapper-cli");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    const int code = runQuoxCli(static_cast<int>(args.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

std::string bytesText(const std::vector<std::uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

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
    const CliResult result = run({"dff", "info", dir.file("car.dff")});
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
    std::vector<std::uint8_t> truncated = writeDff(carClump(), 0x1003FFFF);
    truncated.resize(truncated.size() / 2);
    const std::vector<Case> cases{
        {"text.dff", "objs\n1, a, b, 1, 100, 0\nend\n", "not a model"},
        {"short.dff", "ab", "too short"},
        {"half.dff", bytesText(truncated), "the clump claims"},
    };
    for (const Case& c : cases) {
        writeFile(dir.file(c.file), c.bytes);
        const CliResult result = run({"dff", "info", dir.file(c.file)});
        EXPECT_EQ(result.code, 2) << c.file;
        EXPECT_EQ(result.out, "") << c.file;
        EXPECT_NE(result.err.find(dir.file(c.file)), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.fault), std::string::npos) << result.err;
    }
    const CliResult missing = run({"dff", "info", dir.file("missing.dff")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("missing.dff"), std::string::npos) << missing.err;
    const CliResult folder = run({"dff", "info", dir.path().string()});
    EXPECT_EQ(folder.code, 2);
    EXPECT_NE(folder.err.find("not a file"), std::string::npos) << folder.err;
    EXPECT_EQ(run({"dff", "info"}).code, 2);
    EXPECT_EQ(run({"dff"}).code, 2);
}

} // namespace
