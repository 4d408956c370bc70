#include "CliCommands.h"

#include "CliFiles.h"
#include "EntryNames.h"
#include "FileIO.h"
#include "TextParser.h"
#include "TxdBuild.h"
#include "TxdChunkList.h"
#include "TxdEdits.h"

#include <CLI/CLI.hpp>

#include <cstring>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Where a command's dictionary lives: a loose file, or an entry of an archive.
struct DictionaryPlace {
    std::string path;    // the file, or the entry name with --img
    std::string archive; // empty for a loose file
};

// Writes the dictionary back to its place: a loose file replaced whole or not at all, or an
// archive entry added anew and the old entries of the same name removed (a failure leaves
// the archive as it was).
bool saveDictionary(const DictionaryPlace& place, const std::vector<std::uint8_t>& bytes, std::ostream& err)
{
    const std::string_view contents(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (place.archive.empty()) {
        if (const int error = replaceFileContents(place.path, contents)) {
            err << "quoxmapper-cli: cannot write " << place.path << ": " << std::strerror(error)
                << " (the old file is unchanged)\n";
            return false;
        }
        return true;
    }
    const auto archive = openArchive(place.archive, true, err);
    if (!archive)
        return false;
    // A replaced entry keeps the name (and letter case) it had.
    std::string name = extensionOf(place.path).empty() ? place.path + ".txd" : place.path;
    if (int existing = archive->FindEntry(name); existing >= 0 || (existing = archive->FindEntry(place.path)) >= 0)
        name = archive->GetEntry(existing).TrimmedName();
    std::istringstream source{std::string(contents)};
    if (const int error = archive->ReplaceEntry(name, source)) {
        err << "quoxmapper-cli: cannot replace " << name << " in " << place.archive << ": " << std::strerror(error)
            << " (the archive is unchanged)\n";
        return false;
    }
    return true;
}

bool loadDictionary(const DictionaryPlace& place, TxdChunkList& dictionary, std::ostream& err)
{
    std::vector<std::uint8_t> bytes;
    if (place.archive.empty() ? !readWholeFile(place.path, bytes, err) : !readArchiveEntry(place.archive, place.path, bytes, err))
        return false;
    if (const std::string error = dictionary.read(bytes); !error.empty()) {
        err << "quoxmapper-cli: " << place.path << ": " << error << '\n';
        return false;
    }
    return true;
}

bool reportRefusals(const std::vector<std::string>& errors, std::ostream& err)
{
    for (const std::string& error : errors)
        err << "quoxmapper-cli: " << error << '\n';
    if (!errors.empty())
        err << "quoxmapper-cli: nothing was written\n";
    return errors.empty();
}

void printTexture(const TxdTextureData& texture, std::ostream& out)
{
    out << texture.name << '\t' << texture.width << 'x' << texture.height << '\t' << texture.levels.size() << '\n';
}

int build(const std::string& folder, const DictionaryPlace& place, const TxdBuildOptions& options, std::ostream& out,
          std::ostream& err)
{
    std::vector<std::string> pngs;
    if (const int error = pngFilesOfFolder(folder, pngs)) {
        err << "quoxmapper-cli: cannot read the folder " << folder << ": " << std::strerror(error) << '\n';
        return ExitUnreadable;
    }
    std::vector<std::string> errors;
    const std::vector<TxdTextureData> textures = buildTextures(pngs, options, errors);
    if (!reportRefusals(errors, err))
        return ExitUnreadable;
    if (!saveDictionary(place, writeTxd(textures, txdGameStamp(options.game)), err))
        return ExitUnreadable;
    for (const TxdTextureData& texture : textures)
        printTexture(texture, out);
    return ExitOk;
}

int add(const DictionaryPlace& place, const std::vector<std::string>& pngs, TxdBuildOptions options, std::ostream& out,
        std::ostream& err)
{
    TxdChunkList dictionary;
    if (!loadDictionary(place, dictionary, err))
        return ExitUnreadable;
    std::vector<TxdTextureData> textures;
    if (!reportRefusals(addTexturePictures(dictionary, pngs, options, &textures), err))
        return ExitUnreadable;
    if (!saveDictionary(place, dictionary.write(), err))
        return ExitUnreadable;
    for (const TxdTextureData& texture : textures)
        printTexture(texture, out);
    return ExitOk;
}

int remove(const DictionaryPlace& place, const std::vector<std::string>& names, std::ostream& out, std::ostream& err)
{
    TxdChunkList dictionary;
    if (!loadDictionary(place, dictionary, err))
        return ExitUnreadable;
    for (const std::string& name : names) {
        if (!dictionary.removeTexture(name)) {
            err << "quoxmapper-cli: " << place.path << " has no texture named " << name << "; nothing was written\n";
            return ExitUnreadable;
        }
    }
    if (!saveDictionary(place, dictionary.write(), err))
        return ExitUnreadable;
    for (const std::string& name : names)
        out << name << '\n';
    return ExitOk;
}

int rename(const DictionaryPlace& place, const std::string& oldName, const std::string& newName, std::ostream& out,
           std::ostream& err)
{
    TxdChunkList dictionary;
    if (!loadDictionary(place, dictionary, err))
        return ExitUnreadable;
    if (const std::string refusal = textureRenameRefusal(dictionary, place.path, oldName, newName); !refusal.empty()) {
        err << "quoxmapper-cli: " << refusal << '\n';
        return ExitUnreadable;
    }
    dictionary.renameTexture(oldName, newName);
    if (!saveDictionary(place, dictionary.write(), err))
        return ExitUnreadable;
    out << oldName << '\t' << newName << '\n';
    return ExitOk;
}

// Options shared by build and add.
struct PictureOptions {
    std::string game = "vc";
    std::string format;
    bool mipmaps = false;
    bool resize = false;
    bool best = false;
};

// The build options asked for; false after saying which format is unknown.
bool buildOptionsOf(const PictureOptions& asked, TxdBuildOptions& options, std::ostream& err)
{
    options.game = asked.game == "gta3" ? TxdGame::Gta3 : TxdGame::ViceCity;
    options.mipmaps = asked.mipmaps;
    options.resize = asked.resize;
    options.dxtFit = asked.best ? TxdDxtFit::Best : TxdDxtFit::Fast;
    if (asked.format.empty())
        return true;
    options.format = parseTxdFormatChoice(asked.format);
    if (!options.format)
        err << "quoxmapper-cli: unknown texture format " << asked.format << " (one of " << txdFormatChoiceNames() << ")\n";
    return options.format.has_value();
}

void addPictureOptions(CLI::App* command, PictureOptions& options)
{
    command->add_option("--format", options.format, "dxt1, dxt1a, dxt3, 8888, 888, pal8 or pal4 (default: the game's usual)");
    command->add_flag("--mipmaps", options.mipmaps, "add mip levels down to 1x1");
    command->add_flag("--resize", options.resize, "resize pictures whose sides are not powers of two");
    command->add_flag("--best", options.best, "fit DXT blocks with libsquish's slowest and best fit");
}

} // namespace

// txd build DIR -o FILE.txd [--img ARCHIVE]; txd add FILE.txd PNG...; txd remove FILE.txd NAME...;
// txd rename FILE.txd OLD NEW; each with --img ARCHIVE taking the entry name for FILE.txd.
void addTxdEditCommands(CLI::App& txd, CliCommandSet& commands, CliStreams streams)
{
    auto buildFolder = std::make_shared<std::string>();
    auto buildPlace = std::make_shared<DictionaryPlace>();
    auto buildOptions = std::make_shared<PictureOptions>();
    CLI::App* buildCommand = txd.add_subcommand("build", "Make a texture dictionary of every PNG picture of a folder");
    buildCommand->add_option("DIR", *buildFolder, "the folder of pictures (NAME.png, and NAME_a.png for an alpha)")->required();
    buildCommand->add_option("-o", buildPlace->path, "the .txd file to write, or with --img the entry name")->required();
    buildCommand->add_option("--img", buildPlace->archive, "put the dictionary into this archive (its .dir beside it)");
    buildCommand->add_option("--game", buildOptions->game, "vc (the default) or gta3")->check(CLI::IsMember({"vc", "gta3"}));
    addPictureOptions(buildCommand, *buildOptions);
    commands.add(buildCommand, [=] {
        TxdBuildOptions options;
        if (!buildOptionsOf(*buildOptions, options, streams.err))
            return ExitUnreadable;
        return build(*buildFolder, *buildPlace, options, streams.out, streams.err);
    });

    auto addPlace = std::make_shared<DictionaryPlace>();
    auto addPictures = std::make_shared<std::vector<std::string>>();
    auto addOptions = std::make_shared<PictureOptions>();
    CLI::App* addCommand = txd.add_subcommand("add", "Add textures from PNG pictures, replacing those of the same name");
    addCommand->add_option("FILE", addPlace->path, "the .txd file, or with --img the entry name")->required();
    addCommand->add_option("PNG", *addPictures, "the pictures")->required();
    addCommand->add_option("--img", addPlace->archive, "change the dictionary in this archive");
    addCommand->add_option("--game", addOptions->game, "the default format's game: vc (the default) or gta3")
        ->check(CLI::IsMember({"vc", "gta3"}));
    addPictureOptions(addCommand, *addOptions);
    commands.add(addCommand, [=] {
        TxdBuildOptions options;
        if (!buildOptionsOf(*addOptions, options, streams.err))
            return ExitUnreadable;
        return add(*addPlace, *addPictures, options, streams.out, streams.err);
    });

    auto removePlace = std::make_shared<DictionaryPlace>();
    auto removeNames = std::make_shared<std::vector<std::string>>();
    CLI::App* removeCommand = txd.add_subcommand("remove", "Remove textures by name (any letter case)");
    removeCommand->add_option("FILE", removePlace->path, "the .txd file, or with --img the entry name")->required();
    removeCommand->add_option("NAME", *removeNames, "the textures")->required();
    removeCommand->add_option("--img", removePlace->archive, "change the dictionary in this archive");
    commands.add(removeCommand, [=] { return remove(*removePlace, *removeNames, streams.out, streams.err); });

    auto renamePlace = std::make_shared<DictionaryPlace>();
    auto renameOld = std::make_shared<std::string>();
    auto renameNew = std::make_shared<std::string>();
    CLI::App* renameCommand = txd.add_subcommand("rename", "Rename a texture");
    renameCommand->add_option("FILE", renamePlace->path, "the .txd file, or with --img the entry name")->required();
    renameCommand->add_option("OLD", *renameOld, "the texture's name")->required();
    renameCommand->add_option("NEW", *renameNew, "its new name (at most 31 characters)")->required();
    renameCommand->add_option("--img", renamePlace->archive, "change the dictionary in this archive");
    commands.add(renameCommand, [=] { return rename(*renamePlace, *renameOld, *renameNew, streams.out, streams.err); });
}
