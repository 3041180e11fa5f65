#pragma once
// Every surf-zone model that applies, run with one set of shoaling inputs, for the
// comparison window and `orvane-cli shoal --method all`: one RunShoaling per model.
//
// Each curve is the line the shoaling window draws for that model and item (bit for bit:
// the same run's display values). The value at an estimation point is the plotted value
// of the step that reports the point.
#include <limits>
#include <string>
#include <vector>
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"
#include "core/shoaling/ShoalingRequest.h"

namespace orvane {

inline constexpr double kNotReached = std::numeric_limits<double>::quiet_NaN();

struct ComparedCurve {
    std::vector<double> x, y;  // in plotting order (offshore first)
};

struct ComparedModel {
    int method = 0;
    bool applies = false;
    std::string message;       // why the model is not applicable, or how it failed
    bool hasHrms = false;      // from the model table
    bool hasSetup = false;
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
    std::string obsPos;  // observation point of the models that start there
};

// The shoaling inputs shared by every model (bed, kinds, x-axis mode, display range,
// constants, profile; its method, wave and points are not used) and the boxes as typed.
struct ComparisonRequest {
    ShoalingRequest base;
    ComparisonTexts texts;
};

struct ModelComparisonResult {
    bool ran = false;          // false: the period is not positive, or the profile unreadable
    std::string refusal;       // why it did not run, when not said through the prompter
    bool cancelled = false;
    int runs = 0;              // model runs made
    int axisMode = 0;          // 0 depth, 1 distance
    std::vector<double> points;  // estimation points as typed, descending
    std::vector<double> pointX;  // where the curves put them: depth with the tide, or distance
    std::vector<ComparedModel> models;  // in the order of the model table
    bool rangeSet = false;     // bottom-axis range of the shoaling chart
    double rangeA = 0, rangeB = 0;
    std::vector<double> bedX, bedY;  // the bed in distance mode: (distance, -depth)
};

// Conversion errors of H, T, tide and the points are raised (EConvertError); a bad
// observation point only makes the models that start there not applicable. A profile file
// is read once, its messages shown through `prompter`. The question about the region
// offshore of the observation point is asked through `prompter` at most once; every other
// message of a model becomes that model's `message`.
ModelComparisonResult CompareModels(const ComparisonRequest& request, Progress& progress,
                                    Prompter& prompter);

// A profile file read once for many runs on the same bed: its points go into `base`
// (and the display range, unless its ends are given). False when it cannot be read (its
// messages shown through `prompter`); nothing to do without a profile file.
bool ReadProfileOnce(ShoalingRequest& base, Prompter& prompter);
// A curve of one display item along a run; empty when the model has no such item.
ComparedCurve CurveOf(const ShoalingResult& s, int item);

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
