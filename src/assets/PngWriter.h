#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The bytes of a PNG file of 8-bit red, green, blue, alpha pixels, rows from the top. Empty
// when the size does not match the pixels or is 0.
std::vector<std::uint8_t> encodePng(int width, int height, std::span<const std::uint8_t> rgba);
