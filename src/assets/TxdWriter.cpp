#include "TxdWriter.h"

#include "RwWriter.h"

#include <squish.h>

#include <cstring> // stb_dxt needs memcpy declared
#define STB_DXT_IMPLEMENTATION
#define STB_DXT_STATIC
#include <stb_dxt.h>

#include <algorithm>
#include <array>
#include <limits>
#include <map>

namespace {

constexpr std::uint32_t ChunkStruct = 1;
constexpr std::uint32_t ChunkExtension = 3;
constexpr std::uint32_t ChunkTextureNative = 21;
constexpr std::uint32_t ChunkTextureDictionary = 22;

std::uint8_t pixelByte(const RgbaImage& image, int x, int y, int channel)
{
    return image.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) * 4 +
                        static_cast<std::size_t>(channel)];
}

// Half the size in each direction (at least 1), each output pixel the average of the 2x2
// (or 2x1, 1x2) source pixels it covers.
RgbaImage halve(const RgbaImage& image)
{
    RgbaImage out;
    out.width = std::max(1, image.width / 2);
    out.height = std::max(1, image.height / 2);
    out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 4);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const int x0 = std::min(2 * x, image.width - 1);
            const int y0 = std::min(2 * y, image.height - 1);
            const int x1 = std::min(2 * x + 1, image.width - 1);
            const int y1 = std::min(2 * y + 1, image.height - 1);
            for (int c = 0; c < 4; ++c) {
                const int sum = pixelByte(image, x0, y0, c) + pixelByte(image, x1, y0, c) + pixelByte(image, x0, y1, c) +
                                pixelByte(image, x1, y1, c);
                out.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(x)) * 4 +
                           static_cast<std::size_t>(c)] = static_cast<std::uint8_t>((sum + 2) / 4);
            }
        }
    }
    return out;
}

using Colour = std::array<std::uint8_t, 4>;

Colour colourAt(const std::vector<std::uint8_t>& pixels, std::size_t index)
{
    return {pixels[index * 4], pixels[index * 4 + 1], pixels[index * 4 + 2], pixels[index * 4 + 3]};
}

int distance(const Colour& a, const Colour& b)
{
    int sum = 0;
    for (std::size_t c = 0; c < 4; ++c) {
        const int d = a[c] - b[c];
        sum += d * d;
    }
    return sum;
}

// A palette of at most `entries` colours: the picture's distinct colours in first-seen
// order when they fit; otherwise the most frequent colour, then again and again the colour
// farthest from those chosen. Every pixel then takes the nearest entry. Deterministic.
std::vector<Colour> buildPalette(const std::vector<std::uint8_t>& pixels, std::size_t entries)
{
    std::map<Colour, std::pair<std::size_t, std::size_t>> seen; // colour -> (count, first index)
    const std::size_t count = pixels.size() / 4;
    for (std::size_t i = 0; i < count; ++i) {
        auto [it, inserted] = seen.try_emplace(colourAt(pixels, i), 0, i);
        ++it->second.first;
    }
    std::vector<std::pair<Colour, std::pair<std::size_t, std::size_t>>> ordered(seen.begin(), seen.end());
    std::sort(ordered.begin(), ordered.end(), [&](const auto& a, const auto& b) {
        if (seen.size() > entries && a.second.first != b.second.first)
            return a.second.first > b.second.first;
        return a.second.second < b.second.second;
    });
    std::vector<Colour> palette;
    if (ordered.size() <= entries) {
        for (const auto& entry : ordered)
            palette.push_back(entry.first);
        return palette;
    }
    std::vector<int> nearest(ordered.size(), std::numeric_limits<int>::max());
    std::size_t pick = 0;
    while (palette.size() < entries) {
        palette.push_back(ordered[pick].first);
        std::size_t farthest = 0;
        for (std::size_t i = 0; i < ordered.size(); ++i) {
            nearest[i] = std::min(nearest[i], distance(ordered[i].first, palette.back()));
            if (nearest[i] > nearest[farthest])
                farthest = i;
        }
        pick = farthest;
    }
    return palette;
}

// Source pixels as compared against a palette: without palette alpha every pixel counts as opaque.
std::vector<std::uint8_t> paletteSource(const RgbaImage& image, bool withAlpha)
{
    std::vector<std::uint8_t> source = image.pixels;
    if (!withAlpha)
        for (std::size_t i = 3; i < source.size(); i += 4)
            source[i] = 255; // the stored alpha bytes mean nothing
    return source;
}

// The one palette of a texture, from the colours of all its levels (level 0 first).
std::vector<Colour> texturePalette(const std::vector<RgbaImage>& levels, std::size_t entries, bool withAlpha)
{
    std::vector<std::uint8_t> all;
    for (const RgbaImage& level : levels) {
        const std::vector<std::uint8_t> source = paletteSource(level, withAlpha);
        all.insert(all.end(), source.begin(), source.end());
    }
    return buildPalette(all, entries);
}

std::vector<std::uint8_t> paletteBytes(const std::vector<Colour>& palette, std::size_t entries, bool withAlpha)
{
    std::vector<std::uint8_t> bytes(entries * 4, 0);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        for (std::size_t c = 0; c < 3; ++c)
            bytes[i * 4 + c] = palette[i][c];
        bytes[i * 4 + 3] = withAlpha ? palette[i][3] : 0;
    }
    return bytes;
}

TxdLevelData encodeIndices(const RgbaImage& image, const std::vector<Colour>& palette, bool withAlpha)
{
    const std::vector<std::uint8_t> source = paletteSource(image, withAlpha);
    TxdLevelData level;
    const std::size_t count = source.size() / 4;
    level.data.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Colour colour = colourAt(source, i);
        std::size_t best = 0;
        int bestDistance = distance(colour, palette[0]);
        for (std::size_t p = 1; p < palette.size() && bestDistance != 0; ++p) {
            const int d = distance(colour, palette[p]);
            if (d < bestDistance) {
                bestDistance = d;
                best = p;
            }
        }
        level.data[i] = static_cast<std::uint8_t>(best);
    }
    return level;
}

// A 565 colour whose widening gives `colour` back exactly, or -1.
int exact565(const Colour& colour)
{
    const int r = colour[0] >> 3, g = colour[1] >> 2, b = colour[2] >> 3;
    if (colour[0] != (r << 3 | r >> 2) || colour[1] != (g << 2 | g >> 4) || colour[2] != (b << 3 | b >> 2))
        return -1;
    return r << 11 | g << 5 | b;
}

// libsquish's fits may move the end points of a block of two colours by a step; such a block
// (of opaque colours 565 holds) is written with its two colours as the end points, so that
// flat artwork comes back exact. `stride` is the bytes per block, the colour half last.
void exactTwoColourBlocks(const RgbaImage& image, std::vector<std::uint8_t>& blocks, std::size_t stride)
{
    const int blocksWide = (image.width + 3) / 4;
    for (int by = 0; by + 4 <= image.height; by += 4) {
        for (int bx = 0; bx + 4 <= image.width; bx += 4) {
            std::array<Colour, 16> pixels{};
            std::vector<int> colours;
            bool exact = true;
            for (int i = 0; i < 16 && exact; ++i) {
                pixels[static_cast<std::size_t>(i)] = colourAt(image.pixels, static_cast<std::size_t>((by + i / 4) * image.width + bx + i % 4));
                const int packed = exact565(pixels[static_cast<std::size_t>(i)]);
                exact = packed >= 0 && pixels[static_cast<std::size_t>(i)][3] == 255;
                if (exact && std::find(colours.begin(), colours.end(), packed) == colours.end())
                    colours.push_back(packed);
                exact = exact && colours.size() <= 2;
            }
            if (!exact)
                continue;
            // Four-colour mode needs the first end point larger; equal end points draw one colour.
            const int high = std::max(colours.front(), colours.back());
            const int low = std::min(colours.front(), colours.back());
            std::uint32_t indices = 0;
            for (int i = 0; i < 16; ++i)
                if (exact565(pixels[static_cast<std::size_t>(i)]) != high)
                    indices |= 1u << (2 * i);
            std::uint8_t* block = blocks.data() + static_cast<std::size_t>((by / 4) * blocksWide + bx / 4) * stride + stride - 8;
            const std::uint8_t colourBytes[8] = {static_cast<std::uint8_t>(high), static_cast<std::uint8_t>(high >> 8),
                                                 static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(low >> 8),
                                                 static_cast<std::uint8_t>(indices), static_cast<std::uint8_t>(indices >> 8),
                                                 static_cast<std::uint8_t>(indices >> 16), static_cast<std::uint8_t>(indices >> 24)};
            std::copy(std::begin(colourBytes), std::end(colourBytes), block);
        }
    }
}

// DXT1 colour blocks, or DXT3 blocks (explicit 4-bit alpha, then the colour block), fitted
// by stb_dxt. Blocks past the picture's edge (pictures under 4 pixels a side) repeat its
// last row and column.
std::vector<std::uint8_t> fastDxt(const RgbaImage& image, bool withAlpha)
{
    const std::size_t stride = withAlpha ? 16 : 8;
    const int blocksWide = (image.width + 3) / 4;
    const int blocksHigh = (image.height + 3) / 4;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(blocksWide) * static_cast<std::size_t>(blocksHigh) * stride);
    std::uint8_t* block = out.data();
    for (int by = 0; by < blocksHigh; ++by) {
        for (int bx = 0; bx < blocksWide; ++bx, block += stride) {
            std::uint8_t pixels[64];
            for (int i = 0; i < 16; ++i) {
                const int x = std::min(bx * 4 + i % 4, image.width - 1);
                const int y = std::min(by * 4 + i / 4, image.height - 1);
                std::memcpy(pixels + i * 4, image.pixels.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) * 4, 4);
            }
            if (withAlpha) {
                for (int i = 0; i < 16; i += 2) {
                    const int low = (pixels[i * 4 + 3] * 15 + 127) / 255;
                    const int high = (pixels[i * 4 + 7] * 15 + 127) / 255;
                    block[i / 2] = static_cast<std::uint8_t>(low | high << 4);
                }
            }
            stb_compress_dxt_block(block + stride - 8, pixels, 0, STB_DXT_HIGHQUAL);
        }
    }
    return out;
}

bool isPaletted(TxdFormat format)
{
    return format == TxdFormat::Pal4_8888 || format == TxdFormat::Pal4_888 || format == TxdFormat::Pal8_8888 ||
           format == TxdFormat::Pal8_888;
}

TxdLevelData encodeLevel(TxdFormat format, const RgbaImage& image, TxdDxtFit fit)
{
    switch (format) {
    case TxdFormat::Pal4_8888:
    case TxdFormat::Pal4_888:
    case TxdFormat::Pal8_8888:
    case TxdFormat::Pal8_888:
        return {}; // encoded against the texture's palette by encodeTexture
    case TxdFormat::Rgba32:
    case TxdFormat::Rgb32: {
        TxdLevelData level;
        level.data = image.pixels;
        for (std::size_t i = 0; i + 3 < level.data.size(); i += 4) {
            std::swap(level.data[i], level.data[i + 2]);
            if (format == TxdFormat::Rgb32)
                level.data[i + 3] = 255;
        }
        return level;
    }
    case TxdFormat::Dxt1:
    case TxdFormat::Dxt1Alpha:
    case TxdFormat::Dxt3:
    case TxdFormat::Dxt5: {
        std::vector<std::uint8_t> source = image.pixels;
        int flags = squish::kDxt1;
        if (format == TxdFormat::Dxt1) {
            for (std::size_t i = 3; i < source.size(); i += 4)
                source[i] = 255; // no transparent blocks in plain DXT1
        } else if (format == TxdFormat::Dxt3) {
            flags = squish::kDxt3;
        } else if (format == TxdFormat::Dxt5) {
            flags = squish::kDxt5;
        }
        TxdLevelData level;
        if (fit == TxdDxtFit::Fast && (format == TxdFormat::Dxt1 || format == TxdFormat::Dxt3)) {
            level.data = fastDxt(image, format == TxdFormat::Dxt3);
        } else {
            level.data.resize(static_cast<std::size_t>(squish::GetStorageRequirements(image.width, image.height, flags)));
            flags |= fit == TxdDxtFit::Best ? squish::kColourIterativeClusterFit : squish::kColourClusterFit;
            squish::CompressImage(source.data(), image.width, image.height, level.data.data(), flags);
        }
        if (format != TxdFormat::Dxt5)
            exactTwoColourBlocks(image, level.data, format == TxdFormat::Dxt3 ? 16 : 8);
        return level;
    }
    }
    return {};
}

} // namespace

TxdTextureData encodeTexture(const std::string& name, const std::string& mask, TxdFormat format,
                             const RgbaImage& image, int levelCount, TxdDxtFit fit)
{
    TxdTextureData texture;
    texture.name = name;
    texture.mask = mask;
    texture.width = static_cast<std::uint16_t>(image.width);
    texture.height = static_cast<std::uint16_t>(image.height);

    bool pictureHasAlpha = false;
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        pictureHasAlpha = pictureHasAlpha || image.pixels[i] < 255;

    switch (format) {
    case TxdFormat::Pal4_8888:
        texture.rasterFormat = TxdRaster::Pal4 | TxdRaster::Format8888;
        texture.depth = 8;
        break;
    case TxdFormat::Pal4_888:
        texture.rasterFormat = TxdRaster::Pal4 | TxdRaster::Format888;
        texture.depth = 8;
        pictureHasAlpha = false;
        break;
    case TxdFormat::Pal8_8888:
        texture.rasterFormat = TxdRaster::Pal8 | TxdRaster::Format8888;
        texture.depth = 8;
        break;
    case TxdFormat::Pal8_888:
        texture.rasterFormat = TxdRaster::Pal8 | TxdRaster::Format888;
        texture.depth = 8;
        pictureHasAlpha = false;
        break;
    case TxdFormat::Rgba32:
        texture.rasterFormat = TxdRaster::Format8888;
        texture.depth = 32;
        break;
    case TxdFormat::Rgb32:
        texture.rasterFormat = TxdRaster::Format888;
        texture.depth = 32;
        pictureHasAlpha = false;
        break;
    case TxdFormat::Dxt1:
        texture.rasterFormat = TxdRaster::Format565;
        texture.depth = 16;
        texture.compression = 1;
        pictureHasAlpha = false;
        break;
    case TxdFormat::Dxt1Alpha:
        texture.rasterFormat = TxdRaster::Format1555;
        texture.depth = 16;
        texture.compression = 1;
        break;
    case TxdFormat::Dxt3:
        texture.rasterFormat = TxdRaster::Format4444;
        texture.depth = 16;
        texture.compression = 3;
        break;
    case TxdFormat::Dxt5:
        texture.rasterFormat = TxdRaster::Format4444;
        texture.depth = 16;
        texture.compression = 5;
        break;
    }
    texture.hasAlpha = pictureHasAlpha ? 1 : 0;
    if (levelCount > 1)
        texture.rasterFormat |= TxdRaster::MipMaps;

    std::vector<RgbaImage> pictures;
    if (levelCount > 0)
        pictures.push_back(image);
    for (int i = 1; i < levelCount; ++i)
        pictures.push_back(halve(pictures.back()));
    if (!isPaletted(format) || pictures.empty()) {
        for (const RgbaImage& picture : pictures)
            texture.levels.push_back(encodeLevel(format, picture, fit));
        return texture;
    }
    const std::size_t entries = (format == TxdFormat::Pal4_8888 || format == TxdFormat::Pal4_888) ? 32 : 256;
    const bool withAlpha = format == TxdFormat::Pal4_8888 || format == TxdFormat::Pal8_8888;
    const std::vector<Colour> palette = texturePalette(pictures, entries, withAlpha);
    texture.palette = paletteBytes(palette, entries, withAlpha);
    for (const RgbaImage& picture : pictures)
        texture.levels.push_back(encodeIndices(picture, palette, withAlpha));
    return texture;
}

namespace {

void writeNative(RwWriter& out, const TxdTextureData& texture, std::uint32_t stamp)
{
    out.chunk(ChunkTextureNative, stamp, [&] {
        out.chunk(ChunkStruct, stamp, [&] {
            out.u32(texture.platform);
            out.u32(texture.filterFlags);
            out.fixedText(texture.name, 32);
            out.fixedText(texture.mask, 32);
            out.u32(texture.rasterFormat);
            out.u32(texture.hasAlpha);
            out.u16(texture.width);
            out.u16(texture.height);
            out.u8(texture.depth);
            out.u8(static_cast<std::uint8_t>(texture.levels.size()));
            out.u8(texture.rasterType);
            out.u8(texture.compression);
            out.bytes(texture.palette);
            for (const TxdLevelData& level : texture.levels) {
                out.u32(static_cast<std::uint32_t>(level.data.size()));
                out.bytes(level.data);
            }
        });
        out.chunk(ChunkExtension, stamp, [] {});
    });
}

} // namespace

std::vector<std::uint8_t> writeTextureNative(const TxdTextureData& texture, std::uint32_t stamp)
{
    RwWriter out;
    writeNative(out, texture, stamp);
    return out.take();
}

std::vector<std::uint8_t> writeTxd(const std::vector<TxdTextureData>& textures, std::uint32_t stamp)
{
    RwWriter out;
    out.chunk(ChunkTextureDictionary, stamp, [&] {
        out.chunk(ChunkStruct, stamp, [&] {
            out.u16(static_cast<std::uint16_t>(textures.size()));
            out.u16(0);
        });
        for (const TxdTextureData& texture : textures)
            writeNative(out, texture, stamp);
        out.chunk(ChunkExtension, stamp, [] {});
    });
    return out.take();
}
