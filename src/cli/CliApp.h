#pragma once

#include <iosfwd>

// quoxmapper-cli: map files and the DAT file for scripts and batch work.
// Results on out, errors on err; exit 0 on success, 2 on bad usage or unreadable input.
int runQuoxCli(int argc, char** argv, std::ostream& out, std::ostream& err);
