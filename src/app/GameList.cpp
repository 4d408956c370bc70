#include "GameList.h"

#include "FileIO.h"
#include "GameRegistry.h"
#include "ProgramFolders.h"
#include "VarnParser.h"

#include <QFileInfo>
#include <QStandardPaths>

QString gameListPath()
{
    const QString overridden = qEnvironmentVariable("QUOX_GAMES_FILE");
    if (!overridden.isEmpty())
        return overridden;
    // An installed program's folder is the system's (writable for root, but not ours to
    // write): its list lives in the user's configuration folder.
    const QString programFolder = ProgramFolders::programFolder();
    if (!ProgramFolders::isInstalled(programFolder) && QFileInfo(programFolder).isWritable())
        return programFolder + QStringLiteral("/GAMES.TXT");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quoxmapper/GAMES.TXT");
}

std::string commaText(const std::vector<std::string>& fields)
{
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += ',';
        text += commaTextField(fields[i]);
    }
    return text;
}

std::vector<std::string> splitCommaText(std::string_view line)
{
    SplitLine(line);
    std::vector<std::string> fields;
    fields.reserve(static_cast<size_t>(TokenCount()));
    for (int i = 0; i < TokenCount(); ++i)
        fields.emplace_back(TokenAt(i));
    return fields;
}

std::optional<std::vector<std::string>> readGameListFile(const std::string& path)
{
    std::vector<std::string> lines;
    if (readLines(path, [&lines](std::string_view line) { lines.emplace_back(line); }) != 0)
        return std::nullopt;
    return lines;
}

std::vector<std::string> gameListFromRegistry()
{
    struct Game {
        const QString& key;
        const char* description;
    };
    const Game games[] = {{GameRegistry::GTA3Key, "GTA 3"}, {GameRegistry::ViceCityKey, "GTA Vice City"}};
    std::vector<std::string> lines;
    for (const Game& game : games) {
        const QString path = GameRegistry::readPath(game.key);
        if (!path.isEmpty())
            lines.push_back(commaText({path.toStdString(), game.description}));
    }
    return lines;
}

std::vector<std::string> loadGameList(const std::string& path)
{
    if (auto lines = readGameListFile(path))
        return std::move(*lines);
    return gameListFromRegistry();
}

int writeGameList(const std::string& path, const std::vector<std::string>& lines)
{
    std::string contents;
    for (const std::string& line : lines) {
        contents += line;
        contents += "\r\n";
    }
    return replaceFileContents(path, contents);
}
