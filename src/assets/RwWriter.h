#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

// Little-endian byte writer with RenderWare chunk framing, for building game files in
// tests and in the demo game. `chunk` writes a header, the body, then patches the size.
class RwWriter {
public:
    void u8(std::uint8_t value);
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void i32(std::int32_t value);
    void f32(float value);
    void bytes(std::span<const std::uint8_t> data);
    // `text` in a field of `width` bytes, zero-padded and cut to the width.
    void fixedText(std::string_view text, std::size_t width);
    void zeros(std::size_t count);

    void chunk(std::uint32_t type, std::uint32_t stamp, const std::function<void()>& body);
    // A string chunk: the text, a zero byte, padded with zeros to a multiple of 4.
    void stringChunk(std::uint32_t type, std::string_view text, std::uint32_t stamp);

    std::size_t size() const { return m_bytes.size(); }
    std::vector<std::uint8_t>& data() { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};
