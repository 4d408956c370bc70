#pragma once

#include "TxdDecoder.h"

#include <cstdint>
#include <vector>

// Texture levels as red, green, blue, alpha bytes decoded in software, rows from the top:
// what the game draws, for export and for the texture viewer where OpenGL cannot decode.

struct RgbaPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels; // Width x Height x 4 bytes; empty when not decodable
};

// The alpha is what the game draws with: PC dictionaries carry the mask already merged
// into the texture's own alpha, so formats with alpha keep it and formats without it (888
// palettes and pixels, DXT1 without the alpha flag, 565) are opaque.
// Palettes are expanded, DXT blocks decoded, 16-bit and luminance pixels widened.
// Empty pixels for formats the game does not draw and for levels shorter than their size.
RgbaPicture txdLevelToRgba(const TTexture& texture, const TxdLevel& level);

// The top level of a texture.
RgbaPicture txdTextureToRgba(const TxdDecodedTexture& texture);
