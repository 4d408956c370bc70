#include "DemoGame.h"

#include <cerrno>

int writeDemoGame(const std::string&, const DemoGameOptions&, std::string& error)
{
    error = "the demo game generator is not built yet";
    return ENOSYS;
}
