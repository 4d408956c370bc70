#include "CliApp.h"

#include <iostream>

int main(int argc, char** argv)
{
    return runQuoxCli(argc, argv, std::cout, std::cerr);
}
