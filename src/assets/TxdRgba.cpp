#include "TxdRgba.h"

#include "TxdPixels.h"

#include <squish.h>

namespace {

std::vector<std::uint8_t> dxtRgba(const TTexture& texture, TxdPixelFormat format, const TxdLevel& level)
{
    std::vector<std::uint8_t> rgba;
    const int flags = format == TxdPixelFormat::Dxt1   ? squish::kDxt1
                      : format == TxdPixelFormat::Dxt3 ? squish::kDxt3
                                                       : squish::kDxt5;
    if (level.Data.size() < txdLevelBytes(format, level.Width, level.Height))
        return rgba;
    rgba.resize(std::size_t{level.Width} * level.Height * 4);
    squish::DecompressImage(rgba.data(), level.Width, level.Height, level.Data.data(), flags);
    // Without the alpha flag the game takes DXT1 as an RGB format: the blocks' transparent
    // colour draws black, not see-through.
    if (format == TxdPixelFormat::Dxt1 && texture.HasAlpha == 0)
        for (std::size_t i = 3; i < rgba.size(); i += 4)
            rgba[i] = 255;
    return rgba;
}

} // namespace

RgbaPicture txdLevelToRgba(const TTexture& texture, const TxdLevel& level)
{
    RgbaPicture picture{level.Width, level.Height, {}};
    const TxdPixelFormat format = txdPixelFormat(texture);
    if (txdIsDxt(format))
        picture.Pixels = dxtRgba(texture, format, level);
    else
        picture.Pixels = levelRgba(texture, level);
    return picture;
}

RgbaPicture txdTextureToRgba(const TxdDecodedTexture& texture)
{
    if (texture.Levels.empty())
        return {texture.Texture.Width, texture.Texture.Height, {}};
    return txdLevelToRgba(texture.Texture, texture.Levels.front());
}
