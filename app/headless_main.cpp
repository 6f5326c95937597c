// reedmark-headless: the game's own shell without a window, sound card or real clock,
// driven by line commands from a script or standard input.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/headless.hpp"
#include "ui/platform.hpp"
#include "ui/shell.hpp"

namespace {

int Usage(const std::string& message) {
    std::cerr << "reedmark-headless: " << message << "\n"
              << "usage: reedmark-headless [--base DIR] [--pref DIR] [--script FILE] [-- ARG...]\n";
    return 2;
}

// Answers every command of in; stops early when a frame ended the shell's loop.
void RunCommands(reedmark::THeadless& driver, std::istream& in) {
    std::string line;
    std::string answer;
    while (std::getline(in, line)) {
        if (!driver.Execute(line, answer)) continue;
        std::cout << answer << '\n' << std::flush;
        if (driver.Ended()) return;
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace reedmark;
    TStartOptions options;
    std::string script;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--") {
            options.args.assign(argv + i + 1, argv + argc);
            break;
        }
        if (arg == "--base" || arg == "--pref" || arg == "--script") {
            if (i + 1 >= argc) return Usage(arg + " needs a value");
            std::string value = argv[++i];
            if (arg == "--base") options.baseDir = value;
            if (arg == "--pref") options.prefDir = value;
            if (arg == "--script") script = value;
            continue;
        }
        return Usage("unknown option " + arg);
    }

    std::ifstream scriptFile;
    if (!script.empty()) {
        scriptFile.open(script);
        if (!scriptFile) {
            std::cerr << "reedmark-headless: cannot read " << script << "\n";
            return 2;
        }
    }

    TShell shell(HeadlessSeams());
    shell.draw.SetRecording(true);
    try {
        shell.Startup(options);
    } catch (const std::exception& e) {
        // A start-up failure (SDL, font, world file) is the one answer, and nothing is saved.
        std::cout << ErrorAnswer(e.what()) << '\n' << std::flush;
        shell.Shutdown(false);
        return 1;
    }

    THeadless driver(shell);
    RunCommands(driver, script.empty() ? std::cin : static_cast<std::istream&>(scriptFile));
    shell.Shutdown();
    return 0;
}
