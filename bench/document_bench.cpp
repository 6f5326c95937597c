// Benchmarks of the document layer: the shared counts over every province, and saving
// and loading a full-size campaign (49 provinces, 255 characters, 255 fellowships).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "model/game.hpp"
#include "model/random.hpp"
#include "model/saves.hpp"
#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

// ProvinceHeadcount of all 49 provinces through the derived index.
void BM_HeadcountAllProvinces(benchmark::State& state) {
    TGame game;
    testing::StartSmallCampaign(game, 3);
    for (auto _ : state) {
        int total = 0;
        for (int p = 1; p <= kProvinceCount; ++p) total += game.ProvinceHeadcount(p);
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_HeadcountAllProvinces)->Unit(benchmark::kMicrosecond);

// The same counts after a setter on a hot key before every province (the index is
// updated in place, not rebuilt).
void BM_HeadcountWithWrites(benchmark::State& state) {
    TGame game;
    testing::StartSmallCampaign(game, 3);
    int v = 0;
    for (auto _ : state) {
        int total = 0;
        for (int p = 1; p <= kProvinceCount; ++p) {
            game.SetInt(game.Character(p), "soldiers", ++v % 100);
            total += game.ProvinceHeadcount(p);
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_HeadcountWithWrites)->Unit(benchmark::kMicrosecond);

// For comparison: the same 49 counts as a plain scan of the JSON document.
void BM_HeadcountPlainJsonScan(benchmark::State& state) {
    TGame game;
    testing::StartSmallCampaign(game, 3);
    for (auto _ : state) {
        int total = 0;
        for (int p = 1; p <= kProvinceCount; ++p) {
            int owner = TGame::GetInt(game.Province(p), "owner", 0);
            for (int c = 1; c <= kCharacterCount; ++c) {
                TObj ch = game.Character(c);
                int faction = TGame::GetInt(ch, "faction", 0);
                if (TGame::GetBool(ch, "alive") && TGame::GetInt(ch, "province", 0) == p &&
                    TGame::GetStr(ch, "role") != "exile" && !TGame::GetBool(ch, "overflow") && faction != 0 &&
                    (faction == owner || TGame::GetBool(ch, "captured")))
                    ++total;
            }
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_HeadcountPlainJsonScan)->Unit(benchmark::kMicrosecond);

void BM_Checksum(benchmark::State& state) {
    TGame game;
    testing::StartSmallCampaign(game, 3);
    for (auto _ : state) benchmark::DoNotOptimize(Checksum(game));
}
BENCHMARK(BM_Checksum)->Unit(benchmark::kMicrosecond);

// Validate, serialise, checksum, write, fsync and rename.
void BM_SaveCampaign(benchmark::State& state) {
    testing::TTempWorld dir(nullptr);
    TGame game;
    testing::StartSmallCampaign(game, 3);
    std::string path = dir.Path("bench.json");
    for (auto _ : state) SaveCampaign(game, path);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_SaveCampaign)->Unit(benchmark::kMillisecond);

// Read, parse, checksum and validate.
void BM_LoadCampaign(benchmark::State& state) {
    testing::TTempWorld dir(nullptr);
    TGame game;
    testing::StartSmallCampaign(game, 3);
    std::string path = dir.Path("bench.json");
    SaveCampaign(game, path);
    TGame target;
    for (auto _ : state) LoadCampaign(target, path);
}
BENCHMARK(BM_LoadCampaign)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace reedmark

BENCHMARK_MAIN();
