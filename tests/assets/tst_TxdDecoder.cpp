#include "ByteSource.h"
#include "Log.h"
#include "RwChunk.h"
#include "TGTATxd.h"
#include "TextureUploader.h"
#include "TxdDecoder.h"
#include "TxdPixels.h"
#include "TxdTestData.h"
#include "TxdWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t ViceCityStamp = 0x1003FFFF;

const std::vector<std::vector<std::uint8_t>> BlockColours = {
    {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 128}, {40, 80, 120, 128}};

// The expected levels of an 8x4 block picture: level 1 holds each block colour once, level 2
// the averages of the left and the right block pairs.
RgbaImage expectedBlockLevel(int level, bool opaque)
{
    RgbaImage image = level == 0 ? blockImage(8, 4, BlockColours)
                    : level == 1 ? RgbaImage{4, 2, {200, 0, 0, 255, 0, 200, 0, 255, 0, 0, 200, 128, 40, 80, 120, 128,
                                                    200, 0, 0, 255, 0, 200, 0, 255, 0, 0, 200, 128, 40, 80, 120, 128}}
                                 : RgbaImage{2, 1, {100, 100, 0, 255, 20, 40, 160, 128}};
    if (opaque)
        for (std::size_t i = 3; i < image.pixels.size(); i += 4)
            image.pixels[i] = 255;
    return image;
}

struct FormatCase {
    TxdFormat format;
    std::uint32_t rasterFormat; // with the mip bit of a 3-level texture
    std::uint8_t depth;
    std::uint8_t compression;
    std::size_t paletteBytes;
    std::uint16_t hasAlpha; // for a picture with some alpha below 255
};

const FormatCase FormatCases[] = {
    {TxdFormat::Pal4_8888, 0xC500, 8, 0, 128, 1},  {TxdFormat::Pal4_888, 0xC600, 8, 0, 128, 0},
    {TxdFormat::Pal8_8888, 0xA500, 8, 0, 1024, 1}, {TxdFormat::Pal8_888, 0xA600, 8, 0, 1024, 0},
    {TxdFormat::Rgba32, 0x8500, 32, 0, 0, 1},      {TxdFormat::Dxt1, 0x8200, 16, 1, 0, 0},
    {TxdFormat::Dxt1Alpha, 0x8100, 16, 1, 0, 1},   {TxdFormat::Dxt3, 0x8300, 16, 3, 0, 1},
    {TxdFormat::Dxt5, 0x8300, 16, 5, 0, 1},
};

class TxdFormatRoundTrip : public testing::TestWithParam<FormatCase> {};

TEST_P(TxdFormatRoundTrip, FieldsAndEveryLevelReadBack)
{
    const FormatCase& c = GetParam();
    const RgbaImage picture = blockImage(8, 4, BlockColours);
    const Bytes file = writeTxd({encodeTexture("plain", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 2, 3, 255}), 1),
                                 encodeTexture("wall_Brick", "wall_mask", c.format, picture, 3)},
                                ViceCityStamp);
    const TxdDecodeResult result = decodeTxd(file);
    ASSERT_EQ(result.Error, "");
    ASSERT_EQ(result.Textures.size(), 2u);
    EXPECT_FALSE(result.Console);

    const TTexture& t = result.Textures[1].Texture;
    EXPECT_EQ(t.Name, "wall_Brick");
    EXPECT_EQ(t.MaskName, "wall_mask");
    EXPECT_EQ(t.Width, 8);
    EXPECT_EQ(t.Height, 4);
    EXPECT_EQ(t.Levels, 3);
    EXPECT_EQ(t.Depth, c.depth);
    EXPECT_EQ(t.Compression, c.compression);
    EXPECT_EQ(t.RasterFormat, c.rasterFormat);
    EXPECT_EQ(t.HasAlpha, c.hasAlpha);
    EXPECT_EQ(t.RasterType, 4);

    const auto& levels = result.Textures[1].Levels;
    ASSERT_EQ(levels.size(), 3u);
    const int sizes[3][2] = {{8, 4}, {4, 2}, {2, 1}};
    for (int l = 0; l < 3; ++l) {
        SCOPED_TRACE("level " + std::to_string(l));
        const TxdLevel& level = levels[static_cast<std::size_t>(l)];
        EXPECT_EQ(level.Width, sizes[l][0]);
        EXPECT_EQ(level.Height, sizes[l][1]);
        EXPECT_EQ(level.Palette.size(), c.paletteBytes);
        if (c.compression != 0) {
            const std::size_t blocks = std::size_t((level.Width + 3) / 4) * ((level.Height + 3) / 4);
            EXPECT_EQ(level.Data.size(), blocks * (c.compression == 1 ? 8 : 16));
            EXPECT_TRUE(levelRgba(t, level).empty());
        } else {
            const bool opaque = c.format == TxdFormat::Pal4_888 || c.format == TxdFormat::Pal8_888;
            EXPECT_EQ(levelRgba(t, level), expectedBlockLevel(l, opaque).pixels);
        }
    }
    EXPECT_EQ(t.DataSize, levels.back().Data.size());
    // The first texture is intact after a neighbour of any format.
    EXPECT_EQ(levelRgba(result.Textures[0].Texture, result.Textures[0].Levels[0]),
              solidImage(2, 2, {1, 2, 3, 255}).pixels);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, TxdFormatRoundTrip, testing::ValuesIn(FormatCases));

// Colour of pixel `index` of a DXT1-style colour block (texel order row by row).
std::vector<int> dxtColour(const std::uint8_t* block, int index)
{
    const int c0 = block[0] | (block[1] << 8);
    const int c1 = block[2] | (block[3] << 8);
    const auto expand = [](int c) {
        return std::vector<int>{((c >> 11) & 31) * 255 / 31, ((c >> 5) & 63) * 255 / 63, (c & 31) * 255 / 31};
    };
    const std::vector<int> a = expand(c0);
    const std::vector<int> b = expand(c1);
    const int code = (block[4 + index / 4] >> (2 * (index % 4))) & 3;
    std::vector<int> out(3);
    for (int i = 0; i < 3; ++i) {
        if (code == 0)
            out[static_cast<std::size_t>(i)] = a[static_cast<std::size_t>(i)];
        else if (code == 1)
            out[static_cast<std::size_t>(i)] = b[static_cast<std::size_t>(i)];
        else if (c0 > c1)
            out[static_cast<std::size_t>(i)] = code == 2 ? (2 * a[static_cast<std::size_t>(i)] + b[static_cast<std::size_t>(i)]) / 3
                                                         : (a[static_cast<std::size_t>(i)] + 2 * b[static_cast<std::size_t>(i)]) / 3;
        else
            out[static_cast<std::size_t>(i)] = code == 2 ? (a[static_cast<std::size_t>(i)] + b[static_cast<std::size_t>(i)]) / 2 : 0;
    }
    return out;
}

TEST(TxdDxtEncoding, BlocksHoldThePicturesColoursInRedGreenBlueOrder)
{
    const TxdTextureData red = encodeTexture("r", "", TxdFormat::Dxt1, solidImage(4, 4, {255, 0, 0, 255}), 1);
    ASSERT_EQ(red.levels[0].data.size(), 8u);
    EXPECT_EQ(dxtColour(red.levels[0].data.data(), 5), (std::vector<int>{255, 0, 0}));

    // DXT3/5 blocks keep their colour half after 8 bytes of alpha.
    const TxdTextureData blue = encodeTexture("b", "", TxdFormat::Dxt5, solidImage(4, 4, {0, 0, 255, 255}), 1);
    ASSERT_EQ(blue.levels[0].data.size(), 16u);
    EXPECT_EQ(dxtColour(blue.levels[0].data.data() + 8, 0), (std::vector<int>{0, 0, 255}));

    // A transparent pixel: plain DXT1 draws it opaque, DXT1 with alpha as the transparent code.
    RgbaImage holed = solidImage(4, 4, {0, 255, 0, 255});
    holed.pixels[3] = 0;
    const TxdTextureData plain = encodeTexture("p", "", TxdFormat::Dxt1, holed, 1);
    const TxdTextureData cut = encodeTexture("c", "", TxdFormat::Dxt1Alpha, holed, 1);
    EXPECT_EQ(plain.hasAlpha, 0u);
    EXPECT_EQ(cut.hasAlpha, 1u);
    EXPECT_EQ(dxtColour(plain.levels[0].data.data(), 0), (std::vector<int>{0, 255, 0}));
    const std::uint8_t* block = cut.levels[0].data.data();
    EXPECT_LE(block[0] | (block[1] << 8), block[2] | (block[3] << 8)) << "three-colour mode";
    EXPECT_EQ(block[4] & 3, 3);
}

TEST(TxdPalettes, ManyColoursAreMappedToTheNearestOfTheMostFrequent)
{
    // 40 distinct greys in a PAL4 texture: 32 entries at most, every pixel close to its own.
    RgbaImage picture{40, 1, {}};
    for (int i = 0; i < 40; ++i)
        picture.pixels.insert(picture.pixels.end(),
                              {static_cast<std::uint8_t>(i * 6), static_cast<std::uint8_t>(i * 6), static_cast<std::uint8_t>(i * 6), 255});
    const TxdDecodeResult result =
        decodeTxd(writeTxd({encodeTexture("grey", "", TxdFormat::Pal4_8888, picture, 1)}, ViceCityStamp));
    ASSERT_EQ(result.Textures.size(), 1u);
    const Bytes rgba = levelRgba(result.Textures[0].Texture, result.Textures[0].Levels[0]);
    ASSERT_EQ(rgba.size(), picture.pixels.size());
    for (std::size_t i = 0; i < rgba.size(); ++i)
        EXPECT_NEAR(rgba[i], picture.pixels[i], 6) << "byte " << i;
    for (const std::uint8_t index : result.Textures[0].Levels[0].Data)
        EXPECT_LT(index, 32);
}

TEST(TxdPalettes, EntriesFollowTheRasterFormatAndIndexesPastThePaletteAreTransparent)
{
    EXPECT_EQ(txdPaletteEntries(0x4500, 8), 32u);
    EXPECT_EQ(txdPaletteEntries(0x2600, 8), 256u);
    EXPECT_EQ(txdPaletteEntries(0x0500, 8), 256u); // 8-bit without either bit: the full palette
    EXPECT_EQ(txdPaletteEntries(0x0500, 32), 0u);

    TTexture texture;
    texture.Depth = 8;
    texture.RasterFormat = 0x4500;
    const Bytes palette(128, 7);
    const Bytes indices{1, 40};
    TxdLevel level{2, 1, palette, indices};
    EXPECT_EQ(levelRgba(texture, level), (Bytes{7, 7, 7, 7, 0, 0, 0, 0}));
    texture.RasterFormat = 0x4600;
    EXPECT_EQ(levelRgba(texture, level), (Bytes{7, 7, 7, 255, 0, 0, 0, 0}));
    level.Data = level.Data.first(1); // fewer indices than pixels: nothing to draw
    EXPECT_TRUE(levelRgba(texture, level).empty());
}

// A dictionary laid out byte by byte as the games store it: a paletted texture's palette
// comes once, right after the texture's fields; then each level is a u32 size and that many
// index bytes. Sizes are counted by hand, not taken from the project's writer.
using HandBytes = TxdHandBytes;
struct PalettedCase {
    const char* what;
    std::uint32_t rasterFormat;
    std::size_t entries;
    std::uint8_t levels;
};

TEST(TxdPalettes, MipLevelsShareThePaletteStoredOnceAfterTheFields)
{
    const PalettedCase cases[] = {
        {"PAL4 8888, 3 levels", 0xC500, 32, 3},
        {"PAL8 888, 2 levels", 0xA600, 256, 2},
        {"PAL8 8888, 1 level", 0x2500, 256, 1},
    };
    for (const PalettedCase& c : cases) {
        SCOPED_TRACE(c.what);
        // Texture 1: 4x2, levels 4x2, 2x1, 1x1 (8, 2, 1 index bytes). Texture 2: 1x1 32-bit.
        std::size_t levelBytes = 0;
        for (std::size_t l = 0; l < c.levels; ++l)
            levelBytes += 4 + (std::size_t{8} >> (2 * l) ? std::size_t{8} >> (2 * l) : 1);
        const std::uint32_t struct1 = static_cast<std::uint32_t>(88 + c.entries * 4 + levelBytes);
        const std::uint32_t native1 = 12 + struct1 + 12;
        const std::uint32_t struct2 = 88 + 4 + 4;
        const std::uint32_t native2 = 12 + struct2 + 12;
        HandBytes h;
        h.header(22, 12 + 4 + 12 + native1 + 12 + native2 + 12);
        h.header(1, 4);
        h.u16(2), h.u16(0);

        h.header(21, native1);
        h.header(1, struct1);
        h.u32(8), h.u32(0x1106);
        h.name("pal"), h.name("palm");
        h.u32(c.rasterFormat), h.u32(1);
        h.u16(4), h.u16(2), h.u8(8), h.u8(c.levels), h.u8(4), h.u8(0);
        for (std::size_t e = 0; e < c.entries; ++e) // entry e: red e, green 100, blue 200, alpha 50
            h.u8(static_cast<std::uint8_t>(e)), h.u8(100), h.u8(200), h.u8(50);
        for (std::uint8_t l = 0; l < c.levels; ++l) {
            const std::uint32_t pixels = l == 0 ? 8 : l == 1 ? 2 : 1;
            h.u32(pixels);
            for (std::uint32_t p = 0; p < pixels; ++p)
                h.u8(static_cast<std::uint8_t>(10 * l + p)); // level l, pixel p: index 10l + p
        }
        h.header(3, 0);

        h.header(21, native2);
        h.header(1, struct2);
        h.u32(8), h.u32(0x1106);
        h.name("after"), h.name("");
        h.u32(0x0500), h.u32(1);
        h.u16(1), h.u16(1), h.u8(32), h.u8(1), h.u8(4), h.u8(0);
        h.u32(4), h.u8(1), h.u8(2), h.u8(3), h.u8(4);
        h.header(3, 0);
        h.header(3, 0);

        const TxdDecodeResult result = decodeTxd(h.bytes);
        EXPECT_EQ(result.Error, "");
        ASSERT_EQ(result.Textures.size(), 2u);
        const TxdDecodedTexture& pal = result.Textures[0];
        ASSERT_EQ(pal.Levels.size(), c.levels);
        for (std::uint8_t l = 0; l < c.levels; ++l) {
            SCOPED_TRACE("level " + std::to_string(l));
            const TxdLevel& level = pal.Levels[l];
            ASSERT_EQ(level.Palette.size(), c.entries * 4);
            EXPECT_EQ(level.Palette[4 * 5], 5);
            EXPECT_EQ(level.Palette[4 * 5 + 2], 200);
            const std::size_t pixels = l == 0 ? 8 : l == 1 ? 2 : 1;
            ASSERT_EQ(level.Data.size(), pixels);
            EXPECT_EQ(level.Data.back(), 10 * l + pixels - 1);
            const Bytes rgba = levelRgba(pal.Texture, level);
            ASSERT_EQ(rgba.size(), pixels * 4);
            const bool alpha = (c.rasterFormat & 0x0F00) == 0x0500;
            EXPECT_EQ(rgba[0], 10 * l); // pixel 0's red is its index
            EXPECT_EQ(rgba[3], alpha ? 50 : 255);
        }
        EXPECT_EQ(result.Textures[1].Texture.Name, "after");
        EXPECT_EQ(levelRgba(result.Textures[1].Texture, result.Textures[1].Levels[0]), (Bytes{3, 2, 1, 4}));
    }
}

struct StampCase {
    std::uint32_t stamp;
    std::uint32_t version;
};

class TxdVersionStamps : public testing::TestWithParam<StampCase> {};

TEST_P(TxdVersionStamps, EveryStampReads)
{
    const Bytes file =
        writeTxd({encodeTexture("a", "", TxdFormat::Dxt1, solidImage(4, 4, {9, 9, 9, 255}), 1),
                  encodeTexture("b", "", TxdFormat::Pal8_888, solidImage(4, 4, {9, 9, 9, 255}), 2)},
                 GetParam().stamp);
    const TxdDecodeResult result = decodeTxd(file);
    EXPECT_EQ(result.Error, "");
    EXPECT_EQ(result.LibraryVersion, GetParam().version);
    ASSERT_EQ(result.Textures.size(), 2u);
    EXPECT_EQ(result.Textures[1].Texture.Name, "b");
    EXPECT_EQ(result.Textures[1].Levels.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(GameFiles, TxdVersionStamps,
                         testing::Values(StampCase{0x00000310, 0x31000}, StampCase{0x00000320, 0x32000},
                                         StampCase{0x0401FFFF, 0x31001}, StampCase{0x0800FFFF, 0x32000},
                                         StampCase{0x0C02FFFF, 0x33002}, StampCase{0x1003FFFF, 0x34003}));

// Three 2x2 32-bit textures; the second carries `extra` bytes after its level data, which
// the level size does not count.
Bytes threeTextures(std::size_t extra)
{
    std::vector<TxdTextureData> textures;
    for (int i = 0; i < 3; ++i)
        textures.push_back(encodeTexture("t" + std::to_string(i), "", TxdFormat::Rgba32,
                                         solidImage(2, 2, {static_cast<std::uint8_t>(10 * i), 1, 2, 255}), 1));
    textures[1].levels[0].data.resize(16 + extra, 0xEE);
    return writeTxd(textures, ViceCityStamp);
}

void expectThreeTextures(const TxdDecodeResult& result)
{
    EXPECT_EQ(result.Error, "");
    ASSERT_EQ(result.Textures.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const TxdDecodedTexture& t = result.Textures[static_cast<std::size_t>(i)];
        EXPECT_EQ(t.Texture.Name, "t" + std::to_string(i));
        EXPECT_EQ(levelRgba(t.Texture, t.Levels[0]), solidImage(2, 2, {static_cast<std::uint8_t>(10 * i), 1, 2, 255}).pixels);
    }
}

TEST(TxdWalk, MisplacedExtensionIsFoundTwoBytesEitherSideWhenTheChunkSizeIsWrong)
{
    // Level data ending 2 bytes before the extension header: 18 bytes stored, 16 declared.
    Bytes before = threeTextures(2);
    std::size_t second = texturePositions(before)[1];
    putU32(before, second + 112, 16);
    putU32(before, second + 4, 0xFFFFFF00u);
    expectThreeTextures(decodeTxd(before));

    // Level data ending 2 bytes after it: 16 bytes stored, 18 declared.
    Bytes after = threeTextures(0);
    second = texturePositions(after)[1];
    putU32(after, second + 112, 18);
    putU32(after, second + 4, 0xFFFFFF00u);
    const TxdDecodeResult result = decodeTxd(after);
    expectThreeTextures(result);
    EXPECT_EQ(result.Textures[1].Levels[0].Data.size(), 18u);
}

TEST(TxdWalk, ChunkSizesAreFollowedBeforeTheFixedLayout)
{
    // Content in the first texture's extension: the fixed layout would take it for the
    // second texture's header.
    Bytes file = threeTextures(0);
    const std::size_t first = texturePositions(file)[0];
    const std::size_t extension = first + 12 + getU32(file, first + 4) - 12;
    ASSERT_EQ(getU32(file, extension), RwChunkType::Extension);
    const Bytes plugin(16, 0xAA);
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(extension + 12), plugin.begin(), plugin.end());
    putU32(file, extension + 4, 16);
    putU32(file, first + 4, getU32(file, first + 4) + 16);
    putU32(file, 4, getU32(file, 4) + 16);
    expectThreeTextures(decodeTxd(file));
}

TEST(TxdWalk, ConsoleAndEmptyDictionaries)
{
    TxdTextureData console = encodeTexture("ps2", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 1, 1, 1}), 1);
    console.platform = 0x00325350;
    const TxdDecodeResult consoleResult = decodeTxd(writeTxd({console}, 0x0C02FFFF));
    EXPECT_TRUE(consoleResult.Console);
    EXPECT_TRUE(consoleResult.Textures.empty());
    EXPECT_EQ(consoleResult.Error, "");

    const TxdDecodeResult empty = decodeTxd(writeTxd({}, ViceCityStamp));
    EXPECT_FALSE(empty.Console);
    EXPECT_TRUE(empty.Textures.empty());
    EXPECT_EQ(empty.Error, "");

    const Bytes notADictionary = {16, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x03, 0x10};
    EXPECT_EQ(decodeTxd(notADictionary).Error, "not a texture dictionary: the first chunk has type 16");
}

// Records what a dictionary hands over and gives back.
class RecordingUploader : public TextureUploader {
public:
    std::vector<std::uint32_t> upload(const std::vector<TxdDecodedTexture>& textures) override
    {
        std::vector<std::uint32_t> ids;
        for (std::size_t i = 0; i < textures.size(); ++i)
            ids.push_back(next++);
        uploadedNames.clear();
        for (const auto& t : textures)
            uploadedNames.push_back(t.Texture.Name);
        return ids;
    }
    void release(const std::vector<std::uint32_t>& ids) override { released.insert(released.end(), ids.begin(), ids.end()); }

    std::uint32_t next = 100;
    std::vector<std::string> uploadedNames;
    std::vector<std::uint32_t> released;
};

class TxdDictionary : public testing::Test {
protected:
    TxdDictionary()
        : source(writeTxd({encodeTexture("  Road01 ", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 1, 1, 255}), 1),
                           encodeTexture("lamp", "lampMASK", TxdFormat::Dxt1, solidImage(4, 4, {1, 1, 1, 255}), 1),
                           encodeTexture("ROAD01", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 1, 1, 255}), 1),
                           encodeTexture("Alpha", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 1, 1, 255}), 1)},
                          ViceCityStamp))
    {
    }
    MemoryByteSource source;
};

TEST_F(TxdDictionary, LookupsIgnoreCaseAndSurroundingBlanks)
{
    TGTATxd txd(&source, static_cast<std::int64_t>(source.bytes().size()), 0, "roads.txd", nullptr);
    EXPECT_EQ(txd.Name, "roads");
    EXPECT_FALSE(txd.Loaded);
    EXPECT_EQ(txd.FindTexture("lamp"), -1);
    txd.Load();
    EXPECT_TRUE(txd.Loaded);
    EXPECT_EQ(txd.LoadError, "");
    EXPECT_EQ(txd.TextureCount, 4);
    EXPECT_EQ(txd.Textures[0].Name, "Road01");
    EXPECT_EQ(txd.TextureIds, (std::vector<std::uint32_t>{0, 0, 0, 0}));

    EXPECT_EQ(txd.FindTexture("road01"), 0) << "the first of two equal names";
    EXPECT_EQ(txd.FindTexture(" ROAD01\t"), 0);
    EXPECT_EQ(txd.FindTexture("LAMP"), 1);
    EXPECT_EQ(txd.FindTexture("alpha"), 3);
    EXPECT_EQ(txd.FindTexture("alph"), -1);
    EXPECT_EQ(txd.FindTexture("alphas"), -1);
    EXPECT_EQ(txd.FindTexture(""), -1);
    EXPECT_EQ(txd.FindMask("LampMask"), 1);
    EXPECT_EQ(txd.FindMask("lamp"), -1);
    EXPECT_EQ(txd.FindMask(""), -1) << "textures without a mask are not found by an empty one";
}

TEST_F(TxdDictionary, UploadsOnLoadAndReleasesOnUnloadAndDestruction)
{
    RecordingUploader uploader;
    {
        TGTATxd txd(&source, static_cast<std::int64_t>(source.bytes().size()), 0, "roads", &uploader);
        txd.Load();
        const std::vector<TTexture> firstLoad = txd.Textures;
        EXPECT_EQ(uploader.uploadedNames, (std::vector<std::string>{"Road01", "lamp", "ROAD01", "Alpha"}));
        EXPECT_EQ(txd.TextureIds, (std::vector<std::uint32_t>{100, 101, 102, 103}));
        EXPECT_EQ(txd.TextureIds[static_cast<std::size_t>(txd.FindTexture("lamp"))], 101u);

        txd.Unload();
        EXPECT_EQ(uploader.released, (std::vector<std::uint32_t>{100, 101, 102, 103}));
        EXPECT_FALSE(txd.Loaded);
        EXPECT_EQ(txd.TextureCount, 0);
        EXPECT_TRUE(txd.Textures.empty());
        EXPECT_EQ(txd.FindTexture("lamp"), -1);

        EXPECT_EQ(txd.FindMask("lampmask"), -1);

        // Loaded again, the records and both name lists are whole again.
        txd.Load();
        EXPECT_EQ(txd.Textures, firstLoad);
        EXPECT_EQ(txd.FindTexture("lamp"), 1);
        EXPECT_EQ(txd.FindTexture("alpha"), 3);
        EXPECT_EQ(txd.FindMask("lampmask"), 1);
        TGTATxd moved(std::move(txd));
        EXPECT_TRUE(moved.Loaded);
        EXPECT_FALSE(txd.Loaded);
    }
    // The second load's objects went once, with the dictionary that held them.
    EXPECT_EQ(uploader.released, (std::vector<std::uint32_t>{100, 101, 102, 103, 104, 105, 106, 107}));
}

TEST_F(TxdDictionary, ShortReadsAndEmptyDictionariesLoadWhatIsThere)
{
    std::vector<std::string> logged;
    const TextSink previous = setLogSink([&](std::string_view line) { logged.emplace_back(line); });

    // The entry claims more bytes than the source has: everything present still loads.
    TGTATxd longer(&source, static_cast<std::int64_t>(source.bytes().size()) + 100, 0, "roads", nullptr);
    longer.Load();
    EXPECT_EQ(longer.TextureCount, 4);
    EXPECT_EQ(longer.LoadError, "only " + std::to_string(source.bytes().size()) + " of " +
                                    std::to_string(source.bytes().size() + 100) + " bytes could be read");

    // Cut inside the third texture: two textures and a report naming the dictionary.
    TGTATxd cut(&source, 400, 0, "cut.txd", nullptr);
    cut.Load();
    EXPECT_TRUE(cut.Loaded);
    EXPECT_EQ(cut.TextureCount, 2);
    EXPECT_EQ(cut.FindTexture("lamp"), 1);
    EXPECT_EQ(cut.FindTexture("alpha"), -1);
    EXPECT_NE(cut.LoadError, "");

    MemoryByteSource emptySource(writeTxd({}, 0x00000310));
    TGTATxd empty(&emptySource, static_cast<std::int64_t>(emptySource.bytes().size()), 0, "empty", nullptr);
    empty.Load();
    EXPECT_TRUE(empty.Loaded);
    EXPECT_EQ(empty.TextureCount, 0);
    EXPECT_EQ(empty.LoadError, "");

    setLogSink(previous);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].rfind("texture dictionary roads: only ", 0), 0u) << logged[0];
    EXPECT_EQ(logged[1].rfind("texture dictionary cut: ", 0), 0u) << logged[1];
}

} // namespace
