// WaveNumber over the depths a shoaling run sweeps (deep water to the shoreline).
#include <benchmark/benchmark.h>

#include "core/wave/WaveNumber.h"

static void BM_WaveNumberShoalingSweep(benchmark::State& state) {
    const double T = 10.0, g = 9.80665;
    for (auto _ : state) {
        double sum = 0;
        for (int i = 1; i <= 1000; ++i) sum += orvane::WaveNumber(T, 0.05 * i, g);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_WaveNumberShoalingSweep);
