#pragma once

#include "BenchGame.h"
#include "ProgramSettings.h"
#include "TGTAFileList.h"

#include <memory>

// The benchmark game's map files read as the editor reads them (Vice City form): every IDE
// file, then every IPL file the DAT file names.
inline std::unique_ptr<TGTAFileList> loadBenchFiles(const BenchGame& game)
{
    programSettings().GameDir = game.gameDir();
    programSettings().IsViceCity = true;
    auto files = std::make_unique<TGTAFileList>(programSettings().GameDir, true);
    files->LoadDat(DatPass::IDE);
    files->LoadDat(DatPass::IPL);
    return files;
}
