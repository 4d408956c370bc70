#include "TGTATxd.h"

#include "ByteSource.h"
#include "EntryNames.h"
#include "Log.h"
#include "TextParser.h"
#include "TextureUploader.h"
#include "TxdDecoder.h"

#include <algorithm>
#include <exception>

TGTATxd::TGTATxd(const ByteSource* stream, std::int64_t length, std::int64_t offset, std::string_view name,
                 TextureUploader* uploader)
    : Name(withoutExtension(name)), Offset(offset), Length(length), m_stream(stream), m_uploader(uploader)
{
}

TGTATxd::~TGTATxd()
{
    releaseTextures();
}

TGTATxd::TGTATxd(TGTATxd&& other) noexcept
{
    *this = std::move(other);
}

TGTATxd& TGTATxd::operator=(TGTATxd&& other) noexcept
{
    if (this == &other)
        return *this;
    releaseTextures();
    Name = std::move(other.Name);
    Offset = other.Offset;
    Length = other.Length;
    Loaded = other.Loaded;
    LoadCount = other.LoadCount;
    Used = other.Used;
    Textures = std::move(other.Textures);
    TextureIds = std::move(other.TextureIds);
    TextureCount = other.TextureCount;
    LoadError = std::move(other.LoadError);
    m_stream = other.m_stream;
    m_uploader = other.m_uploader;
    m_nameIndex = std::move(other.m_nameIndex);
    m_maskIndex = std::move(other.m_maskIndex);
    // The texture objects now belong to this dictionary alone.
    other.Loaded = false;
    other.TextureIds.clear();
    other.Textures.clear();
    other.TextureCount = 0;
    return *this;
}

void TGTATxd::Load()
{
    releaseTextures(); // a second load must not strand the first one's objects
    Loaded = true;
    ++LoadCount;
    LoadError.clear();
    Textures.clear();
    TextureIds.clear();
    TextureCount = 0;
    m_nameIndex.clear();
    m_maskIndex.clear();
    try {
        // Dictionaries load one after another on the user-interface thread: one read buffer
        // serves all. Bytes held in memory are read in place, and the levels are uploaded
        // straight from those bytes, never copied.
        static thread_local std::vector<std::uint8_t> buffer;
        std::span<const std::uint8_t> bytes;
        if (m_stream == nullptr || Offset < 0 || Length < 0) {
            LoadError = "no bytes to read";
        } else {
            bytes = viewSourceBytes(*m_stream, static_cast<std::uint64_t>(Offset), static_cast<std::uint64_t>(Length),
                                    buffer);
            if (bytes.size() < static_cast<std::uint64_t>(Length))
                LoadError =
                    "only " + std::to_string(bytes.size()) + " of " + std::to_string(Length) + " bytes could be read";
        }
        TxdDecodeResult decoded = decodeTxd(bytes, TxdLevelBytes::InPlace);
        if (!decoded.Error.empty())
            LoadError += (LoadError.empty() ? "" : "; ") + decoded.Error;
        if (decoded.Console)
            logLine("texture dictionary " + Name + ": a console dictionary, loaded without textures");

        if (m_uploader != nullptr)
            TextureIds = m_uploader->upload(decoded.Textures);
        TextureIds.resize(decoded.Textures.size(), 0);
        // Uploaded, the decoded textures are done with: their records move over uncopied.
        Textures.reserve(decoded.Textures.size());
        for (TxdDecodedTexture& item : decoded.Textures)
            Textures.push_back(std::move(item.Texture));
        std::vector<std::string_view> names;
        std::vector<std::string_view> masks;
        names.reserve(Textures.size());
        masks.reserve(Textures.size());
        for (const TTexture& texture : Textures) {
            names.push_back(TrimText(texture.Name));
            masks.push_back(TrimText(texture.MaskName));
        }
        m_nameIndex.build(names);
        m_maskIndex.build(masks);
        TextureCount = static_cast<int>(Textures.size());
    } catch (const std::exception& e) {
        LoadError += (LoadError.empty() ? "" : "; ") + std::string(e.what());
    }
    if (!LoadError.empty())
        logLine("texture dictionary " + Name + ": " + LoadError);
}

void TGTATxd::SetSource(const ByteSource* stream, std::int64_t offset, std::int64_t length)
{
    if (Loaded)
        Unload();
    m_stream = stream;
    Offset = offset;
    Length = length;
}

std::vector<std::uint8_t> TGTATxd::Bytes() const
{
    if (m_stream == nullptr || Offset < 0 || Length < 0)
        return {};
    try {
        return readSourceBytes(*m_stream, static_cast<std::uint64_t>(Offset), static_cast<std::uint64_t>(Length));
    } catch (const std::exception&) {
        return {};
    }
}

TxdDecodeResult TGTATxd::Decode() const
{
    if (m_stream == nullptr || Offset < 0 || Length < 0) {
        TxdDecodeResult result;
        result.Error = "no bytes to read";
        return result;
    }
    try {
        std::vector<std::uint8_t> buffer; // unused when the stream holds its bytes in memory
        return decodeTxd(
            viewSourceBytes(*m_stream, static_cast<std::uint64_t>(Offset), static_cast<std::uint64_t>(Length), buffer));
    } catch (const std::exception& e) {
        TxdDecodeResult result;
        result.Error = e.what();
        return result;
    }
}

void TGTATxd::Unload()
{
    releaseTextures();
    Loaded = false;
    TextureCount = 0;
    Textures.clear();
    TextureIds.clear();
    // Positions in the name lists would point past the emptied arrays.
    m_nameIndex.clear();
    m_maskIndex.clear();
}

void TGTATxd::releaseTextures()
{
    if (Loaded && m_uploader != nullptr && !TextureIds.empty())
        m_uploader->release(TextureIds);
}

int TGTATxd::FindTexture(std::string_view name) const
{
    return find(m_nameIndex, name);
}

int TGTATxd::FindMask(std::string_view maskName) const
{
    return find(m_maskIndex, maskName);
}

int TGTATxd::find(const NameIndex& index, std::string_view name)
{
    // Most textures have no mask: an empty name finds nothing.
    const std::string_view key = TrimText(name);
    return key.empty() ? -1 : index.find(key);
}
