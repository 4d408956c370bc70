#pragma once

#include <cstdint>
#include <string_view>

// How model drawing finds the texture object for a material: the archive set answers with
// the texture of that name (or, for masks, whose own mask name matches) in dictionary
// `dictionaryIndex`, loading the dictionary on first use. 0 means no texture.
class TextureLookup {
public:
    virtual ~TextureLookup() = default;
    virtual std::uint32_t textureId(int dictionaryIndex, std::string_view name) = 0;
    virtual std::uint32_t maskTextureId(int dictionaryIndex, std::string_view maskName) = 0;
};
