#include "core/shoaling/ModelComparison.h"

#include <algorithm>
#include <cmath>
#include <map>
#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"

namespace orvane {

namespace {

// The caller's progress, with every model run a slice of the bar; the comparison itself
// sets the comment and hides the bar.
class SliceProgress : public Progress {
public:
    SliceProgress(Progress& outer, int slices) : outer_(outer), slices_(std::max(1, slices)) {}
    int slice = 0;

    void SetProgressComment(const std::string&) override {}
    void SetProgressPosition(int percent) override {
        outer_.SetProgressPosition((slice * 100 + std::clamp(percent, 0, 100)) / slices_);
    }
    bool Cancelled() const override { return outer_.Cancelled(); }
    void SetStatusLine(const std::string& text) override { outer_.SetStatusLine(text); }
    void Hide() override {}

private:
    Progress& outer_;
    int slices_;
};

// Passes questions through and keeps every other message out of sight: the run's result
// holds them, and the first becomes the model's reason.
class QuestionsOnly : public Prompter {
public:
    explicit QuestionsOnly(Prompter& outer) : outer_(outer) {}
    bool asked = false;
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        if (buttons == MsgButtons::YesNo) {
            asked = true;
            return outer_.Message(kind, text, buttons);
        }
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
    }
    void Plain(const std::string&, const std::string&) override {}
    void Beep() override {}

private:
    Prompter& outer_;
};

std::string Csv(double v) { return std::isfinite(v) ? FormatGeneral(v, 7) : std::string(); }
std::string Fixed(double v, int decimals) {
    return std::isfinite(v) ? FormatFixed(v, decimals) : std::string("-");
}

struct Column {
    std::string title;
    const std::vector<double>* values;
};

std::vector<Column> TableColumns(const ModelComparisonResult& r) {
    std::vector<Column> cols;
    for (const ComparedModel& m : r.models) {
        if (!m.applies) continue;
        const SurfZoneModel& model = SurfZoneModelOf(m.method);
        const std::string name = model.shortName;
        cols.push_back({name + " " + model.heightItem + " (m)", &m.pointHeight});
        if (m.hasHrms) cols.push_back({name + " Hrms (m)", &m.pointHrms});
        if (m.hasSetup) cols.push_back({name + " η (m)", &m.pointSetup});
    }
    return cols;
}

std::string PositionTitle(int axisMode) { return axisMode == 0 ? "h (m)" : "X (m)"; }

// Per estimation point the item's value in the step that reported it.
void PointValues(const ShoalingResult& s, int item, std::vector<double>& values) {
    if (item < 0 || item >= static_cast<int>(s.displayValues.size())) return;
    for (std::size_t k = 0; k < s.estimates.size(); ++k) {
        const int p = s.estimates[k].point;
        const int row = s.estimateRow[k];
        if (p >= 0 && p < static_cast<int>(values.size()))
            values[p] = row >= 0 ? s.displayValues[item][row] : kNotReached;
    }
}

}  // namespace

bool ReadProfileOnce(ShoalingRequest& base, Prompter& prompter) {
    if (base.inputs.ProfileMode == 1 && !base.profileRead && base.profileDistance.empty() &&
        FileExists(base.inputs.ProfileFile)) {
        ShoalingRun reader{base.constants};
        reader.Inputs = base.inputs;
        reader.DistanceColumn = base.distanceColumn;
        reader.DepthColumn = base.depthColumn;
        ShoalingOutput none;
        if (!reader.LoadProfile(none, prompter)) return false;
        base.profileDistance.assign(reader.ProfileDistance.begin(), reader.ProfileDistance.begin() + reader.ProfileCount);
        base.profileDepth.assign(reader.ProfileDepth.begin(), reader.ProfileDepth.begin() + reader.ProfileCount);
        base.profileRead = true;
        if (!base.onshoreEndGiven) base.inputs.OnshoreEndValue = reader.Inputs.OnshoreEndValue;
        if (!base.offshoreEndGiven) base.inputs.OffshoreEndValue = reader.Inputs.OffshoreEndValue;
    }
    return true;
}

ComparedCurve CurveOf(const ShoalingResult& s, int item) {
    ComparedCurve c;
    if (item < 0 || item >= static_cast<int>(s.displayValues.size())) return c;
    c.x = s.axisMode == 0 ? s.displayDepth : s.displayDistance;
    c.y = s.displayValues[item];
    return c;
}

ModelComparisonResult CompareModels(const ComparisonRequest& request, Progress& progress,
                                    Prompter& prompter) {
    ModelComparisonResult result;
    const ComparisonTexts& texts = request.texts;
    // The boxes in the order the Calculate button reads them.
    const double tide = StrToFloat(texts.tide);
    const double T = StrToFloat(texts.t0);
    if (!(T > 0)) {
        result.refusal = msg::kPeriodNotPositive;
        return result;
    }
    const double H = StrToFloat(texts.h0);
    ShoalingRequest base = request.base;
    base.height = H;
    base.period = T;
    base.tide = tide;
    base.points = ParsePoints(texts.points);
    result.points = base.points;
    std::sort(result.points.begin(), result.points.end(), std::greater<double>());
    double obsPos = 0;
    std::string obsError;
    if (texts.obsPos.empty()) {
        obsError = msg::kObservationPointMissing;
    } else {
        try {
            obsPos = StrToFloat(texts.obsPos);
        } catch (const OrvaneError& e) {
            obsError = std::string("観測点の位置: ") + e.what();
        }
    }

    // A profile file is read once, for every model, its messages shown.
    if (!ReadProfileOnce(base, prompter)) return result;

    const auto models = SurfZoneModels();
    SliceProgress sliced(progress, static_cast<int>(models.size()));
    progress.SetProgressComment(msg::kComputing);
    HideOnExit hide(progress);
    QuestionsOnly questions(prompter);
    result.ran = true;
    result.axisMode = base.inputs.ProfileMode == 1 ? 1 : base.inputs.XAxis;
    for (double p : result.points) result.pointX.push_back(result.axisMode == 0 ? p + tide : p);
    Answer offshoreRegion = base.offshoreRegion;

    for (const SurfZoneModel& m : models) {
        ComparedModel& model = result.models.emplace_back();
        model.method = m.key;
        model.hasHrms = m.hasHrms;
        model.hasSetup = m.hasSetup;
        const std::size_t n = result.points.size();
        model.pointHeight.assign(n, kNotReached);
        model.pointHrms.assign(n, kNotReached);
        model.pointSetup.assign(n, kNotReached);
        if (m.startsAtObservation && !obsError.empty()) {
            model.message = obsError;
            ++sliced.slice;
            continue;
        }

        ShoalingRequest r = base;
        r.inputs.Method = m.key;
        if (m.startsAtObservation) r.inputs.ObsPosValue = obsPos;
        const int heightItem = DisplayItemIndex(m, m.heightItem);
        r.inputs.DisplayIndex = heightItem;
        r.offshoreRegion = offshoreRegion;
        questions.asked = false;
        const ShoalingResult s = RunShoaling(r, sliced, questions);
        ++result.runs;
        ++sliced.slice;
        // One answer for every model.
        if (questions.asked) offshoreRegion = s.prepared.declinedOffshoreRegion ? Answer::No : Answer::Yes;
        if (s.rangeSet && !result.rangeSet) {
            result.rangeSet = true;
            result.rangeA = s.rangeA;
            result.rangeB = s.rangeB;
        }
        if (result.bedX.empty() && !s.bedX.empty()) {
            result.bedX = s.bedX;
            result.bedY = s.bedY;
        }
        if (s.cancelled) {
            result.cancelled = true;
            return result;
        }
        if (!s.ok) {
            for (const ShoalingMessage& message : s.messages)
                if (!message.question) {
                    model.message = message.text;
                    break;
                }
            if (model.message.empty())
                model.message = s.prepared.declinedOffshoreRegion ? msg::kOffshoreRegionDeclined : msg::kRunEndedEarly;
            continue;
        }
        model.applies = true;
        model.height = CurveOf(s, heightItem);
        PointValues(s, heightItem, model.pointHeight);
        if (m.hasHrms) {
            model.hrms = CurveOf(s, DisplayItemIndex(m, "Hrms"));
            PointValues(s, DisplayItemIndex(m, "Hrms"), model.pointHrms);
        }
        if (m.hasSetup) {
            model.setup = CurveOf(s, DisplayItemIndex(m, "η"));
            PointValues(s, DisplayItemIndex(m, "η"), model.pointSetup);
        }
        model.report = ShoalingReportLines(s);
    }
    return result;
}

PointSpread SpreadAt(const ModelComparisonResult& r, int point) {
    PointSpread s;
    double lo = 0, hi = 0, sum = 0;
    int count = 0;
    for (const ComparedModel& m : r.models) {
        if (!m.applies || point < 0 || point >= static_cast<int>(m.pointHeight.size())) continue;
        const double v = m.pointHeight[point];
        if (!std::isfinite(v)) continue;
        lo = count == 0 ? v : std::min(lo, v);
        hi = count == 0 ? v : std::max(hi, v);
        sum += v;
        ++count;
    }
    if (count < 2) return s;
    s.range = hi - lo;
    const double mean = sum / count;
    if (mean != 0) s.percent = s.range / mean * 100.0;
    return s;
}

std::vector<std::string> ComparisonCurveLines(const ModelComparisonResult& r) {
    struct Named {
        std::string title;
        const ComparedCurve* curve;
    };
    std::vector<Named> curves;
    for (const ComparedModel& m : r.models) {
        if (!m.applies) continue;
        const SurfZoneModel& model = SurfZoneModelOf(m.method);
        const std::string name = model.shortName;
        curves.push_back({name + " " + model.heightItem + " (m)", &m.height});
        if (m.hasHrms) curves.push_back({name + " Hrms (m)", &m.hrms});
        if (m.hasSetup) curves.push_back({name + " η (m)", &m.setup});
    }
    // Offshore first, as every curve runs; depth and distance both grow offshore.
    std::vector<double> xs;
    for (const Named& c : curves) xs.insert(xs.end(), c.curve->x.begin(), c.curve->x.end());
    std::sort(xs.begin(), xs.end(), std::greater<double>());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());

    std::vector<std::map<double, double>> lookup;
    for (const Named& c : curves) {
        std::map<double, double> at;
        for (std::size_t i = 0; i < c.curve->x.size(); ++i) at[c.curve->x[i]] = c.curve->y[i];
        lookup.push_back(std::move(at));
    }
    std::vector<std::string> lines;
    lines.reserve(xs.size() + 1);
    std::string header = BottomAxisTitle(r.axisMode);
    for (const Named& c : curves) header += "," + c.title;
    lines.push_back(header);
    for (double x : xs) {
        std::string line = FormatGeneral(x, 7);
        for (const auto& at : lookup) {
            const auto it = at.find(x);
            line += ",";
            if (it != at.end()) line += Csv(it->second);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

namespace {

// The points' table: every model's values and the spread between them, the fields joined
// by `sep`, each number written by `number(value, decimals)`.
std::vector<std::string> PointTable(const ModelComparisonResult& r, const std::string& sep,
                                    std::string (*number)(double, int)) {
    const std::vector<Column> cols = TableColumns(r);
    std::string header = PositionTitle(r.axisMode);
    for (const Column& c : cols) header += sep + c.title;
    header += sep + "波高の差 (m)" + sep + "波高の差 (%)";
    std::vector<std::string> lines{header};
    for (std::size_t p = 0; p < r.points.size(); ++p) {
        std::string line = FormatGeneral(r.points[p], 7);
        for (const Column& c : cols) line += sep + number((*c.values)[p], 3);
        const PointSpread s = SpreadAt(r, static_cast<int>(p));
        line += sep + number(s.range, 3) + sep + number(s.percent, 1);
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace

std::vector<std::string> ComparisonTableLines(const ModelComparisonResult& r) {
    return PointTable(r, ",", [](double v, int) { return Csv(v); });
}

std::vector<std::string> ComparisonTableText(const ModelComparisonResult& r) {
    return PointTable(r, "\t", Fixed);
}

}  // namespace orvane
