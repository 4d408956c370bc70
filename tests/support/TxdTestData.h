#pragma once

#include "PngWriter.h"
#include "TestFiles.h"
#include "TxdWriter.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
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
