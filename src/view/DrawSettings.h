#pragma once

#include <array>
#include <cstdint>

// The drawing settings every frame reads: those of the settings window (built-in defaults
// each run, nothing stored) and the main window's LOD choice, draw distance and radar z-level.
struct DrawSettings {
    float RadarTileSizeX = 503.0f;
    float RadarTileSizeY = 501.0f;
    float PathLineWidth = 3.0f;
    std::array<std::uint8_t, 3> PeoplePathColour{255, 255, 0}; // red, green, blue
    std::array<std::uint8_t, 3> CarPathColour{255, 0, 0};
    std::array<std::uint8_t, 3> BoatPathColour{0, 255, 0};
    float PathCoordinateScale = 0.0625f;
    int RadarZLevel = -100;
    int LodChoice = 0; // 0 "Normal Mode", 1 "LOD Mode", 2 "Normal + LOD", 3 "As In Game"
    float DrawDistanceScale = 1.0f; // "As In Game": every draw distance times this
};

// The LOD choice that draws what the game would show from the camera.
constexpr int LodChoiceAsInGame = 3;

DrawSettings& drawSettings();
