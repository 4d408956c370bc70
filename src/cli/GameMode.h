#pragma once

#include <string>

// The game mode a command works in: "vc" or "gta3" as given, else Vice City when the
// game folder holds gta-vc.exe.
bool gameIsViceCity(const std::string& gameDir, const std::string& game);
