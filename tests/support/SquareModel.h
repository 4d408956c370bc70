#pragma once

// The smallest textured game content the drawing tests use: a flat square model and a
// one-colour dictionary holding its texture "tex".

#include "DffWriter.h"
#include "TxdWriter.h"

#include <array>
#include <cstdint>
#include <vector>

using Rgba = std::array<std::uint8_t, 4>;

// Colours that come through textures stored as 16-bit texels exactly.
inline constexpr Rgba Cyan{0, 255, 255, 255};
inline constexpr Rgba Violet{136, 0, 255, 255};

// A flat square of half-size 2 in the plane z = 0, textured with "tex".
inline std::vector<std::uint8_t> squareModel()
{
    DffClump clump;
    DffFrame root;
    root.name = "square";
    clump.frames = {root};
    DffGeometry g;
    g.vertices = {{-2, -2, 0}, {2, -2, 0}, {2, 2, 0}, {-2, 2, 0}};
    g.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    g.materials = {{"tex", "", {255, 255, 255, 255}}};
    g.splits = {{0, {0, 1, 2, 0, 2, 3}}};
    clump.geometries = {g};
    clump.atomics = {{0, 0, 5}};
    return writeDff(clump, 0x1003FFFF);
}

// An 8 × 8 picture of one colour.
inline RgbaImage solidPicture(const Rgba& colour)
{
    RgbaImage image;
    image.width = image.height = 8;
    for (int i = 0; i < 64; ++i)
        image.pixels.insert(image.pixels.end(), colour.begin(), colour.end());
    return image;
}

// A dictionary of the one texture "tex" in that colour.
inline std::vector<std::uint8_t> solidDictionary(const Rgba& colour)
{
    return writeTxd({encodeTexture("tex", "", TxdFormat::Rgba32, solidPicture(colour), 1)}, 0x1003FFFF);
}
