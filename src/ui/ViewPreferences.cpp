#include "ViewPreferences.h"

#include "NumberText.h"

#include <QSettings>
#include <QStandardPaths>

#include <cmath>

namespace {

const QString DrawDistanceKey = QStringLiteral("View/DrawDistance");
constexpr float SmallestScale = 0.25f;
constexpr float LargestScale = 4.0f;

} // namespace

namespace ViewPreferences {

QString settingsFile()
{
    const QString overridden = qEnvironmentVariable("QUOX_SETTINGS_FILE");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quoxmapper/settings.ini");
}

float drawDistanceScale()
{
    const QSettings settings(settingsFile(), QSettings::IniFormat);
    // Stored as text with a decimal point, the same under every locale.
    const std::optional<float> scale = strictFloat(settings.value(DrawDistanceKey).toString().toStdString());
    if (!scale || !std::isfinite(*scale) || *scale < SmallestScale || *scale > LargestScale)
        return 1.0f;
    return *scale;
}

void setDrawDistanceScale(float scale)
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(DrawDistanceKey, QString::fromStdString(shortFloatText(scale)));
}

} // namespace ViewPreferences
