#pragma once

#include "TxdDecoder.h"
#include "TxdPixelFormat.h"

#include <cstdint>
#include <vector>

// Turning stored levels into red-green-blue-alpha bytes, for upload and export.

// The level as Width x Height x 4 bytes of red, green, blue, alpha, for every format that is
// not block-compressed: 32-bit pixels with the first and third byte swapped (X8R8G8B8 and
// 888 opaque), 16-bit words widened, luminance spread over red, green and blue, paletted
// indices looked up in the level's palette (an index past the palette gives transparent
// black; 888 palettes are opaque). Empty for DXT and unknown formats and for a level with
// fewer bytes than its size needs.
std::vector<std::uint8_t> levelRgba(const TTexture& texture, const TxdLevel& level);
