// Painting every sheet at one scale: what start-up costs, and what a change
// of zoom will cost.
#include "art/Art.h"

#include <benchmark/benchmark.h>

static void BM_PaintAllSheets(benchmark::State& state)
{
    const int scale = int(state.range(0));
    for (auto _ : state)
        for (Art::Sheet sheet : Art::kAllSheets)
            benchmark::DoNotOptimize(Art::Paint(sheet, scale));
}
BENCHMARK(BM_PaintAllSheets)
    ->DenseRange(Art::kMinScale, Art::kMaxScale)
    ->Unit(benchmark::kMillisecond);
