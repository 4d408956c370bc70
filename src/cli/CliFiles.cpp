#include "CliFiles.h"

#include "EntryNames.h"
#include "SystemFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

std::unique_ptr<TGTA3Archive> openArchive(const std::string& path, bool forWriting, std::ostream& err)
{
    auto archive = std::make_unique<TGTA3Archive>(path, false);
    if (!archive->Opened) {
        std::error_code ignored;
        const std::string& missing = std::filesystem::exists(systemfiles::pathFromUtf8(path), ignored) ? archive->dirFileName() : path;
        err << "quoxmapper-cli: cannot open archive " << missing << ": " << std::strerror(archive->openError())
            << '\n';
        return nullptr;
    }
    if (forWriting && archive->ReadOnly) {
        err << "quoxmapper-cli: cannot change " << path
            << ": the archive could only be opened read-only (another program holds it)\n";
        return nullptr;
    }
    return archive;
}

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::ostream& err)
{
    std::ifstream in(systemfiles::pathFromUtf8(path), std::ios::binary);
    if (!in) {
        err << "quoxmapper-cli: cannot read " << path << ": " << std::strerror(errno) << '\n';
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        err << "quoxmapper-cli: cannot read " << path << '\n';
        return false;
    }
    return true;
}

int findDictionaryEntry(const TGTA3Archive& archive, const std::string& archivePath, const std::string& name,
                        std::ostream& err)
{
    int index = archive.FindEntry(name);
    if (index < 0 && extensionOf(name).empty())
        index = archive.FindEntry(name + ".txd");
    if (index < 0)
        err << "quoxmapper-cli: " << archivePath << " has no entry named " << name << '\n';
    return index;
}

bool readEntry(const TGTA3Archive& archive, int index, const std::string& archivePath, std::vector<std::uint8_t>& bytes,
               std::ostream& err)
{
    std::ostringstream entry;
    if (const int error = archive.ExtractEntry(index, entry)) {
        err << "quoxmapper-cli: cannot read " << archive.GetEntry(index).TrimmedName() << " from " << archivePath << ": "
            << std::strerror(error) << '\n';
        return false;
    }
    const std::string data = std::move(entry).str();
    bytes.assign(data.begin(), data.end());
    return true;
}

bool readArchiveEntry(const std::string& archivePath, const std::string& name, std::vector<std::uint8_t>& bytes,
                      std::ostream& err)
{
    const auto archive = openArchive(archivePath, false, err);
    if (!archive)
        return false;
    const int index = findDictionaryEntry(*archive, archivePath, name, err);
    return index >= 0 && readEntry(*archive, index, archivePath, bytes, err);
}
