#include "TxdPixels.h"

namespace {
constexpr std::uint32_t PixelFormatMask = 0x0F00;
constexpr std::uint32_t Format888 = 0x0600;
} // namespace

bool txdPaletteHasAlpha(std::uint32_t rasterFormat)
{
    return (rasterFormat & PixelFormatMask) != Format888;
}

std::vector<std::uint8_t> levelRgba(const TTexture& texture, const TxdLevel& level)
{
    const std::size_t pixels = std::size_t{level.Width} * level.Height;
    std::vector<std::uint8_t> rgba;
    if (texture.Depth == 32) {
        if (level.Data.size() / 4 < pixels)
            return rgba;
        rgba.assign(level.Data.begin(), level.Data.begin() + static_cast<std::ptrdiff_t>(pixels * 4));
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            std::swap(rgba[i], rgba[i + 2]);
    } else if (texture.Depth == 8) {
        if (level.Data.size() < pixels)
            return rgba;
        const std::size_t entries = level.Palette.size() / 4;
        const bool alpha = txdPaletteHasAlpha(texture.RasterFormat);
        rgba.resize(pixels * 4, 0);
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::size_t index = level.Data[i];
            if (index >= entries)
                continue;
            for (std::size_t c = 0; c < 4; ++c)
                rgba[i * 4 + c] = level.Palette[index * 4 + c];
            if (!alpha)
                rgba[i * 4 + 3] = 255;
        }
    }
    return rgba;
}
