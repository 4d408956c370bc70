#include "ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString HelpFileName = QStringLiteral("quoxmapper.hlp");

QString sharedDataFolder(const QString& programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/quoxmapper"));
}

} // namespace

namespace ProgramFolders {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

bool isInstalled(const QString& programFolder)
{
    return !QFileInfo::exists(programFolder + '/' + HelpFileName)
        && QFileInfo::exists(sharedDataFolder(programFolder) + '/' + HelpFileName);
}

QString dataFile(const QString& programFolder, const QString& name)
{
    if (isInstalled(programFolder))
        return sharedDataFolder(programFolder) + '/' + name;
    return programFolder + '/' + name;
}

} // namespace ProgramFolders
