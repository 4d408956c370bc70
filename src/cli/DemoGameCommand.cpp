#include "CliCommands.h"

#include <CLI/CLI.hpp>

void addDemoGameCommand(CLI::App&, CliCommandSet&, CliStreams) {}
