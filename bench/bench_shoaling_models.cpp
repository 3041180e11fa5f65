// One run of each random-wave model, as the wave-velocity tool makes one per sample.
//   Default: the window's inputs (H 2.78 m, T 9 s, slope 1:10, points 2, 4, 6 m; the
//            energy-flux models observed 10 m deep).
//   Slope50: a 1:50 slope from deep water (the energy-flux models observed at L0).
//   Full: no estimation points, the march to the shore end; Service: the time-series
//   tool's run, which stops at the last point (2 m).
#include <benchmark/benchmark.h>

#include <stdexcept>
#include "core/runtime/ScriptedPrompter.h"
#include "core/shoaling/GodaModel.h"

using namespace orvane;

namespace {

enum Setup { Default, Slope50 };

ShoalingRun Prepared(int method, Setup setup, bool service) {
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = method;
    run.Inputs.Slope = setup == Default ? 0.1 : 0.02;
    run.SetOffshoreWave(2.78, 9.0);
    if (method >= 2) {
        run.Inputs.ObsPos = 1;
        run.Inputs.ObsPosValue = setup == Default ? 10.0 : run.DeepWaterLength;
        run.Inputs.OffshoreEndValue = run.Inputs.ObsPosValue;
    } else {
        run.Inputs.OffshoreEndValue = 10;
    }
    run.ParseEstimationPoints(service ? "2,4,6" : "");
    ShoalingOutput out;
    ScriptedPrompter prompter;
    if (!run.PrepareRun(out, prompter).ok) throw std::runtime_error("inputs refused");
    run.Interactive = false;
    return run;
}

void RunOnce(benchmark::State& state, int method, Setup setup, bool service) {
    ShoalingRun run = Prepared(method, setup, service);
    ShoalingOutput out;
    ScriptedPrompter prompter;
    NullProgress progress;
    for (auto _ : state) {
        const bool ok = run.RunModel(run.EstimationValues, 0.0, out, progress, prompter);
        if (!ok) state.SkipWithError("run failed");
        benchmark::DoNotOptimize(run.EstimatedHeight.data());
    }
}

void GodaFullReference(benchmark::State& state, Setup setup) {
    ShoalingRun run = Prepared(1, setup, false);
    ShoalingOutput out;
    ScriptedPrompter prompter;
    NullProgress progress;
    run.RunModel(run.EstimationValues, 0.0, out, progress, prompter);  // targets and tide
    for (auto _ : state) {
        const bool ok = RunGodaModel(run, out, progress, prompter, GodaDensityEvaluation::Reference);
        if (!ok) state.SkipWithError("run failed");
    }
}

}  // namespace

BENCHMARK_CAPTURE(RunOnce, Goda_Default_Full, 1, Default, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunOnce, Goda_Default_Service, 1, Default, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunOnce, Goda_Slope50_Full, 1, Slope50, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunOnce, Goda_Slope50_Service, 1, Slope50, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GodaFullReference, Goda_Default_Full_PlainDensity, Default)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunOnce, ThorntonGuza_Default_Full, 2, Default, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunOnce, ThorntonGuza_Default_Service, 2, Default, true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunOnce, ThorntonGuza_Slope50_Full, 2, Slope50, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunOnce, ThorntonGuza_Slope50_Service, 2, Slope50, true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunOnce, BattjesStive_Default_Full, 3, Default, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunOnce, BattjesStive_Default_Service, 3, Default, true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunOnce, BattjesStive_Slope50_Full, 3, Slope50, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunOnce, BattjesStive_Slope50_Service, 3, Slope50, true)
    ->Unit(benchmark::kMicrosecond);
