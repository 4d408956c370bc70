#include "TxdExport.h"

#include "FileIO.h"
#include "PngWriter.h"
#include "SystemFiles.h"
#include "TextParser.h"
#include "TxdRgba.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

namespace {

bool unsafeInFileName(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 || code == 0x7F || std::strchr("<>:\"|?*/\\", c) != nullptr;
}

std::string lowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

int writePng(const RgbaPicture& picture, const std::string& path)
{
    const std::vector<std::uint8_t> png = encodePng(picture.Width, picture.Height, picture.Pixels);
    if (png.empty())
        return EINVAL;
    return replaceFileContents(path, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
}

} // namespace

std::string safeTextureFileName(std::string_view name, std::size_t index)
{
    std::string safe(TrimText(name));
    for (char& c : safe)
        if (unsafeInFileName(c))
            c = '_';
    if (safe.empty() || safe == "." || safe == "..")
        safe = "texture" + std::to_string(index);
    return safe;
}

int exportTexturePng(const TxdDecodedTexture& texture, const std::string& path)
{
    const RgbaPicture picture = txdTextureToRgba(texture);
    return picture.Pixels.empty() ? EINVAL : writePng(picture, path);
}

TxdExportResult exportTxdTextures(const std::vector<TxdDecodedTexture>& textures, const std::string& folder)
{
    TxdExportResult result;
    std::set<std::string> taken;
    for (std::size_t i = 0; i < textures.size(); ++i) {
        std::string name = safeTextureFileName(textures[i].Texture.Name, i);
        if (!taken.insert(lowerCase(name)).second) {
            name += "_" + std::to_string(i);
            taken.insert(lowerCase(name));
        }
        const std::string path = systemfiles::utf8FromPath(systemfiles::pathFromUtf8(folder) / (name + ".png"));
        const RgbaPicture picture = txdTextureToRgba(textures[i]);
        if (picture.Pixels.empty()) {
            result.Skipped.push_back(textures[i].Texture.Name);
            continue;
        }
        if (const int error = writePng(picture, path)) {
            result.Error = error;
            result.ErrorPath = path;
            return result;
        } else {
            result.Written.push_back(path);
        }
    }
    return result;
}
