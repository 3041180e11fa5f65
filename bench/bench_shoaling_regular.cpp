// One full regular-wave run from deep water to the shore.
#include <benchmark/benchmark.h>
#include "core/runtime/ScriptedPrompter.h"
#include "core/shoaling/ShoalingRun.h"

namespace {

orvane::ShoalingRun Prepared(double slope, bool record) {
    orvane::ShoalingRun run{orvane::PhysicalConstants{}};
    run.Inputs.Slope = slope;
    run.Inputs.OffshoreEndValue = 10;
    run.SetOffshoreWave(2.78, 9);
    run.ParseEstimationPoints("2,4,6");
    orvane::ShoalingOutput none;
    orvane::ScriptedPrompter prompter;
    run.PrepareRun(none, prompter);
    run.RecordProfile = record;
    return run;
}

void Run(benchmark::State& state, double slope, bool interactive, bool record) {
    orvane::ShoalingRun run = Prepared(slope, record);
    run.Interactive = interactive;
    orvane::ShoalingOutput none;
    orvane::ScriptedPrompter prompter;
    orvane::NullProgress progress;
    for (auto _ : state) {
        bool ok = run.RunModel(run.EstimationValues, 0.0, none, progress, prompter);
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("run failed");
    }
}

// Default window inputs: about 1,800 steps from L0 = 126 m.
void BM_RegularDefaultInteractive(benchmark::State& s) { Run(s, 0.1, true, false); }
// As the series tools would run it: lists only, whole profile recorded.
void BM_RegularDefaultListsAndProfile(benchmark::State& s) { Run(s, 0.1, false, true); }
// The same wave on a 1:50 bed (the march stops at the last point, 2 m).
void BM_RegularSlope50Lists(benchmark::State& s) { Run(s, 0.02, false, false); }

}  // namespace

BENCHMARK(BM_RegularDefaultInteractive)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegularDefaultListsAndProfile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegularSlope50Lists)->Unit(benchmark::kMicrosecond);
