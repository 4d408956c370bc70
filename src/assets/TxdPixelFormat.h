#pragma once

#include "TTexture.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// How a texture's level bytes are laid out, decided once from its fields the way the games
// decide: in Direct3D 8 dictionaries (platform 8) a compression byte of 1, 3 or 5 makes a
// DXT texture whatever the depth and raster format say (real mod files hold DXT textures
// with depth 32 and raster format 888 or 8888, and DXT1 with depth 4); in Direct3D 9
// dictionaries (platform 9) the Direct3D format code decides.
enum class TxdPixelFormat : std::uint8_t {
    Unknown,
    Dxt1,
    Dxt3,
    Dxt5,
    Bgra8888,  // bytes blue, green, red, alpha (A8R8G8B8)
    Bgrx8888,  // the same with a padding byte: opaque (X8R8G8B8, raster format 888)
    Argb1555,  // little-endian 16-bit words
    Rgb565,
    Argb4444,
    Paletted,  // one index byte per pixel into the texture's palette
    Luminance8,
    LuminanceAlpha8,  // two bytes: luminance, alpha
};

namespace TxdPlatform {
constexpr std::uint32_t Direct3D8 = 8;
constexpr std::uint32_t Direct3D9 = 9;
} // namespace TxdPlatform

// Direct3D 9 format codes met in dictionaries; DXT formats are four-character codes.
namespace D3DFormat {
constexpr std::uint32_t A8R8G8B8 = 21;
constexpr std::uint32_t X8R8G8B8 = 22;
constexpr std::uint32_t R5G6B5 = 23;
constexpr std::uint32_t A1R5G5B5 = 25;
constexpr std::uint32_t A4R4G4B4 = 26;
constexpr std::uint32_t P8 = 41;
constexpr std::uint32_t L8 = 50;
constexpr std::uint32_t A8L8 = 51;
constexpr std::uint32_t Dxt1 = 0x31545844; // "DXT1"
constexpr std::uint32_t Dxt3 = 0x33545844;
constexpr std::uint32_t Dxt5 = 0x35545844;
} // namespace D3DFormat

// The flags byte of a Direct3D 9 texture (where Direct3D 8 has its compression byte).
namespace D3DFlags {
constexpr std::uint8_t Alpha = 1;
constexpr std::uint8_t CubeMap = 2;
constexpr std::uint8_t AutoMipLevels = 4;
constexpr std::uint8_t Compressed = 8;
} // namespace D3DFlags

TxdPixelFormat txdPixelFormat(const TTexture& texture);

constexpr bool txdIsDxt(TxdPixelFormat format)
{
    return format == TxdPixelFormat::Dxt1 || format == TxdPixelFormat::Dxt3 || format == TxdPixelFormat::Dxt5;
}

// The DXT number of a Direct3D 9 format code (1, 3, 5), or 0.
std::uint8_t dxtNumberOfD3DFormat(std::uint32_t d3dFormat);

// Bytes a level of that size needs in that format; 0 for an unknown format.
std::size_t txdLevelBytes(TxdPixelFormat format, std::uint16_t width, std::uint16_t height);

// The format's name in Direct3D terms ("DXT1", "A8R8G8B8", "PAL8" ...), for reports.
std::string_view txdPixelFormatName(TxdPixelFormat format, std::uint32_t rasterFormat);

// Whether the texture's palette entries carry alpha: 888 palettes hold meaningless alpha
// bytes and are drawn opaque.
bool txdPaletteHasAlpha(std::uint32_t rasterFormat);
