// Models and dictionaries loaded the way the editor loads them (from the archive on disk,
// or in place from bytes held in memory) hold exactly what the bare readers make of the
// entries' bytes, face normals included, on every entry of the demo game and on larger
// generated models.

#include "ByteSource.h"
#include "DemoGame.h"
#include "DffWriter.h"
#include "GamePaths.h"
#include "ImgWriter.h"
#include "TGTA3Archive.h"
#include "TGTAImg.h"
#include "TestFiles.h"
#include "TextureUploader.h"
#include "TxdDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using Vec3 = std::array<float, 3>;

// Face normals the way the model reader first computed them, one triangle at a time: the
// reference for the faster loop now in use.
Vec3 referenceFaceNormal(const Vec3& a, const Vec3& b, const Vec3& c)
{
    const float ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const float vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    Vec3 n{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length == 0)
        return n;
    const float scale = 1.0f / length;
    return {n[0] * scale, n[1] * scale, n[2] * scale};
}

std::vector<Vec3> referenceNormals(const TDFFSplit& split, std::uint32_t faceType, const std::vector<Vec3>& vertices)
{
    const auto& idx = split.Indices;
    const std::size_t count = idx.size();
    std::vector<Vec3> normals;
    if (faceType == 0) {
        normals.assign(count / 3, {0, 0, 0});
        for (std::size_t k = 0; k + 2 < count; k += 3)
            normals[k / 3] = referenceFaceNormal(vertices[idx[k]], vertices[idx[k + 1]], vertices[idx[k + 2]]);
        return normals;
    }
    normals.assign(count, {0, 0, 0});
    for (std::size_t k = 0; k + 2 < count; ++k) {
        const std::size_t e = k % 2;
        normals[k + 2] = referenceFaceNormal(vertices[idx[k]], vertices[idx[k + 1 + e]], vertices[idx[k + 2 - e]]);
    }
    if (count >= 3)
        normals[0] = normals[1] = normals[2];
    return normals;
}

// A building-sized model of irregular triangles: splits of lists or strips (odd and even
// lengths, too short ones, repeated indices for degenerate triangles), `triangles` in all.
DffClump generatedModel(std::uint32_t seed, bool strips, int triangles)
{
    std::uint32_t state = seed * 2654435761u + 1;
    const auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f * 40.0f - 20.0f;
    };
    DffGeometry geometry;
    geometry.strips = strips;
    const int vertices = triangles / 2 + 3;
    for (int v = 0; v < vertices; ++v) {
        geometry.vertices.push_back({next(), next(), next()});
        geometry.texCoords.push_back({next(), next()});
    }
    geometry.vertices[1] = geometry.vertices[0]; // so some triangles are degenerate
    const auto index = [&] { return static_cast<std::uint32_t>(std::fabs(next()) / 20.0f * (vertices - 1)); };
    const int splitCount = 5;
    for (int s = 0; s < splitCount; ++s) {
        geometry.materials.push_back(DffMaterial{"tex" + std::to_string(s), s == 1 ? "mask" : ""});
        DffSplit split;
        split.material = static_cast<std::uint32_t>(s);
        const int share = s == splitCount - 1 ? 0 : triangles / (splitCount - 1);
        const std::size_t length = strips ? static_cast<std::size_t>(share + 2 + s % 2) : static_cast<std::size_t>(share * 3);
        for (std::size_t k = 0; k < length; ++k)
            split.indices.push_back(k % 7 == 3 ? 1 : index());
        if (s == splitCount - 1)
            split.indices = {0, 1}; // too short for a triangle
        geometry.splits.push_back(std::move(split));
    }
    DffClump clump;
    clump.frames.push_back(DffFrame{"building" + std::to_string(seed)});
    clump.geometries.push_back(std::move(geometry));
    clump.atomics.push_back(DffAtomic{});
    return clump;
}

// Every decoded texture the dictionary hands over, as it was handed.
class KeepingUploader : public TextureUploader {
public:
    std::vector<TxdDecodedTexture> uploaded;
    std::vector<std::uint32_t> upload(const std::vector<TxdDecodedTexture>& textures) override
    {
        uploaded = textures;
        return std::vector<std::uint32_t>(textures.size(), 7);
    }
    void release(const std::vector<std::uint32_t>&) override {}
};

class SplitCounter : public ModelDrawTarget {
public:
    std::vector<const TDFFSplit*> splits;
    void pushMatrix() override {}
    void multMatrix(const std::array<float, 16>&) override {}
    void popMatrix() override {}
    void setColourWhite() override {}
    void drawSplit(const ModelSplitDraw& s) override { splits.push_back(&s.split); }
};

std::vector<TDFFClump> withoutNormals(std::vector<TDFFClump> clumps)
{
    for (TDFFClump& clump : clumps)
        for (TDFFGeometry& geometry : clump.GeometryList.Geometries)
            for (TDFFSplit& split : geometry.MaterialSplit.Splits)
                split.Normals.clear();
    return clumps;
}

std::span<const std::uint8_t> entryBytes(const std::vector<std::uint8_t>& archive, std::int64_t offset, std::int64_t length)
{
    const auto start = std::min(archive.size(), static_cast<std::size_t>(offset));
    return std::span(archive).subspan(start, std::min(archive.size() - start, static_cast<std::size_t>(length)));
}

// One model loaded through TGTADff against the bare reader on its bytes.
void expectSameModel(TGTADff& dff, std::span<const std::uint8_t> bytes, const std::string& where)
{
    TDffLoader bare;
    const std::string bareError = bare.ReadFromBytes(bytes);
    for (const TDFFClump& clump : bare.Clumps)
        for (const TDFFGeometry& geometry : clump.GeometryList.Geometries)
            for (const TDFFSplit& split : geometry.MaterialSplit.Splits)
                ASSERT_EQ(split.Normals,
                          referenceNormals(split, geometry.MaterialSplit.FaceType, geometry.Data.Vertices))
                    << where;

    dff.Load();
    EXPECT_EQ(dff.LoadError, bareError) << where;
    EXPECT_EQ(withoutNormals(dff.Clumps), withoutNormals(bare.Clumps)) << where;
    // Drawn splits carry their normals; the rest get them when asked.
    SplitCounter drawn;
    dff.Draw(-1, drawn);
    for (const TDFFSplit* split : drawn.splits)
        EXPECT_FALSE(split->Normals.empty() && split->Indices.size() >= 3) << where;
    dff.EnsureNormals();
    EXPECT_EQ(dff.Clumps, bare.Clumps) << where;
    dff.Unload();
}

class EntryLoading : public testing::TestWithParam<bool> {
protected:
    static void SetUpTestSuite()
    {
        game = std::make_unique<TempDir>();
        std::string error;
        ASSERT_EQ(writeDemoGame(game->path().string(), DemoGameOptions{true, false}, error), 0) << error;
        std::vector<ImgWriterEntry> models;
        for (std::uint32_t m = 0; m < 12; ++m)
            models.push_back({"large" + std::to_string(m) + ".dff",
                              writeDff(generatedModel(m, m % 3 == 2, 2000 + 300 * static_cast<int>(m)), 0x1003FFFF)});
        ASSERT_EQ(writeImgArchive(game->file("large.img"), models), 0);
    }
    static void TearDownTestSuite() { game.reset(); }

    // The entries of the archive at `path`, read from it on disk or held in memory.
    template <typename Make>
    auto entriesOf(const TGTA3Archive& archive, Make make)
    {
        memory = std::make_unique<MemoryByteSource>(bytes(archive));
        const ByteSource* source = GetParam() ? memory.get() : &archive.ImgSource();
        std::vector<decltype(make(source, TImgEntry{}))> made;
        for (const TImgEntry& entry : archive.Entries)
            made.push_back(make(source, entry));
        return made;
    }
    static std::vector<std::uint8_t> bytes(const TGTA3Archive& archive)
    {
        const std::string text = readFile(archive.FileName);
        return {text.begin(), text.end()};
    }

    static inline std::unique_ptr<TempDir> game;
    std::unique_ptr<MemoryByteSource> memory;
};

TEST_P(EntryLoading, ModelsMatchTheBareReader)
{
    TGTA3Archive demo(resolveGamePath(withTrailingSeparator(game->path().string()), "models\\gta3.img"), false);
    TGTA3Archive large(game->file("large.img"), false);
    ASSERT_TRUE(demo.Opened && large.Opened);
    int models = 0;
    for (const TGTA3Archive* archive : {&demo, &large}) {
        const std::vector<std::uint8_t> all = bytes(*archive);
        auto dffs = entriesOf(*archive, [](const ByteSource* source, const TImgEntry& entry) {
            return std::make_unique<TGTADff>(source, std::int64_t{entry.Size} * 2048, std::int64_t{entry.Offset} * 2048,
                                             entry.TrimmedName());
        });
        for (std::size_t i = 0; i < dffs.size(); ++i) {
            if (!archive->Entries[i].TrimmedName().ends_with(".dff"))
                continue;
            expectSameModel(*dffs[i], entryBytes(all, dffs[i]->Offset, dffs[i]->Length), dffs[i]->Name);
            ++models;
        }
    }
    EXPECT_GT(models, 12);
}

TEST_P(EntryLoading, DictionariesMatchTheDecoder)
{
    TGTA3Archive demo(resolveGamePath(withTrailingSeparator(game->path().string()), "models\\gta3.img"), false);
    ASSERT_TRUE(demo.Opened);
    const std::vector<std::uint8_t> all = bytes(demo);
    KeepingUploader uploader;
    auto txds = entriesOf(demo, [&](const ByteSource* source, const TImgEntry& entry) {
        return std::make_unique<TGTATxd>(source, std::int64_t{entry.Size} * 2048, std::int64_t{entry.Offset} * 2048,
                                         entry.TrimmedName(), &uploader);
    });
    int dictionaries = 0;
    for (std::size_t i = 0; i < txds.size(); ++i) {
        if (!demo.Entries[i].TrimmedName().ends_with(".txd"))
            continue;
        TGTATxd& txd = *txds[i];
        const TxdDecodeResult bare = decodeTxd(entryBytes(all, txd.Offset, txd.Length));
        txd.Load();
        EXPECT_EQ(txd.LoadError, bare.Error) << txd.Name;
        ASSERT_EQ(txd.Textures.size(), bare.Textures.size()) << txd.Name;
        ASSERT_EQ(uploader.uploaded.size(), bare.Textures.size()) << txd.Name;
        for (std::size_t t = 0; t < bare.Textures.size(); ++t) {
            const TxdDecodedTexture& expected = bare.Textures[t];
            EXPECT_EQ(txd.Textures[t], expected.Texture) << txd.Name << " " << t;
            EXPECT_EQ(txd.FindTexture(expected.Texture.Name), static_cast<int>(t)) << txd.Name;
            EXPECT_EQ(uploader.uploaded[t].Texture, expected.Texture) << txd.Name << " " << t;
            EXPECT_TRUE(std::equal(expected.Levels.begin(), expected.Levels.end(), uploader.uploaded[t].Levels.begin(),
                                   uploader.uploaded[t].Levels.end(), [](const TxdLevel& a, const TxdLevel& b) {
                                       return std::ranges::equal(a.Data, b.Data) &&
                                              std::ranges::equal(a.Palette, b.Palette);
                                   }))
                << txd.Name << " " << t;
        }
        EXPECT_EQ(txd.Decode().Textures.size(), bare.Textures.size()) << txd.Name;
        ++dictionaries;
    }
    EXPECT_GT(dictionaries, 2);
}

INSTANTIATE_TEST_SUITE_P(Sources, EntryLoading, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("BytesInMemory") : std::string("ArchiveOnDisk");
                         });

TEST(SourceViews, InMemoryBytesAreViewedInPlaceAndFilesCopied)
{
    std::vector<std::uint8_t> data(5000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    TempDir dir;
    TGTA3Archive archive(dir.file("a.img"), true);
    writeFile(dir.file("a.img"), bytesText(data)); // same inode: the archive's descriptor sees it
    const MemoryByteSource memory(data);
    struct Case {
        std::uint64_t offset, length;
        std::size_t expected;
    };
    for (const Case c : {Case{100, 50, 50}, Case{4990, 100, 10}, Case{std::uint64_t{1} << 40, 10, 0},
                         Case{0, std::uint64_t{1} << 40, 5000}}) {
        std::vector<std::uint8_t> fileBuffer, memoryBuffer;
        const auto fromFile = viewSourceBytes(archive.ImgSource(), c.offset, c.length, fileBuffer);
        const auto inPlace = viewSourceBytes(memory, c.offset, c.length, memoryBuffer);
        ASSERT_EQ(fromFile.size(), c.expected) << c.offset << "+" << c.length;
        ASSERT_EQ(inPlace.size(), c.expected) << c.offset << "+" << c.length;
        EXPECT_TRUE(std::equal(fromFile.begin(), fromFile.end(), inPlace.begin()));
        if (c.expected > 0) {
            EXPECT_EQ(fromFile.data(), fileBuffer.data());
            EXPECT_EQ(inPlace.data(), memory.bytes().data() + c.offset);
        }
        EXPECT_TRUE(memoryBuffer.empty()) << "nothing copied";
    }
}

} // namespace
