#pragma once

#include "TownLayout.h"

#include <string>
#include <vector>

// The text files of the demo game: the DAT file, one IDE and one IPL file per area, the
// zone file, the cull file, the occluder and path files (Vice City) - written as the games'
// own files look: lower-case section keywords closed by "end", CR LF line ends, comments
// and blank lines, DAT paths with backslashes in mixed case.
struct MapTextFile {
    std::string diskPath; // relative to the game directory, '/' separated
    std::string text;
};

std::vector<MapTextFile> writeMapTexts(const TownLayout& layout, bool viceCity);

// The DAT file's name under the game directory for the game form.
std::string datDiskPath(bool viceCity);

// Files the DAT file names besides the map files (a texture dictionary and a model),
// with the path on disk the generator writes them to.
constexpr const char* MiscTxdDiskPath = "models/misc.txd";
constexpr const char* MarkerModelDiskPath = "models/generic/qxmarker.dff";
