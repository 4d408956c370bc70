#pragma once

#include "RgbaImage.h"

#include <cstdint>
#include <span>
#include <string>

// PNG pictures of any colour type and bit depth (palette, grey, grey with alpha, RGB, RGBA;
// 1 to 16 bits; transparency chunks; interlaced) read as 8-bit red, green, blue, alpha.
struct PngPicture {
    RgbaImage image;
    std::string error; // empty when read; else why not (the image is then empty)
};

PngPicture decodePng(std::span<const std::uint8_t> bytes);
PngPicture readPngFile(const std::string& path);
