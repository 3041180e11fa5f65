// The wave-velocity computing loop over a synthetic year of hourly offshore waves and
// tides: three estimation points and the profile maximum on a plane 1:50 bed. Each
// iteration computes 1,000 samples, so the time per iteration is the time per 1,000
// samples; multiply by 8.76 for a year.
#include <benchmark/benchmark.h>

#include <cmath>

#include "core/runtime/Progress.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/series/SeriesStore.h"
#include "core/shoaling/ShoalingRun.h"
#include "core/velocity/WaveVelocitySeries.h"

namespace {

using namespace orvane;

constexpr int kYear = 8760;
constexpr int kSamples = 1000;

// Storm groups on a calm background, periods following the height, a semi-diurnal tide
// with a spring-neap cycle; deterministic, so every run computes the same samples.
VelocityInputs SyntheticYear() {
    VelocityInputs in;
    constexpr double kPi = 3.141592653589793;
    for (int j = 0; j < kYear; ++j) {
        const double days = j / 24.0;
        const double storm = std::pow(std::max(0.0, std::sin(2 * kPi * days / 9.0)), 4);
        const double hs = 0.6 + 0.3 * std::sin(2 * kPi * days / 365.0) + 3.0 * storm +
                          0.2 * std::sin(j * 0.71);
        const double ts = 5.0 + 2.2 * std::sqrt(hs) + 0.3 * std::sin(j * 0.37);
        const double tide = (0.9 + 0.3 * std::cos(2 * kPi * days / 14.77)) *
                            std::sin(2 * kPi * j / 12.42);
        in.HsSeries.push_back(static_cast<float>(hs));
        in.TsSeries.push_back(static_cast<float>(ts));
        in.TideSeries.push_back(static_cast<float>(tide + 1.2));  // above a datum 1.2 m below MSL
    }
    return in;
}

void VelocityLoop(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    const int jobs = static_cast<int>(state.range(1));
    static const VelocityInputs year = SyntheticYear();
    VelocityInputs in;
    const int offset = 24 * 40;  // into the first storms
    in.HsSeries.assign(year.HsSeries.begin() + offset, year.HsSeries.begin() + offset + kSamples);
    in.TsSeries.assign(year.TsSeries.begin() + offset, year.TsSeries.begin() + offset + kSamples);
    in.TideSeries.assign(year.TideSeries.begin() + offset, year.TideSeries.begin() + offset + kSamples);

    PhysicalConstants constants;
    ShoalingRun run{constants};
    run.Inputs.Method = method;
    run.Inputs.Slope = 0.02;
    run.Inputs.XAxis = 0;
    run.Inputs.OffshoreEndValue = 10;
    run.Inputs.OnshoreEndValue = 0.1;
    // The last two models start at an observation point: 20 m below MSL.
    run.Inputs.ObsPos = method >= 2 ? 1 : 0;
    run.Inputs.ObsPosValue = 20;
    run.Inputs.OffshoreEndValue = method >= 2 ? 20 : 10;
    run.ParseEstimationPoints("6,4,2");

    VelocityOptions options;
    options.velMax = options.placeMax = true;
    options.MSL = 1.2;
    SeriesStore store;
    store.header.SampleSize = kSamples;
    store.header.SInt = 1;
    store.header.SIntUnit = 4;
    if (!SetUpVelocityOutput(store, options, run)) {
        state.SkipWithError("no estimation points");
        return;
    }
    NullProgress progress;
    ScriptedPrompter prompter;
    for (auto _ : state) {
        VelocityRunResult r = ComputeVelocitySeries(in, options, run, store, constants, progress, prompter, jobs);
        if (!r.completed) {
            state.SkipWithError("the run did not complete");
            return;
        }
        benchmark::DoNotOptimize(store.IntervalData[0].data());
    }
    long long missing = 0;
    for (int c = 0; c < store.header.NchInterval; ++c)
        for (auto v : store.IntervalData[c]) missing += v == ErrorRaw;
    state.counters["missing"] = static_cast<double>(missing);
}

// Arguments: method (1 Goda, 2 Thornton-Guza, 3 Battjes-Stive), threads.
BENCHMARK(VelocityLoop)
    ->Args({1, 1})->Args({1, 2})->Args({2, 1})->Args({3, 1})
    ->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
