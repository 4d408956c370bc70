#include "CliCommands.h"

#include <CLI/CLI.hpp>

void addDffCommands(CLI::App&, CliCommandSet&, CliStreams) {}
