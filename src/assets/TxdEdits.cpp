#include "TxdEdits.h"

#include "NumberText.h"

std::vector<std::string> addTexturePictures(TxdChunkList& dictionary, const std::vector<std::string>& pngPaths,
                                            const TxdBuildOptions& options, std::vector<TxdTextureData>* added)
{
    std::vector<std::string> errors;
    std::vector<TxdTextureData> textures = buildTextures(pngPaths, options, errors);
    if (!errors.empty())
        return errors;
    for (const TxdTextureData& texture : textures)
        dictionary.putTexture(texture.name, writeTextureNative(texture, dictionary.stamp()));
    if (added)
        *added = std::move(textures);
    return errors;
}

std::string textureRenameRefusal(const TxdChunkList& dictionary, std::string_view dictionaryName,
                                 std::string_view oldName, std::string_view newName)
{
    if (newName.empty() || newName.size() > TxdMaxNameLength) {
        std::string refusal = "a texture name has 1 to 31 characters; " + std::string(newName) + " has ";
        appendInt(refusal, static_cast<std::int64_t>(newName.size()));
        return refusal;
    }
    const int existing = dictionary.findTexture(newName);
    const int renamed = dictionary.findTexture(oldName);
    if (existing >= 0 && existing != renamed)
        return std::string(dictionaryName) + " already has a texture named " + std::string(newName);
    if (renamed < 0)
        return std::string(dictionaryName) + " has no texture named " + std::string(oldName);
    return {};
}
