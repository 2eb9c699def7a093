// Quillon's entry point: the command-line modes that need no window, then the viewer.

#include "app/CommandLine.h"
#include "app/InfoCommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CCommandLine cmd = ParseCommandLine(args);
    switch (cmd.eMode) {
    case ECommandMode::Error:
        std::cerr << "quillon: " << cmd.strError << " (see quillon --help)\n";
        return 2;
    case ECommandMode::Help:
        std::cout << UsageText("quillon");
        return 0;
    case ECommandMode::Version:
        std::cout << "Quillon " << QUILLON_VERSION << "\n";
        return 0;
    case ECommandMode::Info:
        return RunInfoCommand(cmd.strFile, std::cout, std::cerr);
    case ECommandMode::Export:
        std::cerr << "quillon: --export is not available in this build\n";
        return 1;
    case ECommandMode::View:
        break;
    }
    if (cmd.strFile.empty()) {
        std::cerr << "quillon: no data file given (see quillon --help)\n";
        return 2;
    }
    return RunInfoCommand(cmd.strFile, std::cout, std::cerr);
}
