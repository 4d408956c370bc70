#include "PngWriter.h"

#include <zlib.h>

#include <string_view>

namespace {

void putU32BigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Length, type, data, and the CRC of type and data.
void chunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data)
{
    putU32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    putU32BigEndian(out, static_cast<std::uint32_t>(crc));
}

} // namespace

std::vector<std::uint8_t> encodePng(int width, int height, std::span<const std::uint8_t> rgba)
{
    std::vector<std::uint8_t> png;
    if (width <= 0 || height <= 0)
        return png;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    if (rgba.size() != rowBytes * static_cast<std::size_t>(height))
        return png;

    // Each row is preceded by its filter type, 0 (none).
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const auto row = rgba.subspan(static_cast<std::size_t>(y) * rowBytes, rowBytes);
        raw.insert(raw.end(), row.begin(), row.end());
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return png;
    packed.resize(packedSize);

    static constexpr std::uint8_t Signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    png.assign(std::begin(Signature), std::end(Signature));
    std::vector<std::uint8_t> header;
    putU32BigEndian(header, static_cast<std::uint32_t>(width));
    putU32BigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits per sample, RGBA, deflate, no filters, no interlace
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", {});
    return png;
}
