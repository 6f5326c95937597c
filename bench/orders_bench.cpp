// CheckOrder over the whole catalogue for every local actor of a busy province: what
// the order menus and the computer planner ask before every decision.
#include <benchmark/benchmark.h>

#include <vector>

#include "model/game.hpp"
#include "model/orders.hpp"
#include "model/queue.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

// Province 4 of the small world, filled to its fifteen places with fellowship 1's people,
// and made the current turn.
void BusyProvince(TGame& game) {
    testing::StartSmallCampaign(game, 3);
    int added = 0;
    for (int c = 67; c <= kCharacterCount && added < 9; ++c, ++added) {
        TObj ch = game.Character(c);
        game.SetInt(ch, "faction", 1);
        game.SetInt(ch, "province", 4);
        game.SetStr(ch, "role", "follower");
    }
    TObj root = game.Root();
    TArr queue = TGame::GetArr(root, "queue");
    for (int i = 0; i < TGame::ArrLen(queue); ++i)
        if (TGame::ArrInt(queue, i, 0) == 4) game.SetInt(root, "queueIndex", i);
}

// A plausible record for each order: a neighbour, a fellow member or a rival as target.
std::vector<TOrderRecord> Sweep(const TGame& game) {
    std::vector<int> locals;
    for (int c = 1; c <= kCharacterCount; ++c)
        if (game.IsLocalMember(c, 4, 1)) locals.push_back(c);
    std::vector<TOrderRecord> records;
    for (size_t a = 0; a < locals.size(); ++a) {
        int other = locals[(a + 1) % locals.size()];
        for (int o = 0; o < kOrderCount; ++o) {
            TOrder order = static_cast<TOrder>(o);
            int target = 0;
            if (order == oTravel || order == oMove || order == oConvoy || order == oWar || order == oScout) target = 5;
            if (order == oTreaty || order == oInvite) target = 3;
            if (order == oRecruit || order == oDivination) target = 150;
            if (order == oReward || order == oOath || order == oDismiss || order == oRedistribute ||
                order == oAssignShip || order == oGovernor)
                target = other;
            records.push_back({order, locals[a], target, 10, 0});
        }
    }
    return records;
}

void BM_CheckOrderSweep(benchmark::State& state) {
    TGame game;
    BusyProvince(game);
    std::vector<TOrderRecord> records = Sweep(game);
    for (auto _ : state) {
        size_t refused = 0;
        for (const TOrderRecord& r : records) refused += CheckOrder(game, r).empty() ? 0 : 1;
        benchmark::DoNotOptimize(refused);
    }
    state.counters["checks"] = static_cast<double>(records.size());
}
BENCHMARK(BM_CheckOrderSweep)->Unit(benchmark::kMicrosecond);

void BM_PreviewOrderSweep(benchmark::State& state) {
    TGame game;
    BusyProvince(game);
    std::vector<TOrderRecord> records = Sweep(game);
    for (auto _ : state) {
        size_t length = 0;
        for (const TOrderRecord& r : records) length += PreviewOrder(game, r).size();
        benchmark::DoNotOptimize(length);
    }
}
BENCHMARK(BM_PreviewOrderSweep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace reedmark

BENCHMARK_MAIN();
