#pragma once

#include "CliApp.h"
#include "TestFiles.h"

#include <sstream>
#include <string>
#include <vector>

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

// Runs quoxmapper-cli in-process with these arguments; the program-wide settings it
// changes are restored afterwards.
inline CliResult runCli(std::vector<std::string> args)
{
    args.insert(args.begin(), "quoxmapper-cli");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    GameSettingsScope keep("", true);
    const int code = runQuoxCli(static_cast<int>(args.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}
