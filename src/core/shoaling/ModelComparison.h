#pragma once
// Every transformation model that applies, run with one set of shoaling-window inputs, for
// the comparison window and `orvane-cli shoal --method all`.
//
// Each curve comes from its own run of ShoalingRun exactly as the shoaling window's
// Calculate makes it (a copy of the run state, the model's display item chosen), so a curve
// is bit for bit the line that window draws for that model and item. The value at an
// estimation point is the plotted value of the step that reports the point.
#include <array>
#include <limits>
#include <string>
#include <vector>
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane {

inline constexpr int kComparedModels = 4;
inline constexpr double kNotReached = std::numeric_limits<double>::quiet_NaN();

struct ComparedCurve {
    std::vector<double> x, y;  // in plotting order (offshore first)
};

struct ComparedModel {
    int method = 0;
    bool applies = false;
    std::string message;       // why the model is not applicable, or how it failed
    bool hasHrms = false;      // the random-wave models
    bool hasSetup = false;     // all but Thornton-Guza
    ComparedCurve height;      // H (regular waves) or Hs
    ComparedCurve hrms;
    ComparedCurve setup;
    std::vector<std::string> report;  // the report lines of the model's run
    // One value per estimation point, in the order of `points`; kNotReached where the
    // wave did not get there.
    std::vector<double> pointHeight, pointHrms, pointSetup;
};

// The texts of the shoaling window's boxes that the models read.
struct ComparisonTexts {
    std::string h0, t0, tide, points;
    std::string obsPos;  // observation point of the last two models
};

struct ModelComparisonResult {
    bool ran = false;          // false: the period is not positive, nothing was run
    bool cancelled = false;
    int axisMode = 0;          // 0 depth, 1 distance
    std::vector<double> points;  // estimation points as typed, descending
    std::vector<double> pointX;  // where the curves put them: depth with the tide, or distance
    std::array<ComparedModel, kComparedModels> models;
    bool rangeSet = false;     // bottom-axis range of the shoaling chart
    double rangeA = 0, rangeB = 0;
    std::vector<double> bedX, bedY;  // the bed in distance mode: (distance, -depth)
};

// Runs the models on copies of `base` (its constants, bed, profile, choices of height and
// period kinds, x-axis mode and display range). Conversion errors of H, T, tide and the
// points are raised (EConvertError); a bad observation point only makes the last two
// models not applicable. The question about the region offshore of the observation point
// is asked through `prompter` at most once; every other message of a model becomes that
// model's `message`.
ModelComparisonResult CompareModels(const ShoalingRun& base, const ComparisonTexts& texts,
                                    Progress& progress, Prompter& prompter);

// "菅原・山本(1978)", "合田(1975)", "Thornton-Guza(1983)", "Battjes-Stive(1985)".
const char* ModelShortName(int method);
// The full texts of the method choice.
const char* ModelLongName(int method);
// "H" for the regular-wave model, "Hs" for the others.
const char* HeightItemName(int method);

struct PointSpread {
    double range = kNotReached;    // max - min of H / Hs over the models that got there
    double percent = kNotReached;  // range as % of their mean
};
// Needs two models with a value.
PointSpread SpreadAt(const ModelComparisonResult& r, int point);

// CSV lines (UTF-8): every curve on the union of their positions, offshore first; an empty
// field where a curve has no point. General format, 7 significant digits.
std::vector<std::string> ComparisonCurveLines(const ModelComparisonResult& r);
// CSV lines: one per estimation point; columns per applicable model (H or Hs, Hrms, η),
// then the spread in metres and in %.
std::vector<std::string> ComparisonTableLines(const ModelComparisonResult& r);
// The same table as text for the command line (fixed decimals, tab-separated).
std::vector<std::string> ComparisonTableText(const ModelComparisonResult& r);

}  // namespace orvane
