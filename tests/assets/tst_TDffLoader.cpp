#include "ByteSource.h"
#include "DffFixtures.h"
#include "DffWriter.h"
#include "TDffLoader.h"
#include "TGTADff.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using Vec3 = std::array<float, 3>;

void expectNear(const Vec3& actual, const Vec3& expected, const std::string& what)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << what << " component " << i;
}

// A model with everything the writer can put in: three frames, a listed geometry with
// texture coordinates, prelit colours and normals over two materials, and a stripped one.
DffClump fullClump()
{
    DffClump clump;
    DffFrame root;
    root.name = "car";
    root.position = {5, 6, 7};
    DffFrame body;
    body.name = "body_L0";
    body.parent = 0;
    body.rotation = {0, 1, 0, -1, 0, 0, 0, 0, 1};
    body.position = {1, 2, 3};
    body.matrixFlags = 0x00020003;
    DffFrame wheel;
    wheel.name = "wheel_lf";
    wheel.parent = 1;
    clump.frames = {root, body, wheel};

    DffGeometry listed;
    listed.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}};
    listed.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.5f}};
    listed.prelit = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}, {17, 18, 19, 20}};
    listed.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {1, 0, 0}};
    listed.materials = {{"body", "bodym", {255, 0, 0, 255}}, {"glass", "", {0, 0, 255, 128}}};
    listed.splits = {{0, {0, 1, 2, 0, 2, 3}}, {1, {0, 4, 1}}};

    DffGeometry stripped;
    stripped.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}};
    stripped.materials = {{"tyre", "", {255, 255, 255, 255}}};
    stripped.strips = true;
    stripped.splits = {{0, {0, 1, 2, 3}}};

    clump.geometries = {listed, stripped};
    clump.atomics = {{1, 0, 5}, {2, 1, 5}};
    return clump;
}

TDffLoader readModel(const std::vector<std::uint8_t>& bytes)
{
    TDffLoader loader;
    const std::string report = loader.ReadFromBytes(bytes);
    EXPECT_EQ(report, "");
    return loader;
}

class DffRoundTrip : public testing::TestWithParam<std::uint32_t> {};

TEST_P(DffRoundTrip, EverythingWrittenReadsBack)
{
    const std::uint32_t stamp = GetParam();
    const DffClump written = fullClump();
    const TDffLoader loader = readModel(writeDff(written, stamp));
    ASSERT_EQ(loader.Clumps.size(), 1u);
    const TDFFClump& clump = loader.Clumps[0];
    EXPECT_EQ(clump.AtomicTotal, 2u);

    const auto& frames = clump.FrameList.Data.Frames;
    ASSERT_EQ(clump.FrameList.Data.FrameCount, 3u);
    ASSERT_EQ(frames.size(), 3u);
    for (std::size_t f = 0; f < frames.size(); ++f) {
        EXPECT_EQ(frames[f].Name, written.frames[f].name);
        EXPECT_EQ(frames[f].ParentIndex, written.frames[f].parent);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(frames[f].Rotation[i], written.frames[f].rotation[i]);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(frames[f].Position[i], written.frames[f].position[i]);
    }
    EXPECT_EQ(frames[1].MatrixFlags[0], 3);
    EXPECT_EQ(frames[1].MatrixFlags[1], 2);

    ASSERT_EQ(clump.GeometryList.GeometryCount, 2u);
    ASSERT_EQ(clump.GeometryList.Geometries.size(), 2u);
    const TDFFGeometry& listed = clump.GeometryList.Geometries[0];
    const TDFFDataGeometry& data = listed.Data;
    EXPECT_EQ(data.VertexCount, 5u);
    EXPECT_EQ(data.TriangleCount, 3u);
    EXPECT_EQ(data.MorphTargetCount, 1u);
    // Surface properties exist in the file before library version 3.4 only.
    const float surface = rwLibraryVersion(stamp) < 0x34000 ? 1.0f : 0.0f;
    EXPECT_EQ(data.Ambient, surface);
    EXPECT_EQ(data.Diffuse, surface);
    ASSERT_EQ(data.Vertices.size(), 5u);
    ASSERT_EQ(data.TexCoords.size(), 5u);
    ASSERT_EQ(data.Colours.size(), 5u);
    ASSERT_EQ(data.Normals.size(), 5u);
    for (std::size_t v = 0; v < 5; ++v) {
        EXPECT_EQ(data.Vertices[v], written.geometries[0].vertices[v]);
        EXPECT_EQ(data.TexCoords[v], written.geometries[0].texCoords[v]);
        EXPECT_EQ(data.Colours[v], written.geometries[0].prelit[v]);
        EXPECT_EQ(data.Normals[v], written.geometries[0].normals[v]);
    }
    EXPECT_EQ(data.HasPositions, 1u);
    EXPECT_EQ(data.HasNormals, 1u);
    EXPECT_NEAR(data.BoundingSphere[3], std::sqrt(0.75f), 1e-5f);

    const auto& materials = listed.MaterialList.Materials;
    ASSERT_EQ(materials.size(), 2u);
    EXPECT_EQ(listed.MaterialList.MaterialTotal, 2u);
    EXPECT_EQ(listed.MaterialList.FirstMaterialRef, -1);
    EXPECT_EQ(materials[0].Texture.TextureName, "body");
    EXPECT_EQ(materials[0].Texture.MaskName, "bodym");
    EXPECT_EQ(materials[1].Texture.TextureName, "glass");
    EXPECT_EQ(materials[1].Texture.MaskName, "");
    EXPECT_EQ(materials[1].Colour, (std::array<std::uint8_t, 4>{0, 0, 255, 128}));
    EXPECT_EQ(materials[1].IsTextured, 1u);

    const TDFFMaterialSplit& mesh = listed.MaterialSplit;
    EXPECT_EQ(mesh.FaceType, 0u);
    EXPECT_EQ(mesh.IndexTotal, 9u);
    ASSERT_EQ(mesh.Splits.size(), 2u);
    EXPECT_EQ(mesh.Splits[0].Indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(mesh.Splits[1].MaterialIndex, 1u);
    ASSERT_EQ(mesh.Splits[0].Normals.size(), 2u);
    expectNear(mesh.Splits[0].Normals[0], {0, 0, 1}, "first quad triangle");
    expectNear(mesh.Splits[0].Normals[1], {0, 0, 1}, "second quad triangle");
    ASSERT_EQ(mesh.Splits[1].Normals.size(), 1u);
    expectNear(mesh.Splits[1].Normals[0], {0, 1, 0}, "side triangle"); // (0,0,1) x (1,0,0)

    const TDFFGeometry& stripped = clump.GeometryList.Geometries[1];
    EXPECT_TRUE(stripped.Data.TexCoords.empty());
    EXPECT_TRUE(stripped.Data.Colours.empty());
    EXPECT_TRUE(stripped.Data.Normals.empty());
    EXPECT_EQ(stripped.MaterialSplit.FaceType, 1u);
    EXPECT_EQ(stripped.MaterialList.Materials[0].Texture.TextureName, "tyre");

    ASSERT_EQ(clump.Atomics.size(), 2u);
    EXPECT_EQ(clump.AtomicCount, 2u);
    EXPECT_EQ(clump.Atomics[0].FrameIndex, 1);
    EXPECT_EQ(clump.Atomics[0].GeometryIndex, 0);
    EXPECT_EQ(clump.Atomics[1].FrameIndex, 2);
    EXPECT_EQ(clump.Atomics[1].GeometryIndex, 1);
    EXPECT_EQ(clump.Atomics[1].AtomicFlags, 5u);
}

// GTA III (old stamp form and 3.1), Vice City (3.3 with, 3.4 without surface properties).
INSTANTIATE_TEST_SUITE_P(Versions, DffRoundTrip, testing::Values(0x00000310u, 0x0800FFFFu, 0x0C02FFFFu, 0x1003FFFFu));

TEST(DffNormals, StripNormalsFlipTheirWindingAndCopyTheFirst)
{
    const TDffLoader loader = readModel(writeDff(fullClump(), 0x1003FFFF));
    const TDFFSplit& strip = loader.Clumps[0].GeometryList.Geometries[1].MaterialSplit.Splits[0];
    ASSERT_EQ(strip.Normals.size(), 4u);
    // n(0,1,2) is +z; n(1,3,2) of (1,0,0), (1,1,1), (0,1,0) is (-1,-1,1)/sqrt(3).
    const float third = 1 / std::sqrt(3.0f);
    expectNear(strip.Normals[0], {0, 0, 1}, "copied to 0");
    expectNear(strip.Normals[1], {0, 0, 1}, "copied to 1");
    expectNear(strip.Normals[2], {0, 0, 1}, "first triangle");
    expectNear(strip.Normals[3], {-third, -third, third}, "flipped second triangle");
}

TEST(DffNormals, DegenerateAndShortSplits)
{
    DffClump clump;
    clump.frames = {DffFrame{}};
    DffGeometry g;
    g.vertices = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    g.materials = {DffMaterial{}};
    g.splits = {{0, {0, 1, 2}}, {0, {0, 1}}};
    clump.geometries = {g};
    clump.atomics = {{0, 0, 5}};
    TDffLoader lists = readModel(writeDff(clump, 0x1003FFFF));
    const auto& listSplits = lists.Clumps[0].GeometryList.Geometries[0].MaterialSplit.Splits;
    ASSERT_EQ(listSplits[0].Normals.size(), 1u);
    expectNear(listSplits[0].Normals[0], {0, 0, 0}, "collinear triangle");
    EXPECT_TRUE(listSplits[1].Normals.empty());

    clump.geometries[0].strips = true;
    TDffLoader strips = readModel(writeDff(clump, 0x1003FFFF));
    const auto& stripSplits = strips.Clumps[0].GeometryList.Geometries[0].MaterialSplit.Splits;
    ASSERT_EQ(stripSplits[1].Normals.size(), 2u); // one per index, none computed
    expectNear(stripSplits[1].Normals[0], {0, 0, 0}, "short strip");
}

TEST(DffStrings, ThirdTextureStringReplacesTheMask)
{
    HandModelOptions options;
    options.textureStrings = [](RwWriter& w) {
        w.stringChunk(2, "brick", 0x1003FFFF);
        w.stringChunk(2, "first", 0x1003FFFF);
        w.stringChunk(2, "second", 0x1003FFFF);
    };
    const TDffLoader loader = readModel(writeHandModel(options).bytes);
    const TDFFTexture& texture = loader.Clumps[0].GeometryList.Geometries[0].MaterialList.Materials[0].Texture;
    EXPECT_EQ(texture.TextureName, "brick");
    EXPECT_EQ(texture.MaskName, "second");
    EXPECT_TRUE(texture.NameSeen);
}

TEST(DffStrings, NamesStopAtTheirZeroByteAndAreTrimmed)
{
    HandModelOptions options;
    options.textureStrings = [](RwWriter& w) {
        w.chunk(2, 0x1003FFFF, [&] { w.fixedText(" brick\t", 12); });
        w.chunk(2, 0x1003FFFF, [&] { w.fixedText("mask", 4); }); // no zero byte at all
        w.chunk(2, 0x1003FFFF, [&] { w.fixedText(std::string("ab\0cd", 5), 8); });
    };
    const TDffLoader loader = readModel(writeHandModel(options).bytes);
    const TDFFTexture& texture = loader.Clumps[0].GeometryList.Geometries[0].MaterialList.Materials[0].Texture;
    EXPECT_EQ(texture.TextureName, "brick");
    EXPECT_EQ(texture.MaskName, "ab");
}

TEST(DffStrings, EachFrameExtensionNamesItsOwnFrameExactlyAsStored)
{
    using Writer = std::function<void(RwWriter&, int)>;
    const auto name = [](RwWriter& w, const char* text) { w.stringChunk(0x253F2FE, text, 0x1003FFFF); };
    const struct {
        const char* what;
        Writer extension;
        const char* names[2];
    } cases[] = {
        {"an unnamed root does not pass its child's name to itself",
         [&](RwWriter& w, int frame) {
             if (frame == 1)
                 name(w, "alpha");
         },
         {"", "alpha"}},
        {"leading and trailing blanks are kept",
         [&](RwWriter& w, int frame) { name(w, frame == 0 ? " Pelvis" : "Bip01 "); },
         {" Pelvis", "Bip01 "}},
        {"other plugin chunks beside the name",
         [&](RwWriter& w, int frame) {
             w.chunk(0x11E, 0x1003FFFF, [&] { w.u32(0x100), w.u32(7); });
             name(w, frame == 0 ? "root" : "part");
         },
         {"root", "part"}},
        {"a later name in the same extension replaces an earlier one",
         [&](RwWriter& w, int frame) {
             if (frame == 1) {
                 name(w, "alpha");
                 name(w, "beta");
             }
         },
         {"", "beta"}},
    };
    for (const auto& c : cases) {
        HandModelOptions options;
        options.frameExtension = c.extension;
        const TDffLoader loader = readModel(writeHandModel(options).bytes);
        ASSERT_EQ(loader.Clumps.size(), 1u) << c.what;
        const auto& frames = loader.Clumps[0].FrameList.Data.Frames;
        ASSERT_EQ(frames.size(), 2u) << c.what;
        EXPECT_EQ(frames[0].Name, c.names[0]) << c.what;
        EXPECT_EQ(frames[1].Name, c.names[1]) << c.what;
    }
}

TEST(DffMaterialStruct, TakesWhatTheStructHoldsAndZeroesTheRest)
{
    for (std::size_t size : {28u, 32u, 36u}) {
        HandModelOptions options;
        options.materialStructSize = size;
        const TDffLoader loader = readModel(writeHandModel(options).bytes);
        const TDFFMaterial& material = loader.Clumps[0].GeometryList.Geometries[0].MaterialList.Materials[0];
        EXPECT_EQ(material.Colour, (std::array<std::uint8_t, 4>{10, 20, 30, 255})) << size;
        EXPECT_EQ(material.Specular, 0.5f) << size;
        EXPECT_EQ(material.Diffuse, 0.25f) << size;
        EXPECT_EQ(material.Trailing, size == 28 ? 0u : 0x1F1E1D1Cu) << size;
        // The texture chunk right after the struct is still read.
        EXPECT_EQ(material.Texture.TextureName, "brick") << size;
    }
}

TEST(DffEntries, PaddingAndDataAfterTheClumpAreIgnored)
{
    std::vector<std::uint8_t> entry = writeDff(fullClump(), 0x0C02FFFF);
    const std::size_t clumpSize = entry.size();
    entry.resize(clumpSize + 64, 0);                  // sector padding
    for (int b : {0x43, 0x4F, 0x4C, 0x4C, 40, 0, 0, 0}) // a collision block behind it
        entry.push_back(static_cast<std::uint8_t>(b));
    entry.resize(2048 * ((entry.size() + 2047) / 2048), 0);

    const MemoryByteSource source(entry);
    TDffLoader loader;
    EXPECT_EQ(loader.ReadFromStream(source, static_cast<std::int64_t>(entry.size()), 0), "");
    ASSERT_EQ(loader.Clumps.size(), 1u);
    EXPECT_EQ(loader.Clumps[0].FrameList.Data.Frames.size(), 3u);

    // A second clump in the same entry is not read.
    std::vector<std::uint8_t> twice = writeDff(fullClump(), 0x0C02FFFF);
    const std::vector<std::uint8_t> again = writeDff(fullClump(), 0x0C02FFFF);
    twice.insert(twice.end(), again.begin(), again.end());
    EXPECT_EQ(readModel(twice).Clumps.size(), 1u);
}

TEST(DffEntries, ReadsAtAnOffsetOfALargerStream)
{
    const std::vector<std::uint8_t> model = writeDff(fullClump(), 0x1003FFFF);
    std::vector<std::uint8_t> archive(4096, 0xAB);
    archive.insert(archive.end(), model.begin(), model.end());
    archive.resize(archive.size() + 100, 0xCD);
    const MemoryByteSource source(archive);

    TGTADff dff(&source, static_cast<std::int64_t>(model.size()), 4096, "car.dff");
    EXPECT_EQ(dff.Name, "car");
    EXPECT_FALSE(dff.Loaded);
    EXPECT_TRUE(dff.Clumps.empty());
    dff.Load();
    EXPECT_TRUE(dff.Loaded);
    EXPECT_EQ(dff.LoadError, "");
    ASSERT_EQ(dff.Clumps.size(), 1u);
    dff.Unload();
    EXPECT_FALSE(dff.Loaded);
    EXPECT_TRUE(dff.Clumps.empty());

    // Pointed at the wrong place: reported, left empty, and not read again every frame.
    TGTADff wrong(&source, static_cast<std::int64_t>(model.size()), 100, "wrong.dff");
    wrong.Load();
    EXPECT_TRUE(wrong.Loaded);
    EXPECT_TRUE(wrong.Clumps.empty());
    EXPECT_NE(wrong.LoadError.find("not a model"), std::string::npos) << wrong.LoadError;
}

TEST(DffGeometryVariants, EmptyGeometryWithoutBinMeshAndOtherUVLayouts)
{
    DffClump clump = fullClump();
    clump.geometries.push_back(DffGeometry{}); // no vertices, no materials, no bin mesh
    clump.atomics.push_back({0, 2, 5});
    const TDffLoader loader = readModel(writeDff(clump, 0x1003FFFF));
    const TDFFGeometry& empty = loader.Clumps[0].GeometryList.Geometries[2];
    EXPECT_EQ(empty.Data.VertexCount, 0u);
    EXPECT_TRUE(empty.MaterialSplit.Splits.empty());

    // Two UV sets (count byte 2): the first is kept and what follows still lines up.
    HandModel two = writeHandModel();
    std::vector<std::uint8_t>& bytes = two.bytes;
    const std::size_t uvStart = two.at["vertexCount"] + 8;
    std::vector<std::uint8_t> second(32, 0);
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(uvStart + 32), second.begin(), second.end());
    bytes[two.at["uvSets"]] = 2;
    for (const char* chunk : {"clump.size", "geometryList.size", "geometry.size", "geometryStruct.size"}) {
        const std::size_t at = two.at[chunk];
        const std::uint32_t size = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16;
        two.putU32(chunk, size + 32);
    }
    const TDffLoader twoSets = readModel(bytes);
    const TDFFDataGeometry& data = twoSets.Clumps[0].GeometryList.Geometries[0].Data;
    ASSERT_EQ(data.TexCoords.size(), 4u);
    EXPECT_EQ(data.TexCoords[2], (std::array<float, 2>{1, 1}));
    EXPECT_EQ(data.Vertices[2], (Vec3{1, 1, 0}));
}

TEST(DffGeometryVariants, ClearEmptiesEverything)
{
    TDffLoader loader = readModel(writeDff(fullClump(), 0x1003FFFF));
    ASSERT_FALSE(loader.Clumps.empty());
    loader.Clear();
    EXPECT_TRUE(loader.Clumps.empty());
    // Reading again after a failed read starts from nothing.
    EXPECT_NE(loader.ReadFromBytes(std::vector<std::uint8_t>{1, 2, 3}), "");
    EXPECT_TRUE(loader.Clumps.empty());
}

} // namespace
