#pragma once

#include "DemoGame.h"
#include "ProgramSettings.h"
#include "TestFiles.h"

#include <optional>
#include <string>

// The demo game (Vice City form) written into `game` and chosen as the program's game, to
// be loaded in cubes mode without textures, as the window tests load it. Returns the
// writer's error, empty on success.
inline std::string chooseDemoGameInCubes(const TempDir& game, std::optional<GameSettingsScope>& settings)
{
    std::string error;
    if (writeDemoGame(game.path().string(), DemoGameOptions{}, error) != 0)
        return error.empty() ? std::string("the demo game could not be written") : error;
    settings.emplace(game.path().string() + "/", true);
    programSettings().LoadModels = false;
    programSettings().LoadTextures = false;
    programSettings().SkipTextures = true;
    return {};
}
