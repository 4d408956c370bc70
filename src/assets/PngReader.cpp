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

// stb_image copies an empty IDAT chunk that comes before any picture data from a null
// buffer (harmless in practice, undefined all the same). Such chunks carry nothing, so a
// copy without them is decoded instead. Layout after the 8-byte signature, per chunk:
// u32 big-endian length, 4-byte type, data, u32 CRC. The walk stops at the first chunk the
// bytes do not hold whole; the rest is copied as it is, for the decoder to judge.
std::vector<std::uint8_t> withoutEmptyDataChunks(std::span<const std::uint8_t> bytes)
{
    constexpr std::size_t Signature = 8;
    constexpr std::size_t ChunkFrame = 12;
    std::vector<std::uint8_t> kept;
    std::size_t copiedTo = 0;
    std::size_t at = Signature;
    while (bytes.size() >= at && bytes.size() - at >= ChunkFrame) {
        const std::size_t length = (std::size_t{bytes[at]} << 24) | (std::size_t{bytes[at + 1]} << 16) |
                                   (std::size_t{bytes[at + 2]} << 8) | std::size_t{bytes[at + 3]};
        if (length > bytes.size() - at - ChunkFrame)
            break;
        if (length == 0 && std::memcmp(&bytes[at + 4], "IDAT", 4) == 0) {
            kept.insert(kept.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copiedTo),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at));
            copiedTo = at + ChunkFrame;
        }
        at += ChunkFrame + length;
    }
    if (copiedTo == 0)
        return {};
    kept.insert(kept.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copiedTo), bytes.end());
    return kept;
}

} // namespace

PngPicture decodePng(std::span<const std::uint8_t> bytes)
{
    const std::vector<std::uint8_t> cleaned = withoutEmptyDataChunks(bytes);
    if (!cleaned.empty())
        bytes = cleaned;
    PngPicture picture;
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
