#include "TxdDecoder.h"

#include "ByteReader.h"
#include "RwChunk.h"
#include "TextParser.h"
#include "TxdPixelFormat.h"

#include <algorithm>
#include <cstring>
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
//   offset  width  meaning (Direct3D 8, platform 8)      Direct3D 9 (platform 9)
//   0       12     texture native chunk header
//   12      12     struct chunk header
//   24      u32    platform (the bytes "PS2\0" mark a console dictionary)
//   28      u32    filter and addressing flags
//   32      32     texture name, up to the first zero byte
//   64      32     mask name, same rule
//   96      u32    raster format (pixel format 0x0F00, PAL8 0x2000, PAL4 0x4000, mips 0x8000)
//   100     u32    alpha flag (low half kept)           Direct3D format code ("DXT1", 21 ...)
//   104     u16    width
//   106     u16    height
//   108     u8     depth (bits per pixel)
//   109     u8     mip level count
//   110     u8     raster type
//   111     u8     compression (DXT number, or 0)       flags: 1 alpha, 2 cube map,
//                                                       4 automatic mip levels, 8 compressed
//   112     ...    paletted textures: the palette, once (32 entries for PAL4, else 256)
//   then           levels: u32 size, that many bytes (one index byte per pixel when paletted);
//                  a cube map has six faces of that many levels, one face after another
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
constexpr std::size_t CubeFaces = 6;

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

// A fixed-width name field, up to its first zero byte, trimmed: no copy until it is kept.
std::string_view nameField(ByteReader& reader)
{
    const auto field = reader.bytes(32);
    std::size_t length = 0;
    while (length < field.size() && field[length] != 0)
        ++length;
    return TrimText(std::string_view(reinterpret_cast<const char*>(field.data()), length));
}

// The palette stands before the levels whenever the raster format names one (as the games
// read it); an 8-bit or P8 texture without those bits has 256 entries. A texture that its
// compression or format code makes DXT has none, whatever its depth says.
std::size_t paletteEntries(const TTexture& texture, TxdPixelFormat format)
{
    if ((texture.RasterFormat & (Pal4 | Pal8)) != 0)
        return txdPaletteEntries(texture.RasterFormat, texture.Depth);
    return format == TxdPixelFormat::Paletted ? 256 : 0;
}

// Asks for the cache line at `position` ahead of its use. Reading a dictionary in place
// touches a few bytes per level, each far from the last: waiting for each of those in turn
// took most of the reading time, so they are all asked for as soon as they can be guessed.
void prefetchAt(std::span<const std::uint8_t> bytes, std::size_t position)
{
#if defined(__GNUC__) || defined(__clang__)
    if (position < bytes.size())
        __builtin_prefetch(bytes.data() + position);
#else
    (void)bytes;
    (void)position;
#endif
}

// The level sizes of a well-formed texture follow from its format and sides: the places of
// its size fields are guessed from them, one after the other, and fetched together.
void prefetchLevels(std::span<const std::uint8_t> bytes, std::size_t position, const TTexture& texture,
                    TxdPixelFormat format, std::size_t faces)
{
    for (std::size_t face = 0; face < faces; ++face) {
        for (std::size_t level = 0; level < texture.Levels && position < bytes.size(); ++level) {
            prefetchAt(bytes, position);
            position += 4 + txdLevelBytes(format, levelSide(texture.Width, level), levelSide(texture.Height, level));
        }
    }
}

void addError(std::string& error, const std::string& text)
{
    if (!error.empty())
        error += "; ";
    error += text;
}

// Reads the texture whose chunk header is at `position`. On return `levelsEnd` is the
// position after its last level (when all were read). Throws ReadError.
TxdDecodedTexture readTexture(ByteReader& reader, std::span<const std::uint8_t> bytes, std::size_t position,
                              std::size_t& levelsEnd, std::string& error, TxdLevelBytes storage)
{
    TxdDecodedTexture decoded;
    TTexture& texture = decoded.Texture;
    reader.seek(position + 24);
    texture.Platform = reader.u32();
    reader.skip(4); // filter and addressing
    texture.Name.assign(nameField(reader));
    texture.MaskName.assign(nameField(reader));
    texture.RasterFormat = reader.u32();
    const std::uint32_t alphaOrFormat = reader.u32();
    texture.Width = reader.u16();
    texture.Height = reader.u16();
    texture.Depth = reader.u8();
    texture.Levels = reader.u8();
    texture.RasterType = reader.u8();
    const std::uint8_t compressionOrFlags = reader.u8();
    if (texture.Platform == TxdPlatform::Direct3D9) {
        texture.D3DFormat = alphaOrFormat;
        texture.D3DFlags = compressionOrFlags;
        texture.HasAlpha = (compressionOrFlags & D3DFlags::Alpha) != 0 ? 1 : 0;
        texture.Compression = dxtNumberOfD3DFormat(alphaOrFormat);
    } else {
        texture.HasAlpha = static_cast<std::uint16_t>(alphaOrFormat & 0xFFFFu);
        texture.Compression = compressionOrFlags;
    }
    const TxdPixelFormat format = txdPixelFormat(texture);
    const std::size_t faces =
        texture.Platform == TxdPlatform::Direct3D9 && (texture.D3DFlags & D3DFlags::CubeMap) != 0 ? CubeFaces : 1;

    // One palette serves every level; each level views it so that it can be drawn alone.
    const std::size_t paletteBytes = paletteEntries(texture, format) * 4;
    std::span<const std::uint8_t> palette;
    if (paletteBytes != 0 && texture.Levels != 0)
        palette = reader.bytes(paletteBytes);
    prefetchLevels(bytes, reader.position(), texture, format, faces);
    decoded.Levels.reserve(std::min<std::size_t>(faces * texture.Levels, reader.remaining() / 4)); // a u32 size each
    for (std::size_t face = 0; face < faces; ++face) {
        for (std::size_t level = 0; level < texture.Levels; ++level) {
            TxdLevel& read = decoded.Levels.emplace_back();
            read.Width = levelSide(texture.Width, level);
            read.Height = levelSide(texture.Height, level);
            read.Palette = palette;
            const std::uint32_t size = reader.u32();
            read.Data = reader.bytes(size);
            texture.DataSize = size;
            const std::size_t needed = txdLevelBytes(format, read.Width, read.Height);
            if (read.Data.size() < needed)
                addError(error, "texture \"" + texture.Name + "\" " + (faces > 1 ? "face " + std::to_string(face) + " " : "") +
                                    "level " + std::to_string(level) + " holds " + std::to_string(read.Data.size()) +
                                    " bytes where " + std::to_string(read.Width) + "x" + std::to_string(read.Height) +
                                    " needs " + std::to_string(needed));
        }
    }
    levelsEnd = reader.position();
    if (storage == TxdLevelBytes::Copied)
        decoded.holdBytes();
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

TxdDecodedTexture::TxdDecodedTexture(const TxdDecodedTexture& other) : Texture(other.Texture), Levels(other.Levels)
{
    holdBytes();
}

TxdDecodedTexture& TxdDecodedTexture::operator=(const TxdDecodedTexture& other)
{
    if (this != &other) {
        TxdDecodedTexture copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void TxdDecodedTexture::holdBytes()
{
    // The levels share one palette: it is copied once. Everything else is laid out one
    // after the other, whatever buffers the views pointed into.
    const std::uint8_t* palette = nullptr;
    std::size_t paletteSize = 0;
    std::size_t total = 0;
    for (const TxdLevel& level : Levels) {
        if (!level.Palette.empty() && (level.Palette.data() != palette || level.Palette.size() != paletteSize)) {
            palette = level.Palette.data();
            paletteSize = level.Palette.size();
            total += paletteSize;
        }
        total += level.Data.size();
    }
    std::vector<std::uint8_t> block(total);
    std::size_t at = 0;
    const auto place = [&](std::span<const std::uint8_t> view) {
        if (view.empty())
            return std::span<const std::uint8_t>();
        std::memcpy(block.data() + at, view.data(), view.size());
        at += view.size();
        return std::span<const std::uint8_t>(block).subspan(at - view.size(), view.size());
    };
    std::span<const std::uint8_t> lastPalette;
    std::span<const std::uint8_t> placedPalette;
    for (TxdLevel& level : Levels) {
        if (!level.Palette.empty() &&
            (level.Palette.data() != lastPalette.data() || level.Palette.size() != lastPalette.size())) {
            lastPalette = level.Palette;
            placedPalette = place(level.Palette);
        }
        level.Palette = level.Palette.empty() ? std::span<const std::uint8_t>() : placedPalette;
        level.Data = place(level.Data);
    }
    m_block = std::move(block); // the moved vector keeps its storage, so the views stay valid
}

std::size_t txdPaletteEntries(std::uint32_t rasterFormat, std::uint8_t depth)
{
    if ((rasterFormat & Pal4) != 0 && (rasterFormat & Pal8) == 0)
        return 32;
    if ((rasterFormat & Pal8) != 0 || depth == 8)
        return 256;
    return 0;
}

TxdDecodeResult decodeTxd(std::span<const std::uint8_t> bytes, TxdLevelBytes levels)
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
            // The next texture's fields (two cache lines), while this one is read.
            if (sizeInside) {
                prefetchAt(inside, chunkEnd);
                prefetchAt(inside, chunkEnd + 64);
            }
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
                result.Textures.push_back(readTexture(reader, inside, position, levelsEnd, result.Error, levels));
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
