#include "GameDirectoryStep.h"

#include "GameRegistry.h"
#include "GamePaths.h"
#include "ProgramSettings.h"
#include "TDirDialog.h"
#include "TGTAFileList.h"

#include <filesystem>

namespace {

bool existsInGame(const std::string& gameDir, const char* name)
{
    std::error_code error;
    return std::filesystem::is_regular_file(resolveGamePath(gameDir, name), error);
}

}

bool RunGameDirectoryStep()
{
    ProgramSettings& settings = programSettings();
    if (!settings.GameDir.empty()) {
        settings.GameDir = withTrailingSeparator(settings.GameDir);
        return true;
    }
    const bool viceCity = settings.IsViceCity;
    const QString key = viceCity ? GameRegistry::ViceCityKey : GameRegistry::GTA3Key;
    const QString registryPath = GameRegistry::readPath(key);
    settings.GameDir = withTrailingSeparator(registryPath.toStdString());
    if (!registryPath.isEmpty() && existsInGame(settings.GameDir, "models\\gta3.dir")
        && existsInGame(settings.GameDir, "models\\gta3.img")
        && existsInGame(settings.GameDir, TGTAFileList::DatName(viceCity).c_str()))
        return true;

    TDirDialog picker;
    picker.Title = viceCity ? "Please Select GTA Vice City Directory:" : "Please Select GTA III Directory:";
    if (!picker.Execute())
        return false;
    settings.GameDir = withTrailingSeparator(picker.DirName.toStdString());
    // A registry that cannot be written keeps the folder for this run only.
    GameRegistry::writePath(key, QString::fromStdString(settings.GameDir));
    return true;
}
