#include "TxdDecoder.h"
#include "TxdPixelFormat.h"
#include "TxdPixels.h"
#include "TxdRgba.h"
#include "TxdTestData.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Texture formats as real dictionaries declare them: DXT textures whose depth and raster
// format say something else (the compression byte decides), and Direct3D 9 dictionaries
// (platform 9), whose textures carry a Direct3D format code and a flags byte. Every
// dictionary here is laid out by hand from the format's description, and every pixel is
// checked against a decode written here from the same description.

namespace {

using Bytes = std::vector<std::uint8_t>;
using Rgba = std::array<std::uint8_t, 4>;

using HandTexture = TxdHandTexture;

// --- A decode written from the S3TC description --------------------------------------
// A colour block: two little-endian 565 colours, then 16 2-bit indices, row by row, the
// first pixel in the lowest bits. With colour 0 greater than colour 1 there are four
// colours (thirds between them); otherwise three (the halfway colour) and transparent black.
// An alpha block (DXT5): two alphas, then 16 3-bit indices in 6 bytes; with alpha 0 greater
// than alpha 1, eight alphas (sevenths between them), otherwise six (fifths), 0 and 255.
// DXT3 alpha: 16 4-bit alphas. The test colours are chosen so that no rounding question
// arises: every component is 0 or full, and the alphas divide evenly.

Rgba expand565(std::uint16_t c)
{
    const auto full = [](unsigned v, unsigned max) { return static_cast<std::uint8_t>(v * 255 / max); };
    return {full((c >> 11) & 31, 31), full((c >> 5) & 63, 63), full(c & 31, 31), 255};
}

std::vector<Rgba> referenceColourBlock(const std::uint8_t* b, bool fourAlways, bool alphaFlag)
{
    const std::uint16_t c0 = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    const std::uint16_t c1 = static_cast<std::uint16_t>(b[2] | (b[3] << 8));
    const Rgba a = expand565(c0), z = expand565(c1);
    std::array<Rgba, 4> colours{a, z, {}, {}};
    for (int k = 0; k < 3; ++k) {
        if (fourAlways || c0 > c1) {
            colours[2][k] = static_cast<std::uint8_t>((2 * a[k] + z[k]) / 3);
            colours[3][k] = static_cast<std::uint8_t>((a[k] + 2 * z[k]) / 3);
        } else {
            colours[2][k] = static_cast<std::uint8_t>((a[k] + z[k]) / 2);
        }
    }
    colours[2][3] = 255;
    colours[3][3] = (fourAlways || c0 > c1) ? 255 : (alphaFlag ? 0 : 255);
    std::vector<Rgba> pixels;
    const std::uint32_t bits = b[4] | (b[5] << 8) | (b[6] << 16) | (static_cast<std::uint32_t>(b[7]) << 24);
    for (int p = 0; p < 16; ++p)
        pixels.push_back(colours[(bits >> (2 * p)) & 3]);
    return pixels;
}

std::vector<std::uint8_t> referenceAlphaBlock(const std::uint8_t* b)
{
    const unsigned a0 = b[0], a1 = b[1];
    std::array<std::uint8_t, 8> alphas{static_cast<std::uint8_t>(a0), static_cast<std::uint8_t>(a1)};
    for (unsigned i = 2; i < 8; ++i) {
        if (a0 > a1)
            alphas[i] = static_cast<std::uint8_t>(((8 - i) * a0 + (i - 1) * a1) / 7);
        else if (i < 6)
            alphas[i] = static_cast<std::uint8_t>(((6 - i) * a0 + (i - 1) * a1) / 5);
        else
            alphas[i] = i == 6 ? 0 : 255;
    }
    std::uint64_t bits = 0;
    for (int k = 0; k < 6; ++k)
        bits |= std::uint64_t{b[2 + k]} << (8 * k);
    std::vector<std::uint8_t> out;
    for (int p = 0; p < 16; ++p)
        out.push_back(alphas[(bits >> (3 * p)) & 7]);
    return out;
}

// A whole level of DXT blocks (number 1, 3 or 5), as rows of RGBA bytes from the top.
Bytes referenceDxt(const Bytes& blocks, int number, int width, int height, bool alphaFlag)
{
    Bytes rgba(static_cast<std::size_t>(width * height * 4));
    const std::size_t blockBytes = number == 1 ? 8 : 16;
    const int across = (width + 3) / 4;
    for (int by = 0; by < (height + 3) / 4; ++by)
        for (int bx = 0; bx < across; ++bx) {
            const std::uint8_t* block = &blocks[static_cast<std::size_t>(by * across + bx) * blockBytes];
            const std::uint8_t* colour = number == 1 ? block : block + 8;
            std::vector<Rgba> pixels = referenceColourBlock(colour, number != 1, alphaFlag);
            if (number == 5) {
                const std::vector<std::uint8_t> alphas = referenceAlphaBlock(block);
                for (int p = 0; p < 16; ++p)
                    pixels[p][3] = alphas[p];
            } else if (number == 3) {
                for (int p = 0; p < 16; ++p)
                    pixels[p][3] = static_cast<std::uint8_t>(((block[p / 2] >> (4 * (p % 2))) & 15) * 17);
            }
            for (int p = 0; p < 16; ++p) {
                const int x = bx * 4 + p % 4, y = by * 4 + p / 4;
                if (x < width && y < height)
                    std::copy(pixels[p].begin(), pixels[p].end(), &rgba[static_cast<std::size_t>((y * width + x) * 4)]);
            }
        }
    return rgba;
}

// Colour blocks with the indices 0, 1, 2, 3 repeated over the 16 pixels (0xE4 = 3,2,1,0).
Bytes colourBlock(std::uint16_t c0, std::uint16_t c1)
{
    return {static_cast<std::uint8_t>(c0), static_cast<std::uint8_t>(c0 >> 8), static_cast<std::uint8_t>(c1),
            static_cast<std::uint8_t>(c1 >> 8), 0xE4, 0xE4, 0xE4, 0xE4};
}

// An alpha block whose pixel p takes index p % 8.
Bytes alphaBlock(std::uint8_t a0, std::uint8_t a1)
{
    Bytes block{a0, a1};
    std::uint64_t bits = 0;
    for (int p = 0; p < 16; ++p)
        bits |= std::uint64_t(p % 8) << (3 * p);
    for (int k = 0; k < 6; ++k)
        block.push_back(static_cast<std::uint8_t>(bits >> (8 * k)));
    return block;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

constexpr std::uint16_t Red = 0xF800, Blue = 0x001F, Black = 0x0000, White = 0xFFFF;

// 8x4: a four-colour block (red over blue), then a three-colour one (black under white).
const Bytes Dxt1Blocks = join({colourBlock(Red, Blue), colourBlock(Black, White)});
// 8x4: alphas 210..0 in eighths, then 0..200 in sixths; colours as DXT1's first block.
const Bytes Dxt5Blocks =
    join({alphaBlock(210, 0), colourBlock(Red, Blue), alphaBlock(0, 200), colourBlock(Blue, Red)});
const Bytes Argb8888{10, 20, 30, 40, 50, 60, 70, 80}; // 2x1: blue, green, red, alpha each

constexpr std::uint32_t Raster888 = 0x0600, Raster8888 = 0x0500, Raster565 = 0x0200, Raster1555 = 0x0100;

TxdDecodeResult decodeChecked(const Bytes& bytes)
{
    TxdDecodeResult result = decodeTxd(bytes);
    EXPECT_EQ(result.Error, "");
    return result;
}

// Every level of every texture, decoded, is exactly what the reference decode gives.
void expectPixels(const TxdDecodedTexture& texture, const Bytes& expected)
{
    ASSERT_FALSE(texture.Levels.empty()) << texture.Texture.Name;
    const RgbaPicture picture = txdTextureToRgba(texture);
    EXPECT_EQ(picture.Pixels, expected) << texture.Texture.Name;
}

TEST(TxdDeclaredDepth, TheCompressionByteDecidesWhateverTheDepthAndRasterFormatSay)
{
    const struct {
        const char* name;
        std::uint32_t raster;
        std::uint8_t depth;
        std::uint8_t compression;
        std::uint32_t alpha;
        const Bytes& blocks;
    } cases[] = {
        {"dxt1_depth32_888", Raster888, 32, 1, 0, Dxt1Blocks},
        {"dxt1_depth32_8888_alpha", Raster8888, 32, 1, 1, Dxt1Blocks},
        {"dxt1_depth4", Raster565, 4, 1, 1, Dxt1Blocks},
        {"dxt1_depth16", Raster565, 16, 1, 0, Dxt1Blocks},
        {"dxt5_depth32_8888", Raster8888, 32, 5, 1, Dxt5Blocks},
        {"dxt5_depth32_888", Raster888 | 0x8000, 32, 5, 1, Dxt5Blocks},
    };
    std::vector<HandTexture> textures;
    for (const auto& c : cases)
        textures.push_back({c.name, 8, c.raster, c.alpha, 8, 4, c.depth, c.compression, {}, {c.blocks}});
    // A 32-bit texture after them shows that the walk kept its place.
    textures.push_back({"after", 8, Raster8888, 1, 2, 1, 32, 0, {}, {Argb8888}});
    const TxdDecodeResult result = decodeChecked(handTxd(textures));
    ASSERT_EQ(result.Textures.size(), std::size(cases) + 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const TxdDecodedTexture& t = result.Textures[i];
        SCOPED_TRACE(t.Texture.Name);
        EXPECT_EQ(t.Texture.Name, cases[i].name);
        EXPECT_EQ(t.Texture.Depth, cases[i].depth); // shown as stored
        EXPECT_EQ(txdPixelFormat(t.Texture), cases[i].compression == 1 ? TxdPixelFormat::Dxt1 : TxdPixelFormat::Dxt5);
        EXPECT_TRUE(t.Levels[0].Palette.empty());
        EXPECT_EQ(t.Levels[0].Data.size(), cases[i].blocks.size());
        expectPixels(t, referenceDxt(cases[i].blocks, cases[i].compression, 8, 4, cases[i].alpha != 0));
        // Drawing takes DXT textures as blocks: no path turns them into other pixels.
        EXPECT_TRUE(levelRgba(t.Texture, t.Levels[0]).empty());
    }
    expectPixels(result.Textures.back(), {30, 20, 10, 40, 70, 60, 50, 80});
}

// Platform 9: DXT1, DXT5 and A8R8G8B8 by their format codes, flags for alpha and
// compression, and a second dictionary with the other formats named by code.
TEST(TxdDirect3D9, TexturesAreReadByTheirFormatCode)
{
    const std::vector<HandTexture> textures = {
        {"d9dxt1", 9, 0x0200, D3DFormat::Dxt1, 8, 4, 16, D3DFlags::Compressed, {}, {Dxt1Blocks}},
        {"d9dxt1a", 9, 0x0100, D3DFormat::Dxt1, 8, 4, 16, D3DFlags::Compressed | D3DFlags::Alpha, {}, {Dxt1Blocks}},
        {"d9dxt5", 9, 0x0300, D3DFormat::Dxt5, 8, 4, 16, D3DFlags::Compressed | D3DFlags::Alpha, {}, {Dxt5Blocks}},
        {"d9argb", 9, Raster8888 | 0x8000, D3DFormat::A8R8G8B8, 2, 1, 32, D3DFlags::Alpha, {},
         {Argb8888, {1, 2, 3, 4}}},
    };
    const TxdDecodeResult result = decodeChecked(handTxd(textures));
    ASSERT_EQ(result.Textures.size(), 4u);
    const TTexture& dxt1 = result.Textures[0].Texture;
    EXPECT_EQ(dxt1.Platform, 9u);
    EXPECT_EQ(dxt1.D3DFormat, D3DFormat::Dxt1);
    EXPECT_EQ(dxt1.HasAlpha, 0);
    EXPECT_EQ(dxt1.Compression, 1); // shown by the viewer as DXT1
    EXPECT_EQ(result.Textures[1].Texture.HasAlpha, 1);
    EXPECT_EQ(result.Textures[2].Texture.Compression, 5);
    expectPixels(result.Textures[0], referenceDxt(Dxt1Blocks, 1, 8, 4, false));
    expectPixels(result.Textures[1], referenceDxt(Dxt1Blocks, 1, 8, 4, true));
    expectPixels(result.Textures[2], referenceDxt(Dxt5Blocks, 5, 8, 4, true));
    const TxdDecodedTexture& argb = result.Textures[3];
    ASSERT_EQ(argb.Levels.size(), 2u);
    expectPixels(argb, {30, 20, 10, 40, 70, 60, 50, 80});
    EXPECT_EQ(levelRgba(argb.Texture, argb.Levels[1]), (Bytes{3, 2, 1, 4}));

    // 2x1 levels of the other formats; pixel values worked out by hand.
    const Bytes palette = [] {
        Bytes p(256 * 4, 0);
        p[4 * 7] = 11, p[4 * 7 + 1] = 22, p[4 * 7 + 2] = 33, p[4 * 7 + 3] = 44;
        return p;
    }();
    const struct {
        HandTexture texture;
        Bytes rgba;
    } others[] = {
        {{"x8r8g8b8", 9, Raster888, D3DFormat::X8R8G8B8, 2, 1, 32, 0, {}, {{1, 2, 3, 9, 4, 5, 6, 0}}},
         {3, 2, 1, 255, 6, 5, 4, 255}},
        {{"r5g6b5", 9, Raster565, D3DFormat::R5G6B5, 2, 1, 16, 0, {}, {{0x00, 0xF8, 0xE0, 0x07}}},
         {255, 0, 0, 255, 0, 255, 0, 255}},
        {{"a1r5g5b5", 9, Raster1555, D3DFormat::A1R5G5B5, 2, 1, 16, D3DFlags::Alpha, {}, {{0x1F, 0x80, 0x1F, 0x00}}},
         {0, 0, 255, 255, 0, 0, 255, 0}},
        {{"a4r4g4b4", 9, 0x0300, D3DFormat::A4R4G4B4, 2, 1, 16, D3DFlags::Alpha, {}, {{0xF0, 0x8F, 0x0F, 0x00}}},
         {255, 255, 0, 136, 0, 0, 255, 0}},
        {{"l8", 9, 0, D3DFormat::L8, 2, 1, 8, 0, {}, {{0, 200}}}, {0, 0, 0, 255, 200, 200, 200, 255}},
        {{"a8l8", 9, 0, D3DFormat::A8L8, 2, 1, 16, D3DFlags::Alpha, {}, {{90, 10, 250, 255}}},
         {90, 90, 90, 10, 250, 250, 250, 255}},
        {{"p8", 9, 0x2500, D3DFormat::P8, 2, 1, 8, D3DFlags::Alpha, palette, {{7, 0}}}, {11, 22, 33, 44, 0, 0, 0, 0}},
    };
    std::vector<HandTexture> second;
    for (const auto& o : others)
        second.push_back(o.texture);
    const TxdDecodeResult formats = decodeChecked(handTxd(second));
    ASSERT_EQ(formats.Textures.size(), std::size(others));
    for (std::size_t i = 0; i < std::size(others); ++i) {
        SCOPED_TRACE(others[i].texture.name);
        expectPixels(formats.Textures[i], others[i].rgba);
        EXPECT_EQ(levelRgba(formats.Textures[i].Texture, formats.Textures[i].Levels[0]), others[i].rgba);
    }
}

// A cube map holds six faces of its level count; the texture after it is still found.
TEST(TxdDirect3D9, CubeMapsHoldSixFaces)
{
    std::vector<Bytes> faces;
    for (std::uint8_t f = 0; f < 6; ++f)
        faces.push_back({f, 0, 0, 255});
    const TxdDecodeResult result = decodeChecked(handTxd({
        {"sky", 9, Raster8888, D3DFormat::A8R8G8B8, 1, 1, 32, D3DFlags::CubeMap, {}, faces, 1},
        {"after", 9, Raster8888, D3DFormat::A8R8G8B8, 2, 1, 32, 0, {}, {Argb8888}},
    }));
    ASSERT_EQ(result.Textures.size(), 2u);
    ASSERT_EQ(result.Textures[0].Levels.size(), 6u);
    EXPECT_EQ(result.Textures[0].Levels[5].Data[0], 5);
    expectPixels(result.Textures[0], {0, 0, 0, 255});
    expectPixels(result.Textures[1], {30, 20, 10, 40, 70, 60, 50, 80});
}

// Cut at every byte: never a crash, always a report, and only whole textures kept, each
// with the pixels of the whole file.
TEST(TxdDirect3D9, EveryCutIsReportedAndKeepsOnlyWholeTextures)
{
    const Bytes whole = handTxd({
        {"d9dxt1", 9, 0x0200, D3DFormat::Dxt1, 8, 4, 16, D3DFlags::Compressed, {}, {Dxt1Blocks}},
        {"d9dxt5", 9, 0x0300, D3DFormat::Dxt5, 8, 4, 16, D3DFlags::Compressed | D3DFlags::Alpha, {}, {Dxt5Blocks}},
        {"d9argb", 9, Raster8888, D3DFormat::A8R8G8B8, 2, 1, 32, D3DFlags::Alpha, {}, {Argb8888}},
    });
    const TxdDecodeResult full = decodeChecked(whole);
    ASSERT_EQ(full.Textures.size(), 3u);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        const TxdDecodeResult result = decodeTxd(cut);
        EXPECT_NE(result.Error, "") << "cut at " << length;
        ASSERT_LE(result.Textures.size(), 3u);
        for (std::size_t i = 0; i < result.Textures.size(); ++i) {
            EXPECT_EQ(result.Textures[i].Texture, full.Textures[i].Texture) << "cut at " << length;
            const RgbaPicture picture = txdTextureToRgba(result.Textures[i]);
            // A texture cut inside its last level is kept with a report, but draws nothing.
            if (!picture.Pixels.empty()) {
                EXPECT_EQ(picture.Pixels, txdTextureToRgba(full.Textures[i]).Pixels) << "cut at " << length;
            }
        }
    }
}

// Levels and palette of a texture are held in one block: read in place they view the
// dictionary's bytes; copied, they view a block of the texture's own that outlives both the
// dictionary's bytes and the texture it was copied from.
TEST(TxdLevelStorage, LevelsViewOneBlockThatCopiesOwn)
{
    auto bytes = std::make_unique<Bytes>(handTxd({
        {"pal", 8, 0x2500 | 0x8000, 1, 2, 2, 8, 0, Bytes(1024, 9), {{1, 2, 3, 4}, {5}}},
        {"argb", 9, Raster8888, D3DFormat::A8R8G8B8, 2, 1, 32, D3DFlags::Alpha, {}, {Argb8888}},
    }));
    const auto inside = [&](std::span<const std::uint8_t> view) {
        return view.data() >= bytes->data() && view.data() + view.size() <= bytes->data() + bytes->size();
    };
    TxdDecodeResult inPlace = decodeTxd(*bytes, TxdLevelBytes::InPlace);
    ASSERT_EQ(inPlace.Textures.size(), 2u);
    for (const TxdDecodedTexture& t : inPlace.Textures)
        for (const TxdLevel& level : t.Levels)
            EXPECT_TRUE(inside(level.Data) && (level.Palette.empty() || inside(level.Palette)));

    TxdDecodeResult copied = decodeTxd(*bytes);
    const TxdDecodedTexture& pal = copied.Textures[0];
    ASSERT_EQ(pal.Levels.size(), 2u);
    EXPECT_FALSE(inside(pal.Levels[0].Data));
    // One block: the palette once, then each level's data.
    EXPECT_EQ(pal.Levels[0].Palette.data() + 1024, pal.Levels[0].Data.data());
    EXPECT_EQ(pal.Levels[0].Data.data() + 4, pal.Levels[1].Data.data());
    EXPECT_EQ(pal.Levels[1].Palette.data(), pal.Levels[0].Palette.data());

    // A texture whose levels view separate buffers of a caller's own is copied whole too.
    const Bytes ownPalette(128, 3), ownIndices{0, 31};
    TxdDecodedTexture pieces;
    pieces.Texture.Depth = 8;
    pieces.Texture.RasterFormat = 0x4500;
    pieces.Levels = {{2, 1, ownPalette, ownIndices}, {1, 1, ownPalette, std::span(ownIndices).first(1)}};
    const TxdDecodedTexture held(pieces);
    EXPECT_NE(held.Levels[0].Palette.data(), ownPalette.data());
    EXPECT_EQ(held.Levels[1].Palette.data(), held.Levels[0].Palette.data());
    EXPECT_EQ(levelRgba(held.Texture, held.Levels[0]), Bytes(8, 3));

    std::vector<TxdDecodedTexture> copies{inPlace.Textures[0], copied.Textures[1]};
    const TxdDecodedTexture assigned = [&] {
        TxdDecodedTexture t;
        t = inPlace.Textures[1];
        return t;
    }();
    bytes.reset();
    inPlace = {};
    copied = {};
    EXPECT_EQ(levelRgba(copies[0].Texture, copies[0].Levels[0]), Bytes(16, 9));
    EXPECT_EQ(std::vector<std::uint8_t>(copies[0].Levels[1].Data.begin(), copies[0].Levels[1].Data.end()), Bytes{5});
    EXPECT_EQ(levelRgba(copies[1].Texture, copies[1].Levels[0]), (Bytes{30, 20, 10, 40, 70, 60, 50, 80}));
    EXPECT_EQ(levelRgba(assigned.Texture, assigned.Levels[0]), (Bytes{30, 20, 10, 40, 70, 60, 50, 80}));
}

} // namespace
