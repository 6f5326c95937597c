// Benchmark of one full month end of a populated world: every province owned, all 255
// characters serving, two human fellowships writing their chronicle lines.
#include <benchmark/benchmark.h>

#include <ctime>

#include "model/game.hpp"
#include "model/month_end.hpp"
#include "tests/fixtures/small_world.hpp"

namespace {

using namespace reedmark;

int OwnerOf(int p) { return (p - 1) % kScenarioFactions + 1; }

// Province p belongs to fellowship (p - 1) mod 11 + 1; leader f stands in province f,
// everyone else in province (c - 12) mod 49 + 1 serving its owner.
TJson PopulatedDocument(int month) {
    TGame game;
    testing::StartSmallCampaign(game, 11, {1, 2});
    TObj root = game.Root();
    TObj rules = game.NewObj(root, "rules");
    game.SetInt(rules, "invasionYear", 9999);
    game.SetInt(root, "month", month);
    for (int p = 1; p <= kProvinceCount; ++p) game.SetInt(game.Province(p), "owner", OwnerOf(p));
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        int p = c <= kScenarioFactions ? c : (c - 12) % kProvinceCount + 1;
        int f = c <= kScenarioFactions ? c : OwnerOf(p);
        game.SetInt(ch, "province", p);
        game.SetInt(ch, "faction", f);
        game.SetInt(ch, "superior", f);
        game.SetStr(ch, "role", c == f ? "leader" : c % 7 == 0 ? "sworn companion" : "follower");
        game.SetInt(ch, "loyalty", c == f ? 100 : 20 + c % 70);
        game.SetInt(ch, "soldiers", 20 + c % 40);
    }
    for (int f = 1; f <= kScenarioFactions; ++f) {
        game.SetInt(game.Faction(f), "home", f);
        game.SetBool(game.Faction(f), "active", true);
    }
    for (int p = 1; p <= kProvinceCount; ++p) ChooseGovernor(game, p);
    return *game.Document();
}

double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void RunMonthEnd(benchmark::State& state, int month) {
    const TJson populated = PopulatedDocument(month);
    TGame game;
    // Only the month end itself is timed, as the CPU time of this thread (the machine
    // is shared, so wall time also counts other programs): each iteration starts from
    // a fresh copy of the populated world with the derived index already built, as
    // during play.
    for (auto _ : state) {
        game.ReplaceDocument(populated);
        game.ProvinceHeadcount(1);
        double start = ThreadSeconds();
        MonthEnd(game);
        state.SetIterationTime(ThreadSeconds() - start);
    }
}

void BM_MonthEndApril(benchmark::State& state) { RunMonthEnd(state, 4); }
void BM_MonthEndDecember(benchmark::State& state) { RunMonthEnd(state, 12); }  // the January reckoning

BENCHMARK(BM_MonthEndApril)->Unit(benchmark::kMicrosecond)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MonthEndDecember)->Unit(benchmark::kMicrosecond)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
