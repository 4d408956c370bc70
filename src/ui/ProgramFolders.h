#pragma once

#include <QString>

// Where the program's own files are: beside the program when it runs from its build folder
// (or a folder it was unpacked to), or under ../share/quoxmapper when it is installed
// (/usr/bin/quoxmapper with /usr/share/quoxmapper/quoxmapper.hlp).
namespace ProgramFolders {

// The folder the program runs from (the application's folder, or `programFolder` in tests).
QString programFolder();

// An installed program: its help file is not beside it but in the shared data folder.
bool isInstalled(const QString& programFolder);

// The path of one of the program's files: beside it, or in the shared data folder of an
// installed program.
QString dataFile(const QString& programFolder, const QString& name);

} // namespace ProgramFolders
