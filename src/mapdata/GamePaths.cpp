#include "GamePaths.h"

#include "SystemFiles.h"
#include "TextParser.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace fs = std::filesystem;
using systemfiles::pathFromUtf8;
using systemfiles::utf8FromPath;

namespace {

std::vector<std::string_view> nameComponents(std::string_view name)
{
    std::vector<std::string_view> components;
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = name.find_first_of("\\/", start);
        const std::string_view component = name.substr(start, end == std::string_view::npos ? end : end - start);
        if (!component.empty())
            components.push_back(component);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return components;
}

// The entry of dir whose name equals component without regard to case: the one spelt
// exactly so when there is one, else the smallest such name when several differ only in
// case, so the choice does not depend on the order in which the file system lists them.
std::optional<std::string> findIgnoringCase(const fs::path& dir, std::string_view component)
{
    std::error_code error;
    fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, error);
    std::optional<std::string> found;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::string entry = utf8FromPath(it->path().filename());
        if (entry == component)
            return entry;
        if (equalsIgnoringCase(entry, component) && (!found || entry < *found))
            found = std::move(entry);
    }
    return found;
}

// Windows names a folder in any letter case ("C:\Games", "c:\games"); elsewhere case counts.
bool samePathPart(const fs::path& a, const fs::path& b)
{
#ifdef _WIN32
    return equalsIgnoringCase(utf8FromPath(a), utf8FromPath(b));
#else
    return a == b;
#endif
}

} // namespace

std::string resolveGamePath(std::string_view gameDir, std::string_view name)
{
    fs::path current = pathFromUtf8(gameDir);
    bool matching = true;
    for (std::string_view component : nameComponents(name)) {
        const fs::path exact = current / pathFromUtf8(component);
        if (matching) {
            std::error_code error;
            if (fs::exists(fs::symlink_status(exact, error))) {
                current = exact;
                continue;
            }
            if (auto entry = findIgnoringCase(current, component)) {
                current /= pathFromUtf8(*entry);
                continue;
            }
            matching = false;
        }
        current = exact;
    }
    return utf8FromPath(current);
}

std::string withTrailingSeparator(std::string dir)
{
    // Windows takes '/' as a separator too.
    const bool ends = !dir.empty() && (dir.back() == static_cast<char>(fs::path::preferred_separator) || dir.back() == '/');
    if (!dir.empty() && !ends)
        dir += static_cast<char>(fs::path::preferred_separator);
    return dir;
}

std::optional<std::string> gameRelativeName(std::string_view gameDir, std::string_view chosenPath)
{
    if (gameDir.empty() || chosenPath.empty())
        return std::nullopt;
    std::error_code error;
    // Resolves links of the parts that exist; a file still to be created keeps its name.
    const fs::path game = fs::weakly_canonical(fs::absolute(pathFromUtf8(gameDir), error), error);
    if (error)
        return std::nullopt;
    const fs::path chosen = fs::weakly_canonical(fs::absolute(pathFromUtf8(chosenPath), error), error);
    if (error)
        return std::nullopt;
    auto gamePart = game.begin();
    auto chosenPart = chosen.begin();
    for (; gamePart != game.end() && !gamePart->empty(); ++gamePart, ++chosenPart) {
        if (chosenPart == chosen.end() || !samePathPart(*chosenPart, *gamePart))
            return std::nullopt;
    }
    std::string name;
    for (; chosenPart != chosen.end(); ++chosenPart) {
        const std::string part = utf8FromPath(*chosenPart);
        if (part.empty() || part == ".")
            continue;
        if (part == "..")
            return std::nullopt;
        if (!name.empty())
            name += '\\';
        name += part;
    }
    if (name.empty() || name.find_first_of(" \t") != std::string::npos)
        return std::nullopt;
    return name;
}

std::string nameAsListed(std::string_view gameDir, std::string_view name)
{
    fs::path current = pathFromUtf8(gameDir);
    std::string listed;
    bool matching = true;
    for (std::string_view component : nameComponents(name)) {
        std::string part(component);
        if (matching) {
            if (auto entry = findIgnoringCase(current, component))
                part = std::move(*entry);
            else
                matching = false;
        }
        if (!listed.empty())
            listed += '/';
        listed += part;
        current /= pathFromUtf8(part);
    }
    return listed;
}
