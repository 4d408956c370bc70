#pragma once

#include <cstdint>
#include <vector>

// A picture as 8-bit red, green, blue, alpha samples, rows from the top: what PNG files are
// read into and what the dictionary writer encodes.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // red, green, blue, alpha; width * height * 4 bytes
};
