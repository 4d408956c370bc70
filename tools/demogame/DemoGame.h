#pragma once

#include <string>

// Writes a complete small game installation of our own making: DAT, IDE and IPL files,
// the model archive with models and texture dictionaries, generic.txd and radar tiles.
struct DemoGameOptions {
    bool viceCity = true; // false: the GTA III form (also writes models/txd.img)
    bool large = false;   // the large variant for benchmarks
};

// Returns 0 or the system's error code; `error` then says what could not be written.
int writeDemoGame(const std::string& directory, const DemoGameOptions& options, std::string& error);
