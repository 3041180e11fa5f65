#pragma once
// Goda's (1975) random-wave transformation model: the density of individual wave heights
// at each computation point is a Rayleigh density scaled by a nonlinear shoaling
// coefficient, cut down between two breaker heights and averaged over eight surf-beat
// levels of the mean water level.
//
// Notation (SI): H height (m), H0 offshore significant height, L0 deep-water wave length
// (m), h still-water depth (m, tide included), k wavenumber (rad/m), x = H/H0 the
// dimensionless height on which the density lives, eta mean water level (m).
#include "core/shoaling/ShoalingModels.h"

namespace orvane {

// Height statistics of one computation point, in metres; `binWidth` is the bin width of
// the dimensionless height grid.
struct GodaHeights {
    double Hrms = 0, Hm = 0, H13 = 0, H110 = 0, H1100 = 0;
    double binWidth = 0;
};

// Fast: the Rayleigh values come from a few exponentials per step, the eight surf-beat
// levels are gathered band by band, the bins whose mass is below 1e-28 of the total are
// left out, and the moments are weighted sums. Reference: every level and every bin
// summed as the formulas stand. The two differ by roundings only (some 1e-14 relative);
// the reference exists so that tests can hold the fast one to it.
enum class GodaDensityEvaluation { Fast, Reference };

// Ursell depths h30, h50 and Ks30, Ks50 of the run's offshore wave (Newton from h = L0/2),
// stored in the run.
void GodaUrsellDepths(ShoalingRun& run);

// Nonlinear shoaling coefficient at still-water depth h; needs GodaUrsellDepths first.
double NonlinearShoaling(const ShoalingRun& run, double h);
// The same with kh of depth h already known (used only where h >= h30).
double NonlinearShoaling(const ShoalingRun& run, double h, double kh);

// Height statistics at a point: beta = 1.416 / Ks of the point, A the breaker exponent
// -1.5 pi (1 + 15 s^(4/3)) / L0 of the local slope s, meanDepth the total depth of the
// step without surf beat, zetaRms the surf-beat amplitude. Uses the run's density arrays.
GodaHeights GodaPointHeights(ShoalingRun& run, double beta, double A, double meanDepth,
                             double zetaRms,
                             GodaDensityEvaluation eval = GodaDensityEvaluation::Fast);

// The whole model with a chosen density evaluation (RunGodaModel uses Fast).
bool RunGodaModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                  Prompter& prompter, GodaDensityEvaluation eval);

}  // namespace orvane
