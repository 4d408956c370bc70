#include "GameMode.h"

#include "GamePaths.h"
#include "SystemFiles.h"

#include <filesystem>

bool gameIsViceCity(const std::string& gameDir, const std::string& game)
{
    if (!game.empty())
        return game == "vc";
    std::error_code error;
    return std::filesystem::exists(
        systemfiles::pathFromUtf8(resolveGamePath(withTrailingSeparator(gameDir), "gta-vc.exe")), error);
}
