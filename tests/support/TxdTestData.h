#pragma once

#include "PngWriter.h"
#include "TestFiles.h"
#include "TxdWriter.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Pictures and byte patching for texture dictionary tests.

inline RgbaImage solidImage(int width, int height, std::initializer_list<std::uint8_t> rgba)
{
    RgbaImage image{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        image.pixels.insert(image.pixels.end(), rgba);
    return image;
}

// The picture as a PNG file.
inline void writePng(const std::string& path, const RgbaImage& image)
{
    writeFile(path, bytesText(encodePng(image.width, image.height, image.pixels)));
}

// A picture of 2x2 blocks, block k (in reading order) of `colours[k % colours.size()]`:
// every mip level down to one pixel per block holds the block colours exactly.
inline RgbaImage blockImage(int width, int height, const std::vector<std::vector<std::uint8_t>>& colours)
{
    RgbaImage image{width, height, {}};
    const int blocksPerRow = (width + 1) / 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto& colour = colours[static_cast<std::size_t>((y / 2) * blocksPerRow + x / 2) % colours.size()];
            image.pixels.insert(image.pixels.end(), colour.begin(), colour.end());
        }
    return image;
}

inline std::uint32_t getU32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

inline void putU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Chunk header positions of the textures of a dictionary as written (chunk sizes intact).
inline std::vector<std::size_t> texturePositions(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::size_t> positions;
    std::size_t at = 28;
    while (at + 12 <= bytes.size() && getU32(bytes, at) == 21) {
        positions.push_back(at);
        at += 12 + getU32(bytes, at + 4);
    }
    return positions;
}

// Bytes laid out one field at a time, for dictionaries written by hand from the format's
// description rather than by the project's writer.
struct TxdHandBytes {
    std::vector<std::uint8_t> bytes;
    std::uint32_t stamp = 0x1003FFFF;
    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v) { u8(static_cast<std::uint8_t>(v)), u8(static_cast<std::uint8_t>(v >> 8)); }
    void u32(std::uint32_t v) { u16(static_cast<std::uint16_t>(v)), u16(static_cast<std::uint16_t>(v >> 16)); }
    void header(std::uint32_t type, std::uint32_t size) { u32(type), u32(size), u32(stamp); }
    void name(const char* text)
    {
        const std::string padded = std::string(text) + std::string(32 - std::string(text).size(), '\0');
        bytes.insert(bytes.end(), padded.begin(), padded.end());
    }
    void raw(const std::vector<std::uint8_t>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
};

// One texture of a hand-laid dictionary, with its fields as stored.
struct TxdHandTexture {
    const char* name;
    std::uint32_t platform;
    std::uint32_t rasterFormat;
    std::uint32_t alphaOrFormat; // Direct3D 8: the alpha flag; Direct3D 9: the format code
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t depth;
    std::uint8_t compressionOrFlags; // Direct3D 8: the DXT number; Direct3D 9: the flags
    std::vector<std::uint8_t> palette;
    std::vector<std::vector<std::uint8_t>> levels; // for a cube map: every face's levels, one face after another
    std::uint8_t levelCount = 0; // 0: levels.size()
};

// The dictionary's bytes: its header and struct (count, device 0), each texture's native
// chunk (header, struct of 88 field bytes + palette + sized levels, empty extension), and
// the dictionary's empty extension.
inline std::vector<std::uint8_t> handTxd(const std::vector<TxdHandTexture>& textures)
{
    std::vector<std::vector<std::uint8_t>> natives;
    for (const TxdHandTexture& t : textures) {
        std::uint32_t structSize = 88 + static_cast<std::uint32_t>(t.palette.size());
        for (const std::vector<std::uint8_t>& level : t.levels)
            structSize += 4 + static_cast<std::uint32_t>(level.size());
        TxdHandBytes n;
        n.header(21, 12 + structSize + 12);
        n.header(1, structSize);
        n.u32(t.platform), n.u32(0x1106);
        n.name(t.name), n.name("");
        n.u32(t.rasterFormat), n.u32(t.alphaOrFormat);
        n.u16(t.width), n.u16(t.height), n.u8(t.depth);
        n.u8(t.levelCount != 0 ? t.levelCount : static_cast<std::uint8_t>(t.levels.size()));
        n.u8(4), n.u8(t.compressionOrFlags);
        n.raw(t.palette);
        for (const std::vector<std::uint8_t>& level : t.levels) {
            n.u32(static_cast<std::uint32_t>(level.size()));
            n.raw(level);
        }
        n.header(3, 0);
        natives.push_back(n.bytes);
    }
    std::uint32_t inside = 12 + 4 + 12;
    for (const std::vector<std::uint8_t>& native : natives)
        inside += static_cast<std::uint32_t>(native.size());
    TxdHandBytes d;
    d.header(22, inside);
    d.header(1, 4);
    d.u16(static_cast<std::uint16_t>(textures.size())), d.u16(0);
    for (const std::vector<std::uint8_t>& native : natives)
        d.raw(native);
    d.header(3, 0);
    return d.bytes;
}

