#include "CliCommands.h"

#include "FixPolicy.h"
#include "GameLoading.h"
#include "MapValidator.h"
#include "ModifiedFilesSave.h"
#include "TGTA3Archive.h"
#include "TGTAFileList.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct ValidateOptions {
    std::string gameDir;
    std::string game;
    bool fix = false;
    bool fixDeletions = false;
    bool dryRun = false;
    bool json = false;
    bool annotations = false;

    FixPolicy policy() const
    {
        FixPolicy policy;
        policy.repairs = fix || fixDeletions;
        policy.deletions = fixDeletions;
        policy.dryRun = dryRun;
        policy.keptNote = "(not deleted: use --fix-deletions)";
        return policy;
    }
};

nlohmann::ordered_json reportJson(const ValidationReport& report)
{
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const ValidationFinding& finding : report.findings) {
        findings.push_back({{"section", finding.section},
                            {"check", finding.check},
                            {"severity", finding.severity == FindingSeverity::Error ? "error" : "warning"},
                            {"file", finding.file},
                            {"id", finding.id},
                            {"model", finding.model},
                            {"line", finding.line()},
                            {"fix", finding.fix},
                            {"lineNumber", finding.lineNumber > 0 ? nlohmann::ordered_json(finding.lineNumber)
                                                                  : nlohmann::ordered_json(nullptr)}});
    }
    return {{"mode", report.viceCity ? "vc" : "gta3"},
            {"errors", report.errors},
            {"warnings", report.warnings},
            {"findings", std::move(findings)}};
}

// Escapes a workflow command's message (%, CR, LF) or, with `property`, a value before "::"
// (also : and ,), so that a name or text holding them cannot end or split the command.
std::string annotationEscaped(std::string_view text, bool property)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '%':
            escaped += "%25";
            break;
        case '\r':
            escaped += "%0D";
            break;
        case '\n':
            escaped += "%0A";
            break;
        case ':':
            escaped += property ? "%3A" : ":";
            break;
        case ',':
            escaped += property ? "%2C" : ",";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// "::error file=PATH,line=N::TEXT" (::warning for warnings; no line where the finding has
// none), PATH the file on disk relative to the game folder, as a CI system finds it in the
// mod's repository. Findings about archive entries point at the archive.
void printAnnotations(const ValidationReport& report, const std::string& gameDir, std::ostream& out)
{
    const std::string archive = pathInGame(gameDir, "models\\gta3.img");
    for (const ValidationFinding& finding : report.findings) {
        out << (finding.severity == FindingSeverity::Error ? "::error" : "::warning") << " file="
            << annotationEscaped(finding.inArchive ? archive : pathInGame(gameDir, finding.file), true);
        if (finding.lineNumber > 0)
            out << ",line=" << finding.lineNumber;
        out << "::" << annotationEscaped(finding.line(), false) << '\n';
    }
}

// Saves every modified map file and lists those written (a dry run only lists them); false
// when one could not be written (it stays modified).
bool saveModified(TGTAFileList& files, bool dryRun, std::vector<std::string>& written, std::ostream& err)
{
    if (dryRun) {
        for (int pos = 0; pos < files.Count(); ++pos) {
            if (files.File(pos)->Modified)
                written.push_back(files.File(pos)->FileName);
        }
        return true;
    }
    const ModifiedFilesReport report = SaveModifiedFiles(files);
    for (const ModifiedFilesReport::Entry& failed : report.failed)
        err << "quoxmapper-cli: cannot save " << failed.name << ": " << std::strerror(failed.error) << '\n';
    for (const ModifiedFilesReport::Entry& saved : report.saved)
        written.push_back(saved.name);
    return report.allSaved();
}

// Loads the game as the editor does (DAT, IDE files, IPL files, main archive), checks it
// and prints the report lines and the result text, or the JSON form.
int validate(const ValidateOptions& options, std::ostream& out, std::ostream& err)
{
    const FixPolicy policy = options.policy();
    if (options.dryRun && !policy.repairs) {
        err << "quoxmapper-cli: --dry-run needs --fix or --fix-deletions\n";
        return ExitUnreadable; // bad usage
    }
    const std::unique_ptr<LoadedGame> game = loadGame(options.gameDir, options.game, true, err);
    if (!game)
        return ExitUnreadable;
    TGTAFileList& files = *game->files;

    MapValidator validator(files, game->archive.get(), files.IsViceCity(), files.GameDir());
    const ValidationReport report = validator.run(policy);

    std::vector<std::string> written;
    const bool saved = !policy.repairs || saveModified(files, policy.dryRun, written, err);
    if (options.json) {
        out << reportJson(report).dump(2) << '\n';
    } else {
        if (options.annotations) {
            printAnnotations(report, files.GameDir(), out);
        } else {
            for (const std::string& line : report.lines())
                out << line << '\n';
        }
        out << report.resultText() << '\n';
        for (const std::string& name : written)
            out << (policy.dryRun ? "Would save: " : "Saved: ") << name << '\n';
    }
    return report.errors > 0 || !saved ? ExitCheckFailed : ExitOk;
}

} // namespace

// validate GAMEDIR [--game vc|gta3] [--fix | --fix-deletions] [--dry-run] [--json | --annotations]
void addValidateCommand(CLI::App& app, CliCommandSet& commands, CliStreams streams)
{
    auto options = std::make_shared<ValidateOptions>();
    CLI::App* command = app.add_subcommand(
        "validate", "Check a game's map against itself and its archive and print the validation report");
    addGameOptions(*command, options->gameDir, options->game);
    command->add_flag("--fix", options->fix,
                      "repair names, interiors and values and save the modified map files; placements without "
                      "a definition are only listed");
    command->add_flag("--fix-deletions", options->fixDeletions,
                      "repair as --fix does and also delete the placements without a definition");
    command->add_flag("--dry-run", options->dryRun, "with --fix or --fix-deletions: report the repairs, save nothing");
    CLI::Option* json = command->add_flag("--json", options->json, "print the report as one JSON object");
    command
        ->add_flag("--annotations", options->annotations,
                   "print each finding as a CI annotation line (::error file=PATH,line=N::TEXT, ::warning for "
                   "warnings), then the result")
        ->excludes(json);
    commands.add(command, [=] { return validate(*options, streams.out, streams.err); });
}
