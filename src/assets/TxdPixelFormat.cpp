#include "TxdPixelFormat.h"

namespace {

constexpr std::uint32_t PixelFormatMask = 0x0F00;
constexpr std::uint32_t Format1555 = 0x0100;
constexpr std::uint32_t Format565 = 0x0200;
constexpr std::uint32_t Format4444 = 0x0300;
constexpr std::uint32_t Format888 = 0x0600;
constexpr std::uint32_t Pal8 = 0x2000;
constexpr std::uint32_t Pal4 = 0x4000;

TxdPixelFormat dxtFormat(std::uint8_t number)
{
    switch (number) {
    case 1: return TxdPixelFormat::Dxt1;
    case 3: return TxdPixelFormat::Dxt3;
    case 5: return TxdPixelFormat::Dxt5;
    default: return TxdPixelFormat::Unknown;
    }
}

// Direct3D 8: the compression byte, then the depth with the raster format's pixel bits.
TxdPixelFormat direct3D8Format(const TTexture& texture)
{
    if (texture.Compression != 0)
        return dxtFormat(texture.Compression);
    const std::uint32_t pixels = texture.RasterFormat & PixelFormatMask;
    switch (texture.Depth) {
    case 8: return TxdPixelFormat::Paletted;
    case 32: return pixels == Format888 ? TxdPixelFormat::Bgrx8888 : TxdPixelFormat::Bgra8888;
    case 16:
        if (pixels == Format1555)
            return TxdPixelFormat::Argb1555;
        if (pixels == Format565)
            return TxdPixelFormat::Rgb565;
        if (pixels == Format4444)
            return TxdPixelFormat::Argb4444;
        return TxdPixelFormat::Unknown;
    default: return TxdPixelFormat::Unknown;
    }
}

} // namespace

std::uint8_t dxtNumberOfD3DFormat(std::uint32_t d3dFormat)
{
    switch (d3dFormat) {
    case D3DFormat::Dxt1: return 1;
    case D3DFormat::Dxt3: return 3;
    case D3DFormat::Dxt5: return 5;
    default: return 0;
    }
}

TxdPixelFormat txdPixelFormat(const TTexture& texture)
{
    if (texture.Platform != TxdPlatform::Direct3D9)
        return direct3D8Format(texture);
    switch (texture.D3DFormat) {
    case D3DFormat::Dxt1: return TxdPixelFormat::Dxt1;
    case D3DFormat::Dxt3: return TxdPixelFormat::Dxt3;
    case D3DFormat::Dxt5: return TxdPixelFormat::Dxt5;
    case D3DFormat::A8R8G8B8: return TxdPixelFormat::Bgra8888;
    case D3DFormat::X8R8G8B8: return TxdPixelFormat::Bgrx8888;
    case D3DFormat::R5G6B5: return TxdPixelFormat::Rgb565;
    case D3DFormat::A1R5G5B5: return TxdPixelFormat::Argb1555;
    case D3DFormat::A4R4G4B4: return TxdPixelFormat::Argb4444;
    case D3DFormat::P8: return TxdPixelFormat::Paletted;
    case D3DFormat::L8: return TxdPixelFormat::Luminance8;
    case D3DFormat::A8L8: return TxdPixelFormat::LuminanceAlpha8;
    default:
        // Paletted textures of some converters leave the code 0: their raster format says it.
        if ((texture.RasterFormat & (Pal8 | Pal4)) != 0 && texture.Depth == 8)
            return TxdPixelFormat::Paletted;
        return TxdPixelFormat::Unknown;
    }
}

std::size_t txdLevelBytes(TxdPixelFormat format, std::uint16_t width, std::uint16_t height)
{
    const std::size_t pixels = std::size_t{width} * height;
    const std::size_t blocks = std::size_t{(width + 3u) / 4u} * ((height + 3u) / 4u);
    switch (format) {
    case TxdPixelFormat::Dxt1: return blocks * 8;
    case TxdPixelFormat::Dxt3:
    case TxdPixelFormat::Dxt5: return blocks * 16;
    case TxdPixelFormat::Bgra8888:
    case TxdPixelFormat::Bgrx8888: return pixels * 4;
    case TxdPixelFormat::Argb1555:
    case TxdPixelFormat::Rgb565:
    case TxdPixelFormat::Argb4444:
    case TxdPixelFormat::LuminanceAlpha8: return pixels * 2;
    case TxdPixelFormat::Paletted:
    case TxdPixelFormat::Luminance8: return pixels;
    case TxdPixelFormat::Unknown: return 0;
    }
    return 0;
}

std::string_view txdPixelFormatName(TxdPixelFormat format, std::uint32_t rasterFormat)
{
    switch (format) {
    case TxdPixelFormat::Dxt1: return "DXT1";
    case TxdPixelFormat::Dxt3: return "DXT3";
    case TxdPixelFormat::Dxt5: return "DXT5";
    case TxdPixelFormat::Bgra8888: return "A8R8G8B8";
    case TxdPixelFormat::Bgrx8888: return "X8R8G8B8";
    case TxdPixelFormat::Argb1555: return "A1R5G5B5";
    case TxdPixelFormat::Rgb565: return "R5G6B5";
    case TxdPixelFormat::Argb4444: return "A4R4G4B4";
    case TxdPixelFormat::Paletted: return (rasterFormat & Pal4) != 0 && (rasterFormat & Pal8) == 0 ? "PAL4" : "PAL8";
    case TxdPixelFormat::Luminance8: return "L8";
    case TxdPixelFormat::LuminanceAlpha8: return "A8L8";
    case TxdPixelFormat::Unknown: return "unknown";
    }
    return "unknown";
}

bool txdPaletteHasAlpha(std::uint32_t rasterFormat)
{
    return (rasterFormat & PixelFormatMask) != Format888;
}
