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

#ifdef QUOX_CLI_PATH
#include "SystemFiles.h"

#include <cstdio>
#ifndef _WIN32
#include <sys/wait.h>
#endif

// Runs the real quoxmapper-cli program through the system's shell, each argument quoted
// (none may hold a quote), and returns its exit code and standard output; standard error is
// dropped. Arguments are UTF-8 on every platform.
inline CliResult runCliProgram(const std::vector<std::string>& args)
{
    std::string command = QUOX_CLI_PATH;
#ifdef _WIN32
    // cmd.exe: the program as a path on the current drive, left unquoted so that the
    // shell keeps the quotes of the arguments.
    for (char& c : command)
        if (c == '/')
            c = '\\';
#endif
    for (const std::string& arg : args)
        command += " \"" + arg + "\"";
#ifdef _WIN32
    command += " 2>NUL";
    FILE* pipe = _wpopen(systemfiles::pathFromUtf8(command).c_str(), L"rb");
#else
    command += " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
#endif
    if (pipe == nullptr)
        return {-1, "", ""};
    std::string out;
    char buffer[256];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, got);
#ifdef _WIN32
    const int code = _pclose(pipe);
#else
    const int status = ::pclose(pipe);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return {code, out, ""};
}
#endif
