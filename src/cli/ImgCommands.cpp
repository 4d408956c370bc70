#include "CliCommands.h"

#include <CLI/CLI.hpp>

void addImgCommands(CLI::App&, CliCommandSet&, CliStreams) {}
