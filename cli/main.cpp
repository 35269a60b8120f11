// merrowin-cli: the command-line front end over the same engine, store and checks as the
// window program.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/CliSystem.h"

int main(int argc, char** argv) {
    PrepareCliSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    CSystemHost host;
    return RunCli(args, host, std::cout, std::cerr);
}
