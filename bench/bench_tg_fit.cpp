// The fit of Thornton-Guza's γ and B to one measured set: 8 gauges on a 1:50 slope
// (H 2.78 m, T 9 s from 12 m, tide 0.3 m), read off the model's own curve with γ 0.55 and
// B 1.2 and rounded to centimetres; the search starts from the default constants.
// Counters: model runs and candidates per fit.
#include <benchmark/benchmark.h>

#include <cmath>
#include "core/runtime/ScriptedPrompter.h"
#include "core/shoaling/ThorntonGuzaFit.h"

using namespace orvane;

namespace {

ShoalingRequest Beach(double gamma, double b) {
    ShoalingRequest r;
    r.constants.gamma_TG = gamma;
    r.constants.B_TG = b;
    r.inputs.Slope = 0.02;
    r.inputs.OffshoreEndValue = 12;
    return r;
}

void FitOneCase(benchmark::State& state) {
    NullProgress progress;
    ScriptedPrompter prompter;
    const ModelComparisonResult truth =
        CompareModels({Beach(0.55, 1.2), {"2.78", "9", "0.3", "2,4,6", "12"}}, progress, prompter);
    const ComparedCurve& tg = truth.models[2].height;
    std::vector<double> depth = {10, 8, 6, 5, 4, 3, 2, 1.2}, hs;
    for (double h : depth) hs.push_back(std::round(CurveValueAt(tg.x, tg.y, h + 0.3) * 100) / 100);
    TgFitCase c{Beach(0.42, 1.54), MakeObservations(depth, hs, {}, ObservedHeight::Hs)};
    c.request.height = 2.78;
    c.request.period = 9;
    c.request.tide = 0.3;
    c.request.points = {2, 4, 6};
    c.request.inputs.ObsPosValue = 12;
    TgFitResult r;
    for (auto _ : state) {
        r = FitThorntonGuza({c}, {}, prompter);
        benchmark::DoNotOptimize(r.gamma);
    }
    state.counters["model_runs"] = r.modelRuns;
    state.counters["candidates"] = r.evaluations;
}
BENCHMARK(FitOneCase)->Unit(benchmark::kMillisecond);

}  // namespace
