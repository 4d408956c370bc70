#pragma once

#include "Snapping.h"

#include <QString>

// The view settings kept from run to run: an INI file in the user's configuration folder
// ("quoxmapper/settings.ini"; the QUOX_SETTINGS_FILE environment variable names another,
// for tests): the "As In Game" draw distance scale and the snapping of moves and turns.
namespace ViewPreferences {

QString settingsFile();

// The scale last chosen, within 0.25..4; 1 when none was saved or the value is unusable.
float drawDistanceScale();
void setDrawDistanceScale(float scale);

// Snapping as last set: a step that is missing or unusable takes its default.
SnapSettings snapping();
void setSnapping(const SnapSettings& snapping);

} // namespace ViewPreferences
