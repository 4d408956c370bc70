#include "ViewPreferences.h"

#include "NumberText.h"

#include <QSettings>
#include <QStandardPaths>

#include <cmath>

namespace {

const QString DrawDistanceKey = QStringLiteral("View/DrawDistance");
constexpr float SmallestScale = 0.25f;
constexpr float LargestScale = 4.0f;

const QString SnapKey = QStringLiteral("Editing/Snap");
const QString GridStepKey = QStringLiteral("Editing/GridStep");
const QString AngleStepKey = QStringLiteral("Editing/AngleStep");
constexpr float LargestGridStep = 10000.0f;
constexpr float LargestAngleStep = 360.0f;

// A stored step within (0, largest], else the fallback.
float storedStep(const QSettings& settings, const QString& key, float largest, float fallback)
{
    const std::optional<float> step = strictFloat(settings.value(key).toString().toStdString());
    return step && std::isfinite(*step) && *step > 0 && *step <= largest ? *step : fallback;
}

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


SnapSettings snapping()
{
    const QSettings settings(settingsFile(), QSettings::IniFormat);
    SnapSettings snap;
    snap.Enabled = settings.value(SnapKey).toString() == QStringLiteral("1");
    snap.GridStep = storedStep(settings, GridStepKey, LargestGridStep, snap.GridStep);
    snap.AngleStep = storedStep(settings, AngleStepKey, LargestAngleStep, snap.AngleStep);
    return snap;
}

void setSnapping(const SnapSettings& snapping)
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(SnapKey, snapping.Enabled ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(GridStepKey, QString::fromStdString(shortFloatText(snapping.GridStep)));
    settings.setValue(AngleStepKey, QString::fromStdString(shortFloatText(snapping.AngleStep)));
}

} // namespace ViewPreferences
