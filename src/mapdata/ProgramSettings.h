#pragma once

#include <string>

// The settings of one run: chosen in the start-up window or by the game directory step,
// read everywhere else. The one instance is reached through programSettings().
struct ProgramSettings {
    std::string GameDir;          // game directory, ends with the platform's separator once chosen
    bool IsViceCity = true;       // game mode; Vice City until a game is chosen
    std::string GameDescription;  // description of the chosen game list entry
    bool LoadModels = false;      // level of detail "Models", else cubes
    bool LoadTextures = false;    // textures are loaded and drawn
    bool SkipTextures = true;     // inverse of LoadTextures, set with it
    bool LaunchRequested = false; // the start-up window was left through its launch button
    bool AddingGame = false;      // the start-up window is adding a game
};

ProgramSettings& programSettings();
