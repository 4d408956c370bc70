#pragma once

#include "VarnParser.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The list of known game installations, GAMES.TXT: one entry per line, each the comma text
// of the game directory and a free description.

// Where GAMES.TXT is kept: the file QUOX_GAMES_FILE names; else beside the program when that
// folder is writable; else the user's configuration folder (an installed program).
QString gameListPath();

// The fields joined by commas, each by commaTextField.
std::string commaText(const std::vector<std::string>& fields);
// The fields of a line by the program's comma-text rule (commas and blanks separate, quotes group).
std::vector<std::string> splitCommaText(std::string_view line);

// The lines of the file; nothing when it cannot be read.
std::optional<std::vector<std::string>> readGameListFile(const std::string& path);

// Entries for the games' registry keys that hold a "Path": GTA 3 first, then Vice City.
std::vector<std::string> gameListFromRegistry();

// The lines of the file, or the registry's entries when the file cannot be read.
std::vector<std::string> loadGameList(const std::string& path);

// Replaces the file with the lines, each ended by CR LF; the old file stays whole when that
// fails. Returns 0 or the system's error code.
int writeGameList(const std::string& path, const std::vector<std::string>& lines);
