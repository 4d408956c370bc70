#pragma once

#include "ByteReader.h"

#include <cstdint>

// RenderWare binary streams: every chunk starts with a 12-byte header.
//
//   offset  width  meaning
//   0       u32    chunk type
//   4       u32    size of the chunk's data, after this header
//   8       u32    library version stamp (low half, high half)
namespace RwChunkType {
constexpr std::uint32_t Struct = 1;
constexpr std::uint32_t String = 2;
constexpr std::uint32_t Extension = 3;
constexpr std::uint32_t Texture = 6;
constexpr std::uint32_t Material = 7;
constexpr std::uint32_t MaterialList = 8;
constexpr std::uint32_t FrameList = 14;
constexpr std::uint32_t Geometry = 15;
constexpr std::uint32_t Clump = 16;
constexpr std::uint32_t Atomic = 20;
constexpr std::uint32_t TextureNative = 21;
constexpr std::uint32_t TextureDictionary = 22;
constexpr std::uint32_t GeometryList = 26;
constexpr std::uint32_t BinMesh = 0x50E;
constexpr std::uint32_t FrameName = 0x253F2FE;
} // namespace RwChunkType

// The library version a stamp stands for, as 0x3VVRR (3.4.0.3 is 0x34003). Stamps with a
// non-zero high half are in the library ID form (0x1003FFFF); older files carry the
// version itself shifted down by 8 bits (0x00000310 is 3.1.0.0).
constexpr std::uint32_t rwLibraryVersion(std::uint32_t stamp)
{
    if ((stamp & 0xFFFF0000u) != 0)
        return (((stamp >> 14) & 0x3FF00u) + 0x30000u) | ((stamp >> 16) & 0x3Fu);
    return stamp << 8;
}

// The stamp a writer puts in its files for a library version (0x34003 gives 0x1003FFFF);
// versions before 3.1.0.1 get the old form.
constexpr std::uint32_t rwVersionStamp(std::uint32_t libraryVersion, std::uint32_t build = 0xFFFF)
{
    if (libraryVersion < 0x31001u)
        return libraryVersion >> 8;
    const std::uint32_t v = libraryVersion - 0x30000u;
    return (((v & 0x3FF00u) << 14) | ((v & 0x3Fu) << 16)) | (build & 0xFFFFu);
}

struct RwChunkHeader {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::uint32_t stamp = 0;

    std::uint32_t libraryVersion() const { return rwLibraryVersion(stamp); }

    static RwChunkHeader read(ByteReader& reader)
    {
        RwChunkHeader header;
        header.type = reader.u32();
        header.size = reader.u32();
        header.stamp = reader.u32();
        return header;
    }
};

constexpr std::size_t RwChunkHeaderSize = 12;
