#pragma once
// γ and B of Thornton-Guza fitted to measured heights: the values within the bounds that
// give the smallest RMSE over every measured point of every case (one case per storm, each
// with its own offshore wave and tide, all on the same beach), found by a bounded
// derivative-free search (NLopt's BOBYQA).
//
// Each case is run as the comparison runs Thornton-Guza (one RunShoaling of the request,
// starting at the observation point, the curve of the measured kind), so the RMSE before
// the fit is the comparison's. The points used are those inside the curve with the starting γ and B; a
// candidate whose wave dies out before one of them counts a height of 0 there.
#include <string>
#include <vector>
#include "core/runtime/Prompter.h"
#include "core/shoaling/ModelComparison.h"
#include "core/shoaling/Observations.h"
#include "core/shoaling/ShoalingRequest.h"
#include "core/shoaling/SkillScores.h"

namespace orvane {

struct TgFitCase {
    // As the comparison's base: bed, constants (γ, B to start from), kinds, axis, display
    // range; with the case's height, period, tide and estimation points (their stations
    // lie on the curve) and inputs.ObsPosValue, where the model starts.
    ShoalingRequest request;
    ObservedSet observed;
};

struct TgFitBounds {
    double gammaLow = 0.2, gammaHigh = 1.0;
    double bLow = 0.5, bHigh = 2.5;
};
// Raises OrvaneError unless low <= high and both lie within the default bounds above.
void CheckTgFitBounds(const TgFitBounds& bounds);

struct TgFitCaseResult {
    ComparedCurve before, after;  // the curve of the measured kind (Hs or Hrms)
    Skill skillBefore, skillAfter;
};

struct TgFitResult {
    double gammaBefore = 0, bBefore = 0;  // the constants of the cases
    double gamma = 0, b = 0;              // fitted
    Skill before, after;                  // over every point of every case
    int used = 0, outside = 0;            // measured heights in the fit / outside the curves
    int evaluations = 0;                  // candidate (γ, B) pairs tried by the search
    int modelRuns = 0;                    // model runs in all, before and after included
    std::vector<TgFitCaseResult> cases;
};

// Fits the cases together. Questions and messages of preparing a case go to `prompter`;
// a case that cannot be run, or no measured height inside a curve, raises OrvaneError.
TgFitResult FitThorntonGuza(const std::vector<TgFitCase>& cases, const TgFitBounds& bounds, Prompter& prompter);

// The result as text lines: γ, B and the RMSE before and after, then each case's scores.
std::vector<std::string> TgFitText(const TgFitResult& r);
// As CSV: one line per case and one for all cases, before and after.
std::vector<std::string> TgFitLines(const TgFitResult& r);

}  // namespace orvane
