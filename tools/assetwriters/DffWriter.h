#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Models (clumps) in the chunk layout both games read: frame list with names in frame
// extensions, geometry list, atomics. The material struct is 28 bytes; the geometry struct
// carries surface properties only before library version 3.4 (stamps below 0x1003FFFF).

struct DffFrame {
    std::string name;                    // written as a frame name chunk; empty: none written
    std::array<float, 9> rotation{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::array<float, 3> position{0, 0, 0};
    std::int32_t parent = -1;
    std::uint32_t matrixFlags = 0;
};

struct DffMaterial {
    std::string texture;                 // empty: untextured, no texture chunk
    std::string mask;
    std::array<std::uint8_t, 4> colour{255, 255, 255, 255};
};

struct DffSplit {
    std::uint32_t material = 0;
    std::vector<std::uint32_t> indices;
};

struct DffGeometry {
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<float, 3>> normals;            // empty: none (flag 16 clear)
    std::vector<std::array<float, 2>> texCoords;          // empty: none (flag 4 clear)
    std::vector<std::array<std::uint8_t, 4>> prelit;      // empty: none (flag 8 clear)
    std::vector<std::array<std::uint16_t, 4>> triangles;  // empty: derived from the splits
    std::vector<DffMaterial> materials;
    bool strips = false;                                  // bin mesh face type 1
    std::vector<DffSplit> splits;                         // empty: no bin mesh chunk
};

struct DffAtomic {
    std::int32_t frame = 0;
    std::int32_t geometry = 0;
    std::uint32_t flags = 5;
};

struct DffClump {
    std::vector<DffFrame> frames;
    std::vector<DffGeometry> geometries;
    std::vector<DffAtomic> atomics;
};

// GTA III files: 0x0800FFFF (also 0x00000310, 0x0401FFFF); Vice City: 0x0C02FFFF, 0x1003FFFF.
std::vector<std::uint8_t> writeDff(const DffClump& clump, std::uint32_t stamp);
