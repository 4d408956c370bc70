#include "PngReader.h"

#include "FileIO.h"

#include <cerrno>
#include <cstring>
#include <limits>

// Only the PNG decoder, and no file access of its own: files are read through the program's
// UTF-8 paths. Pictures above 16384 pixels a side are refused before anything is allocated
// (no texture of the games comes near, and a hostile header may claim 2^31).
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#include <stb_image.h>

#include <vector>

namespace {

constexpr std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct ChunkWalk {
    // A copy without empty IDAT chunks; empty when there were none.
    std::vector<std::uint8_t> withoutEmptyData;
    // A chunk before IEND claims more bytes than the file holds.
    bool truncated = false;
};

// Walks the chunks before decoding, for two faults of stb_image. It copies an empty IDAT
// chunk that comes before any picture data from a null buffer (harmless in practice,
// undefined all the same): such chunks carry nothing, so a copy without them is decoded
// instead. And it grows its buffer for the picture data to a chunk's claimed length before
// reading the chunk, so a few bytes claiming a gigabyte cost two: such a file is refused
// here. Layout after the 8-byte signature, per chunk: u32 big-endian length, 4-byte type,
// data, u32 CRC. The walk ends at IEND; what follows is the decoder's to ignore.
ChunkWalk walkChunks(std::span<const std::uint8_t> bytes)
{
    constexpr std::size_t ChunkHeader = 8;
    constexpr std::size_t ChunkFrame = 12;
    ChunkWalk walk;
    if (bytes.size() < sizeof PngSignature || std::memcmp(bytes.data(), PngSignature, sizeof PngSignature) != 0)
        return walk;
    std::vector<std::uint8_t>& kept = walk.withoutEmptyData;
    std::size_t copiedTo = 0;
    std::size_t at = sizeof PngSignature;
    // A whole header is all the decoder needs to size its buffer; fewer bytes than that read
    // as zeros, a length of nothing.
    while (bytes.size() - at >= ChunkHeader) {
        const std::size_t length = (std::size_t{bytes[at]} << 24) | (std::size_t{bytes[at + 1]} << 16) |
                                   (std::size_t{bytes[at + 2]} << 8) | std::size_t{bytes[at + 3]};
        if (bytes.size() - at < ChunkFrame || length > bytes.size() - at - ChunkFrame) {
            walk.truncated = true;
            break;
        }
        const std::uint8_t* type = &bytes[at + 4];
        if (length == 0 && std::memcmp(type, "IDAT", 4) == 0) {
            kept.insert(kept.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copiedTo),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at));
            copiedTo = at + ChunkFrame;
        }
        at += ChunkFrame + length;
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
    }
    if (copiedTo != 0)
        kept.insert(kept.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copiedTo), bytes.end());
    return walk;
}

} // namespace

PngPicture decodePng(std::span<const std::uint8_t> bytes)
{
    const ChunkWalk walk = walkChunks(bytes);
    PngPicture picture;
    if (walk.truncated) {
        picture.error = "not a readable PNG picture (a chunk reaches past the end of the file)";
        return picture;
    }
    if (!walk.withoutEmptyData.empty())
        bytes = walk.withoutEmptyData;
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        picture.error = "too large to be read";
        return picture;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels, 4);
    if (pixels == nullptr) {
        const char* reason = stbi_failure_reason();
        picture.error = std::string("not a readable PNG picture (") + (reason != nullptr ? reason : "unknown fault") + ")";
        return picture;
    }
    picture.image.width = width;
    picture.image.height = height;
    picture.image.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    stbi_image_free(pixels);
    return picture;
}

PngPicture readPngFile(const std::string& path)
{
    std::string contents;
    if (const int error = appendFileContents(path, contents)) {
        PngPicture picture;
        picture.error = std::strerror(error);
        return picture;
    }
    return decodePng(std::span(reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size()));
}
