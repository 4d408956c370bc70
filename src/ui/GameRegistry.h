#pragma once

#include <QString>

// Stand-in for the games' registry keys under the local machine root and their string value
// "Path": the native registry on Windows, elsewhere an INI file in the user's configuration
// folder (or the file QUOX_REGISTRY_FILE names), one group per key.
namespace GameRegistry {
inline const QString GTA3Key = QStringLiteral("\\Software\\Rockstar Games\\GTAIII");
inline const QString ViceCityKey = QStringLiteral("\\Software\\Rockstar Games\\Grand Theft Auto Vice City");

// The key's "Path", empty when the key or value is missing.
QString readPath(const QString& key);
// False when the key cannot be written.
bool writePath(const QString& key, const QString& path);
}
