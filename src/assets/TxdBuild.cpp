#include "TxdBuild.h"

#include "PngReader.h"
#include "SystemFiles.h"
#include "TextParser.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <thread>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb_image_resize.h>

namespace {

struct FormatName {
    std::string_view name;
    TxdFormatChoice format;
};

constexpr std::array<FormatName, 7> FormatNames{{
    {"dxt1", TxdFormatChoice::Dxt1},
    {"dxt1a", TxdFormatChoice::Dxt1Alpha},
    {"dxt3", TxdFormatChoice::Dxt3},
    {"8888", TxdFormatChoice::Rgba8888},
    {"888", TxdFormatChoice::Rgb888},
    {"pal8", TxdFormatChoice::Pal8},
    {"pal4", TxdFormatChoice::Pal4},
}};

std::string numberText(int value)
{
    std::array<char, 16> text{};
    return std::string(text.data(), std::to_chars(text.data(), text.data() + text.size(), value).ptr);
}

std::string sizeText(int width, int height)
{
    return numberText(width) + "x" + numberText(height);
}

bool hasAlpha(const RgbaImage& image)
{
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        if (image.pixels[i] != 255)
            return true;
    return false;
}

bool powerOfTwo(int side)
{
    return side > 0 && std::has_single_bit(static_cast<unsigned>(side));
}

// The power of two nearest to `side` (the larger one when halfway).
int nearestPowerOfTwo(int side)
{
    const int below = static_cast<int>(std::bit_floor(static_cast<unsigned>(side)));
    return side - below < 2 * below - side ? below : 2 * below;
}

// Filtered in linear light with the alpha weighting the colours, so that transparent pixels
// do not bleed their colour into the edges of what is drawn.
RgbaImage resized(const RgbaImage& image, int width, int height)
{
    RgbaImage out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    stbir_resize_uint8_srgb(image.pixels.data(), image.width, image.height, 0, out.pixels.data(), width, height, 0, 4, 3,
                            0);
    return out;
}

std::string fileNameOf(const std::string& path)
{
    return systemfiles::utf8FromPath(systemfiles::pathFromUtf8(path).filename());
}

std::string stemOf(const std::string& path)
{
    return systemfiles::utf8FromPath(systemfiles::pathFromUtf8(path).stem());
}

bool isPngPath(const std::filesystem::path& path)
{
    return equalsIgnoringCase(systemfiles::utf8FromPath(path.extension()), ".png");
}

TxdFormat storedFormat(TxdFormatChoice choice, bool alpha)
{
    switch (choice) {
    case TxdFormatChoice::Dxt1:
        return TxdFormat::Dxt1;
    case TxdFormatChoice::Dxt1Alpha:
        return TxdFormat::Dxt1Alpha;
    case TxdFormatChoice::Dxt3:
        return TxdFormat::Dxt3;
    case TxdFormatChoice::Rgba8888:
        return TxdFormat::Rgba32;
    case TxdFormatChoice::Rgb888:
        return TxdFormat::Rgb32;
    case TxdFormatChoice::Pal8:
        return alpha ? TxdFormat::Pal8_8888 : TxdFormat::Pal8_888;
    case TxdFormatChoice::Pal4:
        return alpha ? TxdFormat::Pal4_8888 : TxdFormat::Pal4_888;
    }
    return TxdFormat::Rgba32;
}

} // namespace

std::optional<TxdFormatChoice> parseTxdFormatChoice(std::string_view text)
{
    for (const FormatName& entry : FormatNames)
        if (equalsIgnoringCase(entry.name, text))
            return entry.format;
    return std::nullopt;
}

std::string txdFormatChoiceNames()
{
    std::string names;
    for (const FormatName& entry : FormatNames) {
        if (!names.empty())
            names += ", ";
        names += entry.name;
    }
    return names;
}

std::uint32_t txdGameStamp(TxdGame game)
{
    return game == TxdGame::ViceCity ? 0x0C02FFFFu : 0x0800FFFFu;
}

std::string alphaPicturePath(const std::string& path)
{
    const std::filesystem::path picture = systemfiles::pathFromUtf8(path);
    const std::filesystem::path alpha = picture.parent_path() / systemfiles::pathFromUtf8(stemOf(path) + "_a.png");
    std::error_code error;
    if (std::filesystem::is_regular_file(alpha, error))
        return systemfiles::utf8FromPath(alpha);
    // A folder on a case-sensitive file system may hold NAME_A.PNG.
    const std::string wanted = stemOf(path) + "_a.png";
    for (const auto& entry : std::filesystem::directory_iterator(picture.parent_path().empty() ? "." : picture.parent_path(), error))
        if (equalsIgnoringCase(systemfiles::utf8FromPath(entry.path().filename()), wanted) && entry.is_regular_file(error))
            return systemfiles::utf8FromPath(entry.path());
    return {};
}

std::string readTexturePicture(const std::string& path, bool resize, TexturePicture& picture)
{
    const std::string file = fileNameOf(path);
    picture = {};
    picture.name = stemOf(path);
    if (picture.name.empty())
        return file + ": a picture needs a name before its extension";
    if (picture.name.size() > TxdMaxNameLength)
        return file + ": the name " + picture.name + " is longer than the games' 31 characters";
    PngPicture png = readPngFile(path);
    if (!png.error.empty())
        return file + ": " + png.error;
    picture.image = std::move(png.image);

    if (const std::string alphaPath = alphaPicturePath(path); !alphaPath.empty()) {
        const std::string alphaFile = fileNameOf(alphaPath);
        const PngPicture alpha = readPngFile(alphaPath);
        if (!alpha.error.empty())
            return alphaFile + ": " + alpha.error;
        if (alpha.image.width != picture.image.width || alpha.image.height != picture.image.height)
            return alphaFile + " is " + sizeText(alpha.image.width, alpha.image.height) + " but " + file + " is " +
                   sizeText(picture.image.width, picture.image.height) + ": an alpha picture must have its picture's size";
        // The grey level is the alpha; a coloured mask counts by its brightness.
        for (std::size_t i = 0; i < picture.image.pixels.size(); i += 4) {
            const int grey = (alpha.image.pixels[i] * 299 + alpha.image.pixels[i + 1] * 587 + alpha.image.pixels[i + 2] * 114 + 500) / 1000;
            picture.image.pixels[i + 3] = static_cast<std::uint8_t>(grey);
        }
        picture.mask = stemOf(alphaPath);
        if (picture.mask.size() > TxdMaxNameLength)
            return alphaFile + ": the mask name " + picture.mask + " is longer than the games' 31 characters";
    }

    const int width = picture.image.width;
    const int height = picture.image.height;
    if (powerOfTwo(width) && powerOfTwo(height))
        return {};
    if (!resize)
        return file + " is " + sizeText(width, height) +
               ": the games need a power of two on each side (resize the picture, or ask for it to be resized)";
    picture.image = resized(picture.image, nearestPowerOfTwo(width), nearestPowerOfTwo(height));
    return {};
}

TxdTextureData buildTexture(const TexturePicture& picture, const TxdBuildOptions& options)
{
    const bool alpha = hasAlpha(picture.image);
    TxdFormatChoice choice = options.game == TxdGame::ViceCity ? (alpha ? TxdFormatChoice::Dxt3 : TxdFormatChoice::Dxt1)
                                                               : TxdFormatChoice::Pal8;
    if (options.format)
        choice = *options.format;
    int levels = 1;
    if (options.mipmaps)
        levels = std::bit_width(static_cast<unsigned>(std::max(picture.image.width, picture.image.height)));
    return encodeTexture(picture.name, picture.mask, storedFormat(choice, alpha), picture.image, levels, options.dxtFit);
}

std::vector<std::string> texturePicturePaths(const std::vector<std::string>& pngPaths, std::vector<std::string>& errors)
{
    const auto sameName = [](const std::string& a, const std::string& b) { return equalsIgnoringCase(a, b); };
    std::vector<std::string> stems;
    for (const std::string& path : pngPaths)
        stems.push_back(stemOf(path));
    std::vector<std::string> pictures;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < pngPaths.size(); ++i) {
        const std::string& stem = stems[i];
        if (stem.size() > 2 && equalsIgnoringCase(stem.substr(stem.size() - 2), "_a") &&
            std::any_of(stems.begin(), stems.end(), [&](const std::string& other) {
                return sameName(other, stem.substr(0, stem.size() - 2));
            }))
            continue; // the alpha of another picture
        if (std::any_of(names.begin(), names.end(), [&](const std::string& name) { return sameName(name, stem); })) {
            errors.push_back(fileNameOf(pngPaths[i]) + ": a texture named " + stem + " is already given");
            continue;
        }
        names.push_back(stem);
        pictures.push_back(pngPaths[i]);
    }
    return pictures;
}

int pngFilesOfFolder(const std::string& folder, std::vector<std::string>& paths)
{
    std::error_code error;
    std::filesystem::directory_iterator entries(systemfiles::pathFromUtf8(folder), error);
    if (error)
        return error.value();
    for (const auto& entry : entries)
        if (isPngPath(entry.path()) && entry.is_regular_file(error))
            paths.push_back(systemfiles::utf8FromPath(entry.path()));
    std::sort(paths.begin(), paths.end());
    return 0;
}

std::vector<TxdTextureData> buildTextures(const std::vector<std::string>& pngPaths, const TxdBuildOptions& options,
                                          std::vector<std::string>& errors)
{
    // Pictures are read and compressed on every core at once (DXT fitting is the slow part);
    // results and messages keep the order of the pictures.
    const std::vector<std::string> paths = texturePicturePaths(pngPaths, errors);
    std::vector<TxdTextureData> built(paths.size());
    std::vector<std::string> refusals(paths.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < paths.size(); i = next++) {
            TexturePicture picture;
            refusals[i] = readTexturePicture(paths[i], options.resize, picture);
            if (refusals[i].empty())
                built[i] = buildTexture(picture, options);
        }
    };
    const std::size_t helpers = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), paths.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < helpers; ++i)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();

    std::vector<TxdTextureData> textures;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (refusals[i].empty())
            textures.push_back(std::move(built[i]));
        else
            errors.push_back(std::move(refusals[i]));
    }
    return textures;
}
