#pragma once

#include "NameIndex.h"
#include "TTexture.h"
#include "TxdDecoder.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class ByteSource;
class TextureUploader;

// One texture dictionary of the archive set: where its bytes lie, and once loaded its
// texture records, one texture object per texture, and name lists for lookups by texture
// or mask name. The stream and the uploader are not owned.
class TGTATxd {
public:
    TGTATxd(const ByteSource* stream, std::int64_t length, std::int64_t offset, std::string_view name,
            TextureUploader* uploader);
    ~TGTATxd();
    TGTATxd(const TGTATxd&) = delete;
    TGTATxd& operator=(const TGTATxd&) = delete;
    TGTATxd(TGTATxd&& other) noexcept;
    TGTATxd& operator=(TGTATxd&& other) noexcept;

    // Reads and uploads the dictionary; callers test `Loaded` first. Never throws: what
    // could not be read is in `LoadError` and logged.
    void Load();
    void Unload();

    // Where the bytes lie from now on (a replaced entry); unloads the dictionary first.
    void SetSource(const ByteSource* stream, std::int64_t offset, std::int64_t length);
    // The dictionary's bytes as stored (empty when they cannot be read).
    std::vector<std::uint8_t> Bytes() const;

    // Reads and decodes the dictionary's bytes again, without uploading anything: the
    // pixels for export and for drawing what OpenGL could not take.
    TxdDecodeResult Decode() const;

    // Position of the texture with that (trimmed) name, without regard to case; -1 when
    // there is none or the dictionary is not loaded.
    int FindTexture(std::string_view name) const;
    int FindMask(std::string_view maskName) const;

    std::string Name; // entry name without its extension
    std::int64_t Offset = 0;
    std::int64_t Length = 0;
    bool Loaded = false;
    // Counts the loads: texture objects taken from one load are not those of another.
    std::uint32_t LoadCount = 0;
    bool Used = false;
    std::vector<TTexture> Textures;
    std::vector<std::uint32_t> TextureIds;
    int TextureCount = 0;
    std::string LoadError;

private:
    static int find(const NameIndex& index, std::string_view name);
    void releaseTextures();

    const ByteSource* m_stream = nullptr;
    TextureUploader* m_uploader = nullptr;
    NameIndex m_nameIndex;
    NameIndex m_maskIndex;
};
