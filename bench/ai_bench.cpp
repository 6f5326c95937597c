// Benchmarks of the computer players: whole observed campaigns of the shipped world,
// with the slowest computer tick (eight steps, month ends and battles included).
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <string>

#include "model/ai.hpp"
#include "model/campaign.hpp"
#include "model/game.hpp"

namespace reedmark {
namespace {

const std::string kWorld = std::string(REEDMARK_SOURCE_DIR) + "/assets/data/world.json";

long long ThreadCpuNanos() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

// One full observed campaign per iteration. Counters: ticks, and the slowest tick in
// thread CPU time (the wall time of one tick is at the mercy of the machine's load).
void BM_ObservedCampaign(benchmark::State& state) {
    int scenario = static_cast<int>(state.range(0));
    long long worst = 0;
    long long ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TGame game;
        NewCampaign(game, kWorld, scenario, 0, 2, {}, 7);
        state.ResumeTiming();
        ticks = 0;
        while (!game.IsEnded() && ticks < 1'000'000) {
            long long start = ThreadCpuNanos();
            ComputerTick(game, kFastComputerSteps);
            worst = std::max(worst, ThreadCpuNanos() - start);
            ++ticks;
        }
    }
    state.counters["ticks"] = static_cast<double>(ticks);
    state.counters["worstTickUs"] = static_cast<double>(worst) / 1000.0;
}
BENCHMARK(BM_ObservedCampaign)->DenseRange(1, 4)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
}  // namespace reedmark

BENCHMARK_MAIN();
