#pragma once

#include "TxdDecoder.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Writing the textures of a dictionary as PNG pictures of their top level.

// A texture name as a file name without extension: path separators, control characters
// and characters unsafe in file names become '_', surrounding blanks go, and a name with
// nothing usable left (or "." or "..") becomes "texture<index>".
std::string safeTextureFileName(std::string_view name, std::size_t index);

// One texture's top level to `path` (replaced whole or not at all): 0, EINVAL when its
// format cannot be decoded, or the system's error code.
int exportTexturePng(const TxdDecodedTexture& texture, const std::string& path);

struct TxdExportResult {
    std::vector<std::string> Written; // paths, in texture order
    std::vector<std::string> Skipped; // names of textures whose format could not be decoded
    int Error = 0;                    // the system's error code of the file that could not be written
    std::string ErrorPath;
};

// Every texture into `folder` as NAME.png. A name met again (in any letter case, as file
// systems may not tell them apart) gets the texture's position added: NAME_3.png.
// Stops at the first file that cannot be written.
TxdExportResult exportTxdTextures(const std::vector<TxdDecodedTexture>& textures, const std::string& folder);
