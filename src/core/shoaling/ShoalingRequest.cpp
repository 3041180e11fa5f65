#include "core/shoaling/ShoalingRequest.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"

namespace orvane {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Keeps what a run shows as data and passes it on to the live output.
class Collector : public ShoalingOutput {
public:
    Collector(ShoalingResult& r, ShoalingOutput* live) : r_(r), live_(live ? *live : none_) {}

    // A model polls for cancel once at the start of every step.
    void NewStep() { stepRow_ = -1; }

    void ClearHeightLine(const std::string& title) override {
        r_.chartX.clear();
        r_.chartY.clear();
        live_.ClearHeightLine(title);
    }
    void AddHeightPoint(double x, double y) override {
        r_.chartX.push_back(x);
        r_.chartY.push_back(y);
        live_.AddHeightPoint(x, y);
    }
    void SetLeftAxisTitle(const std::string& title) override {
        r_.yTitle = title;
        live_.SetLeftAxisTitle(title);
    }
    void ClearProfileArea() override { live_.ClearProfileArea(); }
    void AddProfilePoint(double x, double y) override { live_.AddProfilePoint(x, y); }
    void SetBottomAxisRange(double a, double b) override {
        r_.rangeSet = true;
        r_.rangeA = a;
        r_.rangeB = b;
        live_.SetBottomAxisRange(a, b);
    }
    void SetBottomAxisAutomatic() override { live_.SetBottomAxisAutomatic(); }
    void ShowProfileAxes(int axisMode) override { live_.ShowProfileAxes(axisMode); }
    void ClearReport() override { live_.ClearReport(); }
    void AddReportLine(const std::string& line) override { live_.AddReportLine(line); }
    void ProcessEvents() override { live_.ProcessEvents(); }
    void AddDisplayValues(double distance, double depth, std::span<const double> values) override {
        stepRow_ = static_cast<int>(r_.displayDistance.size());
        r_.displayDistance.push_back(distance);
        r_.displayDepth.push_back(depth);
        if (r_.displayValues.size() < values.size()) r_.displayValues.resize(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) r_.displayValues[i].push_back(values[i]);
        live_.AddDisplayValues(distance, depth, values);
    }
    void AddEstimate(const ShoalingEstimate& e) override {
        r_.estimates.push_back(e);
        r_.estimateRow.push_back(stepRow_);
        live_.AddEstimate(e);
    }

private:
    ShoalingResult& r_;
    ShoalingOutput none_;
    ShoalingOutput& live_;
    int stepRow_ = -1;
};

class StepProgress : public Progress {
public:
    StepProgress(Progress& outer, Collector& c) : outer_(outer), c_(c) {}
    void SetProgressComment(const std::string& text) override { outer_.SetProgressComment(text); }
    void SetProgressPosition(int percent) override { outer_.SetProgressPosition(percent); }
    bool Cancelled() const override {
        c_.NewStep();
        return outer_.Cancelled();
    }
    void SetStatusLine(const std::string& text) override { outer_.SetStatusLine(text); }
    void Hide() override { outer_.Hide(); }

private:
    Progress& outer_;
    Collector& c_;
};

// Shows every message through the caller's prompter and keeps it.
class RecordingPrompter : public Prompter {
public:
    RecordingPrompter(Prompter& outer, std::vector<ShoalingMessage>& kept) : outer_(outer), kept_(kept) {}
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        kept_.push_back({kind, text, buttons == MsgButtons::YesNo});
        return outer_.Message(kind, text, buttons);
    }
    void Plain(const std::string& text, const std::string& caption) override {
        kept_.push_back({MsgKind::Information, text});
        outer_.Plain(text, caption);
    }
    void Beep() override { outer_.Beep(); }

private:
    Prompter& outer_;
    std::vector<ShoalingMessage>& kept_;
};

// Reads or takes the profile before the run, so that the range check sees its extent.
bool ReadProfile(const ShoalingRequest& req, ShoalingRun& run, ShoalingOutput& out, Prompter& prompter,
                 bool& read) {
    if (req.profileRead) {
        run.AdoptProfile(req.profileDistance, req.profileDepth, req.profileIsArrays);
        return true;
    }
    if (req.profileIsArrays) {
        if (!run.SetProfile(req.profileDistance, req.profileDepth, out, prompter)) return false;
    } else if (FileExists(run.Inputs.ProfileFile)) {
        if (!run.LoadProfile(out, prompter)) return false;
    } else {
        return true;  // PrepareRun says that the file is not there
    }
    read = true;
    if (req.onshoreEndGiven) run.Inputs.OnshoreEndValue = req.inputs.OnshoreEndValue;
    if (req.offshoreEndGiven) run.Inputs.OffshoreEndValue = req.inputs.OffshoreEndValue;
    return true;
}

}  // namespace

ShoalingResult RunShoaling(const ShoalingRequest& req, Progress& progress, Prompter& prompter,
                           ShoalingOutput* live, ShoalingRun* keep) {
    ShoalingResult result;
    const SurfZoneModel& model = SurfZoneModelOf(req.inputs.Method);
    result.method = model.key;
    if (!(req.period > 0)) {
        result.refusal = msg::kPeriodNotPositive;
        return result;
    }
    Collector out(result, live);
    RecordingPrompter asked(prompter, result.messages);

    ShoalingRun run{req.constants};
    run.Inputs = req.inputs;
    run.Inputs.Method = model.key;
    run.Inputs.ObsPos = model.startsAtObservation ? 1 : 0;
    run.DistanceColumn = req.distanceColumn;
    run.DepthColumn = req.depthColumn;
    run.RecordProfile = false;
    run.OffshoreRegionAnswer = req.offshoreRegion;
    run.TideLevel = req.tide;
    auto finish = [&] {
        result.axisMode = run.AxisMode;
        result.xTitle = BottomAxisTitle(run.AxisMode);
        result.onshoreEndValue = run.Inputs.OnshoreEndValue;
        result.offshoreEndValue = run.Inputs.OffshoreEndValue;
        if (keep) *keep = std::move(run);
        return std::move(result);
    };

    bool profileRead = false;
    if (run.UsesProfileFile() && !model.planeBedOnly && !ReadProfile(req, run, out, asked, profileRead)) {
        result.prepared.tab = ShoalingTab::None;
        return finish();
    }
    run.SetOffshoreWave(req.height, req.period);
    run.SetEstimationPoints(req.points);
    result.prepared = run.PrepareRun(out, asked, PrepareMode::SingleRun);
    result.prepared.profileRead = result.prepared.profileRead || profileRead;
    result.points = run.EstimationValues;
    // The bed the comparison draws in distance mode, as PrepareRun drew it.
    if (run.AxisMode == 1 && (result.prepared.ok || result.prepared.declinedOffshoreRegion)) {
        if (run.UsesProfileFile()) {
            for (int i = 0; i < run.ProfileCount; ++i) {
                result.bedX.push_back(run.ProfileDistance[i]);
                result.bedY.push_back(-run.ProfileDepth[i]);
            }
        } else {
            for (double x : {run.Inputs.OnshoreEndValue, run.Inputs.OffshoreEndValue}) {
                result.bedX.push_back(x);
                result.bedY.push_back(-x * run.BedSlope);
            }
        }
    }
    if (!result.prepared.ok) return finish();

    progress.SetProgressComment(msg::kComputing);
    HideOnExit hide(progress);
    run.Interactive = true;
    StepProgress steps(progress, out);
    const bool marched = run.RunModel(run.EstimationValues, req.tide, out, steps, asked);
    result.error = run.LastError;
    const std::size_t n = run.EstimationValues.size();
    result.pointDistance = run.EstimationDistances;
    result.pointHeight.assign(n, kNaN);
    result.pointSetup.assign(n, kNaN);
    for (std::size_t i = 0; i < n; ++i) {
        if (!(run.EstimatedHeight[i] >= 0)) continue;
        result.pointHeight[i] = run.EstimatedHeight[i];
        result.pointSetup[i] = run.EstimatedSetup[i];
    }
    if (!marched) {
        result.cancelled = !run.LastError && progress.Cancelled();
    } else if (result.displayDistance.empty() && result.estimates.empty()) {
        // A run that computed nothing says why instead of looking like a success.
        asked.Error(!(run.DepthAt(run.OffshoreEnd) > 0) ? msg::kAllDry : msg::kNothingComputed);
    } else {
        result.ok = true;
    }
    return finish();
}

std::vector<std::string> ShoalingReportLines(const ShoalingResult& result) {
    std::vector<std::string> lines;
    for (const ShoalingEstimate& e : result.estimates) {
        const auto more = EstimateReportLines(e);
        lines.insert(lines.end(), more.begin(), more.end());
    }
    return lines;
}

}  // namespace orvane
