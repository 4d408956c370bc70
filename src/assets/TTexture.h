#pragma once

#include <cstdint>
#include <string>

// One texture of a dictionary as the texture viewer and the model drawing see it: its
// names and format fields. The pixels live only while the dictionary is being loaded.
struct TTexture {
    std::string Name;
    std::string MaskName;
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::uint16_t HasAlpha = 0;  // 1 when the texture has alpha
    std::uint8_t Levels = 0;     // mip levels in the file
    std::uint8_t RasterType = 0; // as stored, not interpreted
    std::uint8_t Compression = 0; // 0 none, 1 DXT1, 3 DXT3, 5 DXT5 (others shown as unknown)
    std::uint8_t Depth = 0;      // bits per pixel
    std::uint32_t DataSize = 0;  // size of the last level read
    std::uint32_t RasterFormat = 0; // pixel format 0x0F00, PAL8 0x2000, PAL4 0x4000, mip levels 0x8000
    // Direct3D 8 (8) or Direct3D 9 (9) layout. A Direct3D 9 texture stores a format code
    // where Direct3D 8 has its alpha flag and a flags byte where it has its compression
    // byte: `HasAlpha` and `Compression` are then taken from those, for the viewer.
    std::uint32_t Platform = 8;
    std::uint32_t D3DFormat = 0; // Direct3D 9 only
    std::uint8_t D3DFlags = 0;   // Direct3D 9 only: 1 alpha, 2 cube map, 4 automatic mip levels, 8 compressed

    bool operator==(const TTexture&) const = default;
};
