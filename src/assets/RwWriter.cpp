#include "RwWriter.h"

#include <cstring>

void RwWriter::u8(std::uint8_t value)
{
    m_bytes.push_back(value);
}

void RwWriter::u16(std::uint16_t value)
{
    u8(static_cast<std::uint8_t>(value));
    u8(static_cast<std::uint8_t>(value >> 8));
}

void RwWriter::u32(std::uint32_t value)
{
    u16(static_cast<std::uint16_t>(value));
    u16(static_cast<std::uint16_t>(value >> 16));
}

void RwWriter::i32(std::int32_t value)
{
    u32(static_cast<std::uint32_t>(value));
}

void RwWriter::f32(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    u32(bits);
}

void RwWriter::bytes(std::span<const std::uint8_t> data)
{
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
}

void RwWriter::fixedText(std::string_view text, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        u8(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

void RwWriter::zeros(std::size_t count)
{
    m_bytes.insert(m_bytes.end(), count, 0);
}

void RwWriter::chunk(std::uint32_t type, std::uint32_t stamp, const std::function<void()>& body)
{
    u32(type);
    const std::size_t sizeAt = m_bytes.size();
    u32(0);
    u32(stamp);
    const std::size_t start = m_bytes.size();
    body();
    const auto size = static_cast<std::uint32_t>(m_bytes.size() - start);
    for (int i = 0; i < 4; ++i)
        m_bytes[sizeAt + i] = static_cast<std::uint8_t>(size >> (8 * i));
}

void RwWriter::stringChunk(std::uint32_t type, std::string_view text, std::uint32_t stamp)
{
    chunk(type, stamp, [&] {
        fixedText(text, (text.size() + 4) / 4 * 4);
    });
}
