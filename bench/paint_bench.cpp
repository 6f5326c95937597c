// Benchmarks of the painters: a full map repaint, a map call with an unchanged key, the
// battle field's base layer and a field frame over an unchanged base.
#include <benchmark/benchmark.h>

#include "art/sheets.hpp"
#include "atlas/field_paint.hpp"
#include "atlas/map_paint.hpp"
#include "model/battle.hpp"
#include "tests/fixtures/small_world.hpp"

namespace {

using namespace reedmark;

const TAtlas& Atlas() {
    static const TAtlas atlas;
    return atlas;
}

// The small world's campaign with a battle of fellowship 1 (human) against province 8,
// past deployment, the attackers to act.
TGame& BattleGame() {
    static TGame game;
    static bool ready = false;
    if (!ready) {
        testing::StartSmallCampaign(game, 7, {1});
        StartBattle(game, 4, 8, 1);
        TObj b = Battle(game);
        game.SetBool(b, "deploy", false);
        game.SetBool(b, "defensePrompt", false);
        game.SetInt(b, "side", kSideAttackers);
        game.SetInt(game.Character(1), "body", 60);
        ready = true;
    }
    return game;
}

void BM_DrawMapFull(benchmark::State& state) {
    TGame& game = BattleGame();
    TArtwork artwork;
    TMapPainter painter(Atlas());
    int selected = 1;
    for (auto _ : state) {
        selected = selected % kProvinceCount + 1;  // a new key every time
        benchmark::DoNotOptimize(painter.DrawMap(game, selected, artwork));
    }
}
BENCHMARK(BM_DrawMapFull)->Unit(benchmark::kMillisecond);

void BM_DrawMapUnchanged(benchmark::State& state) {
    TGame& game = BattleGame();
    TArtwork artwork;
    TMapPainter painter(Atlas());
    painter.DrawMap(game, 5, artwork);
    for (auto _ : state) benchmark::DoNotOptimize(painter.DrawMap(game, 5, artwork));
}
BENCHMARK(BM_DrawMapUnchanged)->Unit(benchmark::kMicrosecond);

// Each iteration changes one terrain cell, so the base layer is repainted.
void BM_FieldBase(benchmark::State& state) {
    TGame& game = BattleGame();
    TArtwork artwork;
    TField field;
    TArr terrain = TGame::GetArr(Battle(game), "terrain");
    const int original = TGame::ArrInt(terrain, 0, 0);
    int flip = 0;
    for (auto _ : state) {
        game.ArrSetInt(terrain, 0, (flip++ % 2) ? tPlain : tHill);
        field.DrawField(game, 0, 4, 4, "move", artwork);
    }
    game.ArrSetInt(terrain, 0, original);
    state.counters["repaints"] = field.BaseRepaints();
}
BENCHMARK(BM_FieldBase)->Unit(benchmark::kMillisecond);

// A frame with a move preview whose costs are cached: copy, highlights, fires, units.
void BM_FieldFrame(benchmark::State& state) {
    TGame& game = BattleGame();
    TArtwork artwork;
    TField field;
    field.DrawField(game, 0, 4, 4, "move", artwork);
    for (auto _ : state) field.DrawField(game, 0, 4, 4, "move", artwork);
    state.counters["repaints"] = field.BaseRepaints();
}
BENCHMARK(BM_FieldFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
