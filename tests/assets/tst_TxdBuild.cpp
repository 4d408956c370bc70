#include "PngReader.h"
#include "TestFiles.h"
#include "TxdBuild.h"
#include "TxdChunkList.h"
#include "TxdDecoder.h"
#include "TxdRgba.h"
#include "TxdTestData.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes u32le(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

void append(Bytes& out, const Bytes& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

// Every pixel of a 4x4 picture different, alpha 255 except where asked.
RgbaImage gradient4x4(bool withAlpha)
{
    RgbaImage image{4, 4, {}};
    for (std::uint8_t i = 0; i < 16; ++i)
        image.pixels.insert(image.pixels.end(),
                            {static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 16), 7,
                             static_cast<std::uint8_t>(withAlpha && i % 2 ? 128 : 255)});
    return image;
}

// The bytes of one texture native chunk as the games' PC dictionaries lay it out, for a
// 4x4 picture with three levels (4x4, 2x2, 1x1): laid out from the format's description,
// not from the writer.
struct NativeLayout {
    const char* format;      // as the user names it
    bool alpha;              // the picture has alpha
    std::uint32_t raster;    // raster format word, mip-map bit included
    std::uint32_t hasAlpha;
    std::uint8_t depth;
    std::uint8_t compression;
    std::size_t paletteBytes;
    std::vector<std::size_t> levelSizes;
};

const NativeLayout Layouts[] = {
    {"dxt1", false, 0x8200, 0, 16, 1, 0, {8, 8, 8}},
    {"dxt1a", true, 0x8100, 1, 16, 1, 0, {8, 8, 8}},
    {"dxt3", true, 0x8300, 1, 16, 3, 0, {16, 16, 16}},
    {"8888", true, 0x8500, 1, 32, 0, 0, {64, 16, 4}},
    {"888", false, 0x8600, 0, 32, 0, 0, {64, 16, 4}},
    {"pal8", false, 0xA600, 0, 8, 0, 1024, {16, 4, 1}},
    {"pal8", true, 0xA500, 1, 8, 0, 1024, {16, 4, 1}},
    {"pal4", false, 0xC600, 0, 8, 0, 128, {16, 4, 1}},
    {"pal4", true, 0xC500, 1, 8, 0, 128, {16, 4, 1}},
};

TEST(TxdBuildLayout, EveryFormatIsLaidOutAsTheGamesRead)
{
    for (const NativeLayout& layout : Layouts) {
        SCOPED_TRACE(std::string(layout.format) + (layout.alpha ? " with alpha" : ""));
        TxdBuildOptions options;
        options.format = parseTxdFormatChoice(layout.format);
        options.mipmaps = true;
        const TexturePicture picture{"wall", "wallmask", gradient4x4(layout.alpha)};
        const Bytes native = writeTextureNative(buildTexture(picture, options), 0x0C02FFFF);

        std::size_t levelsBytes = layout.paletteBytes;
        for (const std::size_t size : layout.levelSizes)
            levelsBytes += 4 + size;
        const std::uint32_t structSize = 88 + static_cast<std::uint32_t>(levelsBytes);
        Bytes expected;
        append(expected, u32le(21));
        append(expected, u32le(12 + structSize + 12));
        append(expected, u32le(0x0C02FFFF));
        append(expected, u32le(1));
        append(expected, u32le(structSize));
        append(expected, u32le(0x0C02FFFF));
        append(expected, u32le(8));      // Direct3D 8 platform
        append(expected, u32le(0x1106)); // linear mip filtering, wrapped addressing
        Bytes names(64, 0);
        std::string("wall").copy(reinterpret_cast<char*>(names.data()), 4);
        std::string("wallmask").copy(reinterpret_cast<char*>(names.data()) + 32, 8);
        append(expected, names);
        append(expected, u32le(layout.raster));
        append(expected, u32le(layout.hasAlpha));
        append(expected, {4, 0, 4, 0, layout.depth, 3, 4, layout.compression});
        ASSERT_EQ(native.size(), expected.size() + levelsBytes + 12);
        EXPECT_EQ(Bytes(native.begin(), native.begin() + 112), expected);

        // Palette once, then each level's size and data; the texture's empty extension last.
        std::size_t at = 112 + layout.paletteBytes;
        for (const std::size_t size : layout.levelSizes) {
            EXPECT_EQ(getU32(native, at), size);
            at += 4 + size;
        }
        EXPECT_EQ(Bytes(native.begin() + static_cast<std::ptrdiff_t>(at), native.end()),
                  (Bytes{3, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x02, 0x0C}));

        const std::uint8_t* level0 = native.data() + 112 + layout.paletteBytes + 4;
        if (layout.depth == 32) { // blue, green, red, then alpha (888: an unused 255)
            EXPECT_EQ(Bytes(level0, level0 + 8), (Bytes{7, 255, 0, 255, 7, 239, 16, static_cast<std::uint8_t>(layout.alpha ? 128 : 255)}));
        }
        if (layout.paletteBytes != 0) { // palette entries red, green, blue, alpha; index of pixel 1 names pixel 1's colour
            const std::uint8_t* entry = native.data() + 112 + level0[1] * 4;
            EXPECT_EQ(Bytes(entry, entry + 3), (Bytes{16, 239, 7}));
            EXPECT_EQ(entry[3], layout.alpha ? 128 : 0); // 888 palettes carry no alpha
        }
    }
}

TEST(TxdBuildLayout, DefaultsFollowTheGameAndMipLevelsOnlyWhenAsked)
{
    const struct {
        TxdGame game;
        bool alpha;
        std::uint32_t raster;
    } cases[] = {
        {TxdGame::ViceCity, false, 0x0200}, // DXT1
        {TxdGame::ViceCity, true, 0x0300},  // DXT3
        {TxdGame::Gta3, false, 0x2600},     // PAL8, 888 palette
        {TxdGame::Gta3, true, 0x2500},      // PAL8, 8888 palette
    };
    for (const auto& c : cases) {
        TxdBuildOptions options;
        options.game = c.game;
        const TxdTextureData texture = buildTexture({"t", "", gradient4x4(c.alpha)}, options);
        EXPECT_EQ(texture.rasterFormat, c.raster);
        EXPECT_EQ(texture.levels.size(), 1u);
    }
    EXPECT_EQ(txdGameStamp(TxdGame::ViceCity), 0x0C02FFFFu);
    EXPECT_EQ(txdGameStamp(TxdGame::Gta3), 0x0800FFFFu);

    TxdBuildOptions mipmaps;
    mipmaps.mipmaps = true;
    EXPECT_EQ(buildTexture({"t", "", solidImage(256, 64, {1, 2, 3, 255})}, mipmaps).levels.size(), 9u);
}

// A PNG file laid out by hand: IHDR of the given colour type and depth, optional PLTE and
// tRNS, one IDAT of the filtered rows.
Bytes handPng(int width, int height, std::uint8_t depth, std::uint8_t colourType, const Bytes& rows, const Bytes& plte = {},
              const Bytes& trns = {})
{
    const auto be = [](std::uint32_t v) {
        return Bytes{static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                     static_cast<std::uint8_t>(v)};
    };
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto chunk = [&](const char* type, const Bytes& data) {
        append(png, be(static_cast<std::uint32_t>(data.size())));
        Bytes body(type, type + 4);
        append(body, data);
        append(png, body);
        append(png, be(static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())))));
    };
    Bytes header = be(static_cast<std::uint32_t>(width));
    append(header, be(static_cast<std::uint32_t>(height)));
    append(header, {depth, colourType, 0, 0, 0});
    chunk("IHDR", header);
    if (!plte.empty())
        chunk("PLTE", plte);
    if (!trns.empty())
        chunk("tRNS", trns);
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()));
    packed.resize(packedSize);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return png;
}

TEST(PngReading, EveryColourTypeAndDepthComesAsRgba)
{
    const struct {
        const char* what;
        Bytes png;
        Bytes rgba; // of the first row's two pixels
    } cases[] = {
        {"grey 1 bit", handPng(2, 1, 1, 0, {0, 0x40}), {0, 0, 0, 255, 255, 255, 255, 255}},
        {"grey 16 bit", handPng(2, 1, 16, 0, {0, 0x12, 0x34, 0xFF, 0xFF}), {0x12, 0x12, 0x12, 255, 255, 255, 255, 255}},
        {"grey and alpha", handPng(2, 1, 8, 4, {0, 10, 20, 30, 40}), {10, 10, 10, 20, 30, 30, 30, 40}},
        {"palette 2 bit with transparency", handPng(2, 1, 2, 3, {0, 0x10}, {1, 2, 3, 4, 5, 6}, {0}),
         {1, 2, 3, 0, 4, 5, 6, 255}},
        {"RGB 16 bit, Sub filter", handPng(2, 1, 16, 2, {1, 0x10, 0, 0x20, 0, 0x30, 0, 0x01, 0, 0x01, 0, 0x01, 0}),
         {0x10, 0x20, 0x30, 255, 0x11, 0x21, 0x31, 255}},
        {"RGBA 8 bit", handPng(2, 1, 8, 6, {0, 1, 2, 3, 4, 5, 6, 7, 8}), {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PngPicture picture = decodePng(c.png);
        ASSERT_EQ(picture.error, "");
        EXPECT_EQ(picture.image.width, 2);
        EXPECT_EQ(picture.image.pixels, c.rgba);
    }
    EXPECT_NE(decodePng(Bytes{0x89, 'P', 'N', 'G'}).error, "");
}

// A chunk before IEND that claims more bytes than the file holds is refused before the
// decoder sizes its buffer by the claim; bytes after IEND are not read as chunks.
TEST(PngReading, AChunkClaimingMoreThanTheFileHoldsIsRefused)
{
    const Bytes good = handPng(2, 1, 8, 6, {0, 1, 2, 3, 4, 5, 6, 7, 8});
    const Bytes iend(good.end() - 12, good.end());
    Bytes claiming(good.begin(), good.end() - 12);
    append(claiming, {0x40, 0, 0, 0, 'I', 'D', 'A', 'T', 0xAE, 0x42, 0x60, 0x82});
    EXPECT_EQ(decodePng(claiming).error, "not a readable PNG picture (a chunk reaches past the end of the file)");
    claiming.resize(good.size() - 12 + 8 + 4);
    append(claiming, iend);
    EXPECT_EQ(decodePng(claiming).error, "not a readable PNG picture (a chunk reaches past the end of the file)");
    // A header whole at the very end, without even its CRC.
    claiming.resize(good.size() - 12 + 8);
    EXPECT_EQ(decodePng(claiming).error, "not a readable PNG picture (a chunk reaches past the end of the file)");

    Bytes trailing = good;
    append(trailing, {0x7F, 0xFF, 0xFF, 0xFF, 'j', 'u', 'n', 'k'});
    const PngPicture picture = decodePng(trailing);
    EXPECT_EQ(picture.error, "");
    EXPECT_EQ(picture.image.pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (i % 4 == 3)
            continue;
        const double d = double(a[i]) - double(b[i]);
        sum += d * d;
        ++count;
    }
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / (sum / double(count)));
}

// Picture -> PNG -> dictionary -> decoded top level.
RgbaImage roundTrip(const RgbaImage& image, const char* format, TxdDxtFit fit = TxdDxtFit::Fast)
{
    TempDir dir;
    writePng(dir.file("pic.png"), image);
    TxdBuildOptions options;
    options.format = parseTxdFormatChoice(format);
    options.dxtFit = fit;
    std::vector<std::string> errors;
    const Bytes txd = writeTxd(buildTextures({dir.file("pic.png")}, options, errors), 0x0C02FFFF);
    EXPECT_TRUE(errors.empty());
    const TxdDecodeResult decoded = decodeTxd(txd);
    EXPECT_EQ(decoded.Error, "");
    if (decoded.Textures.size() != 1)
        return {};
    const RgbaPicture back = txdTextureToRgba(decoded.Textures[0]);
    return {back.Width, back.Height, back.Pixels};
}

// A smooth picture with fine noise, as photographs are, with a random alpha-free colour field.
RgbaImage photoLike(int size, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-6, 6);
    RgbaImage image{size, size, {}};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double fx = x / double(size), fy = y / double(size);
            const int r = int(128 + 100 * std::sin(6 * fx + 2 * fy)) + noise(random);
            const int g = int(128 + 90 * std::cos(5 * fy - 3 * fx)) + noise(random);
            const int b = int(100 + 80 * std::sin(4 * (fx + fy))) + noise(random);
            image.pixels.insert(image.pixels.end(), {static_cast<std::uint8_t>(std::clamp(r, 0, 255)),
                                                     static_cast<std::uint8_t>(std::clamp(g, 0, 255)),
                                                     static_cast<std::uint8_t>(std::clamp(b, 0, 255)), 255});
        }
    return image;
}

TEST(TxdBuildRoundTrip, PicturesComeBackFromTheDictionary)
{
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> byte(0, 255);
    RgbaImage noisy{16, 8, {}};
    for (int i = 0; i < 16 * 8; ++i)
        noisy.pixels.insert(noisy.pixels.end(), {static_cast<std::uint8_t>(byte(random)), static_cast<std::uint8_t>(byte(random)),
                                                 static_cast<std::uint8_t>(byte(random)), static_cast<std::uint8_t>(byte(random))});
    RgbaImage opaque = noisy;
    for (std::size_t i = 3; i < opaque.pixels.size(); i += 4)
        opaque.pixels[i] = 255;
    std::vector<std::vector<std::uint8_t>> colours;
    for (int i = 0; i < 200; ++i)
        colours.push_back({static_cast<std::uint8_t>(byte(random)), static_cast<std::uint8_t>(byte(random)),
                           static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i % 2 ? 255 : byte(random))});
    const RgbaImage manyColours = blockImage(32, 32, colours);                                     // 200 colours
    const RgbaImage fewColours = blockImage(16, 16, {colours.begin(), colours.begin() + 30});      // 30 colours
    // 4x4 blocks of two opaque colours each, colours that 16-bit 565 holds: DXT keeps them exactly.
    const auto of565 = [](int r5, int g6, int b5) {
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(r5 << 3 | r5 >> 2), static_cast<std::uint8_t>(g6 << 2 | g6 >> 4),
                                         static_cast<std::uint8_t>(b5 << 3 | b5 >> 2), 255};
    };
    RgbaImage twoColourBlocks{16, 16, {}};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int block = (y / 4) * 4 + x / 4;
            const std::vector<std::uint8_t> colour =
                (x + y * 3) % 3 == 0 ? of565(31 - block, 2 * block, block) : of565(block, 63 - 3 * block, 31 - block);
            twoColourBlocks.pixels.insert(twoColourBlocks.pixels.end(), colour.begin(), colour.end());
        }

    EXPECT_EQ(roundTrip(noisy, "8888").pixels, noisy.pixels);
    EXPECT_EQ(roundTrip(opaque, "888").pixels, opaque.pixels);
    EXPECT_EQ(roundTrip(manyColours, "pal8").pixels, manyColours.pixels);
    EXPECT_EQ(roundTrip(fewColours, "pal4").pixels, fewColours.pixels);
    for (const char* format : {"dxt1", "dxt3"}) {
        SCOPED_TRACE(format);
        EXPECT_EQ(roundTrip(twoColourBlocks, format).pixels, twoColourBlocks.pixels);
        const RgbaImage photo = photoLike(128, 7);
        const double quality = psnr(roundTrip(photo, format).pixels, photo.pixels);
        std::cout << format << " PSNR on a photograph-like picture: " << quality << " dB\n";
        EXPECT_GE(quality, 35.0);
        const RgbaImage small = photoLike(32, 8);
        const double best = psnr(roundTrip(small, format, TxdDxtFit::Best).pixels, small.pixels);
        const double fast = psnr(roundTrip(small, format).pixels, small.pixels);
        std::cout << format << " PSNR on a busier picture with libsquish's best fit: " << best << " dB, with the fast fit: "
                  << fast << " dB\n";
        EXPECT_GE(best, fast);
        EXPECT_EQ(roundTrip(twoColourBlocks, format, TxdDxtFit::Best).pixels, twoColourBlocks.pixels);
    }
    // More colours than a palette holds: the nearest entries, close but not exact.
    const RgbaImage photo = photoLike(32, 9);
    EXPECT_GE(psnr(roundTrip(photo, "pal8").pixels, photo.pixels), 25.0);
}

TEST(TxdBuildRefusals, EachRefusedPictureIsNamedWithItsFault)
{
    TempDir dir;
    writePng(dir.file("odd.png"), solidImage(100, 64, {1, 2, 3, 255}));
    const std::string longName(32, 'n');
    writePng(dir.file(longName + ".png"), solidImage(4, 4, {1, 2, 3, 255}));
    writeFile(dir.file("broken.png"), "\x89PNG\r\n\x1a\nnot really");
    writePng(dir.file("masked.png"), solidImage(8, 8, {1, 2, 3, 255}));
    writePng(dir.file("masked_a.png"), solidImage(4, 8, {9, 9, 9, 255}));
    writePng(dir.file("good.png"), solidImage(4, 4, {1, 2, 3, 255}));
    TempDir other;
    writePng(other.file("GOOD.png"), solidImage(4, 4, {1, 2, 3, 255}));

    const struct {
        std::string path;
        std::string says;
    } cases[] = {
        {dir.file("odd.png"), "odd.png is 100x64: the games need a power of two on each side"},
        {dir.file(longName + ".png"), longName + ".png: the name " + longName + " is longer than the games' 31 characters"},
        {dir.file("broken.png"), "broken.png: not a readable PNG picture"},
        {dir.file("missing.png"), "missing.png: No such file or directory"},
        {dir.file("masked.png"), "masked_a.png is 4x8 but masked.png is 8x8: an alpha picture must have its picture's size"},
    };
    for (const auto& c : cases) {
        TexturePicture picture;
        EXPECT_NE(readTexturePicture(c.path, false, picture).find(c.says), std::string::npos) << c.says;
    }
    std::vector<std::string> errors;
    const std::vector<std::string> kept = texturePicturePaths({dir.file("good.png"), other.file("GOOD.png")}, errors);
    EXPECT_EQ(kept.size(), 1u);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "GOOD.png: a texture named GOOD is already given");

    // Asked for, the odd size goes to the nearest powers of two.
    TexturePicture resized;
    EXPECT_EQ(readTexturePicture(dir.file("odd.png"), true, resized), "");
    EXPECT_EQ(resized.image.width, 128);
    EXPECT_EQ(resized.image.height, 64);
    EXPECT_EQ(std::vector<std::uint8_t>(resized.image.pixels.begin(), resized.image.pixels.begin() + 4), (Bytes{1, 2, 3, 255}));
}

TEST(TxdBuildAlpha, AnAlphaPictureGivesTheMaskNameAndTheAlpha)
{
    TempDir dir;
    writePng(dir.file("fence.png"), solidImage(4, 4, {200, 100, 50, 255}));
    writePng(dir.file("fence_a.png"), blockImage(4, 4, {{0, 0, 0, 255}, {255, 255, 255, 255}}));
    std::vector<std::string> errors;
    const std::vector<std::string> pictures = texturePicturePaths({dir.file("fence.png"), dir.file("fence_a.png")}, errors);
    ASSERT_EQ(pictures.size(), 1u);
    TexturePicture picture;
    ASSERT_EQ(readTexturePicture(pictures[0], false, picture), "");
    EXPECT_EQ(picture.name, "fence");
    EXPECT_EQ(picture.mask, "fence_a");
    EXPECT_EQ(picture.image.pixels[3], 0);
    EXPECT_EQ(picture.image.pixels[2 * 4 + 3], 255);
    EXPECT_EQ(buildTexture(picture, {}).compression, 3); // Vice City picture with alpha: DXT3
}

// A dictionary whose extension holds data, with an unknown chunk after it.
Bytes dictionaryWithExtras()
{
    Bytes txd = writeTxd({encodeTexture("one", "", TxdFormat::Dxt1, solidImage(4, 4, {1, 2, 3, 255}), 1),
                          encodeTexture("Two", "mask", TxdFormat::Pal8_888, solidImage(2, 2, {4, 5, 6, 255}), 2)},
                         0x1003FFFF);
    txd.resize(txd.size() - 12); // the empty dictionary extension
    append(txd, {3, 0, 0, 0, 4, 0, 0, 0, 0xFF, 0xFF, 0x03, 0x10, 'e', 'x', 't', '!'});
    append(txd, {0x99, 0, 0, 0, 2, 0, 0, 0, 0xFF, 0xFF, 0x03, 0x10, 'u', 'k'});
    putU32(txd, 4, static_cast<std::uint32_t>(txd.size() - 12));
    append(txd, Bytes(6, 0)); // archive padding
    return txd;
}

TEST(TxdChunkEditing, UntouchedTexturesAndChunksStayByteForByte)
{
    const Bytes original = dictionaryWithExtras();
    TxdChunkList list;
    ASSERT_EQ(list.read(original), "");
    EXPECT_EQ(list.write(), original);
    EXPECT_EQ(list.textureNames(), (std::vector<std::string>{"one", "Two"}));

    const Bytes added = writeTextureNative(encodeTexture("three", "", TxdFormat::Rgba32, solidImage(1, 1, {1, 1, 1, 1}), 1), list.stamp());
    list.putTexture("three", added);
    ASSERT_TRUE(list.renameTexture("two", "renamed"));
    EXPECT_FALSE(list.renameTexture("missing", "x"));
    const Bytes changed = list.write();
    const TxdDecodeResult decoded = decodeTxd(changed);
    ASSERT_EQ(decoded.Error, "");
    ASSERT_EQ(decoded.Textures.size(), 3u);
    EXPECT_EQ(decoded.Textures[1].Texture.Name, "renamed");
    EXPECT_EQ(decoded.Textures[1].Texture.MaskName, "mask");
    EXPECT_EQ(decoded.Textures[2].Texture.Name, "three");
    // The first texture's chunk, and the extension, unknown chunk and padding, as they were.
    const std::size_t firstAt = 28;
    const std::size_t firstSize = 12 + getU32(original, firstAt + 4);
    EXPECT_EQ(Bytes(changed.begin() + firstAt, changed.begin() + static_cast<std::ptrdiff_t>(firstAt + firstSize)),
              Bytes(original.begin() + firstAt, original.begin() + static_cast<std::ptrdiff_t>(firstAt + firstSize)));
    EXPECT_EQ(Bytes(changed.end() - 36, changed.end()), Bytes(original.end() - 36, original.end()));
    EXPECT_EQ(getU32(changed, 8), 0x1003FFFFu);

    // Replacing keeps the position; removing takes only that chunk.
    list.putTexture("ONE", added);
    EXPECT_EQ(list.textureNames(), (std::vector<std::string>{"ONE", "renamed", "three"}));
    EXPECT_TRUE(list.removeTexture("Renamed"));
    EXPECT_FALSE(list.removeTexture("renamed"));
    EXPECT_EQ(list.textureNames().size(), 2u);
}

TEST(TxdChunkEditing, DictionariesThatCannotBeChangedSaySo)
{
    TxdTextureData console = encodeTexture("c", "", TxdFormat::Rgba32, solidImage(1, 1, {1, 1, 1, 1}), 1);
    console.platform = 0x00325350;
    const Bytes good = dictionaryWithExtras();
    const struct {
        Bytes bytes;
        const char* says;
    } cases[] = {
        {Bytes{1, 0, 0, 0}, "the file ends inside a chunk header"},
        {writeTxd({console}, 0x0C02FFFF), "a console (PS2) texture dictionary"},
        {Bytes(good.begin(), good.begin() + 60), "the dictionary runs past the end of the file"},
        {Bytes{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "not a texture dictionary"},
    };
    for (const auto& c : cases) {
        TxdChunkList list;
        EXPECT_NE(list.read(c.bytes).find(c.says), std::string::npos) << c.says;
    }
    // Cut at every byte: refused or read, never past the end.
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        TxdChunkList list;
        const std::string error = list.read(std::span(good.data(), cut));
        if (error.empty()) {
            EXPECT_GE(list.write().size(), 24u);
        }
    }
}

} // namespace
