#include "TxdDecoder.h"

#include "ByteReader.h"
#include "RwChunk.h"
#include "TextParser.h"

#include <algorithm>
#include <optional>

// Texture dictionary layout (little-endian; positions from the start of the dictionary):
//
//   offset  width  meaning
//   0       12     dictionary chunk header (type 22)
//   12      12     struct chunk header
//   24      u16    texture count
//   26      u16    device id (0)
//   28      ...    texture native chunks (type 21), then the dictionary's extension chunk
//
// One texture, from the position P of its chunk header:
//
//   offset  width  meaning
//   0       12     texture native chunk header
//   12      12     struct chunk header
//   24      u32    platform (8; the bytes "PS2\0" mark a console dictionary)
//   28      u32    filter and addressing flags
//   32      32     texture name, up to the first zero byte
//   64      32     mask name, same rule
//   96      u32    raster format (pixel format 0x0F00, PAL8 0x2000, PAL4 0x4000, mips 0x8000)
//   100     u32    alpha flag (low half kept)
//   104     u16    width
//   106     u16    height
//   108     u8     depth (bits per pixel)
//   109     u8     mip level count
//   110     u8     raster type
//   111     u8     compression (DXT number, or 0)
//   112     ...    8-bit textures: the palette, once (32 entries for PAL4, else 256)
//   then           levels: u32 size, that many bytes (one index byte per pixel when paletted)
//   then           extension chunk (empty)
//
// The next texture starts where this one's chunk ends, when its size lies inside the
// dictionary. Otherwise the walk goes on from the end of the last level, stepping over an
// extension header that may sit 2 bytes off, as some files have it. Chunks of other types
// where a texture should be are stepped over by their size.

namespace {

constexpr std::size_t TextureFieldsEnd = 112; // from P: the first level
constexpr std::uint32_t ConsoleTag = 0x00325350; // "PS2\0"
constexpr std::uint32_t Pal8 = 0x2000;
constexpr std::uint32_t Pal4 = 0x4000;

std::optional<std::uint32_t> u32At(std::span<const std::uint8_t> bytes, std::size_t position)
{
    if (position > bytes.size() || bytes.size() - position < 4)
        return std::nullopt;
    ByteReader reader(bytes.subspan(position, 4), position);
    return reader.u32();
}

std::uint16_t levelSide(std::uint16_t side, std::size_t level)
{
    if (level >= 16)
        return 1;
    return static_cast<std::uint16_t>(std::max(1, side >> level));
}

// Bytes a level needs for what its texture says it is; 0 when the format is not drawn.
std::size_t neededLevelBytes(const TTexture& texture, std::uint16_t width, std::uint16_t height)
{
    const std::size_t pixels = std::size_t{width} * height;
    if (texture.Depth == 8)
        return pixels;
    if (texture.Depth == 32)
        return pixels * 4;
    if (texture.Depth == 16 && (texture.Compression == 1 || texture.Compression == 3 || texture.Compression == 5)) {
        const std::size_t blocks = std::size_t{(width + 3u) / 4u} * ((height + 3u) / 4u);
        return blocks * (texture.Compression == 1 ? 8 : 16);
    }
    return 0;
}

void addError(std::string& error, const std::string& text)
{
    if (!error.empty())
        error += "; ";
    error += text;
}

// Reads the texture whose chunk header is at `position`. On return `levelsEnd` is the
// position after its last level (when all were read). Throws ReadError.
TxdDecodedTexture readTexture(ByteReader& reader, std::size_t position, std::size_t& levelsEnd, std::string& error)
{
    TxdDecodedTexture decoded;
    TTexture& texture = decoded.Texture;
    reader.seek(position + 32);
    texture.Name = std::string(TrimText(reader.fixedText(32)));
    texture.MaskName = std::string(TrimText(reader.fixedText(32)));
    texture.RasterFormat = reader.u32();
    texture.HasAlpha = static_cast<std::uint16_t>(reader.u32() & 0xFFFFu);
    texture.Width = reader.u16();
    texture.Height = reader.u16();
    texture.Depth = reader.u8();
    texture.Levels = reader.u8();
    texture.RasterType = reader.u8();
    texture.Compression = reader.u8();

    // One palette serves every level; each level carries a copy so that it can be drawn alone.
    const std::size_t paletteBytes = txdPaletteEntries(texture.RasterFormat, texture.Depth) * 4;
    std::span<const std::uint8_t> palette;
    if (paletteBytes != 0 && texture.Levels != 0)
        palette = reader.bytes(paletteBytes);
    decoded.Levels.reserve(std::min<std::size_t>(texture.Levels, reader.remaining() / 4)); // a u32 size each
    for (std::size_t level = 0; level < texture.Levels; ++level) {
        TxdLevel read;
        read.Width = levelSide(texture.Width, level);
        read.Height = levelSide(texture.Height, level);
        read.Palette.assign(palette.begin(), palette.end());
        const std::uint32_t size = reader.u32();
        const auto data = reader.bytes(size);
        read.Data.assign(data.begin(), data.end());
        texture.DataSize = size;
        const std::size_t needed = neededLevelBytes(texture, read.Width, read.Height);
        if (read.Data.size() < needed)
            addError(error, "texture \"" + texture.Name + "\" level " + std::to_string(level) + " holds " +
                                std::to_string(read.Data.size()) + " bytes where " + std::to_string(read.Width) + "x" +
                                std::to_string(read.Height) + " needs " + std::to_string(needed));
        decoded.Levels.push_back(std::move(read));
    }
    levelsEnd = reader.position();
    return decoded;
}

// Where the texture after the one at `position` starts, by the fixed layout: after the
// last level, stepping over the extension header found there or 2 bytes either side.
std::size_t nextByLayout(std::span<const std::uint8_t> bytes, std::size_t levelsEnd)
{
    std::size_t q = levelsEnd;
    if (u32At(bytes, q) != RwChunkType::Extension) {
        if (u32At(bytes, q + 2) == RwChunkType::Extension)
            q += 2;
        else if (q >= 2 && u32At(bytes, q - 2) == RwChunkType::Extension)
            q -= 2;
    }
    return q + RwChunkHeaderSize;
}

} // namespace

std::size_t txdPaletteEntries(std::uint32_t rasterFormat, std::uint8_t depth)
{
    if ((rasterFormat & Pal4) != 0 && (rasterFormat & Pal8) == 0)
        return 32;
    if ((rasterFormat & Pal8) != 0 || depth == 8)
        return 256;
    return 0;
}

TxdDecodeResult decodeTxd(std::span<const std::uint8_t> bytes)
{
    TxdDecodeResult result;
    try {
        const std::optional<std::uint32_t> type = u32At(bytes, 0);
        if (type && *type != RwChunkType::TextureDictionary) {
            result.Error = "not a texture dictionary: the first chunk has type " + std::to_string(*type);
            return result;
        }
        ByteReader reader(bytes);
        const RwChunkHeader dictionary = RwChunkHeader::read(reader);
        result.LibraryVersion = dictionary.libraryVersion();
        // Archive entries are padded after the dictionary chunk; the walk stays inside it.
        std::span<const std::uint8_t> inside = bytes;
        if (dictionary.size <= bytes.size() - RwChunkHeaderSize)
            inside = bytes.first(RwChunkHeaderSize + dictionary.size);
        else
            result.Error = "the dictionary chunk holds " + std::to_string(dictionary.size) + " bytes but only " +
                           std::to_string(bytes.size() - RwChunkHeaderSize) + " follow its header";
        reader = ByteReader(inside);
        reader.seek(RwChunkHeaderSize);

        const RwChunkHeader info = RwChunkHeader::read(reader);
        const std::size_t infoStart = reader.position();
        const std::uint16_t count = reader.u16();
        std::size_t position = infoStart + 4;
        if (info.size >= 4 && info.size <= reader.size() - infoStart)
            position = infoStart + info.size;
        if (count == 0)
            return result;

        if (u32At(inside, position) == RwChunkType::TextureNative && u32At(inside, position + 24) == ConsoleTag) {
            result.Console = true;
            return result;
        }

        // A texture takes at least its headers and fixed fields: no count can reserve more.
        result.Textures.reserve(std::min<std::size_t>(count, (inside.size() - position) / TextureFieldsEnd));
        std::size_t index = 0;
        while (index < count) {
            if (position >= inside.size() || inside.size() - position < RwChunkHeaderSize) {
                addError(result.Error, "the dictionary ends after " + std::to_string(result.Textures.size()) + " of " +
                                           std::to_string(count) + " textures");
                break;
            }
            reader.seek(position);
            const RwChunkHeader chunk = RwChunkHeader::read(reader);
            const bool sizeInside = chunk.size <= inside.size() - position - RwChunkHeaderSize;
            const std::size_t chunkEnd = position + RwChunkHeaderSize + (sizeInside ? chunk.size : 0);
            if (chunk.type != RwChunkType::TextureNative) {
                if (!sizeInside) {
                    addError(result.Error, "chunk of type " + std::to_string(chunk.type) + " at byte " +
                                               std::to_string(position) + " where texture " + std::to_string(index + 1) +
                                               " of " + std::to_string(count) + " should be");
                    break;
                }
                position = chunkEnd; // a chunk of another kind: stepped over by its size
                continue;
            }

            std::size_t levelsEnd = 0;
            bool read = false;
            try {
                result.Textures.push_back(readTexture(reader, position, levelsEnd, result.Error));
                read = true;
            } catch (const ReadError& e) {
                addError(result.Error, "texture " + std::to_string(index + 1) + " of " + std::to_string(count) +
                                           " at byte " + std::to_string(position) + ": " + e.what());
            }
            ++index;
            if (sizeInside)
                position = chunkEnd;
            else if (read)
                position = nextByLayout(inside, levelsEnd);
            else
                break;
        }
    } catch (const ReadError& e) {
        addError(result.Error, e.what());
    } catch (const std::bad_alloc&) {
        addError(result.Error, "out of memory");
    }
    return result;
}
