#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Where a model or texture dictionary reads its bytes: the archive's data file or a loose
// file held in memory. `readAt` returns how many bytes it could give (fewer at the end).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) const = 0;
    // All of the source's bytes when it holds them in memory, so that readers can read
    // them in place; nothing for a source that has to copy them out (a file).
    virtual std::optional<std::span<const std::uint8_t>> inMemory() const { return std::nullopt; }
};

// A whole file (or any bytes) held in memory.
class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) const override;
    std::optional<std::span<const std::uint8_t>> inMemory() const override { return std::span(m_bytes); }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Reads `length` bytes at `offset`; the result is shorter when the source ends first.
std::vector<std::uint8_t> readSourceBytes(const ByteSource& source, std::uint64_t offset, std::uint64_t length);

// The same into the front of `buffer`, which grows as needed and never shrinks, so that
// repeated reads reuse it; returns how many bytes were read.
std::size_t readSourceBytesInto(const ByteSource& source, std::uint64_t offset, std::uint64_t length,
                                std::vector<std::uint8_t>& buffer);

// The `length` bytes at `offset` (fewer when the source ends first): in place when the
// source holds them in memory, else read into `buffer` as above. The view lasts until the
// source or `buffer` changes.
std::span<const std::uint8_t> viewSourceBytes(const ByteSource& source, std::uint64_t offset, std::uint64_t length,
                                              std::vector<std::uint8_t>& buffer);
