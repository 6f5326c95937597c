// Battle benchmarks: a ten-against-ten battle resolved by the battle AI, one AI step,
// and the path search behind every move.
#include <benchmark/benchmark.h>

#include "model/battle.hpp"
#include "model/game.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

// A campaign where fellowship 1 (province 4) and fellowship 2 (province 8) each field
// ten companions, with the battle opened and the deployment over.
TJson TenAgainstTen() {
    TGame game;
    testing::StartSmallCampaign(game, 3);
    for (int i = 0; i < 8; ++i) {
        for (int f : {1, 2}) {
            int c = 67 + 2 * i + (f - 1);
            game.SetInt(game.Character(c), "faction", f);
            game.SetInt(game.Character(c), "province", 4 * f);
            game.SetInt(game.Character(c), "soldiers", 40 + 5 * i);
        }
    }
    game.SetInt(game.Province(8), "castles", 6);
    game.SetInt(game.Province(4), "castles", 6);
    StartBattle(game, 4, 8, 1);
    game.SetBool(Battle(game), "deploy", false);
    return *game.Document();
}

void BM_ResolveBattleAuto(benchmark::State& state) {
    const TJson start = TenAgainstTen();
    TGame game;
    long long steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        game.ReplaceDocument(start);
        state.ResumeTiming();
        // Counted the way ResolveBattleAuto takes them, so the per-step cost is known.
        game.SetBool(Battle(game), "defensePrompt", false);
        for (int i = 0; i < kAutoStepLimit && HasBattle(game); ++i) {
            BattleAIStep(game);
            ++steps;
        }
    }
    state.counters["steps"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
    state.counters["stepMicros"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ResolveBattleAuto)->Unit(benchmark::kMillisecond);

void BM_ResolveBattleAutoCall(benchmark::State& state) {
    const TJson start = TenAgainstTen();
    TGame game;
    for (auto _ : state) {
        state.PauseTiming();
        game.ReplaceDocument(start);
        state.ResumeTiming();
        ResolveBattleAuto(game);
    }
}
BENCHMARK(BM_ResolveBattleAutoCall)->Unit(benchmark::kMillisecond);

void BM_MovementCosts(benchmark::State& state) {
    const TJson start = TenAgainstTen();
    TGame game;
    game.ReplaceDocument(start);
    for (auto _ : state) benchmark::DoNotOptimize(MovementCosts(game, 0, false));
}
BENCHMARK(BM_MovementCosts)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace reedmark

BENCHMARK_MAIN();
