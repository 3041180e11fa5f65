#include "core/shoaling/ModelComparison.h"

#include <algorithm>
#include <cmath>
#include <map>
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"

namespace orvane {

namespace {

constexpr const char* kShortNames[kComparedModels] = {"菅原・山本(1978)", "合田(1975)",
                                                      "Thornton-Guza(1983)", "Battjes-Stive(1985)"};
constexpr const char* kLongNames[kComparedModels] = {
    "菅原・山本(1978)の規則波の変形モデル", "合田(1975)の不規則波の変形モデル",
    "Thornton and Guza（1983)の砕波変形モデル", "Battjes and Stive(1985)の砕波変形モデル"};
constexpr const char* kQuestion = "観測点より沖側の領域は計算されません。よろしいですか。";

enum Quantity { kHeight, kHrms, kSetup };

int ItemIndex(int method, const char* text) {
    const auto items = DisplayItemsFor(method);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (std::string(items[i].text) == text) return static_cast<int>(i);
    return -1;
}

// Keeps what one run draws and, at each reported estimation point, the value plotted in
// the step that reports it.
class CaptureOutput : public ShoalingOutput {
public:
    const ShoalingRun* run = nullptr;
    ComparedCurve* curve = nullptr;
    std::vector<double>* pointValues = nullptr;
    std::vector<std::string>* report = nullptr;
    bool rangeSet = false;
    double rangeA = 0, rangeB = 0;

    void NewStep() { plottedThisStep_ = false; }

    void ClearHeightLine(const std::string&) override {
        curve->x.clear();
        curve->y.clear();
    }
    void AddHeightPoint(double x, double y) override {
        curve->x.push_back(x);
        curve->y.push_back(y);
        plottedThisStep_ = true;
        last_ = y;
    }
    void SetBottomAxisRange(double a, double b) override {
        rangeSet = true;
        rangeA = a;
        rangeB = b;
    }
    void ClearReport() override {
        if (report) report->clear();
    }
    void AddReportLine(const std::string& line) override {
        if (report) report->push_back(line);
        // The first line of a point is its position line; the value lines are indented.
        if (line.empty() || line[0] == ' ') return;
        const int i = run->EstimationIndex;
        if (i >= 0 && i < static_cast<int>(pointValues->size()))
            (*pointValues)[i] = plottedThisStep_ ? last_ : kNotReached;
    }

private:
    bool plottedThisStep_ = false;
    double last_ = 0;
};

// The caller's progress, with every run a slice of the bar; a poll of Cancelled starts a
// model step.
class SliceProgress : public Progress {
public:
    SliceProgress(Progress& outer, int slices) : outer_(outer), slices_(std::max(1, slices)) {}
    CaptureOutput* capture = nullptr;
    int slice = 0;

    void SetProgressComment(const std::string& text) override { outer_.SetProgressComment(text); }
    void SetProgressPosition(int percent) override {
        outer_.SetProgressPosition((slice * 100 + std::clamp(percent, 0, 100)) / slices_);
    }
    bool Cancelled() const override {
        if (capture) capture->NewStep();
        return outer_.Cancelled();
    }
    void SetStatusLine(const std::string& text) override { outer_.SetStatusLine(text); }
    void Hide() override { outer_.Hide(); }

private:
    Progress& outer_;
    int slices_;
};

// Passes the one question through (asked once, the answer kept for the other models) and
// keeps every other message as the model's reason.
class ModelPrompter : public Prompter {
public:
    explicit ModelPrompter(Prompter& outer) : outer_(outer) {}
    std::string first;
    bool declined = false;

    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        if (buttons == MsgButtons::YesNo && text == kQuestion) {
            if (!asked_) {
                answer_ = outer_.Message(kind, text, buttons);
                asked_ = true;
            }
            if (answer_ != MsgResult::Yes) declined = true;
            return answer_;
        }
        if (first.empty()) first = text;
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
    }
    void Plain(const std::string& text, const std::string&) override {
        if (first.empty()) first = text;
    }
    void Beep() override {}
    void Reset() {
        first.clear();
        declined = false;
    }

private:
    Prompter& outer_;
    bool asked_ = false;
    MsgResult answer_ = MsgResult::No;
};

class HideOnExit {
public:
    explicit HideOnExit(Progress& p) : p_(p) {}
    ~HideOnExit() { p_.Hide(); }
    HideOnExit(const HideOnExit&) = delete;
    HideOnExit& operator=(const HideOnExit&) = delete;
private:
    Progress& p_;
};

std::vector<Quantity> QuantitiesOf(int method) {
    switch (method) {
        case 0: return {kHeight, kSetup};
        case 2: return {kHeight, kHrms};
        default: return {kHeight, kHrms, kSetup};
    }
}

const char* ItemText(int method, Quantity q) {
    switch (q) {
        case kHrms: return "Hrms";
        case kSetup: return "η";
        default: return HeightItemName(method);
    }
}

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
        const std::string name = ModelShortName(m.method);
        cols.push_back({name + " " + HeightItemName(m.method) + " (m)", &m.pointHeight});
        if (m.hasHrms) cols.push_back({name + " Hrms (m)", &m.pointHrms});
        if (m.hasSetup) cols.push_back({name + " η (m)", &m.pointSetup});
    }
    return cols;
}

std::string PositionTitle(int axisMode) { return axisMode == 0 ? "h (m)" : "X (m)"; }

}  // namespace

const char* ModelShortName(int method) { return kShortNames[std::clamp(method, 0, kComparedModels - 1)]; }
const char* ModelLongName(int method) { return kLongNames[std::clamp(method, 0, kComparedModels - 1)]; }
const char* HeightItemName(int method) { return method == 0 ? "H" : "Hs"; }

ModelComparisonResult CompareModels(const ShoalingRun& base, const ComparisonTexts& texts,
                                    Progress& progress, Prompter& prompter) {
    ModelComparisonResult result;
    // The boxes in the order the Calculate button reads them.
    const double tide = StrToFloat(texts.tide);
    const double T = StrToFloat(texts.t0);
    if (T <= 0) return result;
    const double H = StrToFloat(texts.h0);
    {
        ShoalingRun probe = base;
        probe.ParseEstimationPoints(texts.points);
        result.points = probe.EstimationValues;
    }
    double obsPos = 0;
    std::string obsError;
    if (texts.obsPos.empty()) {
        obsError = "観測点の水深または離岸距離が入力されていません。";
    } else {
        try {
            obsPos = StrToFloat(texts.obsPos);
        } catch (const OrvaneError& e) {
            obsError = std::string("観測点の位置: ") + e.what();
        }
    }

    int slices = 0;
    for (int m = 0; m < kComparedModels; ++m) slices += static_cast<int>(QuantitiesOf(m).size());
    SliceProgress sliced(progress, slices);
    progress.SetProgressComment("ただ今、計算中．．．．");
    HideOnExit hide(progress);
    ModelPrompter modelPrompter(prompter);
    result.ran = true;
    result.axisMode = base.UsesProfileFile() ? 1 : base.Inputs.XAxis;
    for (double p : result.points) result.pointX.push_back(result.axisMode == 0 ? p + tide : p);

    for (int m = 0; m < kComparedModels; ++m) {
        ComparedModel& model = result.models[m];
        model.method = m;
        model.hasHrms = m != 0;
        model.hasSetup = m != 2;
        const std::size_t n = result.points.size();
        model.pointHeight.assign(n, kNotReached);
        model.pointHrms.assign(n, kNotReached);
        model.pointSetup.assign(n, kNotReached);
        model.applies = true;

        ShoalingRun modelBase = base;
        modelBase.Inputs.Method = m;
        // The first two models start in deep water, the last two at the observation point.
        modelBase.Inputs.ObsPos = m <= 1 ? 0 : 1;
        if (m >= 2) {
            if (!obsError.empty()) {
                model.applies = false;
                model.message = obsError;
                sliced.slice += static_cast<int>(QuantitiesOf(m).size());
                continue;
            }
            modelBase.Inputs.ObsPosValue = obsPos;
        }

        for (Quantity q : QuantitiesOf(m)) {
            ShoalingRun run = modelBase;
            CaptureOutput out;
            out.run = &run;
            out.curve = q == kHeight ? &model.height : q == kHrms ? &model.hrms : &model.setup;
            out.pointValues = q == kHeight ? &model.pointHeight : q == kHrms ? &model.pointHrms : &model.pointSetup;
            out.report = q == kHeight ? &model.report : nullptr;
            sliced.capture = &out;
            modelPrompter.Reset();

            run.Inputs.DisplayIndex = ItemIndex(m, ItemText(m, q));
            run.RecordProfile = false;
            run.TideLevel = tide;
            run.SetOffshoreWave(H, T);
            run.ParseEstimationPoints(texts.points);
            const PrepareResult prep = run.PrepareRun(out, modelPrompter, PrepareMode::SingleRun);
            if (out.rangeSet && !result.rangeSet) {
                result.rangeSet = true;
                result.rangeA = out.rangeA;
                result.rangeB = out.rangeB;
            }
            if (result.bedX.empty() && run.AxisMode == 1 && (prep.ok || modelPrompter.declined)) {
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
            bool ok = prep.ok;
            if (ok) {
                run.Interactive = true;
                ok = run.RunModel(run.EstimationValues, tide, out, sliced, modelPrompter);
                if (!ok && progress.Cancelled()) {
                    result.cancelled = true;
                    return result;
                }
            }
            ++sliced.slice;
            if (!ok) {
                model.applies = false;
                model.message = !modelPrompter.first.empty() ? modelPrompter.first
                                : modelPrompter.declined
                                    ? "観測点より沖側の領域を計算しないため、比較から外しました。"
                                    : "計算が途中で終わりました。";
                break;
            }
        }
        sliced.capture = nullptr;
        if (!model.applies) {
            model.height = {};
            model.hrms = {};
            model.setup = {};
            model.report.clear();
            std::fill(model.pointHeight.begin(), model.pointHeight.end(), kNotReached);
            std::fill(model.pointHrms.begin(), model.pointHrms.end(), kNotReached);
            std::fill(model.pointSetup.begin(), model.pointSetup.end(), kNotReached);
        }
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
        const std::string name = ModelShortName(m.method);
        curves.push_back({name + " " + HeightItemName(m.method) + " (m)", &m.height});
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

std::vector<std::string> ComparisonTableLines(const ModelComparisonResult& r) {
    const std::vector<Column> cols = TableColumns(r);
    std::string header = PositionTitle(r.axisMode);
    for (const Column& c : cols) header += "," + c.title;
    header += ",波高の差 (m),波高の差 (%)";
    std::vector<std::string> lines{header};
    for (std::size_t p = 0; p < r.points.size(); ++p) {
        std::string line = FormatGeneral(r.points[p], 7);
        for (const Column& c : cols) line += "," + Csv((*c.values)[p]);
        const PointSpread s = SpreadAt(r, static_cast<int>(p));
        line += "," + Csv(s.range) + "," + Csv(s.percent);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> ComparisonTableText(const ModelComparisonResult& r) {
    const std::vector<Column> cols = TableColumns(r);
    std::string header = PositionTitle(r.axisMode);
    for (const Column& c : cols) header += "\t" + c.title;
    header += "\t波高の差 (m)\t波高の差 (%)";
    std::vector<std::string> lines{header};
    for (std::size_t p = 0; p < r.points.size(); ++p) {
        std::string line = FormatGeneral(r.points[p], 7);
        for (const Column& c : cols) line += "\t" + Fixed((*c.values)[p], 3);
        const PointSpread s = SpreadAt(r, static_cast<int>(p));
        line += "\t" + Fixed(s.range, 3) + "\t" + Fixed(s.percent, 1);
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace orvane
