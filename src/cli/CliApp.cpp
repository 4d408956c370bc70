#include "CliApp.h"

#include "CliCommands.h"

#include <CLI/CLI.hpp>

#include <ostream>

void CliCommandSet::add(CLI::App* command, std::function<int()> action)
{
    m_commands.emplace_back(command, std::move(action));
}

int CliCommandSet::runChosen() const
{
    for (const auto& [command, action] : m_commands)
        if (command->parsed())
            return action();
    return ExitUnreadable;
}

int runQuoxCli(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    CLI::App app{"Quox Mapper command-line companion: GTA III and Vice City map files and archives",
                 "quoxmapper-cli"};
    app.require_subcommand(1);

    CliCommandSet commands;
    const CliStreams streams{out, err};
    addMapCommands(app, commands, streams);
    addImgCommands(app, commands, streams);
    addTxdCommands(app, commands, streams);
    addDffCommands(app, commands, streams);
    addDemoGameCommand(app, commands, streams);
    addValidateCommand(app, commands, streams);
    addFindCommands(app, commands, streams);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return code == 0 ? ExitOk : ExitUnreadable;
    }
    return commands.runChosen();
}
