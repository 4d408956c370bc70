#pragma once

#include "TTexture.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Reading a texture dictionary's bytes into textures and their levels, without OpenGL.

struct TxdLevel {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::vector<std::uint8_t> Palette; // 8-bit textures: the texture's one palette, 32 or 256 entries of red, green, blue, alpha
    std::vector<std::uint8_t> Data;    // as stored: indices, blue-green-red-alpha pixels or DXT blocks
};

struct TxdDecodedTexture {
    TTexture Texture;
    std::vector<TxdLevel> Levels;
};

struct TxdDecodeResult {
    std::vector<TxdDecodedTexture> Textures;
    std::string Error;      // empty when the whole dictionary was read
    bool Console = false;   // a console (PS2) dictionary: read as empty
    std::uint32_t LibraryVersion = 0; // of the dictionary chunk, as 0x3VVRR
};

// Never throws: whatever cannot be read is described in `Error`, and the textures read
// before (and, where the walk can go on, after) the fault are kept.
TxdDecodeResult decodeTxd(std::span<const std::uint8_t> bytes);

// Palette entries a texture's levels carry: 32 for PAL4, 256 for PAL8 and for other 8-bit
// textures, 0 for textures without a palette.
std::size_t txdPaletteEntries(std::uint32_t rasterFormat, std::uint8_t depth);
