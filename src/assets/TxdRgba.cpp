#include "TxdRgba.h"

#include "TxdPixels.h"

#include <squish.h>

namespace {

constexpr std::uint32_t PixelFormatMask = 0x0F00;
constexpr std::uint32_t Format1555 = 0x0100;
constexpr std::uint32_t Format565 = 0x0200;
constexpr std::uint32_t Format4444 = 0x0300;
constexpr std::uint32_t Format888 = 0x0600;

std::size_t dxtBytes(const TxdLevel& level, int compression)
{
    const std::size_t blocks = std::size_t{(level.Width + 3u) / 4u} * ((level.Height + 3u) / 4u);
    return blocks * (compression == 1 ? 8 : 16);
}

std::vector<std::uint8_t> dxtRgba(const TTexture& texture, const TxdLevel& level)
{
    std::vector<std::uint8_t> rgba;
    int flags = 0;
    switch (texture.Compression) {
    case 1: flags = squish::kDxt1; break;
    case 3: flags = squish::kDxt3; break;
    case 5: flags = squish::kDxt5; break;
    default: return rgba;
    }
    if (level.Data.size() < dxtBytes(level, texture.Compression))
        return rgba;
    rgba.resize(std::size_t{level.Width} * level.Height * 4);
    squish::DecompressImage(rgba.data(), level.Width, level.Height, level.Data.data(), flags);
    // Without the alpha flag the game takes DXT1 as an RGB format: the blocks' transparent
    // colour draws black, not see-through.
    if (texture.Compression == 1 && texture.HasAlpha == 0)
        for (std::size_t i = 3; i < rgba.size(); i += 4)
            rgba[i] = 255;
    return rgba;
}

std::uint8_t widen(unsigned value, unsigned bits)
{
    return static_cast<std::uint8_t>(value * 255u / ((1u << bits) - 1u));
}

// Direct3D's A1R5G5B5, R5G6B5 and A4R4G4B4, little-endian words.
std::vector<std::uint8_t> sixteenBitRgba(const TTexture& texture, const TxdLevel& level)
{
    std::vector<std::uint8_t> rgba;
    const std::uint32_t format = texture.RasterFormat & PixelFormatMask;
    if (format != Format1555 && format != Format565 && format != Format4444)
        return rgba;
    const std::size_t pixels = std::size_t{level.Width} * level.Height;
    if (level.Data.size() / 2 < pixels)
        return rgba;
    rgba.resize(pixels * 4);
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned v = level.Data[i * 2] | (level.Data[i * 2 + 1] << 8);
        std::uint8_t* out = &rgba[i * 4];
        if (format == Format1555) {
            out[0] = widen((v >> 10) & 31, 5), out[1] = widen((v >> 5) & 31, 5), out[2] = widen(v & 31, 5);
            out[3] = (v & 0x8000) ? 255 : 0;
        } else if (format == Format565) {
            out[0] = widen((v >> 11) & 31, 5), out[1] = widen((v >> 5) & 63, 6), out[2] = widen(v & 31, 5);
            out[3] = 255;
        } else {
            out[0] = widen((v >> 8) & 15, 4), out[1] = widen((v >> 4) & 15, 4), out[2] = widen(v & 15, 4);
            out[3] = widen((v >> 12) & 15, 4);
        }
    }
    return rgba;
}

} // namespace

RgbaPicture txdLevelToRgba(const TTexture& texture, const TxdLevel& level)
{
    RgbaPicture picture{level.Width, level.Height, {}};
    if (texture.Depth == 8 || texture.Depth == 32) {
        picture.Pixels = levelRgba(texture, level);
        // 888 pixels carry a padding byte where the alpha would be.
        if (texture.Depth == 32 && (texture.RasterFormat & PixelFormatMask) == Format888)
            for (std::size_t i = 3; i < picture.Pixels.size(); i += 4)
                picture.Pixels[i] = 255;
    } else if (texture.Depth == 16) {
        picture.Pixels = texture.Compression != 0 ? dxtRgba(texture, level) : sixteenBitRgba(texture, level);
    }
    return picture;
}

RgbaPicture txdTextureToRgba(const TxdDecodedTexture& texture)
{
    if (texture.Levels.empty())
        return {texture.Texture.Width, texture.Texture.Height, {}};
    return txdLevelToRgba(texture.Texture, texture.Levels.front());
}
