#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

// A read past the bytes a reader was given. Binary readers throw it internally and turn it
// into a message at their public function; it never reaches a window.
class ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bounds-checked little-endian reader over a span of bytes. Every read checks what remains;
// positions are relative to the start of the span, and `absolute()` adds the span's own
// offset within the file so messages can name the byte where a file went wrong.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t base = 0) : m_bytes(bytes), m_base(base) {}

    std::size_t size() const { return m_bytes.size(); }
    std::size_t position() const { return m_position; }
    std::size_t remaining() const { return m_bytes.size() - m_position; }
    std::size_t absolute() const { return m_base + m_position; }
    bool atEnd() const { return m_position >= m_bytes.size(); }

    void seek(std::size_t position)
    {
        if (position > m_bytes.size())
            fail("seek", position - m_position);
        m_position = position;
    }
    void skip(std::size_t count)
    {
        require(count, "skip");
        m_position += count;
    }

    std::uint8_t u8() { return readLittle<std::uint8_t>(); }
    std::uint16_t u16() { return readLittle<std::uint16_t>(); }
    std::uint32_t u32() { return readLittle<std::uint32_t>(); }
    std::int32_t i32() { return static_cast<std::int32_t>(readLittle<std::uint32_t>()); }
    float f32()
    {
        const std::uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // The next `count` bytes, without copying.
    std::span<const std::uint8_t> bytes(std::size_t count)
    {
        require(count, "read");
        const auto view = m_bytes.subspan(m_position, count);
        m_position += count;
        return view;
    }

    // `count` records of plain little-endian numbers (floats, integers, arrays of them) in
    // one copy; the bytes are checked before the vector grows.
    template <typename T>
    void readArray(std::vector<T>& into, std::size_t count, const char* what)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        static_assert(std::endian::native == std::endian::little, "files are little-endian, as this machine");
        requireRecords(count, sizeof(T), what);
        into.resize(count);
        if (count != 0)
            std::memcpy(into.data(), bytes(count * sizeof(T)).data(), count * sizeof(T));
    }

    // A reader over the next `count` bytes; this reader moves past them.
    ByteReader sub(std::size_t count)
    {
        const std::size_t start = absolute();
        return ByteReader(bytes(count), start);
    }

    // A fixed-width name field: the text up to the first zero byte within `width` bytes.
    std::string fixedText(std::size_t width)
    {
        const auto field = bytes(width);
        std::size_t length = 0;
        while (length < width && field[length] != 0)
            ++length;
        return std::string(reinterpret_cast<const char*>(field.data()), length);
    }

    // Throws unless `count` records of `elementSize` bytes fit in what remains: the check
    // made before anything is allocated for a count read from a file.
    void requireRecords(std::uint64_t count, std::size_t elementSize, const char* what) const
    {
        if (elementSize != 0 && count > remaining() / elementSize)
            throw ReadError(std::string(what) + " count " + std::to_string(count) + " at byte " +
                            std::to_string(absolute()) + " needs more bytes than the " +
                            std::to_string(remaining()) + " left");
    }

    bool has(std::size_t count) const { return count <= remaining(); }

private:
    template <typename T>
    T readLittle()
    {
        static_assert(std::endian::native == std::endian::little, "files are little-endian, as this machine");
        require(sizeof(T), "read");
        T value;
        std::memcpy(&value, m_bytes.data() + m_position, sizeof(T));
        m_position += sizeof(T);
        return value;
    }

    void require(std::size_t count, const char* what) const
    {
        if (count > remaining())
            fail(what, count);
    }

    [[noreturn]] void fail(const char* what, std::size_t count) const
    {
        throw ReadError(std::string("cannot ") + what + " " + std::to_string(count) + " bytes at byte " +
                        std::to_string(absolute()) + ": only " + std::to_string(remaining()) + " left");
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_base = 0;
    std::size_t m_position = 0;
};
