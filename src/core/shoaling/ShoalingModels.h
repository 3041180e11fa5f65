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

// The next station of a random model's march from x at still-water depth h: steps of
// 0.25 H0 down to 2.5 H0, then 0.05 H0. Nothing when cancelled; EConvergence once `step`
// reaches kMaxModelSteps.
std::optional<double> NextRandomStation(const ShoalingRun& run, long step, double x, double h, double H0,
                                        Progress& progress);
// A station xn that does not advance from x: the end of the march at the shoreward end
// of a profile (true), an EConvergence anywhere else. False when it advances.
bool StopsShort(const ShoalingRun& run, double x, double xn);

// The energy flux ρgH0²/8·Cg where the explicit march starts (depth h); reserves the
// records of its steps.
double StartMarch(ShoalingRun& run, double h, double H0);
// A step of the explicit march (Thornton-Guza, Battjes-Stive) from x at depth h, started
// at xs: the station above, pulled onto the next estimation point when that lies within
// the step; the march ends at the onshore end, dry land or a profile's shoreward end.
enum class March { Step, Done, Cancelled };
struct MarchStep {
    double xn = 0, hn = 0, dx = 0;  // the station, its depth, the step's length
    bool haveTarget = false;
    double target = 0;              // the estimation point's distance
};
March NextMarchStep(ShoalingRun& run, long step, double xs, double x, double h, double H0, Progress& progress,
                    MarchStep& s);

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
