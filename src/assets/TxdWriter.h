#pragma once

#include "RgbaImage.h"

#include <cstdint>
#include <string>
#include <vector>

// Texture dictionaries as the PC versions of both games store them (Direct3D 8 native
// textures, platform 8). Two levels of use: `encodeTexture` turns an RGBA picture into a
// stored texture of a chosen format with mip levels; `TxdTextureData` can also be filled
// by hand for exact bytes (corrupt and odd files in tests).

enum class TxdFormat {
    Pal4_8888, // 32-entry palette with alpha, one index byte per pixel
    Pal4_888,  // 32-entry palette, alpha bytes meaningless (written as 0)
    Pal8_8888, // 256-entry palette with alpha
    Pal8_888,
    Rgba32,    // blue, green, red, alpha per pixel
    Rgb32,     // blue, green, red and an unused byte (written as 255) per pixel: 888
    Dxt1,      // no alpha
    Dxt1Alpha, // one-bit alpha
    Dxt3,
    Dxt5,
};

// Raster format word bits (offset 96 of a texture).
namespace TxdRaster {
constexpr std::uint32_t Format1555 = 0x0100;
constexpr std::uint32_t Format565 = 0x0200;
constexpr std::uint32_t Format4444 = 0x0300;
constexpr std::uint32_t Format8888 = 0x0500;
constexpr std::uint32_t Format888 = 0x0600;
constexpr std::uint32_t Pal8 = 0x2000;
constexpr std::uint32_t Pal4 = 0x4000;
constexpr std::uint32_t MipMaps = 0x8000;
} // namespace TxdRaster

struct TxdLevelData {
    std::vector<std::uint8_t> data;    // written after its u32 size
};

struct TxdTextureData {
    std::uint32_t platform = 8;          // 0x00325350 ("PS2\0") is the console tag
    std::uint32_t filterFlags = 0x1106;
    std::string name;                    // 32-byte field
    std::string mask;                    // 32-byte field
    std::uint32_t rasterFormat = 0;
    std::uint32_t hasAlpha = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t depth = 32;
    std::uint8_t rasterType = 4;
    std::uint8_t compression = 0;        // 0, or the DXT number 1, 3, 5
    // 8-bit textures: 128 (PAL4) or 1024 (PAL8) bytes, written once before the first level,
    // shared by all levels; else empty.
    std::vector<std::uint8_t> palette;
    std::vector<TxdLevelData> levels;    // the level count byte is levels.size()
};

// How DXT1 (without alpha) and DXT3 colour blocks are fitted: `Fast` with stb_dxt's high
// quality mode (about 0.3 dB below the best on photographs, some sixty times faster), `Best`
// with libsquish's iterative cluster fit. One-bit alpha DXT1 and DXT5 always use libsquish.
enum class TxdDxtFit { Fast, Best };

// Encodes `image` (level 0) and `levelCount` levels in all, each half the size of the one
// before (at least 1x1), box-filtered. A palette is built from the colours of all levels.
TxdTextureData encodeTexture(const std::string& name, const std::string& mask, TxdFormat format,
                             const RgbaImage& image, int levelCount, TxdDxtFit fit = TxdDxtFit::Fast);

// One texture native chunk (struct plus an empty extension), as `writeTxd` writes it.
std::vector<std::uint8_t> writeTextureNative(const TxdTextureData& texture, std::uint32_t stamp);

// The whole dictionary: dictionary chunk, struct (u16 count, u16 device 0), one texture
// native chunk per texture (struct plus an empty extension), the dictionary's extension.
std::vector<std::uint8_t> writeTxd(const std::vector<TxdTextureData>& textures, std::uint32_t stamp);
