// reedmark: the game in its window.
#include <string>
#include <vector>

#include "ui/shell.hpp"

int main(int argc, char** argv) {
    using namespace reedmark;
    TStartOptions options;
    for (int i = 1; i < argc; ++i) options.args.emplace_back(argv[i]);
    TShell shell(RealSeams());
    return shell.Run(options);
}
