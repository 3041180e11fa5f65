#include "core/shoaling/ShoalingRun.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/Messages.h"
#include "core/runtime/TextFile.h"
#include "core/shoaling/WaveFunctions.h"
#include "core/wave/CsvField.h"

namespace orvane {

namespace {

constexpr double kRmsToSignificant = 1.416;

std::string PositionText(int axisMode, double value) {
    return std::string(axisMode == 0 ? "h = " : "X = ") + FormatGeneral(value, 7) + "m ";
}

// Holds TideLevel at 0 for lookups whose values are referred to mean sea level.
class TideAtZero {
public:
    explicit TideAtZero(ShoalingRun& run) : run_(run), saved_(run.TideLevel) { run_.TideLevel = 0; }
    ~TideAtZero() { run_.TideLevel = saved_; }
    TideAtZero(const TideAtZero&) = delete;
    TideAtZero& operator=(const TideAtZero&) = delete;
private:
    ShoalingRun& run_;
    double saved_;
};

}  // namespace

double ShoalingEstimate::Value(std::string_view name) const {
    for (const NamedValue& v : values)
        if (name == v.name) return v.value;
    return std::numeric_limits<double>::quiet_NaN();
}

std::vector<std::string> EstimateReportLines(const ShoalingEstimate& e) {
    std::vector<std::string> lines{PositionText(e.axisMode, e.position)};
    SurfZoneModelOf(e.method).estimateLines(e, lines);
    return lines;
}

const char* BottomAxisTitle(int axisMode) { return axisMode == 0 ? "水深 h (m)" : "離岸距離 x (m)"; }
const char* RightAxisTitle(int axisMode) { return axisMode == 0 ? "" : "水深 h (m)"; }

void ShoalingRun::CopyConstants(const PhysicalConstants& c) {
    Gravity = c.gra;
    Density = c.SGfluid * 1000.0;
    PeriodRatio = c.RTp;
    gamma_TG = c.gamma_TG;
    B_TG = c.B_TG;
}

// ---------------------------------------------------------------------------------------
// Offshore wave and estimation points

void ShoalingRun::SetOffshoreWave(double H, double T) {
    const bool significantH = Inputs.HeightKind == 0;
    const bool significantT = Inputs.PeriodKind == 0;
    switch (SurfZoneModelOf(Inputs.Method).basis) {
        case OffshoreBasis::Significant:
            Period = significantT ? T : T * PeriodRatio;
            OffshoreHeight = significantH ? H : kRmsToSignificant * H;
            break;
        case OffshoreBasis::RmsAndPeak:
            Period = significantT ? CheckedDiv(T, PeriodRatio) : T;
            OffshoreHeight = significantH ? H / kRmsToSignificant : H;
            break;
        case OffshoreBasis::AsTyped:
            Period = T;
            OffshoreHeight = H;
            break;
    }
    DeepWaterLength = Period * Period * Gravity / kTwoPi;
    StoreDeepWaterPoint();
    UpdateDeepWaterStart();
}

std::vector<double> ParsePoints(const std::string& text) {
    std::vector<double> points;
    if (text.empty()) return points;
    const auto fields = std::count(text.begin(), text.end(), ',') + 1;
    for (int n = 1; n <= fields; ++n) {
        const std::string field = GetCSVField(text, n);
        if (field.empty()) break;
        points.push_back(StrToFloat(field));
    }
    return points;
}

void ShoalingRun::ParseEstimationPoints(const std::string& text) { SetEstimationPoints(ParsePoints(text)); }

void ShoalingRun::SetEstimationPoints(std::vector<double> points) {
    EstimationValues = std::move(points);
    std::sort(EstimationValues.begin(), EstimationValues.end(), std::greater<double>());
    EstimationCount = static_cast<int>(EstimationValues.size());
    EstimationDistances.assign(EstimationValues.size(), 0.0);
    EstimatedHeight.assign(EstimationValues.size(), -1.0);
    EstimatedSetup.assign(EstimationValues.size(), 0.0);
    EstimationIndex = 0;
}

// ---------------------------------------------------------------------------------------
// Run control

PrepareResult ShoalingRun::PrepareRun(ShoalingOutput& out, Prompter& prompter, PrepareMode mode) {
    PrepareResult result;
    auto refuse = [&](const char* text, ShoalingTab tab) {
        prompter.Error(text);
        result.tab = tab;
        return result;
    };

    OnshoreEnd = Inputs.OnshoreEndValue;
    OffshoreEnd = Inputs.OffshoreEndValue;

    if (EstimationCount > 0) {
        const double smallest = EstimationValues[EstimationCount - 1];
        const double largest = EstimationValues[0];
        if (!(smallest > 0)) {
            result.resetCalPoint = true;
            return refuse("推定場所の位置は>0として下さい。", ShoalingTab::None);
        }
        if (smallest < OnshoreEnd || largest > OffshoreEnd)
            return refuse("推定場所は表示範囲の中になければなりません。", ShoalingTab::Estimation);
    }

    // A profile is always shown against distance (the window locks the choice).
    if (UsesProfileFile()) Inputs.XAxis = 1;
    AxisMode = Inputs.XAxis;

    const SurfZoneModel& model = SurfZoneModelOf(Inputs.Method);
    const auto items = model.items;
    const DisplayItem& item = items[std::clamp<int>(Inputs.DisplayIndex, 0, static_cast<int>(items.size()) - 1)];
    out.ClearHeightLine(item.text);
    out.SetLeftAxisTitle(std::string(item.text) + item.unit);

    if (!UsesProfileFile()) {
        BedSlope = Inputs.Slope;
        if (!(BedSlope > 0)) return refuse("海底勾配を0より大きくして下さい。", ShoalingTab::None);
        if (AxisMode == 0) {
            TideAtZero msl(*this);
            OnshoreEnd = DistanceAt(OnshoreEnd);
            OffshoreEnd = DistanceAt(OffshoreEnd);
        } else {
            out.ClearProfileArea();
            out.AddProfilePoint(OnshoreEnd, -OnshoreEnd * BedSlope);
            out.AddProfilePoint(OffshoreEnd, -OffshoreEnd * BedSlope);
        }
    } else {
        if (model.planeBedOnly)
            return refuse("選択した計算方法は任意海底には適用できません。", ShoalingTab::Method);
        if (!ProfileFromArrays && !FileExists(Inputs.ProfileFile))
            return refuse(msg::kFileNotFound, ShoalingTab::Conditions);
        if (!ProfileLoaded) {
            if (!LoadProfile(out, prompter)) return result;
            result.profileRead = true;
        }
        if (model.monotoneProfileOnly) {
            for (int i = 1; i < ProfileCount; ++i) {
                if (!(ProfileDistance[i] > ProfileDistance[i - 1]) ||
                    !(ProfileDepth[i] >= ProfileDepth[i - 1]))
                    return refuse("選択した計算方法は逆勾配斜面には適用できません。",
                                  ShoalingTab::Method);
            }
        }
    }

    if (Inputs.ObsPos == 0) {
        StartDistance = DistanceAt(DeepWaterLength);
    } else if (AxisMode == 0) {
        // The observation depth is referred to mean sea level, like the estimation depths.
        TideAtZero msl(*this);
        StartDistance = DistanceAt(Inputs.ObsPosValue);
    } else {
        StartDistance = Inputs.ObsPosValue;
    }

    if (AxisMode == 0)
        out.SetBottomAxisRange(DepthAt(OffshoreEnd), DepthAt(OnshoreEnd));
    else
        out.SetBottomAxisRange(OffshoreEnd, OnshoreEnd);

    // With the deep-water start of a series run, every sample has its own start point,
    // so the question would be about a wave that is not the one computed.
    const bool startFollowsWave = mode == PrepareMode::PerSample && Inputs.ObsPos == 0;
    if (!startFollowsWave && StartDistance < OffshoreEnd) {
        const bool yes = OffshoreRegionAnswer == Answer::Ask
                             ? prompter.Message(MsgKind::Warning, msg::kOffshoreRegionQuestion, MsgButtons::YesNo) ==
                                   MsgResult::Yes
                             : OffshoreRegionAnswer == Answer::Yes;
        if (!yes) {
            result.declinedOffshoreRegion = true;
            return result;
        }
        OffshoreEnd = StartDistance;
    }

    out.ClearReport();
    out.ShowProfileAxes(AxisMode);
    result.ok = true;
    return result;
}

bool ShoalingRun::RunModel(std::span<const double> points, double tide, ShoalingOutput& out,
                           Progress& progress, Prompter& prompter) {
    LastError = nullptr;
    try {
        if (points.data() != EstimationValues.data() || points.size() != EstimationValues.size())
            EstimationValues.assign(points.begin(), points.end());
        const std::size_t n = EstimationValues.size();
        EstimationCount = static_cast<int>(n);
        EstimationDistances.resize(n);
        EstimatedHeight.resize(n);
        EstimatedSetup.resize(n);
        RecordedDistance.clear();
        RecordedHeight.clear();
        RecordedSetup.clear();

        TideLevel = 0;
        for (std::size_t i = 0; i < n; ++i)
            EstimationDistances[i] = AxisMode == 0 ? DistanceAt(EstimationValues[i]) : EstimationValues[i];
        TideLevel = tide;
        StoreDeepWaterPoint();
        UpdateDeepWaterStart();

        EstimationIndex = 0;
        if (n == 0) {
            TargetDistance = -10;
        } else {
            while (EstimationIndex < EstimationCount &&
                   !(EstimationDistances[EstimationIndex] < StartDistance))
                ++EstimationIndex;
            TargetDistance = EstimationIndex < EstimationCount ? EstimationDistances[EstimationIndex] : -10;
            std::fill(EstimatedHeight.begin(), EstimatedHeight.end(), -1.0);
            std::fill(EstimatedSetup.begin(), EstimatedSetup.end(), 0.0);
        }

        return SurfZoneModelOf(Inputs.Method).run(*this, out, progress, prompter);
    } catch (const OrvaneError& e) {
        LastError = std::current_exception();
        // A failed run must not look like a run that drew nothing.
        if (Interactive) prompter.Error(e.what());
        return false;
    } catch (const std::exception&) {
        LastError = std::current_exception();
        return false;
    }
}

void ShoalingRun::StoreDeepWaterPoint() {
    if (!UsesProfileFile() || ProfileCount < 2 || DeepWaterLength <= 0) return;
    // Both coordinates referred to mean sea level, like the file's points.
    TideAtZero msl(*this);
    ProfileDistance[ProfileCount] = DistanceAt(DeepWaterLength);
    ProfileDepth[ProfileCount] = DeepWaterLength;
}

void ShoalingRun::UpdateDeepWaterStart() {
    if (Inputs.ObsPos != 0 || DeepWaterLength <= 0) return;
    if (UsesProfileFile() && ProfileCount < 2) return;
    if (!UsesProfileFile() && !(BedSlope > 0)) return;
    StartDistance = DistanceAt(DeepWaterLength);
}

// ---------------------------------------------------------------------------------------
// Helpers for the models

std::string ShoalingRun::PositionLine() const {
    const double value = EstimationIndex >= 0 && EstimationIndex < EstimationCount
                             ? EstimationValues[EstimationIndex]
                             : 0.0;
    return PositionText(AxisMode, value);
}

bool ShoalingRun::StoreEstimate(double height, double setup) {
    if (EstimationIndex < 0 || EstimationIndex >= EstimationCount) return true;
    EstimatedHeight[EstimationIndex] = height;
    EstimatedSetup[EstimationIndex] = setup;
    return EstimationIndex == EstimationCount - 1;
}

void ShoalingRun::ReportEstimate(ShoalingOutput& out, double height, double setup,
                                 std::initializer_list<NamedValue> values) {
    StoreEstimate(height, setup);
    const bool inRange = EstimationIndex >= 0 && EstimationIndex < EstimationCount;
    ShoalingEstimate e;
    e.method = Inputs.Method;
    e.axisMode = AxisMode;
    e.point = EstimationIndex;
    e.position = inRange ? EstimationValues[EstimationIndex] : 0.0;
    e.distance = inRange ? EstimationDistances[EstimationIndex] : 0.0;
    e.height = height;
    e.setup = setup;
    e.values.assign(values.begin(), values.end());
    for (const std::string& line : EstimateReportLines(e)) out.AddReportLine(line);
    out.AddEstimate(e);
}

void ShoalingRun::AdvanceTarget() {
    ++EstimationIndex;
    TargetDistance = EstimationIndex < EstimationCount ? EstimationDistances[EstimationIndex] : -10;
}

bool ShoalingRun::ReachEstimate(ShoalingOutput& out, double height, double setup,
                                std::initializer_list<NamedValue> values, bool dryStop) {
    if (Interactive) ReportEstimate(out, height, setup, values);
    else if (StoreEstimate(height, setup)) return true;
    AdvanceTarget();
    if (!dryStop || Interactive || EstimationIndex >= EstimationCount || !(DepthAt(TargetDistance) < 0.0))
        return false;
    for (int i = EstimationIndex; i < EstimationCount; ++i) EstimatedHeight[i] = -1.0;
    return true;
}

bool ShoalingRun::DrawStep(ShoalingOutput& out, double x, double h, std::span<const double> values) const {
    if (!Interactive || !(OnshoreEnd <= x && x <= OffshoreEnd)) return false;
    const int item = Inputs.DisplayIndex;
    const int count = static_cast<int>(values.size());
    out.AddHeightPoint(AxisMode == 0 ? h : x, values[item >= 1 && item < count ? item : 0]);
    out.AddDisplayValues(x, h, values);
    return true;
}

void ShoalingRun::ReserveRecords(double hStart, double dhMin) {
    if (!RecordProfile || !(dhMin > 0) || !(hStart > 0)) return;
    const double estimate = hStart / dhMin + ProfileCount + EstimationCount + 16;
    const auto wanted = static_cast<std::size_t>(std::min(estimate, static_cast<double>(kMaxModelSteps)));
    RecordedDistance.reserve(wanted);
    RecordedHeight.reserve(wanted);
    RecordedSetup.reserve(wanted);
}

int ShoalingRun::ProgressPercent(double xStart, double x) const {
    const double span = xStart - OnshoreEnd;
    if (!(std::fabs(span) > 0)) return 0;
    const double percent = (xStart - x) * 100.0 / span;
    if (!std::isfinite(percent)) return 0;
    return static_cast<int>(RoundHalfEven(std::clamp(percent, 0.0, 100.0)));
}

}  // namespace orvane
