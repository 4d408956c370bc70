#include "GameLoading.h"

#include "CliCommands.h"
#include "GameMode.h"
#include "GamePaths.h"
#include "TGTA3Archive.h"
#include "TGTAFileList.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstring>
#include <ostream>

std::unique_ptr<LoadedGame> loadGame(const std::string& gameDir, const std::string& game, bool withArchive,
                                     std::ostream& err)
{
    auto loaded = std::make_unique<LoadedGame>();
    loaded->files = std::make_unique<TGTAFileList>(withTrailingSeparator(gameDir), gameIsViceCity(gameDir, game));
    TGTAFileList& files = *loaded->files;
    if (const int error = files.LoadDat(DatPass::IDE)) {
        err << "quoxmapper-cli: cannot read " << files.DatPath() << ": " << std::strerror(error) << '\n';
        return nullptr;
    }
    files.LoadDat(DatPass::IPL);
    if (withArchive) {
        loaded->archive = std::make_unique<TGTA3Archive>(resolveGamePath(files.GameDir(), "models\\gta3.img"), false);
        if (!loaded->archive->Opened) {
            err << "quoxmapper-cli: cannot open " << loaded->archive->FileName << ": "
                << std::strerror(loaded->archive->openError()) << '\n';
            return nullptr;
        }
    }
    return loaded;
}

std::string pathInGame(std::string_view gameDir, std::string_view name)
{
    const std::string dir = withTrailingSeparator(std::string(gameDir));
    std::string path = resolveGamePath(dir, name);
    if (path.compare(0, dir.size(), dir) == 0)
        path.erase(0, dir.size());
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

void addGameOptions(CLI::App& command, std::string& gameDir, std::string& game)
{
    command.add_option("GAMEDIR", gameDir, "the game directory")->required();
    command.add_option("--game", game, "vc or gta3 (default: vc when gta-vc.exe is present)")
        ->check(CLI::IsMember({"vc", "gta3"}));
}
