// reedmark-sim: the engine console. Reads commands from a script or standard input
// and prints one JSON answer per command.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "app/console.hpp"
#include "app/observe.hpp"

int main(int argc, char** argv) {
    using namespace reedmark;
    std::string worldPath;
    std::string script;
    int observeScenario = 0;
    std::uint32_t observeSeed = 1;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--world") {
            if (i + 1 >= argc) {
                std::cerr << "reedmark-sim: --world needs a path\n";
                return 2;
            }
            worldPath = argv[++i];
        } else if (arg == "--observe") {
            // --observe SCENARIO [SEED]: play an observed campaign to its end.
            if (i + 1 >= argc) {
                std::cerr << "reedmark-sim: --observe needs a scenario (1-4)\n";
                return 2;
            }
            observeScenario = std::atoi(argv[++i]);
            if (i + 1 < argc && argv[i + 1][0] != '-') observeSeed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            std::cerr << "reedmark-sim: unknown option " << arg << "\n"
                      << "usage: reedmark-sim [--world PATH] [SCRIPT]\n"
                      << "       reedmark-sim [--world PATH] --observe SCENARIO [SEED]\n";
            return 2;
        } else if (script.empty()) {
            script = arg;
        } else {
            std::cerr << "reedmark-sim: more than one script given\n";
            return 2;
        }
    }
    if (worldPath.empty()) worldPath = DefaultWorldPath();
    if (observeScenario != 0) return RunObservedCampaign(worldPath, observeScenario, observeSeed, std::cout);

    TGame game;
    TConsole console(game, worldPath);
    if (script.empty() || script == "-") {
        console.Run(std::cin, std::cout);
        return 0;
    }
    std::ifstream in(script);
    if (!in) {
        std::cerr << "reedmark-sim: cannot read " << script << "\n";
        return 2;
    }
    console.Run(in, std::cout);
    return 0;
}
