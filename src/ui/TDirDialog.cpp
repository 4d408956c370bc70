#include "TDirDialog.h"

#include "DialogService.h"
#include "GamePaths.h"
#include "ProgramSettings.h"

#include <filesystem>
#include <initializer_list>
#include <string_view>

namespace {

bool holdsAll(const QString& folder, std::initializer_list<std::string_view> names)
{
    const std::string dir = folder.toStdString();
    for (std::string_view name : names) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(resolveGamePath(dir, name), error))
            return false;
    }
    return true;
}

} // namespace

TDirDialog::TDirDialog() = default;

TDirDialog::TDirDialog(bool validate) : m_validate(validate)
{
}

bool TDirDialog::HoldsViceCity(const QString& folder)
{
    return holdsAll(folder, {"models\\gta3.dir", "models\\gta3.img", "data\\gta_vc.dat"});
}

bool TDirDialog::HoldsGTA3(const QString& folder)
{
    return holdsAll(folder, {"models\\gta3.dir", "models\\gta3.img", "data\\gta3.dat"});
}

bool TDirDialog::Acceptable(const QString& folder) const
{
    const ProgramSettings& settings = programSettings();
    if (settings.AddingGame && (HoldsViceCity(folder) || HoldsGTA3(folder)))
        return true;
    if (!m_validate)
        return true;
    return settings.IsViceCity ? HoldsViceCity(folder) : HoldsGTA3(folder);
}

bool TDirDialog::Execute()
{
    const auto chosen = dialogs().pickFolder(Title, [this](const QString& folder) { return Acceptable(folder); });
    if (!chosen)
        return false;
    DirName = *chosen;
    return true;
}
