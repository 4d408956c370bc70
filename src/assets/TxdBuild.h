#pragma once

#include "TxdWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Textures made from PNG pictures, in the formats and with the version word of the games'
// own dictionaries.

enum class TxdGame { ViceCity, Gta3 };

// What the user may ask for; the alpha variant of each follows the picture.
enum class TxdFormatChoice { Dxt1, Dxt1Alpha, Dxt3, Rgba8888, Rgb888, Pal8, Pal4 };

// "dxt1", "dxt1a", "dxt3", "8888", "888", "pal8", "pal4" (any letter case).
std::optional<TxdFormatChoice> parseTxdFormatChoice(std::string_view text);
// The accepted names, for messages: "dxt1, dxt1a, ...".
std::string txdFormatChoiceNames();

struct TxdBuildOptions {
    TxdGame game = TxdGame::ViceCity;
    std::optional<TxdFormatChoice> format; // none: the game's usual format
    bool mipmaps = false;                  // levels down to 1x1, box-filtered
    bool resize = false;                   // sides that are not powers of two go to the nearest one
    TxdDxtFit dxtFit = TxdDxtFit::Fast;
};

// The version stamp of the game's own dictionaries (Vice City 3.3.0.2, GTA III 3.2.0.0).
std::uint32_t txdGameStamp(TxdGame game);

// Texture names longer than this do not fit the 32-byte name field with its zero.
constexpr std::size_t TxdMaxNameLength = 31;

// A picture ready to be encoded: its name, its mask name and its pixels.
struct TexturePicture {
    std::string name;
    std::string mask;
    RgbaImage image;
};

// Reads `path` as the texture named after the file without its extension. A picture
// NAME_a.png beside it gives the alpha (its grey level) and the mask name NAME_a; else the
// picture's own alpha stays. Returns a message naming the file when it is refused: an
// unreadable picture, a name longer than 31 characters, a side that is not a power of two
// (without `resize`), or an alpha picture of another size.
std::string readTexturePicture(const std::string& path, bool resize, TexturePicture& picture);

// The alpha picture that belongs beside `path` (same folder, NAME_a.png), or empty.
std::string alphaPicturePath(const std::string& path);

// Encodes a picture in the chosen format, or the game's usual one: DXT1 without alpha and
// DXT3 with alpha for Vice City, PAL8 (with an alpha palette when the picture has alpha)
// for GTA III.
TxdTextureData buildTexture(const TexturePicture& picture, const TxdBuildOptions& options);

// The pictures to read for the given PNG files: every one, except an alpha picture NAME_a.png
// given together with NAME.png. Refusals of duplicate texture names (any letter case) are
// added to `errors`.
std::vector<std::string> texturePicturePaths(const std::vector<std::string>& pngPaths, std::vector<std::string>& errors);

// The PNG files of a folder (not its subfolders), sorted by name.
int pngFilesOfFolder(const std::string& folder, std::vector<std::string>& paths);

// Every picture path into a texture; stops at nothing, so `errors` names every refused file.
std::vector<TxdTextureData> buildTextures(const std::vector<std::string>& pngPaths, const TxdBuildOptions& options,
                                          std::vector<std::string>& errors);
