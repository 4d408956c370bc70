#include "IdRangePreferences.h"

#include "NumberText.h"
#include "ViewPreferences.h"

#include <QSettings>

namespace {

QString key(bool viceCity)
{
    return viceCity ? QStringLiteral("FreeIDs/ModelTableViceCity") : QStringLiteral("FreeIDs/ModelTableGTA3");
}

} // namespace

namespace IdRangePreferences {

int modelTableSize(bool viceCity, int gameDefault)
{
    const QSettings settings(ViewPreferences::settingsFile(), QSettings::IniFormat);
    const std::optional<int> size = strictInt(settings.value(key(viceCity)).toString().toStdString());
    if (!size || *size < 1 || *size > LargestTable)
        return gameDefault;
    return *size;
}

void setModelTableSize(bool viceCity, int size)
{
    QSettings settings(ViewPreferences::settingsFile(), QSettings::IniFormat);
    std::string text;
    appendInt(text, size);
    settings.setValue(key(viceCity), QString::fromStdString(text));
}

} // namespace IdRangePreferences
