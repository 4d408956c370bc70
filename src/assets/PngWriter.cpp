#include "PngWriter.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// stb_image_write's own deflate is small and weak; zlib makes files about a third smaller.
// The result is handed to stb's free, so it comes from malloc.
unsigned char* zlibCompress(unsigned char* data, int length, int* outLength, int quality)
{
    uLongf packedSize = compressBound(static_cast<uLong>(length));
    auto* packed = static_cast<unsigned char*>(std::malloc(packedSize));
    if (packed == nullptr)
        return nullptr;
    if (compress2(packed, &packedSize, data, static_cast<uLong>(length), quality > 9 ? 9 : quality) != Z_OK ||
        packedSize > static_cast<uLongf>(std::numeric_limits<int>::max())) {
        std::free(packed);
        return nullptr;
    }
    *outLength = static_cast<int>(packedSize);
    return packed;
}

} // namespace

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#define STBIW_ZLIB_COMPRESS zlibCompress
#include <stb_image_write.h>

std::vector<std::uint8_t> encodePng(int width, int height, std::span<const std::uint8_t> rgba)
{
    std::vector<std::uint8_t> png;
    if (width <= 0 || height <= 0 || width > std::numeric_limits<int>::max() / 4)
        return png;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    if (rgba.size() != rowBytes * static_cast<std::size_t>(height))
        return png;
    const auto append = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(context);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out->insert(out->end(), bytes, bytes + size);
    };
    if (stbi_write_png_to_func(append, &png, width, height, 4, rgba.data(), static_cast<int>(rowBytes)) == 0)
        png.clear();
    return png;
}
