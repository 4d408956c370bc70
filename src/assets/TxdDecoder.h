#pragma once

#include "TTexture.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Reading a texture dictionary's bytes into textures and their levels, without OpenGL.

// One level as stored: indices, pixels or DXT blocks, and for paletted textures the
// texture's one palette (32 or 256 entries of red, green, blue, alpha). Both view bytes
// held by the texture (or, for a dictionary read in place, the dictionary's own bytes).
struct TxdLevel {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::span<const std::uint8_t> Palette;
    std::span<const std::uint8_t> Data;
};

// A texture with its levels. The bytes of all levels and the palette are held in one block
// (a dictionary has tens of thousands of levels: one allocation each would dominate
// reading). A copy holds its own block, so it outlives whatever it was copied from.
struct TxdDecodedTexture {
    TTexture Texture;
    // Level 0 first, then the smaller ones; a cube map's six faces one after another.
    std::vector<TxdLevel> Levels;

    TxdDecodedTexture() = default;
    TxdDecodedTexture(const TxdDecodedTexture& other);
    TxdDecodedTexture& operator=(const TxdDecodedTexture& other);
    TxdDecodedTexture(TxdDecodedTexture&&) noexcept = default;
    TxdDecodedTexture& operator=(TxdDecodedTexture&&) noexcept = default;

    // Copies the bytes the levels view (the shared palette once, then each level's data)
    // into one block of this texture's own, and makes the levels view that.
    void holdBytes();

private:
    std::vector<std::uint8_t> m_block;
};

struct TxdDecodeResult {
    std::vector<TxdDecodedTexture> Textures;
    std::string Error;      // empty when the whole dictionary was read
    bool Console = false;   // a console (PS2) dictionary: read as empty
    std::uint32_t LibraryVersion = 0; // of the dictionary chunk, as 0x3VVRR
};

// Whether the decoded levels copy their bytes or view the bytes given.
enum class TxdLevelBytes { Copied, InPlace };

// Never throws: whatever cannot be read is described in `Error`, and the textures read
// before (and, where the walk can go on, after) the fault are kept. With `InPlace` the
// levels view `bytes`, which must then outlive the result: for reading once and uploading.
TxdDecodeResult decodeTxd(std::span<const std::uint8_t> bytes, TxdLevelBytes levels = TxdLevelBytes::Copied);

// Palette entries a texture's levels carry: 32 for PAL4, 256 for PAL8 and for other 8-bit
// textures, 0 for textures without a palette.
std::size_t txdPaletteEntries(std::uint32_t rasterFormat, std::uint8_t depth);
