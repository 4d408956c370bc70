#include "CliRun.h"
#include "DemoGame.h"
#include "PngWriter.h"
#include "TGTA3Archive.h"
#include "TestFiles.h"
#include "TxdDecoder.h"
#include "TxdExport.h"
#include "TxdRgba.h"
#include "TxdTestData.h"
#include "TxdWriter.h"

#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The picture of a PNG file as red, green, blue, alpha bytes, decoded by Qt.
RgbaPicture readPng(const std::string& path)
{
    const std::string bytes = readFile(path);
    QImage image = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "PNG");
    if (image.isNull())
        return {};
    image = image.convertToFormat(QImage::Format_RGBA8888);
    RgbaPicture picture{image.width(), image.height(), {}};
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        picture.Pixels.insert(picture.Pixels.end(), row, row + image.width() * 4);
    }
    return picture;
}

std::vector<std::uint8_t> noisePixels(int width, int height, unsigned seed)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (std::uint8_t& byte : pixels) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    return pixels;
}

TEST(PngWriter, QtReadsBackEveryPixel)
{
    const struct {
        int width, height;
    } sizes[] = {{1, 1}, {3, 2}, {64, 1}, {1, 64}, {257, 3}, {128, 128}};
    TempDir dir;
    for (const auto& size : sizes) {
        const std::vector<std::uint8_t> pixels = noisePixels(size.width, size.height, static_cast<unsigned>(size.width));
        const std::vector<std::uint8_t> png = encodePng(size.width, size.height, pixels);
        ASSERT_FALSE(png.empty());
        writeFile(dir.file("noise.png"), bytesText(png));
        const RgbaPicture back = readPng(dir.file("noise.png"));
        EXPECT_EQ(back.Width, size.width);
        EXPECT_EQ(back.Height, size.height);
        EXPECT_EQ(back.Pixels, pixels) << size.width << " x " << size.height;
    }
}

TEST(PngWriter, NoPictureForAMismatchedOrEmptySize)
{
    EXPECT_TRUE(encodePng(0, 4, {}).empty());
    EXPECT_TRUE(encodePng(2, 2, std::vector<std::uint8_t>(15)).empty());
}

// A dictionary written once per run: the demo game's every texture format.
struct DemoArchive {
    TempDir dir;
    int code = -1;
    std::string error;
    DemoArchive() { code = writeDemoGame(dir.path().string(), DemoGameOptions{}, error); }
    std::string img() const { return dir.file("models/gta3.img"); }
};

const DemoArchive& demo()
{
    static DemoArchive archive;
    return archive;
}

std::vector<std::uint8_t> entryBytes(const TGTA3Archive& archive, int index)
{
    std::ostringstream out;
    EXPECT_EQ(archive.ExtractEntry(index, out), 0);
    const std::string text = std::move(out).str();
    return {text.begin(), text.end()};
}

// What kind of stored texture it is: depth, compression, palette and pixel format bits,
// and for DXT1 the alpha flag.
std::string formatKey(const TTexture& t)
{
    return std::to_string(t.Depth) + "/" + std::to_string(t.Compression) + "/" + std::to_string(t.RasterFormat & 0x6F00) +
           (t.Compression == 1 ? "/" + std::to_string(t.HasAlpha) : "");
}

TEST(TxdExport, EveryTextureOfTheDemoGameIsWrittenAsTheDecoderSeesIt)
{
    ASSERT_EQ(demo().code, 0) << demo().error;
    const TGTA3Archive archive(demo().img(), false);
    ASSERT_TRUE(archive.Opened);
    TempDir out;
    std::set<std::string> formats;
    int textures = 0;
    for (int i = 0; i < archive.EntryCount(); ++i) {
        const std::string name = archive.GetEntry(i).TrimmedName();
        if (name.size() < 4 || name.substr(name.size() - 4) != ".txd")
            continue;
        const std::string folder = out.file(name);
        const CliResult result = runCli({"txd", "export", "--img", demo().img(), name, "-d", folder});
        ASSERT_EQ(result.code, 0) << name << ": " << result.err;
        EXPECT_EQ(result.err, "");

        const TxdDecodeResult decoded = decodeTxd(entryBytes(archive, i));
        std::string expectedOut;
        for (const TxdDecodedTexture& texture : decoded.Textures) {
            const std::string path = (std::filesystem::path(folder) / (texture.Texture.Name + ".png")).string();
            expectedOut += path + "\n";
            const RgbaPicture expected = txdTextureToRgba(texture);
            ASSERT_FALSE(expected.Pixels.empty()) << texture.Texture.Name;
            const RgbaPicture written = readPng(path);
            EXPECT_EQ(written.Width, texture.Texture.Width) << path;
            EXPECT_EQ(written.Height, texture.Texture.Height) << path;
            EXPECT_EQ(written.Pixels, expected.Pixels) << path;
            formats.insert(formatKey(texture.Texture));
            ++textures;
        }
        EXPECT_EQ(result.out, expectedOut);
    }
    // Every format the writer knows: PAL4 and PAL8 with 8888 and 888 palettes, 32-bit
    // pixels, DXT1 with and without alpha, DXT3, DXT5.
    for (const char* format : {"8/0/17664", "8/0/17920", "8/0/9472", "8/0/9728", "32/0/1280", "16/1/512/0", "16/1/256/1",
                               "16/3/768", "16/5/768"})
        EXPECT_TRUE(formats.count(format)) << format;
    EXPECT_GT(textures, 20);

    // The loose generic dictionary the same way.
    const CliResult generic = runCli({"txd", "export", demo().dir.file("models/generic.txd"), "-d", out.file("generic")});
    EXPECT_EQ(generic.code, 0) << generic.err;
    EXPECT_FALSE(generic.out.empty());
}

struct AlphaCase {
    const char* what;
    TxdFormat format;
    std::vector<std::uint8_t> colour; // of the whole picture
    int hasAlphaFlag;                 // -1: as the writer sets it
    int expectedAlpha;
};

// Exact colours come through the lossless formats; the alpha is what the game draws with.
TEST(TxdExport, AlphaIsWhatTheGameDrawsWith)
{
    const AlphaCase cases[] = {
        {"PAL8 with 8888 palette", TxdFormat::Pal8_8888, {10, 20, 30, 40}, -1, 40},
        {"PAL8 with 888 palette", TxdFormat::Pal8_888, {10, 20, 30, 40}, -1, 255},
        {"PAL4 with 8888 palette", TxdFormat::Pal4_8888, {10, 20, 30, 128}, -1, 128},
        {"PAL4 with 888 palette", TxdFormat::Pal4_888, {10, 20, 30, 0}, -1, 255},
        {"32-bit 8888", TxdFormat::Rgba32, {10, 20, 30, 40}, -1, 40},
        {"DXT1 flagged with alpha", TxdFormat::Dxt1Alpha, {0, 0, 0, 0}, 1, 0},
        {"DXT1 without the flag draws its see-through blocks black", TxdFormat::Dxt1Alpha, {0, 0, 0, 0}, 0, 255},
        {"DXT3", TxdFormat::Dxt3, {0, 0, 0, 136}, -1, 136},
        {"DXT5", TxdFormat::Dxt5, {255, 255, 255, 0}, -1, 0},
    };
    TempDir dir;
    for (const AlphaCase& c : cases) {
        TxdTextureData data = encodeTexture("pic", "picm", c.format, solidImage(8, 8, {c.colour[0], c.colour[1], c.colour[2], c.colour[3]}), 1);
        if (c.hasAlphaFlag >= 0)
            data.hasAlpha = static_cast<std::uint32_t>(c.hasAlphaFlag);
        const TxdDecodeResult decoded = decodeTxd(writeTxd({data}, 0x1003FFFF));
        ASSERT_EQ(decoded.Textures.size(), 1u) << c.what;
        ASSERT_EQ(exportTexturePng(decoded.Textures[0], dir.file("pic.png")), 0) << c.what;
        const RgbaPicture picture = readPng(dir.file("pic.png"));
        ASSERT_EQ(picture.Pixels.size(), 8u * 8u * 4u) << c.what;
        for (std::size_t i = 0; i < picture.Pixels.size(); i += 4) {
            if (c.format != TxdFormat::Dxt1Alpha && c.format != TxdFormat::Dxt3 && c.format != TxdFormat::Dxt5) {
                EXPECT_EQ(picture.Pixels[i], c.colour[0]) << c.what;
                EXPECT_EQ(picture.Pixels[i + 1], c.colour[1]) << c.what;
                EXPECT_EQ(picture.Pixels[i + 2], c.colour[2]) << c.what;
            }
            ASSERT_EQ(picture.Pixels[i + 3], c.expectedAlpha) << c.what;
        }
    }
}

TEST(TxdExport, SixteenBitPixelsAreWidened)
{
    // 1555 0xFC00: alpha set, red 31; 565 0x07E0: green 63; 4444 0x80F0: alpha 8, blue 0, green 15.
    const struct {
        std::uint32_t format;
        std::uint16_t word;
        std::array<std::uint8_t, 4> rgba;
    } cases[] = {{TxdRaster::Format1555, 0xFC00, {255, 0, 0, 255}},
                 {TxdRaster::Format1555, 0x001F, {0, 0, 255, 0}},
                 {TxdRaster::Format565, 0x07E0, {0, 255, 0, 255}},
                 {TxdRaster::Format4444, 0x80F0, {0, 255, 0, 136}}};
    for (const auto& c : cases) {
        TxdDecodedTexture texture;
        texture.Texture.Width = 1, texture.Texture.Height = 1, texture.Texture.Depth = 16;
        texture.Texture.RasterFormat = c.format;
        const std::vector<std::uint8_t> word{static_cast<std::uint8_t>(c.word), static_cast<std::uint8_t>(c.word >> 8)};
        texture.Levels.push_back({1, 1, {}, word});
        const RgbaPicture picture = txdTextureToRgba(texture);
        ASSERT_EQ(picture.Pixels.size(), 4u);
        EXPECT_EQ((std::array<std::uint8_t, 4>{picture.Pixels[0], picture.Pixels[1], picture.Pixels[2], picture.Pixels[3]}),
                  c.rgba)
            << std::hex << c.word;
    }
}

// DXT textures declared with another depth and Direct3D 9 textures are all written, with
// the pixels their blocks hold: a DXT1 block of colour 0 red, colour 1 blue, every index 0
// or every index 1; A8R8G8B8 stored blue, green, red, alpha.
TEST(TxdExport, DxtWhateverTheDepthAndDirect3D9TexturesAreWritten)
{
    const std::vector<std::uint8_t> red{0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0};
    const std::vector<std::uint8_t> blue{0x00, 0xF8, 0x1F, 0x00, 0x55, 0x55, 0x55, 0x55};
    std::vector<std::uint8_t> dxt5(8, 0); // alpha block: alpha 0 = 255 everywhere
    dxt5[0] = 255;
    dxt5.insert(dxt5.end(), blue.begin(), blue.end());
    TempDir dir;
    writeFile(dir.file("mixed.txd"),
              bytesText(handTxd({{"depth32", 8, 0x0600, 0, 4, 4, 32, 1, {}, {red}},
                                 {"depth4", 8, 0x0200, 1, 4, 4, 4, 1, {}, {blue}},
                                 {"d9dxt5", 9, 0x0300, 0x35545844, 4, 4, 16, 1 | 8, {}, {dxt5}},
                                 {"d9argb", 9, 0x0500, 21, 1, 1, 32, 1, {}, {{10, 20, 30, 40}}}})));
    const CliResult result = runCli({"txd", "export", dir.file("mixed.txd"), "-d", dir.file("out")});
    EXPECT_EQ(result.code, 0) << result.err;
    const struct {
        const char* name;
        std::array<std::uint8_t, 4> pixel;
        int side;
    } written[] = {{"depth32", {255, 0, 0, 255}, 4},
                   {"depth4", {0, 0, 255, 255}, 4},
                   {"d9dxt5", {0, 0, 255, 255}, 4},
                   {"d9argb", {30, 20, 10, 40}, 1}};
    for (const auto& w : written) {
        const RgbaPicture picture = readPng(dir.file(std::string("out/") + w.name + ".png"));
        ASSERT_EQ(picture.Width, w.side) << w.name;
        std::vector<std::uint8_t> expected;
        for (int i = 0; i < w.side * w.side; ++i)
            expected.insert(expected.end(), w.pixel.begin(), w.pixel.end());
        EXPECT_EQ(picture.Pixels, expected) << w.name;
    }
}

TEST(TxdExport, NamesBecomeSafeAndDistinctFileNames)
{
    EXPECT_EQ(safeTextureFileName("../../evil", 0), ".._.._evil");
    EXPECT_EQ(safeTextureFileName("a:b*c?\\d", 0), "a_b_c__d");
    EXPECT_EQ(safeTextureFileName("  road  ", 0), "road");
    EXPECT_EQ(safeTextureFileName("   ", 7), "texture7");
    EXPECT_EQ(safeTextureFileName("..", 3), "texture3");

    TempDir dir;
    const RgbaImage red = solidImage(2, 2, {255, 0, 0, 255});
    std::vector<TxdTextureData> textures;
    for (const char* name : {"Road", "../up", "road", ""})
        textures.push_back(encodeTexture(name, "", TxdFormat::Rgba32, red, 1));
    TxdTextureData odd = encodeTexture("odd", "", TxdFormat::Rgba32, red, 1);
    odd.depth = 24; // no format the game draws
    textures.push_back(odd);
    const TxdDecodeResult decoded = decodeTxd(writeTxd(textures, 0x1003FFFF));
    ASSERT_EQ(decoded.Textures.size(), 5u);
    const TxdExportResult result = exportTxdTextures(decoded.Textures, dir.path().string());
    EXPECT_EQ(result.Error, 0);
    EXPECT_EQ(result.Written, (std::vector<std::string>{dir.file("Road.png"), dir.file(".._up.png"),
                                                        dir.file("road_2.png"), dir.file("texture3.png")}));
    EXPECT_EQ(result.Skipped, std::vector<std::string>{"odd"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 4);
}

TEST(TxdExport, CommandLineReportsWhatItCannotDo)
{
    TempDir dir;
    const CliResult missing = runCli({"txd", "export", dir.file("none.txd"), "-d", dir.file("out")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("cannot read " + dir.file("none.txd")), std::string::npos) << missing.err;

    ASSERT_EQ(demo().code, 0);
    const CliResult noEntry = runCli({"txd", "export", "--img", demo().img(), "nothing", "-d", dir.file("out")});
    EXPECT_EQ(noEntry.code, 2);
    EXPECT_EQ(noEntry.err, "quoxmapper-cli: " + demo().img() + " has no entry named nothing\n");

    TxdTextureData odd = encodeTexture("odd", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 2, 3, 4}), 1);
    odd.depth = 24;
    writeFile(dir.file("odd.txd"),
              bytesText(writeTxd({odd, encodeTexture("fine", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 2, 3, 4}), 1)},
                                 0x1003FFFF)));
    const CliResult partly = runCli({"txd", "export", dir.file("odd.txd"), "-d", dir.file("out")});
    EXPECT_EQ(partly.code, 2);
    EXPECT_EQ(partly.out, dir.file("out/fine.png") + "\n");
    EXPECT_EQ(partly.err, "quoxmapper-cli: " + dir.file("odd.txd") + ": texture odd has a format that cannot be decoded\n");
}

} // namespace
