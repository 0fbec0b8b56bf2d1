// tagdesk-cli: reader profiles from the command line (Cli.h).
#include "Cli.h"
#include "Environment.h"

#include <iostream>

int main(int argc, char** argv)
{
    return runCli(std::vector<std::string>(argv + 1, argv + argc),
                  Console{std::cin, std::cout, std::cerr, standardErrorIsTerminal()});
}
