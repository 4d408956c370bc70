#include "CliCommands.h"

#include "CliFiles.h"

#include "SystemFiles.h"
#include "TGTA3Archive.h"
#include "TextParser.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

void printEntry(const TImgEntry& entry, std::ostream& out)
{
    out << entry.Index << '\t' << entry.TrimmedName() << '\t' << entry.Offset << '\t' << entry.Size << '\n';
}

// Positions of the entries named, or an empty list after telling which name is missing.
bool findAll(const TGTA3Archive& archive, const std::string& path, const std::vector<std::string>& names,
             std::vector<int>& found, std::ostream& err)
{
    for (const std::string& name : names) {
        const int index = archive.FindEntry(name);
        if (index < 0) {
            err << "quoxmapper-cli: " << path << " has no entry named " << name << '\n';
            return false;
        }
        found.push_back(index);
    }
    return true;
}

int list(const std::string& path, std::ostream& out, std::ostream& err)
{
    const auto archive = openArchive(path, false, err);
    if (!archive)
        return ExitUnreadable;
    for (int i = 0; i < archive->EntryCount(); ++i)
        printEntry(archive->GetEntry(i), out);
    return ExitOk;
}

int add(const std::string& path, const std::vector<std::string>& files, std::ostream& out, std::ostream& err)
{
    const auto archive = openArchive(path, true, err);
    if (!archive)
        return ExitUnreadable;
    for (const std::string& file : files) {
        std::ifstream source(systemfiles::pathFromUtf8(file), std::ios::binary);
        if (!source) {
            err << "quoxmapper-cli: cannot read " << file << ": " << std::strerror(errno) << '\n';
            return ExitUnreadable;
        }
        const std::string name = systemfiles::utf8FromPath(systemfiles::pathFromUtf8(file).filename());
        if (const int error = archive->AddFile(name, source)) {
            err << "quoxmapper-cli: cannot add " << file << " to " << path << ": " << std::strerror(error) << '\n';
            return ExitUnreadable;
        }
        printEntry(archive->GetEntry(archive->EntryCount() - 1), out);
    }
    return ExitOk;
}

int remove(const std::string& path, const std::vector<std::string>& names, std::ostream& out, std::ostream& err)
{
    const auto archive = openArchive(path, true, err);
    if (!archive)
        return ExitUnreadable;
    std::vector<int> found;
    if (!findAll(*archive, path, names, found, err))
        return ExitUnreadable;
    std::vector<TImgEntry> removed;
    for (int i = 0; i < archive->EntryCount(); ++i) {
        const TImgEntry entry = archive->GetEntry(i);
        const std::string trimmed = entry.TrimmedName();
        for (const std::string& name : names) {
            if (equalsIgnoringCase(trimmed, name)) {
                archive->MarkDeleted(i);
                removed.push_back(entry);
                break;
            }
        }
    }
    if (const int error = archive->CommitDeletions()) {
        err << "quoxmapper-cli: cannot write " << archive->dirFileName() << ": " << std::strerror(error) << '\n';
        return ExitUnreadable;
    }
    for (const TImgEntry& entry : removed)
        printEntry(entry, out);
    return ExitOk;
}

int extract(const std::string& path, const std::vector<std::string>& names, const std::string& folder,
            std::ostream& out, std::ostream& err)
{
    const auto archive = openArchive(path, false, err);
    if (!archive)
        return ExitUnreadable;
    std::vector<int> found;
    if (!findAll(*archive, path, names, found, err))
        return ExitUnreadable;
    std::error_code ignored;
    std::filesystem::create_directories(systemfiles::pathFromUtf8(folder), ignored);
    for (const int index : found) {
        std::string written;
        if (const int error = archive->ExtractEntryToFolder(index, folder, written)) {
            err << "quoxmapper-cli: cannot extract " << archive->GetEntry(index).TrimmedName() << " from " << path
                << " into " << folder << ": " << std::strerror(error) << '\n';
            return ExitUnreadable;
        }
        out << written << '\n';
    }
    return ExitOk;
}

int rebuild(const std::string& path, std::ostream& out, std::ostream& err)
{
    const auto archive = openArchive(path, true, err);
    if (!archive)
        return ExitUnreadable;
    ArchiveRebuildReport report;
    if (const int error = archive->Rebuild(report)) {
        err << "quoxmapper-cli: cannot rebuild " << path;
        if (!report.failedEntry.empty())
            err << " (entry " << report.failedEntry << ")";
        err << ": " << std::strerror(error) << (report.replaced ? "; the next open finishes it" : "; it is unchanged")
            << '\n';
        return ExitUnreadable;
    }
    out << "entries\t" << report.entries << "\nold size\t" << report.oldBytes << "\nnew size\t" << report.newBytes
        << '\n';
    return ExitOk;
}

} // namespace

// img list ARCHIVE.img; img add ARCHIVE.img FILE...; img delete ARCHIVE.img NAME...;
// img extract ARCHIVE.img NAME... -d DIR; img rebuild ARCHIVE.img
void addImgCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams)
{
    CLI::App* img = app.add_subcommand("img", "List, add, delete, extract and rebuild the entries of an IMG archive");
    img->require_subcommand(1);

    auto listPath = std::make_shared<std::string>();
    CLI::App* listCommand = img->add_subcommand("list", "Print index, name, offset and size (in sectors) of each entry");
    listCommand->add_option("ARCHIVE", *listPath, "the .img file (its .dir beside it)")->required();
    commands.add(listCommand, [=] { return list(*listPath, streams.out, streams.err); });

    auto addPath = std::make_shared<std::string>();
    auto addFiles = std::make_shared<std::vector<std::string>>();
    CLI::App* addCommand = img->add_subcommand("add", "Append files as new entries, each under its name without folder");
    addCommand->add_option("ARCHIVE", *addPath, "the .img file (its .dir beside it)")->required();
    addCommand->add_option("FILE", *addFiles, "the files to add")->required();
    commands.add(addCommand, [=] { return add(*addPath, *addFiles, streams.out, streams.err); });

    auto deletePath = std::make_shared<std::string>();
    auto deleteNames = std::make_shared<std::vector<std::string>>();
    CLI::App* deleteCommand =
        img->add_subcommand("delete", "Remove every entry with one of the names (any letter case) from the directory");
    deleteCommand->add_option("ARCHIVE", *deletePath, "the .img file (its .dir beside it)")->required();
    deleteCommand->add_option("NAME", *deleteNames, "entry names")->required();
    commands.add(deleteCommand, [=] { return remove(*deletePath, *deleteNames, streams.out, streams.err); });

    auto extractPath = std::make_shared<std::string>();
    auto extractNames = std::make_shared<std::vector<std::string>>();
    auto extractFolder = std::make_shared<std::string>();
    CLI::App* extractCommand =
        img->add_subcommand("extract", "Copy entries (whole sectors) into a folder under their names");
    extractCommand->add_option("ARCHIVE", *extractPath, "the .img file (its .dir beside it)")->required();
    extractCommand->add_option("NAME", *extractNames, "entry names")->required();
    extractCommand->add_option("-d", *extractFolder, "the folder to write into")->required();
    commands.add(extractCommand,
                 [=] { return extract(*extractPath, *extractNames, *extractFolder, streams.out, streams.err); });

    auto rebuildPath = std::make_shared<std::string>();
    CLI::App* rebuildCommand = img->add_subcommand(
        "rebuild", "Write the archive again without the space of deleted and replaced entries; print the entry "
                   "count and the data file's size before and after (bytes)");
    rebuildCommand->add_option("ARCHIVE", *rebuildPath, "the .img file (its .dir beside it)")->required();
    commands.add(rebuildCommand, [=] { return rebuild(*rebuildPath, streams.out, streams.err); });
}
