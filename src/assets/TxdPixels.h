#pragma once

#include "TxdDecoder.h"

#include <cstdint>
#include <vector>

// Turning stored levels into red-green-blue-alpha bytes, for upload and export.

// Whether the texture's palette entries carry alpha: 888 palettes hold meaningless alpha
// bytes and are drawn opaque.
bool txdPaletteHasAlpha(std::uint32_t rasterFormat);

// The level as Width x Height x 4 bytes of red, green, blue, alpha: 32-bit pixels with the
// first and third byte swapped, 8-bit indices looked up in the level's palette (an index
// past the palette gives transparent black). Empty for other formats and for a level with
// fewer bytes than its size needs.
std::vector<std::uint8_t> levelRgba(const TTexture& texture, const TxdLevel& level);
