#include "CliCommands.h"

#include "GameLoading.h"
#include "SystemFiles.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TextParser.h"

#include <CLI/CLI.hpp>

#include <cstring>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

namespace {


bool hasIdeExtension(const std::string& path)
{
    const std::string extension = systemfiles::utf8FromPath(systemfiles::pathFromUtf8(path).extension());
    return equalsIgnoringCase(extension, ".ide");
}

// Reads a map file with the path taken as it is and writes what saving it would write, or
// with `normalForm` every record rewritten in the games' normal form.
int roundtrip(const std::string& path, bool normalForm, std::ostream& out, std::ostream& err)
{
    std::unique_ptr<TGTASFile> file;
    if (hasIdeExtension(path))
        file = std::make_unique<TIDEFile>();
    else
        file = std::make_unique<TIPLFile>();
    if (const int error = file->Load(path)) {
        err << "quoxmapper-cli: cannot read " << path << ": " << std::strerror(error) << '\n';
        return ExitUnreadable;
    }
    const std::string text = normalForm ? file->NormalFormText() : file->SaveText();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return ExitOk;
}

void printFileCounts(const TGTAFileList& list, std::ostream& out)
{
    for (int pos = 0; pos < list.Count(); ++pos) {
        if (const TIDEFile* ide = list.IDEFile(pos)) {
            out << "IDE\t" << ide->FileName << "\tobjs=" << ide->Objs.Count() << " tobj=" << ide->TObj.Count()
                << " path=" << ide->Path.Count() << " 2dfx=" << ide->Fx2d.Count() << '\n';
        } else if (const TIPLFile* ipl = list.IPLFile(pos)) {
            out << "IPL\t" << ipl->FileName << "\tinst=" << ipl->Inst.Count() << " cull=" << ipl->Cull.Count()
                << " zone=" << ipl->Zone.Count() << " occl=" << ipl->Occl.Count() << " path=" << ipl->Path.Count()
                << '\n';
        }
    }
    out << "dat-lines=" << list.DatLines.size() << '\n';
}

// Loads the game's map files as the editor's load sequence does and lists what each holds.
int dat(const std::string& gameDir, const std::string& game, std::ostream& out, std::ostream& err)
{
    const std::unique_ptr<LoadedGame> loaded = loadGame(gameDir, game, false, err);
    if (!loaded)
        return ExitUnreadable;
    printFileCounts(*loaded->files, out);
    return ExitOk;
}

} // namespace

// roundtrip FILE; dat GAMEDIR [--game vc|gta3]
void addMapCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams)
{
    auto roundtripPath = std::make_shared<std::string>();
    auto normalForm = std::make_shared<bool>(false);
    CLI::App* roundtripCommand =
        app.add_subcommand("roundtrip", "Read a map file (IDE by its .ide extension, else IPL) and print it as saved");
    roundtripCommand->add_option("FILE", *roundtripPath, "the map file")->required();
    roundtripCommand->add_flag("--normal-form", *normalForm,
                               "every record rewritten, sections in their fixed order, comments dropped, CR LF");
    commands.add(roundtripCommand,
                 [=] { return roundtrip(*roundtripPath, *normalForm, streams.out, streams.err); });

    auto gameDir = std::make_shared<std::string>();
    auto game = std::make_shared<std::string>();
    CLI::App* datCommand =
        app.add_subcommand("dat", "Load the map files named by a game's DAT file and print their record counts");
    addGameOptions(*datCommand, *gameDir, *game);
    commands.add(datCommand, [=] { return dat(*gameDir, *game, streams.out, streams.err); });
}
