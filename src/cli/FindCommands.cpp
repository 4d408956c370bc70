#include "CliCommands.h"

#include "GameLoading.h"
#include "MapSearch.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct FindOptions {
    std::string gameDir;
    std::string game;
    int id = 0;
    std::string model;
    std::string txd;
    std::string file;
    bool json = false;
};

// The record's text as saving writes it; a path group by its header line.
std::string recordText(const TGTASFile& file, const SearchHit& hit)
{
    const TGTASContainer* section = file.SectionAt(hit.section);
    std::string text = section ? section->WriteLine(hit.record) : std::string();
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

// Prints every hit as "PATH:LINE: TEXT" (PATH the file on disk relative to the game folder,
// as grep prints it, so that editors jump to it), or as JSON.
int find(const FindOptions& options, SearchField field, const std::string& query, std::ostream& out, std::ostream& err)
{
    const std::unique_ptr<LoadedGame> game = loadGame(options.gameDir, options.game, false, err);
    if (!game)
        return ExitUnreadable;
    const TGTAFileList& files = *game->files;
    const std::vector<SearchHit> hits = searchMap(files, query, field);

    // Line numbers per file, each file's text walked once.
    std::vector<std::unique_ptr<RecordLines>> lines(static_cast<std::size_t>(files.Count()));
    const auto lineOf = [&](const SearchHit& hit) {
        std::unique_ptr<RecordLines>& fileLines = lines[static_cast<std::size_t>(hit.file)];
        if (!fileLines)
            fileLines = std::make_unique<RecordLines>(*files.File(hit.file));
        return fileLines->line(hit.section, hit.record);
    };

    if (options.json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const SearchHit& hit : hits) {
            const TGTASFile& file = *files.File(hit.file);
            const int line = lineOf(hit);
            nlohmann::ordered_json item = {{"kind", hitKindName(hit.kind)},
                                           {"file", file.FileName},
                                           {"path", pathInGame(files.GameDir(), file.FileName)},
                                           {"line", line > 0 ? nlohmann::ordered_json(line) : nlohmann::ordered_json(nullptr)},
                                           {"id", hit.id},
                                           {"model", hit.model},
                                           {"dictionary", hit.dictionary},
                                           {"text", recordText(file, hit)}};
            if (hit.hasPosition)
                item["position"] = {hit.x, hit.y, hit.z};
            list.push_back(std::move(item));
        }
        out << nlohmann::ordered_json{{"count", hits.size()}, {"hits", std::move(list)}}.dump(2) << '\n';
    } else {
        std::string path;
        int pathFile = -1;
        for (const SearchHit& hit : hits) {
            const TGTASFile& file = *files.File(hit.file);
            if (hit.file != pathFile) {
                path = pathInGame(files.GameDir(), file.FileName);
                pathFile = hit.file;
            }
            out << path << ':' << lineOf(hit) << ": " << recordText(file, hit) << '\n';
        }
    }
    return hits.empty() ? ExitCheckFailed : ExitOk;
}

struct IdsOptions {
    std::string gameDir;
    std::string game;
    bool free = false; // required: the one listing there is so far
    int tableSize = 0; // 0: the game's own
    bool json = false;
};

std::string rangeText(const IdRange& range)
{
    return range.first == range.last ? std::to_string(range.first)
                                     : std::to_string(range.first) + "-" + std::to_string(range.last);
}

// The free definition IDs of the game's model table and the IDs given twice; exit 1 when an
// ID is given twice, since the game then takes only one of the definitions.
int ids(const IdsOptions& options, std::ostream& out, std::ostream& err)
{
    const std::unique_ptr<LoadedGame> game = loadGame(options.gameDir, options.game, false, err);
    if (!game)
        return ExitUnreadable;
    const TGTAFileList& files = *game->files;
    const int tableSize = options.tableSize > 0 ? options.tableSize : defaultHighestGameID(files.IsViceCity());
    const IdUsage usage = idUsage(files, tableSize);

    if (options.json) {
        nlohmann::ordered_json free = nlohmann::ordered_json::array();
        for (const IdRange& range : usage.free)
            free.push_back({{"first", range.first}, {"last", range.last}});
        out << nlohmann::ordered_json{{"mode", files.IsViceCity() ? "vc" : "gta3"},
                                      {"tableSize", tableSize},
                                      {"free", std::move(free)},
                                      {"usedTwice", usage.usedTwice},
                                      {"outside", usage.outside}}
                   .dump(2)
            << '\n';
    } else {
        out << "Free IDs of 0-" << tableSize - 1 << ":\n";
        for (const IdRange& range : usage.free)
            out << "free " << rangeText(range) << " (" << range.last - range.first + 1 << ")\n";
        for (const int id : usage.usedTwice)
            out << "used twice " << id << '\n';
        for (const int id : usage.outside)
            out << "outside the table " << id << '\n';
    }
    return usage.usedTwice.empty() ? ExitOk : ExitCheckFailed;
}

} // namespace

// find GAMEDIR (--id N | --model NAME | --txd NAME | --file NAME) [--game vc|gta3] [--json];
// ids GAMEDIR --free [--game vc|gta3] [--table-size N] [--json]
void addFindCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams)
{
    auto find = std::make_shared<FindOptions>();
    CLI::App* findCommand = app.add_subcommand(
        "find", "Print the definitions and placements of a game that match (file, line, the record's text)");
    addGameOptions(*findCommand, find->gameDir, find->game);
    findCommand->add_flag("--json", find->json, "print the hits as one JSON object");
    CLI::Option_group* query = findCommand->add_option_group("query", "what to find (exactly one)");
    CLI::Option* byID = query->add_option("--id", find->id, "a definition ID");
    CLI::Option* byModel =
        query->add_option("--model", find->model, "a model name: part of it in any letter case, or a pattern with * and ?");
    CLI::Option* byTxd = query->add_option("--txd", find->txd, "a texture dictionary name, matched the same way");
    query->add_option("--file", find->file, "a map file name, matched the same way");
    query->require_option(1);
    commands.add(findCommand, [=] {
        if (byID->count() > 0)
            return ::find(*find, SearchField::ID, std::to_string(find->id), streams.out, streams.err);
        if (byModel->count() > 0)
            return ::find(*find, SearchField::Model, find->model, streams.out, streams.err);
        if (byTxd->count() > 0)
            return ::find(*find, SearchField::Dictionary, find->txd, streams.out, streams.err);
        return ::find(*find, SearchField::File, find->file, streams.out, streams.err);
    });

    auto ids = std::make_shared<IdsOptions>();
    CLI::App* idsCommand =
        app.add_subcommand("ids", "Print the free definition IDs of a game and the IDs defined more than once");
    addGameOptions(*idsCommand, ids->gameDir, ids->game);
    idsCommand->add_flag("--free", ids->free, "list the free ID ranges and the IDs used twice")->required();
    idsCommand->add_option("--table-size", ids->tableSize,
                           "entries of the game's model table (default 6500 for Vice City, 5500 for GTA III)")
        ->check(CLI::PositiveNumber);
    idsCommand->add_flag("--json", ids->json, "print the result as one JSON object");
    commands.add(idsCommand, [=] { return ::ids(*ids, streams.out, streams.err); });
}
