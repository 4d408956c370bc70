#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

constexpr int ExitOk = 0;
constexpr int ExitCheckFailed = 1;
constexpr int ExitUnreadable = 2;

// The subcommands of quoxmapper-cli, each group in a file of its own. A group adds its
// subcommands to the app with the action that runs when the user chose one; the action
// writes results to `out`, errors to `err`, and returns the exit code.
struct CliStreams {
    std::ostream& out;
    std::ostream& err;
};

class CliCommandSet {
public:
    void add(CLI::App* command, std::function<int()> action);
    // Runs the action of the subcommand the user chose (exactly one is required).
    int runChosen() const;

private:
    std::vector<std::pair<CLI::App*, std::function<int()>>> m_commands;
};

// GAMEDIR and --game vc|gta3, for the commands that load a whole game.
void addGameOptions(CLI::App& command, std::string& gameDir, std::string& game);

void addMapCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams);
void addImgCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams);
void addTxdCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams);
// build, add, remove, rename: below the `txd` command.
void addTxdEditCommands(CLI::App& txd, CliCommandSet& commands, CliStreams streams);
void addDffCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams);
void addDemoGameCommand(CLI::App& app, CliCommandSet& commands, CliStreams streams);
void addValidateCommand(CLI::App& app, CliCommandSet& commands, CliStreams streams);
// find, ids: searching the loaded map.
void addFindCommands(CLI::App& app, CliCommandSet& commands, CliStreams streams);
