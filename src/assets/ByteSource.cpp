#include "ByteSource.h"

#include <algorithm>
#include <cstring>

std::size_t MemoryByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> into) const
{
    if (offset >= m_bytes.size())
        return 0;
    const std::size_t count = std::min<std::size_t>(into.size(), m_bytes.size() - offset);
    std::memcpy(into.data(), m_bytes.data() + offset, count);
    return count;
}

std::size_t readSourceBytesInto(const ByteSource& source, std::uint64_t offset, std::uint64_t length,
                                std::vector<std::uint8_t>& buffer)
{
    // Entries name their own length; a huge one from a corrupt directory must not be
    // allocated before the source shows it really has those bytes, so read in pieces.
    constexpr std::uint64_t Piece = 1u << 20;
    std::size_t done = 0;
    while (done < length) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(Piece, length - done));
        if (buffer.size() < done + want)
            buffer.resize(done + want);
        const std::size_t got = source.readAt(offset + done, std::span(buffer.data() + done, want));
        done += got;
        if (got < want)
            break;
    }
    return done;
}

std::vector<std::uint8_t> readSourceBytes(const ByteSource& source, std::uint64_t offset, std::uint64_t length)
{
    std::vector<std::uint8_t> bytes;
    bytes.resize(readSourceBytesInto(source, offset, length, bytes));
    return bytes;
}

std::span<const std::uint8_t> viewSourceBytes(const ByteSource& source, std::uint64_t offset, std::uint64_t length,
                                              std::vector<std::uint8_t>& buffer)
{
    if (const auto all = source.inMemory()) {
        if (offset >= all->size())
            return {};
        return all->subspan(static_cast<std::size_t>(offset),
                            static_cast<std::size_t>(std::min<std::uint64_t>(length, all->size() - offset)));
    }
    return std::span<const std::uint8_t>(buffer.data(), readSourceBytesInto(source, offset, length, buffer));
}
