// fuzz: feeds damaged and hand-edited files to the game's readers and uses what they
// accept. Each input is written to OUT/current.EXT before it is read; a crash, a
// sanitizer report or a hang moves it to OUT/crash-<target>-<seed>.EXT, and every other
// failure is kept as OUT/failure-<target>-<n>.EXT with a note beside it. Usage:
//   fuzz [--target save|world|rules|settings|png|wav] [--seconds N] [--seed N] [--out DIR]
//        [--replay FILE]
// Exits 1 when any input failed.
#include <signal.h>
#include <stdio.h>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "model/document_io.hpp"
#include "tools/fuzz/fuzz.hpp"

namespace {

using namespace reedmark;
using namespace reedmark::fuzz;
using Clock = std::chrono::steady_clock;

// One input may take this long; beyond it the program counts as hung and stops.
constexpr unsigned kRunLimitSeconds = 120;
constexpr long long kRefreshEvery = 2000;

// The input being read and where it goes when the process dies of it; fixed before the
// first input, so the handlers below only rename (which is async-signal-safe).
char gCurrentPath[1024];
char gCrashPath[1024];

void KeepCrashInput() {
    ::rename(gCurrentPath, gCrashPath);
}

void OnHang(int) {
    KeepCrashInput();
    static const char message[] = "fuzz: an input ran longer than the limit; it is kept as crash-*\n";
    ssize_t ignored = ::write(2, message, sizeof message - 1);
    (void)ignored;
    _exit(3);
}

#if !defined(__SANITIZE_ADDRESS__)
void OnFatalSignal(int sig) {
    KeepCrashInput();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}
#endif

void KeepInputsOfCrashes(const std::string& current, const std::string& crash) {
    std::snprintf(gCurrentPath, sizeof gCurrentPath, "%s", current.c_str());
    std::snprintf(gCrashPath, sizeof gCrashPath, "%s", crash.c_str());
    ::signal(SIGALRM, OnHang);
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer runtime owns the fatal signals and reports before it dies.
    __sanitizer_set_death_callback(KeepCrashInput);
#else
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) ::signal(sig, OnFatalSignal);
#endif
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

struct TOptions {
    std::string target = "save";
    double seconds = 60;
    std::uint64_t seed = 0;
    bool seedGiven = false;
    std::string out = "fuzz-out";
    std::string replay;
};

bool ParseOptions(int argc, char** argv, TOptions& o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (arg == "--target") o.target = value;
        else if (arg == "--seconds") o.seconds = std::atof(value.c_str());
        else if (arg == "--seed") {
            o.seed = std::strtoull(value.c_str(), nullptr, 10);
            o.seedGiven = true;
        } else if (arg == "--out") o.out = value;
        else if (arg == "--replay") o.replay = value;
        else return false;
    }
    return true;
}

struct TCounts {
    long long tried = 0;
    long long refused = 0;
    long long accepted = 0;
    long long failures = 0;
};

// Runs one input; a failure is reported and kept. Answers whether it failed.
bool RunOne(TTarget& target, const std::string& input, const TOptions& o, TCounts& counts) {
    WriteText(gCurrentPath, input);
    if (target.InputPath() != gCurrentPath) WriteText(target.InputPath(), input);
    ++counts.tried;
    std::string failure;
    ::alarm(kRunLimitSeconds);
    try {
        if (target.Run(input) == TVerdict::kRefused) ++counts.refused;
        else ++counts.accepted;
    } catch (const TFailure& e) {
        failure = e.what();
    } catch (const std::exception& e) {
        failure = std::string("exception: ") + e.what();
    } catch (...) {
        failure = "unknown exception";
    }
    ::alarm(0);
    if (failure.empty()) return false;
    ++counts.failures;
    std::string stem = o.out + "/failure-" + o.target + "-" + std::to_string(counts.failures);
    WriteText(stem + "." + target.Extension(), input);
    WriteText(stem + ".txt", failure + "\n");
    std::cout << "failure " << counts.failures << " (" << stem << "." << target.Extension() << "): " << failure
              << std::endl;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    TOptions o;
    if (!ParseOptions(argc, argv, o)) {
        std::cerr << "usage: fuzz [--target save|world|rules|settings|png|wav] [--seconds N] [--seed N] [--out DIR]"
                     " [--replay FILE]\n";
        return 2;
    }
    if (!o.seedGiven) o.seed = static_cast<std::uint64_t>(Clock::now().time_since_epoch().count());
    std::filesystem::create_directories(o.out);
    std::unique_ptr<TTarget> target = MakeTarget(o.target, o.out);
    if (!target) {
        std::cerr << "fuzz: unknown target " << o.target << "\n";
        return 2;
    }
    std::string ext = target->Extension();
    KeepInputsOfCrashes(o.out + "/current." + ext,
                        o.out + "/crash-" + o.target + "-" + std::to_string(o.seed) + "." + ext);
    target->Setup();
    TCounts counts;
    if (!o.replay.empty()) {
        bool failed = RunOne(*target, ReadTextFile(o.replay), o, counts);
        std::cout << "replay " << o.replay << ": " << (failed ? "failure" : counts.refused ? "refused" : "accepted")
                  << std::endl;
        return failed ? 1 : 0;
    }

    auto start = Clock::now();
    auto deadline = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(o.seconds));
    TFuzzRandom rng(o.seed);
    target->MakeSeeds(rng);
    std::cout << "fuzz " << o.target << ": seeds ready after "
              << static_cast<long long>(std::chrono::duration<double>(Clock::now() - start).count()) << " s" << std::endl;
    auto lastReport = Clock::now();
    do {
        RunOne(*target, target->NextInput(rng), o, counts);
        if (counts.tried % kRefreshEvery == 0) target->Refresh(rng);
        if (Clock::now() - lastReport > std::chrono::minutes(5)) {
            lastReport = Clock::now();
            std::cout << "... tried " << counts.tried << ", accepted " << counts.accepted << ", failures "
                      << counts.failures << std::endl;
        }
    } while (Clock::now() < deadline);
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    std::cout << "fuzz " << o.target << ": tried " << counts.tried << ", refused " << counts.refused << ", accepted "
              << counts.accepted << ", failures " << counts.failures << " in " << static_cast<long long>(elapsed)
              << " s (seed " << o.seed << ")" << std::endl;
    return counts.failures == 0 ? 0 : 1;
}
