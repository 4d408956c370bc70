#pragma once

#include "TGTA3Archive.h"
#include "TGTAFileList.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

// Loading a game folder for the commands that work on the whole map (validate, find, ids).
struct LoadedGame {
    std::unique_ptr<TGTAFileList> files;
    std::unique_ptr<TGTA3Archive> archive; // null unless asked for
};

// Loads the map as the editor does (DAT file, then IDE files, then IPL files) in the mode
// `game` names ("vc", "gta3" or empty: told by the folder), and the main archive when
// `withArchive`. Null after saying on `err` what could not be read.
std::unique_ptr<LoadedGame> loadGame(const std::string& gameDir, const std::string& game, bool withArchive,
                                     std::ostream& err);

// A map file's name as the DAT file gives it ("DATA\MAPS\x.ipl"), as the path of the file on
// disk relative to the game folder with forward slashes ("data/maps/x.ipl"): what a
// repository of the mod holds, whatever the system.
std::string pathInGame(std::string_view gameDir, std::string_view name);
