// Benchmark of the atlas territory construction (done once at start-up).
#include <benchmark/benchmark.h>

#include "atlas/atlas.hpp"

namespace {

void BM_AtlasConstruction(benchmark::State& state) {
    for (auto _ : state) {
        reedmark::TAtlas atlas;
        benchmark::DoNotOptimize(atlas.ProvinceAt(100, 100));
    }
}
BENCHMARK(BM_AtlasConstruction)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
