#pragma once

#include <QString>

// The view settings kept from run to run: an INI file in the user's configuration folder
// ("quoxmapper/settings.ini"; the QUOX_SETTINGS_FILE environment variable names another,
// for tests). Only the "As In Game" draw distance scale is kept so far.
namespace ViewPreferences {

QString settingsFile();

// The scale last chosen, within 0.25..4; 1 when none was saved or the value is unusable.
float drawDistanceScale();
void setDrawDistanceScale(float scale);

} // namespace ViewPreferences
