// RandomWaveVelocity runs once per estimation point and sample in the wave-velocity tool.
#include <benchmark/benchmark.h>
#include "core/velocity/BottomVelocity.h"

static void BM_RandomWaveVelocity(benchmark::State& state) {
    double Tp = 10.753, Hrms = 2.1, h = 5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Tp);
        benchmark::DoNotOptimize(h);
        orvane::RandomVelocity v = orvane::RandomWaveVelocity(Tp, Hrms, h, 9.80665);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_RandomWaveVelocity);

// A year of hourly samples at three points.
static void BM_RandomWaveVelocityYear(benchmark::State& state) {
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < 8760; ++i)
            for (double h : {3.0, 6.0, 10.0})
                sum += orvane::RandomWaveVelocity(6 + (i % 10), 0.5 + 0.01 * (i % 50), h, 9.80665).Urms;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RandomWaveVelocityYear)->Unit(benchmark::kMillisecond);

static void BM_SingleWaveReport(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(orvane::SingleWaveReport(5, 3, 10, 0, 9.80665));
}
BENCHMARK(BM_SingleWaveReport);
