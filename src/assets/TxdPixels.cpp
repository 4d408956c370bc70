#include "TxdPixels.h"

namespace {

std::uint8_t widen(unsigned value, unsigned bits)
{
    return static_cast<std::uint8_t>(value * 255u / ((1u << bits) - 1u));
}

void put(std::uint8_t* out, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
{
    out[0] = red, out[1] = green, out[2] = blue, out[3] = alpha;
}

// Direct3D's A1R5G5B5, R5G6B5 and A4R4G4B4 in a little-endian word.
void sixteenBit(TxdPixelFormat format, unsigned v, std::uint8_t* out)
{
    if (format == TxdPixelFormat::Argb1555)
        put(out, widen((v >> 10) & 31, 5), widen((v >> 5) & 31, 5), widen(v & 31, 5), (v & 0x8000) ? 255 : 0);
    else if (format == TxdPixelFormat::Rgb565)
        put(out, widen((v >> 11) & 31, 5), widen((v >> 5) & 63, 6), widen(v & 31, 5), 255);
    else
        put(out, widen((v >> 8) & 15, 4), widen((v >> 4) & 15, 4), widen(v & 15, 4), widen((v >> 12) & 15, 4));
}

} // namespace

std::vector<std::uint8_t> levelRgba(const TTexture& texture, const TxdLevel& level)
{
    const TxdPixelFormat format = txdPixelFormat(texture);
    const std::size_t pixels = std::size_t{level.Width} * level.Height;
    std::vector<std::uint8_t> rgba;
    const std::size_t needed = txdLevelBytes(format, level.Width, level.Height);
    if (needed == 0 || level.Data.size() < needed)
        return rgba;
    const std::uint8_t* in = level.Data.data();
    switch (format) {
    case TxdPixelFormat::Bgra8888:
    case TxdPixelFormat::Bgrx8888: {
        rgba.assign(in, in + pixels * 4);
        const bool opaque = format == TxdPixelFormat::Bgrx8888;
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            std::swap(rgba[i], rgba[i + 2]);
            if (opaque)
                rgba[i + 3] = 255;
        }
        break;
    }
    case TxdPixelFormat::Argb1555:
    case TxdPixelFormat::Rgb565:
    case TxdPixelFormat::Argb4444:
        rgba.resize(pixels * 4);
        for (std::size_t i = 0; i < pixels; ++i)
            sixteenBit(format, in[i * 2] | (in[i * 2 + 1] << 8), &rgba[i * 4]);
        break;
    case TxdPixelFormat::Luminance8:
    case TxdPixelFormat::LuminanceAlpha8: {
        const std::size_t step = format == TxdPixelFormat::Luminance8 ? 1 : 2;
        rgba.resize(pixels * 4);
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::uint8_t l = in[i * step];
            put(&rgba[i * 4], l, l, l, step == 1 ? 255 : in[i * step + 1]);
        }
        break;
    }
    case TxdPixelFormat::Paletted: {
        const std::size_t entries = level.Palette.size() / 4;
        const bool alpha = txdPaletteHasAlpha(texture.RasterFormat);
        rgba.resize(pixels * 4, 0);
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::size_t index = in[i];
            if (index >= entries)
                continue;
            const std::uint8_t* entry = &level.Palette[index * 4];
            put(&rgba[i * 4], entry[0], entry[1], entry[2], alpha ? entry[3] : 255);
        }
        break;
    }
    default:
        break;
    }
    return rgba;
}
