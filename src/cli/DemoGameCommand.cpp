#include "CliCommands.h"

#include "DemoGame.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>

namespace {

int demoGame(const std::string& directory, const std::string& game, bool large, std::ostream& out, std::ostream& err)
{
    DemoGameOptions options;
    options.viceCity = game != "gta3";
    options.large = large;
    std::string error;
    if (writeDemoGame(directory, options, error) != 0) {
        err << "quoxmapper-cli: " << error << '\n';
        return ExitUnreadable;
    }
    out << "wrote the " << (large ? "large " : "") << (options.viceCity ? "Vice City" : "GTA III")
        << " demo game to " << directory << '\n';
    return ExitOk;
}

} // namespace

// demo-game DIR [--game vc|gta3] [--large]
void addDemoGameCommand(CLI::App& app, CliCommandSet& commands, CliStreams streams)
{
    auto directory = std::make_shared<std::string>();
    auto game = std::make_shared<std::string>("vc");
    auto large = std::make_shared<bool>(false);
    CLI::App* command = app.add_subcommand("demo-game", "Write a small game installation of our own making");
    command->add_option("DIR", *directory, "the folder to write it to")->required();
    command->add_option("--game", *game, "vc or gta3 (default: vc)")->check(CLI::IsMember({"vc", "gta3"}));
    command->add_flag("--large", *large, "the large map for benchmarks");
    commands.add(command, [=] { return demoGame(*directory, *game, *large, streams.out, streams.err); });
}
