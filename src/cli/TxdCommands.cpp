#include "CliCommands.h"

#include <CLI/CLI.hpp>

void addTxdCommands(CLI::App&, CliCommandSet&, CliStreams) {}
