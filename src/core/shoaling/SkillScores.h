#pragma once
// How well each model reproduces measured heights: the model's curve read at every measured
// position (linearly between its points), then bias, RMSE, scatter index and Willmott's
// index of agreement over the points the curve covers. Points outside a curve are left out
// of that model's scores and counted.
#include <span>
#include <string>
#include <vector>
#include "core/shoaling/ModelComparison.h"
#include "core/shoaling/Observations.h"

namespace orvane {

struct Skill {
    int compared = 0;  // measured points with a model value
    int outside = 0;   // measured points outside the model's curve
    // NaN without compared points; si also when the mean measured value is not positive,
    // d when every value equals the mean measured one.
    double bias = kNotReached;  // mean of model - measured
    double rmse = kNotReached;
    double si = kNotReached;    // rmse / mean measured
    double d = kNotReached;     // 1 - Σ(P-O)² / Σ(|P-Ō| + |O-Ō|)²
};

// The scores of model values against measured ones, pair by pair: a NaN measured value
// is no point at all, a NaN model value a point outside the curve.
Skill SkillOf(std::span<const double> model, std::span<const double> measured);

// The curve's value at `at`, linear between the two points of the first segment (in the
// curve's order) that holds it; NaN outside the curve.
double CurveValueAt(std::span<const double> x, std::span<const double> y, double at);

// A measured position on the curves' axis: depth + tide in depth mode, the distance as it
// is in distance mode.
double ObservedX(double position, int axisMode, double tide);

// The curve's values at every measured position (NaN outside it).
std::vector<double> CurveValuesAt(const ComparedCurve& curve, const ObservedSet& set, int axisMode, double tide);

struct ModelSkill {
    int method = 0;
    bool setup = false;      // the η row of the model (else its height row)
    bool applies = false;    // false: no such curve; `message` says why
    std::string message;
    bool best = false;       // the smallest height RMSE of all models
    Skill skill;
};

struct ObservedSkill {
    ObservedHeight kind = ObservedHeight::Hs;
    int heights = 0, setups = 0;  // measured values in the set
    // Every model's height row in method order, then the η rows of the models that apply.
    std::vector<ModelSkill> rows;
    // Not empty when no model compares a single height: said instead of empty scores.
    std::string note;
};

// Scores of every model of the comparison against the set; `tide` is the comparison's.
ObservedSkill CompareWithObservations(const ModelComparisonResult& r, const ObservedSet& set, double tide);

// The skill table for the command line and the window (tab-separated, fixed decimals) and
// as CSV lines (general format, 7 digits). Only the note when it is set.
std::vector<std::string> SkillTableText(const ObservedSkill& s);
std::vector<std::string> SkillTableLines(const ObservedSkill& s);

}  // namespace orvane
