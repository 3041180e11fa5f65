#pragma once
// The four wave transformation models. Each marches shoreward from offshore over the bed
// of `run`, draws through `out`, reports its numbers at the estimation points
// (ShoalingRun::ReportEstimate, Interactive) or fills EstimatedHeight/EstimatedSetup (not
// Interactive), polls progress.Cancelled() once per step, and returns false on cancel or
// on its own failures. They may throw OrvaneError; ShoalingRun::RunModel turns that into
// false. Call them through RunModel, which sets up the targets; calling one directly is for
// tests that have done the same. Each model's *Lines function writes the report lines of
// one of its estimates (after the position line); SurfZoneModels.cpp lists both.
#include <optional>

#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"
#include "core/shoaling/ShoalingMarch.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane {

// Regular waves, nonlinear shoaling and a slope-dependent breaking criterion
// (Sugawara and Yamamoto 1978). Plane bed only.
bool RunRegularWaveModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                         Prompter& prompter);
// Random waves, breaking in the height density with surf beat (Goda 1975).
bool RunGodaModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                  Prompter& prompter);
// Random waves, bore dissipation of Thornton and Guza (1983).
bool RunThorntonGuzaModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                          Prompter& prompter);
// Random waves, fraction-of-breakers dissipation of Battjes and Stive (1985).
bool RunBattjesStiveModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                          Prompter& prompter);

void RegularWaveLines(const ShoalingEstimate& estimate, std::vector<std::string>& lines);
void GodaLines(const ShoalingEstimate& estimate, std::vector<std::string>& lines);
void ThorntonGuzaLines(const ShoalingEstimate& estimate, std::vector<std::string>& lines);
void BattjesStiveLines(const ShoalingEstimate& estimate, std::vector<std::string>& lines);

// Shoaling coefficient of the regular-wave model at still-water depth h (uses the run's
// Period, Gravity and Ursell depths).
double RegularShoaling(const ShoalingRun& run, double h);
// Ursell depths h30, h50 and Ks30, Ks50 of the regular-wave model, Newton iteration
// from the depth hs; stores them in the run.
void UrsellDepths(ShoalingRun& run, double hs);

}  // namespace orvane
