#pragma once
// One shoaling run as data: every front end (the window, the command line, Python, the
// comparison) fills a ShoalingRequest from its inputs and shows the ShoalingResult. The
// report text comes from the result through ShoalingReportLines, so it is the same
// everywhere.
#include <exception>
#include <string>
#include <vector>
#include "core/app/PhysicalConstants.h"
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane {

struct ShoalingRequest {
    // Method, height and period kinds, bed, x-axis mode, display range and item, profile
    // file. The start (deep water or observation point) follows the method.
    ShoalingInputs inputs;
    PhysicalConstants constants;
    int distanceColumn = 0, depthColumn = 1;  // of the profile file, from 0
    double height = 0, period = 0, tide = 0;  // the offshore wave as typed; tide above MSL (m)
    std::vector<double> points;               // estimation points, any order
    // With inputs.ProfileMode 1: profile points the front end holds (the window's loaded
    // file, Python's arrays). `profileRead` ones are used as they are; otherwise they are
    // checked like a file's points; with none, inputs.ProfileFile is read. A profile read
    // for this run sets the display range to its extent, except the ends marked given.
    std::vector<double> profileDistance, profileDepth;
    bool profileRead = false;
    bool profileIsArrays = false;  // no file behind them
    bool onshoreEndGiven = true, offshoreEndGiven = true;
    // The question about the region offshore of the observation point.
    Answer offshoreRegion = Answer::Ask;

    // The bed of a run set up by SetUpBed (BedChoice.h): its inputs, columns and profile.
    void UseBed(const ShoalingRun& run) {
        inputs = run.Inputs;
        distanceColumn = run.DistanceColumn;
        depthColumn = run.DepthColumn;
        UseLoadedProfile(run);
    }
    // Takes the profile `run` holds, when it holds one, as read (`profileRead`).
    void UseLoadedProfile(const ShoalingRun& run) {
        if (!run.ProfileLoaded) return;
        profileDistance.assign(run.ProfileDistance.begin(), run.ProfileDistance.begin() + run.ProfileCount);
        profileDepth.assign(run.ProfileDepth.begin(), run.ProfileDepth.begin() + run.ProfileCount);
        profileRead = true;
        profileIsArrays = run.ProfileFromArrays;
    }
};

struct ShoalingMessage {
    MsgKind kind;
    std::string text;
    bool question = false;  // asked with Yes / No
};

struct ShoalingResult {
    // The period was not positive: nothing was done, `refusal` says so and no message was
    // shown (the window stays silent; the other front ends report it).
    std::string refusal;
    bool ok = false;          // prepared, marched to the end, and something computed
    bool cancelled = false;
    PrepareResult prepared;   // the tab to bring up, the point box to reset, a profile read
    std::vector<ShoalingMessage> messages;  // every message shown, in order (errors, questions)
    std::exception_ptr error;               // the model's error, when it failed by one

    int method = 0;
    int axisMode = 0;                       // 0 depth, 1 distance
    double onshoreEndValue = 0, offshoreEndValue = 0;  // the display range (after a profile read)
    bool rangeSet = false;                  // the chart's bottom-axis range
    double rangeA = 0, rangeB = 0;
    std::string xTitle, yTitle;             // chart axis titles

    // Estimation points, descending, with their distances; per point the stored height
    // (H or Hrms) and set-up, NaN where the wave did not get there.
    std::vector<double> points, pointDistance, pointHeight, pointSetup;
    std::vector<ShoalingEstimate> estimates;  // in report order
    // Per estimate: the row of `display*` drawn in the step that reports it, -1 for none.
    std::vector<int> estimateRow;

    // Along the run, one row per drawn step: the plotted line, and the distance, depth
    // and every display item's value (displayValues[item][row], DisplayItemsFor order).
    std::vector<double> chartX, chartY;
    std::vector<double> displayDistance, displayDepth;
    std::vector<std::vector<double>> displayValues;
    // The bed in distance mode: (distance, -depth below MSL).
    std::vector<double> bedX, bedY;
};

// Hides the progress display when a run ends, however it ends.
class HideOnExit {
public:
    explicit HideOnExit(Progress& p) : p_(p) {}
    ~HideOnExit() { p_.Hide(); }
    HideOnExit(const HideOnExit&) = delete;
    HideOnExit& operator=(const HideOnExit&) = delete;
private:
    Progress& p_;
};

// Runs `request`; `live` (when given) is shown everything as it happens (the window's
// chart and memo), `prompter` every message and question. `keep` receives the run state
// at the end (the window keeps it).
ShoalingResult RunShoaling(const ShoalingRequest& request, Progress& progress, Prompter& prompter,
                           ShoalingOutput* live = nullptr, ShoalingRun* keep = nullptr);

// The report lines of a result (the window's memo, the command line's text).
std::vector<std::string> ShoalingReportLines(const ShoalingResult& result);

}  // namespace orvane
