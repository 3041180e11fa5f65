// The wave-velocity computing loop over the synthetic year of scripts/synthetic-year.py
// (hourly or 10-minute samples): three estimation points and the profile maximum, on a
// plane 1:50 bed or on a surveyed profile of 10,000 vertices (the same 1:50 bed at 1 m
// spacing). Each iteration computes 1,000 samples from the storm season, so the time per
// iteration is the time per 1,000 samples (the 10-minute year has 52.56 of them, the
// hourly 8.76). CPU time counts every thread of the process; cpu_us_per_step divides it by
// the model steps of those samples, to compare a profile with the plane.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/runtime/Progress.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/series/SeriesStore.h"
#include "core/shoaling/ShoalingRun.h"
#include "core/velocity/WaveVelocitySeries.h"

namespace {

using namespace orvane;

constexpr int kSamples = 1000;

// Storm groups on a calm background, periods following the height, a semi-diurnal tide
// with a spring-neap cycle; deterministic, the same formulas as the script.
VelocityInputs SyntheticYear(int minutes) {
    VelocityInputs in;
    constexpr double kPi = 3.141592653589793;
    const int perHour = 60 / minutes;
    for (int i = 0; i < 8760 * perHour; ++i) {
        const double j = static_cast<double>(i) / perHour;  // hours
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

// The 1:50 bed surveyed every metre out to 10 km: 10,000 vertices.
std::string SurveyFile() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "orvane-bench-survey.csv";
        std::ofstream out(file, std::ios::binary);
        out << "x,h\r\n";
        for (int i = 0; i < 10000; ++i) out << i << "," << i * 0.02 << "\r\n";
        return file.string();
    }();
    return path;
}

double ProcessSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Arguments: method (1 Goda, 2 Thornton-Guza, 3 Battjes-Stive), threads (0: every core),
// minutes between samples (10 or 60), bed (0 plane, 1 profile of 10,000 vertices).
void VelocityLoop(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    const int jobs = state.range(1) == 0 ? static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))
                                         : static_cast<int>(state.range(1));
    const int minutes = static_cast<int>(state.range(2));
    const bool profile = state.range(3) == 1;
    static const VelocityInputs hourly = SyntheticYear(60), tenMinutes = SyntheticYear(10);
    const VelocityInputs& year = minutes == 10 ? tenMinutes : hourly;
    VelocityInputs in;
    const int offset = 40 * 24 * 60 / minutes;  // into the first storms
    auto slice = [&](const std::vector<float>& s) {
        return std::vector<float>(s.begin() + offset, s.begin() + offset + kSamples);
    };
    in.HsSeries = slice(year.HsSeries);
    in.TsSeries = slice(year.TsSeries);
    in.TideSeries = slice(year.TideSeries);

    PhysicalConstants constants;
    ShoalingRun run{constants};
    run.Inputs.Method = method;
    run.Inputs.Slope = 0.02;
    run.Inputs.OnshoreEndValue = 0.1;
    // The last two models start at an observation point 20 m below MSL.
    run.Inputs.ObsPos = method >= 2 ? 1 : 0;
    ShoalingOutput silent;
    NullProgress progress;
    ScriptedPrompter prompter;
    if (profile) {
        run.Inputs.ProfileMode = 1;
        run.Inputs.ProfileFile = SurveyFile();  // read by the first PrepareRun
        run.Inputs.ObsPosValue = 1000;
        run.Inputs.OffshoreEndValue = method >= 2 ? 1000 : 1500;
        run.ParseEstimationPoints("300.5,200.5,100.5");  // between vertices
    } else {
        run.Inputs.XAxis = 0;
        run.Inputs.ObsPosValue = 20;
        run.Inputs.OffshoreEndValue = method >= 2 ? 20 : 10;
        run.ParseEstimationPoints("6,4,2");
    }

    VelocityOptions options;
    options.velMax = options.placeMax = true;
    options.MSL = 1.2;
    SeriesStore store;
    store.header.SampleSize = kSamples;
    store.header.SInt = minutes == 10 ? 10 : 1;
    store.header.SIntUnit = minutes == 10 ? 3 : 4;
    if (!SetUpVelocityOutput(store, options, run)) {
        state.SkipWithError("no estimation points");
        return;
    }
    double cpu = 0;
    for (auto _ : state) {
        const double before = ProcessSeconds();
        VelocityRunResult r = ComputeVelocitySeries(in, options, run, store, constants, progress, prompter, jobs);
        cpu += ProcessSeconds() - before;
        if (!r.completed) {
            state.SkipWithError("the run did not complete");
            return;
        }
        benchmark::DoNotOptimize(store.IntervalData[0].data());
    }

    // Model steps of the same samples, outside the timing.
    ShoalingRun count = run;
    double steps = 0;
    for (int j = 0; j < kSamples; ++j) {
        count.SetOffshoreWave(in.HsSeries[j], in.TsSeries[j]);
        if (count.RunModel(count.EstimationValues, in.TideSeries[j] - options.MSL, silent, progress, prompter))
            steps += count.RecordedCount();
    }
    long long missing = 0;
    for (int c = 0; c < store.header.NchInterval; ++c)
        for (auto v : store.IntervalData[c]) missing += v == ErrorRaw;
    const double iterations = static_cast<double>(state.iterations());
    state.counters["missing"] = static_cast<double>(missing);
    state.counters["threads"] = jobs;
    state.counters["cpu_s_per_1000"] = cpu / iterations;
    state.counters["steps_per_sample"] = steps / kSamples;
    state.counters["cpu_us_per_step"] = steps > 0 ? cpu / iterations / steps * 1e6 : 0;
}

BENCHMARK(VelocityLoop)
    ->ArgNames({"method", "jobs", "minutes", "profile"})
    // The command line's default: every core, 10-minute samples.
    ->Args({1, 0, 10, 0})->Args({2, 0, 10, 0})->Args({3, 0, 10, 0})
    // One thread, hourly samples: plane bed, then the 10,000-vertex profile.
    ->Args({1, 1, 60, 0})->Args({2, 1, 60, 0})->Args({3, 1, 60, 0})
    ->Args({1, 1, 60, 1})->Args({2, 1, 60, 1})->Args({3, 1, 60, 1})
    ->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime()->MeasureProcessCPUTime();

}  // namespace
