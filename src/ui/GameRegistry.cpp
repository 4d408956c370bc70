#include "GameRegistry.h"

#include <QSettings>
#include <QStandardPaths>

#include <memory>

namespace {

// One opened key: the settings that hold it and the name of its "Path" value there.
struct OpenedKey {
    std::unique_ptr<QSettings> settings;
    QString pathName;
};

#ifdef Q_OS_WIN

// The games and their installers are 32-bit programs: on 64-bit Windows their keys live in
// the registry's 32-bit view (under WOW6432Node), which a 64-bit program must ask for.
OpenedKey openKey(const QString& key)
{
    return {std::make_unique<QSettings>(QStringLiteral("HKEY_LOCAL_MACHINE") + key, QSettings::Registry32Format),
            QStringLiteral("Path")};
}

#else

QString registryFile()
{
    const QString overridden = qEnvironmentVariable("QUOX_REGISTRY_FILE");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quoxmapper/registry.ini");
}

// The key becomes nested groups: "\Software\Rockstar Games\GTAIII" is stored as
// "Software/Rockstar Games/GTAIII", which QSettings reads back as it wrote it (a backslash
// in a group name would not survive the INI file).
OpenedKey openKey(const QString& key)
{
    QString groups = key;
    groups.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (groups.startsWith(QLatin1Char('/')))
        groups.remove(0, 1);
    return {std::make_unique<QSettings>(registryFile(), QSettings::IniFormat), groups + QStringLiteral("/Path")};
}

#endif

} // namespace

namespace GameRegistry {

QString readPath(const QString& key)
{
    const OpenedKey opened = openKey(key);
    return opened.settings->value(opened.pathName).toString();
}

bool writePath(const QString& key, const QString& path)
{
    const OpenedKey opened = openKey(key);
    if (!opened.settings->isWritable())
        return false;
    opened.settings->setValue(opened.pathName, path);
    opened.settings->sync();
    return opened.settings->status() == QSettings::NoError;
}

} // namespace GameRegistry
