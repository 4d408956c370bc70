#pragma once

#include "TxdBuild.h"
#include "TxdChunkList.h"

#include <string>
#include <string_view>
#include <vector>

// The changes a user makes to a dictionary's textures, with the refusals the command line
// and the texture viewer both give in the same words.

// Adds the PNG pictures as textures, replacing those of the same name (any letter case).
// Returns the refusals; when there is any, the dictionary is unchanged. `added` gets the
// textures put in.
std::vector<std::string> addTexturePictures(TxdChunkList& dictionary, const std::vector<std::string>& pngPaths,
                                            const TxdBuildOptions& options, std::vector<TxdTextureData>* added = nullptr);

// Why `oldName` may not be renamed to `newName` in the dictionary called `dictionaryName`,
// or empty: a name of no or more than 31 characters, a name another texture has, no
// texture named `oldName`.
std::string textureRenameRefusal(const TxdChunkList& dictionary, std::string_view dictionaryName,
                                 std::string_view oldName, std::string_view newName);
