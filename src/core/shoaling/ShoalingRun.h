#pragma once
// Run state and run control of the wave-height shoaling computation.
//
// How to drive a run
//   One run with a report (the window's 計算, the command line, Python, each model of
//   the comparison): RunShoaling in ShoalingRequest.h, which does the sequence below
//   (SetOffshoreWave, SetEstimationPoints, PrepareRun, RunModel with Interactive) and
//   returns the result as data.
//   Time-series tool (one sample after another, or one copy of the object per thread):
//     run.Interactive = false; run.RecordProfile = <wanted>;
//     run.PrepareRun(output, prompter, PrepareMode::PerSample) once, then per sample
//     run.SetOffshoreWave(H, T); run.RunModel(run.EstimationValues, tide, ...) and read
//     EstimatedHeight / EstimatedSetup (-1 height: not reached) and the Recorded lists.
//
// The object is plain and copyable; it holds no pointer to a window and nothing static.
// A run allocates nothing per step: the lists are sized before the march starts.
#include <array>
#include <exception>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include "core/app/PhysicalConstants.h"
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"
#include "core/shoaling/SurfZoneModel.h"

namespace orvane {

struct NamedValue {
    const char* name;
    double value;
};

// What a run reports at one estimation point, as numbers; its report lines are made from
// it by EstimateReportLines.
struct ShoalingEstimate {
    int method = 0;
    int axisMode = 0;         // 0 depth, 1 distance
    int point = 0;            // index into the estimation points (descending)
    double position = 0;      // the point as typed: depth below MSL or distance (m)
    double distance = 0;      // its distance from the MSL shoreline (m)
    double height = 0;        // the stored height: H (regular waves) or Hrms
    double setup = 0;         // η; 0 for a model without set-up
    std::vector<NamedValue> values;  // every number of the report lines, in their order
    // The value named `name`; NaN when the model reports none of that name.
    double Value(std::string_view name) const;
};
// The position line ("h = 4m " / "X = 40m ") and the model's lines of one estimate.
std::vector<std::string> EstimateReportLines(const ShoalingEstimate& estimate);

// What a run shows. Every operation does nothing by default, so a non-interactive caller
// passes a plain ShoalingOutput. The window maps these to Chart1 and Memo1.
class ShoalingOutput {
public:
    virtual ~ShoalingOutput() = default;
    // SeriesWaveHeight: cleared and titled by PrepareRun, one point per model step.
    virtual void ClearHeightLine(const std::string& title) { (void)title; }
    virtual void AddHeightPoint(double x, double y) { (void)x; (void)y; }
    // Left axis title: display item text + unit suffix.
    virtual void SetLeftAxisTitle(const std::string& title) { (void)title; }
    // SeriesProfile, the filled area: points (distance, -depth below MSL).
    virtual void ClearProfileArea() {}
    virtual void AddProfilePoint(double x, double y) { (void)x; (void)y; }
    // Bottom axis: manual range (the ends in either order) or automatic.
    virtual void SetBottomAxisRange(double a, double b) { (void)a; (void)b; }
    virtual void SetBottomAxisAutomatic() {}
    // ShowProfileAxes for axis mode 0 (depth) or 1 (distance); titles from the functions
    // BottomAxisTitle / RightAxisTitle below.
    virtual void ShowProfileAxes(int axisMode) { (void)axisMode; }
    // Memo1.
    virtual void ClearReport() {}
    virtual void AddReportLine(const std::string& line) { (void)line; }
    // Lets pending window events through (models that do so after drawing a point).
    virtual void ProcessEvents() {}
    // Every display item's value (in DisplayItemsFor order) at a drawn point, and the
    // still-water depth and distance there; for callers that want all of them at once.
    virtual void AddDisplayValues(double distance, double depth, std::span<const double> values) {
        (void)distance; (void)depth; (void)values;
    }
    // The numbers of a report entry, right after its lines.
    virtual void AddEstimate(const ShoalingEstimate& estimate) { (void)estimate; }
};

// Estimation points as the window's box holds them: comma-separated, until the first empty
// field; a field that is not a number raises EConvertError.
std::vector<double> ParsePoints(const std::string& text);

// Tabs of the shoaling window that PrepareRun may bring to the front.
enum class ShoalingTab { None, Conditions, Profile, Method, Graph, Estimation };
// 条件, 海底断面, 計算方法, グラフ, 推定位置

enum class PrepareMode {
    SingleRun,  // the window's or the command line's run: every question is asked
    PerSample,  // the time-series tool: the deep-water start follows each sample's wave
};

// A question's answer given ahead (the comparison asks once for every model).
enum class Answer { Ask, Yes, No };

struct PrepareResult {
    bool ok = false;
    bool declinedOffshoreRegion = false;  // "観測点より沖側..." answered No
    ShoalingTab tab = ShoalingTab::None;  // to bring to the front (also on success: None)
    bool resetCalPoint = false;           // EdtCalPoint := "0.01"
    bool profileRead = false;             // LoadProfile ran and changed the display range
};

// Chart axis titles.
const char* BottomAxisTitle(int axisMode);  // "水深 h (m)" / "離岸距離 x (m)"
const char* RightAxisTitle(int axisMode);   // "" / "水深 h (m)"

// Caps that keep a wrong input from hanging a run; each raises EConvergence.
inline constexpr long kMaxModelSteps = 5'000'000;
inline constexpr int kMaxNewtonPasses = 1000;
// Profile files larger than this (bytes) or with more data lines are refused.
inline constexpr long long kMaxProfileBytes = 64LL * 1024 * 1024;
inline constexpr int kMaxProfilePoints = 1'000'000;
// Header columns offered for the profile columns.
inline constexpr int kMaxProfileColumns = 100;

// The control values of the shoaling window, as numbers.
struct ShoalingInputs {
    int Method = 0;          // RadioGroupMethod: 0 regular, 1 Goda, 2 Thornton-Guza, 3 Battjes-Stive
    int HeightKind = 0;      // RadioGroupH0: 0 significant, 1 rms
    int PeriodKind = 0;      // RadioGroupT0: 0 significant, 1 spectral peak
    int ObsPos = 0;          // RadioGroupObsPos: 0 deep water, 1 given position
    double ObsPosValue = 0;  // LabeledEditObsPos: depth below MSL (depth mode) or distance (m)
    int ProfileMode = 0;     // RadioGroupProfile: 0 constant slope, 1 profile file
    double Slope = 0.1;      // EdtSlope (tan of the bed angle)
    int XAxis = 0;           // RadioGroupXAxis: 0 depth, 1 distance
    double OnshoreEndValue = 0.1;   // EditOnshoreEnd, in the unit of the x-axis mode
    double OffshoreEndValue = 10;   // EditOffshoreEnd
    int DisplayIndex = 0;    // RadioGroupYAxis
    std::string ProfileFile; // EditFileName
};

class ShoalingRun {
public:
    ShoalingRun() = default;
    explicit ShoalingRun(const PhysicalConstants& c) { CopyConstants(c); }

    // Gravity, Density (x1000), PeriodRatio, gamma_TG, B_TG from the constants.
    void CopyConstants(const PhysicalConstants& c);

    // --- services ------------------------------------------------------------------
    // Period, OffshoreHeight, DeepWaterLength from the typed H and T by the method's
    // conversion; for a profile file also the deep-water point; with the deep-water start
    // also StartDistance.
    void SetOffshoreWave(double H, double T);
    // Reads the comma-separated list (until the first empty field), sorted descending.
    // A field that is not a number raises EConvertError.
    void ParseEstimationPoints(const std::string& text);
    // The same from numbers.
    void SetEstimationPoints(std::vector<double> points);
    // Validates the inputs, shows its messages/question, prepares the chart and report.
    PrepareResult PrepareRun(ShoalingOutput& out, Prompter& prompter,
                             PrepareMode mode = PrepareMode::SingleRun);
    // Runs the chosen model; any error inside becomes false (in an interactive run its
    // text is shown in an error box first) and is kept in LastError.
    bool RunModel(std::span<const double> points, double tide, ShoalingOutput& out,
                  Progress& progress, Prompter& prompter);

    // --- bottom profile ------------------------------------------------------------
    // Header fields 1..100 of a profile file until the first empty one; empty when the
    // file cannot be read.
    static std::vector<std::string> ReadProfileHeader(const std::string& path);
    // A remembered column index when it fits the header, else 0.
    static int ColumnChoice(int saved, int fieldCount) {
        return saved >= 0 && saved < fieldCount ? saved : 0;
    }
    // Reads Inputs.ProfileFile with DistanceColumn/DepthColumn. On success also sets
    // Inputs.OnshoreEndValue = 0.1 and Inputs.OffshoreEndValue = last distance (the window
    // writes them back with FormatShortest), draws the profile, ProfileLoaded = true.
    bool LoadProfile(ShoalingOutput& out, Prompter& prompter);
    // The same from two arrays held by the caller (the profile then needs no file); the
    // same checks and messages as a file's points.
    bool SetProfile(std::span<const double> distance, std::span<const double> depth,
                    ShoalingOutput& out, Prompter& prompter);
    // A profile read before (its file points, without the deep-water point), taken as it
    // is: no checks, no drawing, the display range left alone.
    void AdoptProfile(std::span<const double> distance, std::span<const double> depth, bool fromArrays);
    // Still-water depth (tide included) at distance x; distance of still-water depth h;
    // next computation point shoreward of x for a depth decrement dh > 0.
    double DepthAt(double x) const;
    double DistanceAt(double h) const;
    double NextStation(double dh, double x) const;

    // --- helpers for the models ----------------------------------------------------
    bool UsesProfileFile() const { return Inputs.ProfileMode == 1; }
    // True at or shoreward of the first point of a profile file (a survey that stops
    // short of the shoreline), where a march can go no further: it ends there.
    bool AtShorewardEndOfProfile(double x) const {
        return UsesProfileFile() && ProfileCount > 0 && x <= ProfileDistance[0];
    }
    // "h = 4m " / "X = 40m ": the report's position line of the current point.
    std::string PositionLine() const;
    // Non-interactive result at EstimationIndex; true when it was the last point.
    bool StoreEstimate(double height, double setup);
    // Interactive result at EstimationIndex: stored as StoreEstimate does, then passed to
    // `out` as its report lines and as numbers.
    void ReportEstimate(ShoalingOutput& out, double height, double setup,
                        std::initializer_list<NamedValue> values);
    // EstimationIndex + 1; TargetDistance = that point's distance or -10.
    void AdvanceTarget();
    // The result at EstimationIndex (reported when Interactive, else stored), then the
    // next point as the target. True when the march is done: the last point stored, or
    // (with `dryStop`) a series run whose next point is dry at this tide, so that none of
    // the rest is reached.
    bool ReachEstimate(ShoalingOutput& out, double height, double setup, std::initializer_list<NamedValue> values,
                       bool dryStop = false);
    // A step drawn when Interactive and within the display range: the displayed item's
    // value (the first for an item it does not have) and every item's value. True if drawn.
    bool DrawStep(ShoalingOutput& out, double x, double h, std::span<const double> values) const;
    // Appends (x, H, eta) to the recorded lists when RecordProfile.
    void RecordPoint(double x, double height, double setup) {
        if (!RecordProfile) return;
        RecordedDistance.push_back(x);
        RecordedHeight.push_back(height);
        RecordedSetup.push_back(setup);
    }
    int RecordedCount() const { return static_cast<int>(RecordedDistance.size()); }
    // Reserves the recorded lists for a march with the smallest depth decrement dhMin
    // from still-water depth hStart (call before the first step).
    void ReserveRecords(double hStart, double dhMin);
    // Nearest-integer progress percent of x between xStart and OnshoreEnd.
    int ProgressPercent(double xStart, double x) const;

    // --- state ---------------------------------------------------------------------
    ShoalingInputs Inputs;

    double Gravity = 9.80665;     // m/s^2
    double Density = 1025.0;      // kg/m^3
    double PeriodRatio = 0.93;    // T1/3 / Tp
    double gamma_TG = 0.42;
    double B_TG = 1.54;

    double Period = 0;            // s, set only by SetOffshoreWave
    double DeepWaterLength = 0;   // L0 = g T^2 / (2 pi), m
    double OffshoreHeight = 0;    // H0, m
    double BedSlope = 0.1;
    double TideLevel = 0;         // still-water level above MSL, m
    double OnshoreEnd = 0.1;      // display range as distances (after PrepareRun), m
    double OffshoreEnd = 10;
    double StartDistance = 0;     // m
    double TargetDistance = -10;  // next estimation point's distance; -10 for none
    int AxisMode = 0;             // 0 depth, 1 distance

    std::vector<double> EstimationValues;     // as typed, descending
    std::vector<double> EstimationDistances;  // the same points as distances
    int EstimationCount = 0;
    int EstimationIndex = 0;
    std::vector<double> EstimatedHeight;      // -1: the wave did not get there
    std::vector<double> EstimatedSetup;

    bool Interactive = false;
    Answer OffshoreRegionAnswer = Answer::Ask;  // PrepareRun's question, when answered ahead
    std::exception_ptr LastError;  // of the last RunModel that failed by an error
    bool RecordProfile = false;
    std::vector<double> RecordedDistance, RecordedHeight, RecordedSetup;

    // Profile: points 0..ProfileCount-1 from the file (distance from the MSL shoreline,
    // depth below MSL), index ProfileCount the deep-water point.
    int ProfileCount = 0;
    std::vector<double> ProfileDistance, ProfileDepth;
    bool ProfileLoaded = false;
    bool ProfileFromArrays = false;
    int DistanceColumn = 0;
    int DepthColumn = 1;  // a profile is distance, depth unless told otherwise

    // Model-wide values of the regular and Goda models.
    double UrsellDepth30 = 0, UrsellDepth50 = 0, ShoalingAt30 = 0, ShoalingAt50 = 0;

    // Scratch space of the random-wave density model (fixed size, reused by every run).
    std::array<double, 1001> DensityP{}, DensityQ{};
    std::array<double, 1024> DensityR{};  // whole blocks of 16
    int DensityUsed = 1001;               // DensityP[DensityUsed..] is zero

private:
    void StoreDeepWaterPoint();
    void StoreProfile(std::vector<double> distance, std::vector<double> depth, ShoalingOutput& out);
    void UpdateDeepWaterStart();
};

}  // namespace orvane
