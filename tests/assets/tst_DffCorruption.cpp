#include "ByteSource.h"
#include "DffFixtures.h"
#include "TDffLoader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string readReport(const std::vector<std::uint8_t>& bytes, TDffLoader& loader)
{
    return loader.ReadFromBytes(bytes);
}

TEST(DffTruncation, EveryCutIsReportedAndLeavesNothing)
{
    const HandModel model = writeHandModel();
    TDffLoader clean;
    ASSERT_EQ(readReport(model.bytes, clean), "");
    for (std::size_t n = 0; n < model.bytes.size(); ++n) {
        const std::vector<std::uint8_t> cut(model.bytes.begin(), model.bytes.begin() + static_cast<std::ptrdiff_t>(n));
        TDffLoader loader;
        EXPECT_NE(readReport(cut, loader), "") << "cut at " << n;
        EXPECT_TRUE(loader.Clumps.empty()) << "cut at " << n;
    }
}

// The clump's own size made to fit the cut, so the cut falls inside some inner chunk:
// whatever is read either reads cleanly (a cut between whole chunks) or leaves nothing.
TEST(DffTruncation, CutsInsideTheClumpNeverLeaveHalfAModel)
{
    const HandModel model = writeHandModel();
    std::size_t reported = 0;
    for (std::size_t n = 12; n < model.bytes.size(); ++n) {
        HandModel cut = model;
        cut.bytes.resize(n);
        cut.putU32("clump.size", static_cast<std::uint32_t>(n - 12));
        TDffLoader loader;
        const std::string report = readReport(cut.bytes, loader);
        if (!report.empty()) {
            ++reported;
            EXPECT_TRUE(loader.Clumps.empty()) << "cut at " << n << ": " << report;
        } else {
            EXPECT_EQ(loader.Clumps.size(), 1u) << "cut at " << n;
        }
    }
    // Only cuts between whole chunks read cleanly, and there are a few dozen of those.
    EXPECT_GT(reported, (model.bytes.size() - 12) * 9 / 10);
}

struct FieldCase {
    const char* field;
    std::uint32_t value;
    const char* report; // a piece of the expected report
};

class DffBadField : public testing::TestWithParam<FieldCase> {};

TEST_P(DffBadField, IsReportedAndLeavesNothing)
{
    const FieldCase& c = GetParam();
    HandModel model = writeHandModel();
    model.putU32(c.field, c.value);
    TDffLoader loader;
    const std::string report = readReport(model.bytes, loader);
    EXPECT_NE(report.find(c.report), std::string::npos) << c.field << ": " << report;
    EXPECT_TRUE(loader.Clumps.empty());
}

INSTANTIATE_TEST_SUITE_P(
    HugeCountsAndSizes, DffBadField,
    testing::Values(FieldCase{"frameCount", 0xFFFFFFFF, "frame count 4294967295"},
                    FieldCase{"frameCount", 3, "frame count 3"},
                    FieldCase{"vertexCount", 0xFFFFFFFF, "with 4294967295 vertices"},
                    FieldCase{"vertexCount", 5, "with 5 vertices"},
                    FieldCase{"triangleCount", 0x7FFFFFFF, "2147483647 triangles"},
                    FieldCase{"geometryFlags", 2 | 4 | 16, "flags 22"},
                    FieldCase{"splitCount", 0xFFFFFFFF, "split count 4294967295"},
                    FieldCase{"indexCount", 0xFFFFFFFF, "index count 4294967295"},
                    FieldCase{"indexCount", 7, "index count 7"},
                    FieldCase{"clump.size", 0xFFFFFFFF, "the clump claims 4294967295 bytes"},
                    FieldCase{"geometry.size", 0xFFFFFFF0, "claims 4294967280 bytes but its parent"},
                    FieldCase{"materialStruct.size", 1000, "claims 1000 bytes"},
                    FieldCase{"binMesh.size", 0x10000, "chunk type 1294"},
                    FieldCase{"frameStruct.size", 8, "frame count 2 at byte 64 needs more bytes than the 4 left"}),
    [](const testing::TestParamInfo<FieldCase>& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    IndicesOutOfRange, DffBadField,
    testing::Values(FieldCase{"frameParent1", 2, "frame 1 has parent 2 of 2 frames"},
                    FieldCase{"frameParent0", 0xFFFFFFFE, "frame 0 has parent -2"},
                    FieldCase{"atomicFrame", 2, "atomic 0 names frame 2 of 2"},
                    FieldCase{"atomicFrame", 0xFFFFFFFF, "atomic 0 names frame -1 of 2"},
                    FieldCase{"atomicGeometry", 1, "atomic 0 names geometry 1 of 1"},
                    FieldCase{"atomicGeometry", 0xFFFFFFFF, "names geometry -1"},
                    FieldCase{"index5", 4, "split 0 names vertex 4 of 4"},
                    FieldCase{"index0", 0xFFFFFFFF, "names vertex 4294967295"},
                    FieldCase{"splitMaterial", 1, "split 0 names material 1 of 1"},
                    FieldCase{"clump.type", 17, "not a model: the first chunk has type 17"}),
    [](const testing::TestParamInfo<FieldCase>& info) { return std::to_string(info.index); });

TEST(DffGeometryStruct, UVSetCountBeyondTheStruct)
{
    HandModel model = writeHandModel();
    model.bytes[model.at["uvSets"]] = 3;
    TDffLoader loader;
    EXPECT_NE(readReport(model.bytes, loader).find("geometry struct"), std::string::npos);
    EXPECT_TRUE(loader.Clumps.empty());
}

struct ExtraCase {
    const char* name;
    std::function<void(RwWriter&)> extra;
    const char* report; // "" when the model reads cleanly
};

class DffExtraChunks : public testing::TestWithParam<ExtraCase> {};

TEST_P(DffExtraChunks, UnknownChunksAreSkippedAndBrokenOnesReported)
{
    const ExtraCase& c = GetParam();
    HandModelOptions options;
    options.clumpExtra = c.extra;
    TDffLoader loader;
    const std::string report = readReport(writeHandModel(options).bytes, loader);
    if (std::string(c.report).empty()) {
        EXPECT_EQ(report, "");
        ASSERT_EQ(loader.Clumps.size(), 1u);
        // The model around the extra chunks is whole.
        EXPECT_EQ(loader.Clumps[0].FrameList.Data.Frames[1].Name, "part");
        EXPECT_EQ(loader.Clumps[0].GeometryList.Geometries.size(), 1u);
        EXPECT_EQ(loader.Clumps[0].Atomics.size(), 1u);
    } else {
        EXPECT_NE(report.find(c.report), std::string::npos) << report;
        EXPECT_TRUE(loader.Clumps.empty());
    }
}

void junk(RwWriter& w, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        w.u8(static_cast<std::uint8_t>(0xA5 ^ i));
}

void nest(RwWriter& w, int levels)
{
    if (levels == 0)
        return;
    w.chunk(3, 0x1003FFFF, [&] { nest(w, levels - 1); });
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DffExtraChunks,
    testing::Values(
        ExtraCase{"plugins", [](RwWriter& w) {
                      w.chunk(0x116, 0x1003FFFF, [&] { junk(w, 37); });  // skin
                      w.chunk(0x11E, 0x1003FFFF, [&] { junk(w, 8); });   // bone hierarchy
                      w.chunk(0x120, 0x1003FFFF, [&] { junk(w, 0); });   // material effects
                      w.chunk(0x253F2F8, 0x1003FFFF, [&] { junk(w, 99); });
                  }, ""},
        ExtraCase{"nestedClump", [](RwWriter& w) { w.chunk(16, 0x1003FFFF, [&] { junk(w, 20); }); }, ""},
        ExtraCase{"zeroTypeEndsTheLevel", [](RwWriter& w) { w.zeros(16); junk(w, 40); }, ""},
        ExtraCase{"fewZeroBytes", [](RwWriter& w) { w.chunk(3, 0x1003FFFF, [&] { w.zeros(3); }); }, ""},
        ExtraCase{"reasonableNesting", [](RwWriter& w) { nest(w, 20); }, ""},
        ExtraCase{"deepNesting", [](RwWriter& w) { nest(w, 200); }, "nested more than 32 levels"},
        ExtraCase{"unknownPastItsParent",
                  [](RwWriter& w) {
                      w.u32(0x116);
                      w.u32(5000);
                      w.u32(0x1003FFFF);
                      junk(w, 8);
                  },
                  "chunk type 278"},
        ExtraCase{"headerCutShort", [](RwWriter& w) { w.chunk(3, 0x1003FFFF, [&] { junk(w, 7); }); }, "cannot read"},
        // A material whose extension holds a geometry and then a material struct: the struct
        // finds a geometry without materials.
        ExtraCase{"materialStructAfterANestedGeometry",
                  [](RwWriter& w) {
                      w.chunk(7, 0x1003FFFF, [&] {
                          w.chunk(3, 0x1003FFFF, [&] {
                              w.chunk(15, 0x1003FFFF, [] {});
                              w.chunk(1, 0x1003FFFF, [&] { w.zeros(28); });
                          });
                      });
                  },
                  "material data outside any material"},
        ExtraCase{"atomicStructTooShort",
                  [](RwWriter& w) {
                      w.chunk(20, 0x1003FFFF, [&] { w.chunk(1, 0x1003FFFF, [&] { w.u32(0); }); });
                  },
                  "cannot read"}),
    [](const testing::TestParamInfo<ExtraCase>& info) { return std::string(info.param.name); });

// The hand model with three more atomics (frame 0, geometry 0) whose clump declares a
// size that ends after the first atomic, as a real GTA III vehicle has it: the three lie
// between the declared end and the clump's extension header.
HandModel underDeclaredClump()
{
    HandModelOptions options;
    options.clumpExtra = [](RwWriter& w) {
        for (int i = 0; i < 3; ++i)
            w.chunk(20, 0x1003FFFF, [&] {
                w.chunk(1, 0x1003FFFF, [&] {
                    w.i32(0);
                    w.i32(0);
                    w.u32(5);
                    w.u32(0);
                });
                w.chunk(3, 0x1003FFFF, [] {});
            });
    };
    HandModel model = writeHandModel(options);
    const std::size_t atomicsEnd = model.at.at("clumpExtension.type");
    const std::size_t declaredEnd = atomicsEnd - 3 * (12 + 12 + 16 + 12);
    model.putU32("clump.size", static_cast<std::uint32_t>(declaredEnd - 12));
    const std::size_t count = model.at.at("clumpStruct.type") + 12;
    model.bytes[count] = 4;
    model.at["declaredEnd"] = declaredEnd;
    model.at["atomicsEnd"] = atomicsEnd;
    return model;
}

TEST(DffUnderDeclaredClump, AtomicsPastTheDeclaredEndAreReadAsTheGameReadsThem)
{
    const HandModel model = underDeclaredClump();
    TDffLoader loader;
    ASSERT_EQ(loader.ReadFromBytes(model.bytes), "");
    ASSERT_EQ(loader.Clumps.size(), 1u);
    const TDFFClump& clump = loader.Clumps[0];
    ASSERT_EQ(clump.Atomics.size(), 4u);
    EXPECT_EQ(clump.AtomicCount, 4u);
    EXPECT_EQ(clump.Atomics[0].FrameIndex, 1);
    for (std::size_t a = 1; a < 4; ++a) {
        EXPECT_EQ(clump.Atomics[a].FrameIndex, 0);
        EXPECT_EQ(clump.Atomics[a].AtomicFlags, 5u);
    }
    EXPECT_EQ(loader.ReadWarning, "the clump's size is 156 bytes short: 3 of its 4 atomics follow its declared end");

    // Archive entries: zero padding after the last atomic changes nothing.
    std::vector<std::uint8_t> padded(model.bytes.begin(),
                                     model.bytes.begin() + static_cast<std::ptrdiff_t>(model.at.at("atomicsEnd")));
    padded.resize(2048, 0);
    ASSERT_EQ(loader.ReadFromBytes(padded), "");
    EXPECT_EQ(loader.Clumps[0].Atomics.size(), 4u);

    // A clump that announces more atomics than it holds, with nothing after it, is read as
    // it stands, with a word about it.
    HandModel fewer = writeHandModel();
    fewer.bytes[fewer.at.at("clumpStruct.type") + 12] = 3;
    ASSERT_EQ(loader.ReadFromBytes(fewer.bytes), "");
    EXPECT_EQ(loader.Clumps[0].Atomics.size(), 1u);
    EXPECT_EQ(loader.ReadWarning, "the clump announces 3 atomics but holds 1");
}

// A cut after the declared end: at the end itself the file reads as a clump that holds
// fewer atomics than it announces; inside the trailing atomics, or between them, the clump
// stops short of its count and that is reported; after the last one nothing is missing.
TEST(DffUnderDeclaredClump, EveryCutPastTheDeclaredEndIsReported)
{
    const HandModel model = underDeclaredClump();
    const std::size_t declaredEnd = model.at.at("declaredEnd");
    const std::size_t atomicsEnd = model.at.at("atomicsEnd");
    for (std::size_t n = declaredEnd; n <= model.bytes.size(); ++n) {
        const std::vector<std::uint8_t> cut(model.bytes.begin(), model.bytes.begin() + static_cast<std::ptrdiff_t>(n));
        TDffLoader loader;
        const std::string report = loader.ReadFromBytes(cut);
        if (n == declaredEnd) {
            EXPECT_EQ(report, "");
            EXPECT_EQ(loader.ReadWarning, "the clump announces 4 atomics but holds 1");
        } else if (n < atomicsEnd) {
            EXPECT_NE(report, "") << "cut at " << n;
            EXPECT_TRUE(loader.Clumps.empty()) << "cut at " << n;
            TDffLoader partial;
            EXPECT_NE(partial.ReadFromBytes(cut, true), "") << "cut at " << n;
            ASSERT_EQ(partial.Clumps.size(), 1u) << "cut at " << n;
            EXPECT_LT(partial.Clumps[0].Atomics.size(), 4u) << "cut at " << n;
        } else {
            EXPECT_EQ(report, "") << "cut at " << n;
            ASSERT_EQ(loader.Clumps.size(), 1u);
            EXPECT_EQ(loader.Clumps[0].Atomics.size(), 4u) << "cut at " << n;
        }
    }
}

TEST(DffStreams, BadLocationsAreReported)
{
    const HandModel model = writeHandModel();
    const MemoryByteSource source(model.bytes);
    TDffLoader loader;
    EXPECT_EQ(loader.ReadFromStream(source, static_cast<std::int64_t>(model.bytes.size()), 0), "");
    EXPECT_NE(loader.ReadFromStream(source, -1, 0), "");
    EXPECT_TRUE(loader.Clumps.empty());
    EXPECT_NE(loader.ReadFromStream(source, 100, -5), "");
    EXPECT_NE(loader.ReadFromStream(source, 100, 1 << 20).find("too short"), std::string::npos);
    // An entry that claims more than the source holds reads what there is.
    EXPECT_EQ(loader.ReadFromStream(source, std::int64_t{1} << 40, 0), "");
    EXPECT_EQ(loader.Clumps.size(), 1u);
}

} // namespace
