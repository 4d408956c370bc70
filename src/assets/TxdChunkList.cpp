#include "TxdChunkList.h"

#include "ByteReader.h"
#include "RwChunk.h"
#include "TextParser.h"

#include <algorithm>
#include <cstring>

// Dictionary chunk layout as changed here (offsets within each chunk's data):
//
//   dictionary (type 22)  struct (type 1): u16 texture count, u16 device id, [kept bytes]
//                         texture native (type 21) ... one per texture
//                         extension (type 3), or any other chunk: kept
//   texture native        struct: u32 platform, u32 filter flags, 32-byte name, 32-byte mask, ...
//                         extension
namespace {

constexpr std::size_t NameOffset = RwChunkHeaderSize * 2 + 8; // within a texture native chunk
constexpr std::size_t NameWidth = 32;
constexpr std::uint32_t ConsolePlatform = 0x00325350; // "PS2\0"

void putU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

} // namespace

std::string TxdChunkList::read(std::span<const std::uint8_t> bytes)
{
    *this = {};
    try {
        ByteReader file(bytes);
        const RwChunkHeader top = RwChunkHeader::read(file);
        if (top.type != RwChunkType::TextureDictionary)
            return "not a texture dictionary";
        if (top.size > file.remaining())
            return "the dictionary runs past the end of the file";
        m_stamp = top.stamp;
        ByteReader body = file.sub(top.size);
        const auto after = file.bytes(file.remaining());
        m_after.assign(after.begin(), after.end());

        const std::size_t structAt = body.position();
        const RwChunkHeader structHeader = RwChunkHeader::read(body);
        if (structHeader.type != RwChunkType::Struct || structHeader.size < 4 || structHeader.size > body.remaining())
            return "the dictionary has no texture count";
        body.seek(structAt);
        const auto structBytes = body.bytes(RwChunkHeaderSize + structHeader.size);
        m_struct.assign(structBytes.begin(), structBytes.end());

        while (!body.atEnd()) {
            const std::size_t at = body.position();
            const RwChunkHeader header = RwChunkHeader::read(body);
            if (header.size > body.remaining())
                return "a chunk at byte " + std::to_string(RwChunkHeaderSize + at) + " runs past the end of the dictionary";
            body.seek(at);
            const auto chunkBytes = body.bytes(RwChunkHeaderSize + header.size);
            Chunk chunk;
            chunk.bytes.assign(chunkBytes.begin(), chunkBytes.end());
            if (header.type == RwChunkType::TextureNative) {
                ByteReader native(chunkBytes);
                native.skip(RwChunkHeaderSize);
                const RwChunkHeader inner = RwChunkHeader::read(native);
                if (inner.type != RwChunkType::Struct || inner.size < NameOffset - RwChunkHeaderSize * 2 + NameWidth * 2 ||
                    inner.size > native.remaining())
                    return "a texture at byte " + std::to_string(RwChunkHeaderSize + at) + " is too short to hold its name";
                if (native.u32() == ConsolePlatform)
                    return "a console (PS2) texture dictionary, which is not changed here";
                native.seek(NameOffset);
                chunk.texture = true;
                chunk.name = native.fixedText(NameWidth);
            }
            m_chunks.push_back(std::move(chunk));
        }
    } catch (const ReadError&) {
        *this = {};
        return "the file ends inside a chunk header";
    }
    return {};
}

std::vector<std::uint8_t> TxdChunkList::write() const
{
    std::vector<std::uint8_t> body = m_struct;
    putU16(body, RwChunkHeaderSize, static_cast<std::uint16_t>(textureNames().size()));
    for (const Chunk& chunk : m_chunks)
        body.insert(body.end(), chunk.bytes.begin(), chunk.bytes.end());
    std::vector<std::uint8_t> out;
    putU32(out, RwChunkType::TextureDictionary);
    putU32(out, static_cast<std::uint32_t>(body.size()));
    putU32(out, m_stamp);
    out.insert(out.end(), body.begin(), body.end());
    out.insert(out.end(), m_after.begin(), m_after.end());
    return out;
}

std::vector<std::string> TxdChunkList::textureNames() const
{
    std::vector<std::string> names;
    for (const Chunk& chunk : m_chunks)
        if (chunk.texture)
            names.push_back(chunk.name);
    return names;
}

int TxdChunkList::findTexture(std::string_view name) const
{
    int index = 0;
    for (const Chunk& chunk : m_chunks) {
        if (!chunk.texture)
            continue;
        if (equalsIgnoringCase(TrimText(chunk.name), TrimText(name)))
            return index;
        ++index;
    }
    return -1;
}

std::size_t TxdChunkList::textureSlot(int textureIndex) const
{
    for (std::size_t slot = 0; slot < m_chunks.size(); ++slot)
        if (m_chunks[slot].texture && textureIndex-- == 0)
            return slot;
    return m_chunks.size();
}

void TxdChunkList::putTexture(const std::string& name, std::vector<std::uint8_t> nativeChunk)
{
    Chunk chunk{true, name, std::move(nativeChunk)};
    if (const int index = findTexture(name); index >= 0) {
        m_chunks[textureSlot(index)] = std::move(chunk);
        return;
    }
    std::size_t slot = 0;
    for (std::size_t i = 0; i < m_chunks.size(); ++i)
        if (m_chunks[i].texture)
            slot = i + 1;
    m_chunks.insert(m_chunks.begin() + static_cast<std::ptrdiff_t>(slot), std::move(chunk));
}

bool TxdChunkList::removeTexture(std::string_view name)
{
    const int index = findTexture(name);
    if (index < 0)
        return false;
    m_chunks.erase(m_chunks.begin() + static_cast<std::ptrdiff_t>(textureSlot(index)));
    return true;
}

bool TxdChunkList::renameTexture(std::string_view oldName, const std::string& newName)
{
    const int index = findTexture(oldName);
    if (index < 0 || newName.size() >= NameWidth)
        return false;
    Chunk& chunk = m_chunks[textureSlot(index)];
    std::fill_n(chunk.bytes.begin() + NameOffset, NameWidth, std::uint8_t{0});
    std::copy(newName.begin(), newName.end(), chunk.bytes.begin() + NameOffset);
    chunk.name = newName;
    return true;
}
