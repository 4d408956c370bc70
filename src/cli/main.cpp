#include "CliApp.h"

#include <iostream>

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>
#include <windows.h>

// The arguments as UTF-8, the form of every string in the program: the narrow argv of a
// Windows program is in the ANSI code page and loses letters outside it.
static std::vector<std::string> utf8Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return arguments;
    for (int i = 0; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        if (size > 0)
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, argument.data(), size, nullptr, nullptr);
        argument.pop_back(); // the terminating zero
        arguments.push_back(std::move(argument));
    }
    LocalFree(wide);
    return arguments;
}

int main()
{
    // Output goes out byte for byte: map files printed by "roundtrip" already end their lines
    // in CR LF, which text mode would turn into CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> arguments = utf8Arguments();
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return runQuoxCli(static_cast<int>(arguments.size()), argv.data(), std::cout, std::cerr);
}
#else
int main(int argc, char** argv)
{
    return runQuoxCli(argc, argv, std::cout, std::cerr);
}
#endif
