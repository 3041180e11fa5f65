// shoal: wave-height shoaling over a plane bed or a profile file, as the shoaling window
// computes it, printing the window's report and optionally the plotted points.
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "CliCommands.h"
#include "CliCommon.h"
#include "CliResults.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/shoaling/ModelComparison.h"
#include "core/shoaling/ShoalingRun.h"
#include "core/shoaling/SkillScores.h"
#include "core/shoaling/ThorntonGuzaFit.h"

namespace {

struct ShoalArgs {
    // The window's initial texts.
    std::string h0 = "2.78", t0 = "9", tide = "0", slope = "0.1", points = "2,4,6";
    std::string offshoreEnd = "10", onshoreEnd = "0.1", obsPos;
    std::string heightKind = "significant", periodKind = "significant";
    std::string xAxis = "depth", display, profile;
    std::string distanceColumn = "1", depthColumn = "2";
    std::string method = "0";
    bool csv = false;
    std::string format = "text", encoding = "utf-8", pointsCsv;
    bool onshoreEndGiven = false, offshoreEndGiven = false, methodGiven = false;
    orvane::PhysicalConstants constants;
    // Measured heights beside the models, and the fit of Thornton-Guza to them.
    std::vector<std::string> observed;
    std::string observedHeight = "hs";
    std::string observedPosition = "1", observedHeightColumn = "2", observedSetup;
    bool fitTg = false;
    std::string gammaRange = "0.2,1.0", bRange = "0.5,2.5";
};

// Collects what the window would show.
class CliShoalingOutput : public orvane::ShoalingOutput {
public:
    void ClearHeightLine(const std::string&) override { points.clear(); }
    void AddHeightPoint(double x, double y) override { points.emplace_back(x, y); }
    void SetLeftAxisTitle(const std::string& title) override { leftTitle = title; }
    void ClearReport() override { report.clear(); }
    void AddReportLine(const std::string& line) override { report.push_back(line); }

    std::vector<std::pair<double, double>> points;
    std::vector<std::string> report;
    std::string leftTitle;
};

std::string JsonNumbers(const std::vector<double>& v) {
    std::string s = "[";
    for (std::size_t i = 0; i < v.size(); ++i) s += (i ? "," : "") + orvane::JsonNumber(v[i]);
    return s + "]";
}

std::string JsonCurve(const orvane::ComparedCurve& c) {
    return "{\"x\":" + JsonNumbers(c.x) + ",\"y\":" + JsonNumbers(c.y) + "}";
}

// The comparison as one JSON object: per model its reports, point values and curves (NaN,
// a point the wave did not reach, is null), then the spread at every point.
void PrintComparisonJson(const orvane::ModelComparisonResult& r, const std::string& observed) {
    using namespace orvane;
    std::string s = "{\"command\":\"shoal\",\"method\":\"all\",\"x_axis\":";
    s += r.axisMode == 0 ? "\"depth\"" : "\"distance\"";
    s += ",\"units\":{\"x\":\"m\",\"height\":\"m\",\"hrms\":\"m\",\"setup\":\"m\",\"spread_percent\":\"%\"}";
    s += ",\"points\":" + JsonNumbers(r.points) + ",\"models\":[";
    for (std::size_t i = 0; i < r.models.size(); ++i) {
        const ComparedModel& m = r.models[i];
        if (i) s += ",";
        s += "{\"method\":" + std::to_string(m.method) + ",\"name\":" + JsonString(ModelShortName(m.method)) +
             ",\"height_item\":" + JsonString(HeightItemName(m.method)) +
             ",\"applies\":" + (m.applies ? "true" : "false") + ",\"message\":" + JsonString(m.message);
        if (m.applies) {
            s += ",\"height\":" + JsonNumbers(m.pointHeight);
            if (m.hasHrms) s += ",\"hrms\":" + JsonNumbers(m.pointHrms);
            if (m.hasSetup) s += ",\"setup\":" + JsonNumbers(m.pointSetup);
            s += ",\"curves\":{\"height\":" + JsonCurve(m.height);
            if (m.hasHrms) s += ",\"hrms\":" + JsonCurve(m.hrms);
            if (m.hasSetup) s += ",\"setup\":" + JsonCurve(m.setup);
            s += "},\"text\":[";
            for (std::size_t k = 0; k < m.report.size(); ++k) s += (k ? "," : "") + JsonString(m.report[k]);
            s += "]";
        }
        s += "}";
    }
    s += "],\"spread\":[";
    for (std::size_t p = 0; p < r.points.size(); ++p) {
        const PointSpread d = SpreadAt(r, static_cast<int>(p));
        s += (p ? "," : "") + std::string("{\"range\":") + JsonNumber(d.range) + ",\"percent\":" + JsonNumber(d.percent) + "}";
    }
    PrintLine(s + "]" + observed + "}");
}

std::string JsonSkill(const orvane::Skill& k) {
    using orvane::JsonNumber;
    return "{\"compared\":" + std::to_string(k.compared) + ",\"outside\":" + std::to_string(k.outside) +
           ",\"bias\":" + JsonNumber(k.bias) + ",\"rmse\":" + JsonNumber(k.rmse) + ",\"si\":" + JsonNumber(k.si) +
           ",\"d\":" + JsonNumber(k.d) + "}";
}

// The measured set and every model's scores, as a member of the comparison's object.
std::string ObservedJson(const orvane::ObservedSet& set, const orvane::ObservedSkill& skill) {
    using namespace orvane;
    std::string s = ",\"observed\":{\"file\":" + JsonString(set.name) + ",\"height_item\":" +
                    JsonString(ObservedHeightName(set.kind)) + ",\"position\":" + JsonNumbers(set.position) +
                    ",\"height\":" + JsonNumbers(set.height);
    if (set.HasSetup()) s += ",\"setup\":" + JsonNumbers(set.setup);
    s += ",\"note\":" + JsonString(skill.note) + ",\"skill\":[";
    for (std::size_t i = 0; i < skill.rows.size(); ++i) {
        const ModelSkill& row = skill.rows[i];
        s += std::string(i ? "," : "") + "{\"method\":" + std::to_string(row.method) + ",\"name\":" +
             JsonString(ModelShortName(row.method)) + ",\"quantity\":" +
             JsonString(row.setup ? "setup" : ObservedHeightName(set.kind)) +
             ",\"applies\":" + (row.applies ? "true" : "false") + ",\"message\":" + JsonString(row.message) +
             ",\"best\":" + (row.best ? "true" : "false") + ",\"score\":" + JsonSkill(row.skill) + "}";
    }
    return s + "]}";
}

orvane::ObservedSet ReadObservedFile(const ShoalArgs& a, const std::string& file) {
    using namespace orvane;
    const ObservedHeight kind = Choice("--observed-height", a.observedHeight, {"hs", "hrms"}) == 0
                                    ? ObservedHeight::Hs
                                    : ObservedHeight::Hrms;
    if (!FileExists(file)) throw OrvaneError("指定したファイルが見つかりません。: " + file);
    const auto header = ShoalingRun::ReadProfileHeader(file);
    ObservationColumns c;
    c.position = ProfileColumn("--observed-position-column", a.observedPosition, header);
    c.height = ProfileColumn("--observed-height-column", a.observedHeightColumn, header);
    if (!a.observedSetup.empty()) c.setup = ProfileColumn("--observed-setup-column", a.observedSetup, header);
    return ReadObservations(file, c, kind);
}

// The run state every model of the comparison (and the fit) starts from: kinds, bed,
// display range, constants; a profile read as the window reads it.
orvane::ShoalingRun ComparisonBase(const ShoalArgs& a) {
    using namespace orvane;
    ShoalingRun base{a.constants};
    ShoalingInputs& in = base.Inputs;
    in.HeightKind = Choice("--h0-kind", a.heightKind, {"significant", "rms"});
    in.PeriodKind = Choice("--t0-kind", a.periodKind, {"significant", "peak"});
    ApplyBedOptions(base, 1, a.xAxis, a.profile, a.distanceColumn, a.depthColumn);
    if (!a.display.empty()) throw CLI::ValidationError("--display", "--method all draws every item itself");
    in.OnshoreEndValue = StrToFloat(a.onshoreEnd);
    in.OffshoreEndValue = StrToFloat(a.offshoreEnd);
    if (in.ProfileMode == 0) in.Slope = StrToFloat(a.slope);
    if (in.ProfileMode == 1 && FileExists(in.ProfileFile)) {
        ShoalingOutput none;
        if (!base.LoadProfile(none, SharedPrompter())) throw OrvaneError("計算を中止しました。");
        if (a.onshoreEndGiven) in.OnshoreEndValue = StrToFloat(a.onshoreEnd);
        if (a.offshoreEndGiven) in.OffshoreEndValue = StrToFloat(a.offshoreEnd);
    }
    return base;
}

// Every model with the same inputs: each model's report, then the table of the estimation
// points with the spread between the models; with --observed the models' scores.
void RunShoalAll(const ShoalArgs& a) {
    using namespace orvane;
    if (a.observed.size() > 1)
        throw CLI::ValidationError("--observed", "--method all compares one measured set; several are fitted with --fit-tg");
    std::optional<ObservedSet> observed;
    if (!a.observed.empty()) observed = ReadObservedFile(a, a.observed.front());
    ShoalingRun base = ComparisonBase(a);
    Prompter& prompter = SharedPrompter();
    const ModelComparisonResult r =
        CompareModels(base, {a.h0, a.t0, a.tide, a.points, a.obsPos}, SharedProgress(), prompter);
    if (!r.ran) return;
    bool any = false;
    for (const ComparedModel& m : r.models) any = any || m.applies;
    std::optional<ObservedSkill> skill;
    if (observed) skill = CompareWithObservations(r, *observed, StrToFloat(a.tide));
    if (a.format == "csv") {
        // Only the curves, as the chart export: never mixed with the reports. With measured
        // heights, only the table of scores.
        CsvOutput csv("", a.encoding);
        for (const auto& line : skill ? SkillTableLines(*skill) : ComparisonCurveLines(r)) csv.Line(line);
        csv.Commit();
        if (skill && !skill->note.empty()) std::fprintf(stderr, "%s\n", skill->note.c_str());
        if (!any) throw OrvaneError("計算を中止しました。");
        return;
    }
    if (a.format == "json") {
        PrintComparisonJson(r, skill ? ObservedJson(*observed, *skill) : std::string());
        if (!any) throw OrvaneError("計算を中止しました。");
        return;
    }
    for (const ComparedModel& m : r.models) {
        PrintLine(std::string("【") + ModelLongName(m.method) + "】");
        if (!m.applies) {
            PrintLine("(適用外) " + m.message);
            continue;
        }
        for (const auto& line : m.report) PrintLine(line);
    }
    PrintLine("【モデルの比較】");
    for (const auto& line : ComparisonTableText(r)) PrintLine(line);
    if (skill) {
        PrintLine("【測定値との比較】");
        PrintLine("測定: " + observed->name + " (" + ObservedHeightName(observed->kind) + " " +
                  std::to_string(skill->heights) + " 点" +
                  (observed->HasSetup() ? "、η " + std::to_string(skill->setups) + " 点" : std::string()) + ")");
        for (const auto& line : SkillTableText(*skill)) PrintLine(line);
    }
    if (a.csv)
        for (const auto& line : ComparisonCurveLines(r)) PrintLine(line);
    if (!any) throw OrvaneError("計算を中止しました。");
}

// "a,b,c" as one text per measured set: one value for all, or one for each.
std::vector<std::string> PerSet(const std::string& option, const std::string& text, std::size_t sets) {
    std::vector<std::string> values;
    std::size_t at = 0;
    for (;;) {
        const std::size_t comma = text.find(',', at);
        values.push_back(text.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    if (values.size() == 1) values.assign(sets, values.front());
    if (values.size() != sets)
        throw CLI::ValidationError(option, "give one value, or one per --observed (" + std::to_string(sets) + ")");
    return values;
}

orvane::TgFitBounds FitBounds(const ShoalArgs& a) {
    using orvane::StrToFloat;
    auto pair = [](const std::string& option, const std::string& text, double& lo, double& hi) {
        const auto comma = text.find(',');
        if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos)
            throw CLI::ValidationError(option, "give the lower and upper bounds as LO,HI");
        lo = StrToFloat(text.substr(0, comma));
        hi = StrToFloat(text.substr(comma + 1));
    };
    orvane::TgFitBounds b;
    pair("--gamma-tg-range", a.gammaRange, b.gammaLow, b.gammaHigh);
    pair("--b-tg-range", a.bRange, b.bLow, b.bHigh);
    orvane::CheckTgFitBounds(b);
    return b;
}

std::string JsonCurveOf(const orvane::ComparedCurve& c) {
    return "{\"x\":" + JsonNumbers(c.x) + ",\"y\":" + JsonNumbers(c.y) + "}";
}

// γ and B of Thornton-Guza fitted to one measured set or several (one per storm, each with
// its own --h0, --t0, --tide and --obs-depth from comma lists).
void RunFitTg(const ShoalArgs& a) {
    using namespace orvane;
    if (a.methodGiven && LowerAscii(a.method) != "thornton-guza" && a.method != "2")
        throw CLI::ValidationError("--fit-tg", "fits Thornton-Guza only (--method thornton-guza or none)");
    if (a.observed.empty()) throw CLI::ValidationError("--fit-tg", "needs the measured heights: --observed FILE");
    const TgFitBounds bounds = FitBounds(a);
    const std::size_t n = a.observed.size();
    const auto h0 = PerSet("--h0", a.h0, n), t0 = PerSet("--t0", a.t0, n), tide = PerSet("--tide", a.tide, n);
    if (a.obsPos.empty())
        throw OrvaneError("--obs-depth が必要です: この計算方法は観測点の水深 (MSL基準, m) または離岸距離 (m) から始めます。");
    const auto obs = PerSet("--obs-depth", a.obsPos, n);
    std::vector<ObservedSet> sets;
    for (const std::string& file : a.observed) sets.push_back(ReadObservedFile(a, file));
    const ShoalingRun base = ComparisonBase(a);
    std::vector<TgFitCase> cases;
    for (std::size_t i = 0; i < n; ++i) {
        TgFitCase c;
        c.base = base;
        // The boxes in the order the Calculate button reads them.
        c.tide = StrToFloat(tide[i]);
        c.period = StrToFloat(t0[i]);
        c.height = StrToFloat(h0[i]);
        c.obsPos = StrToFloat(obs[i]);
        c.points = a.points;
        c.observed = std::move(sets[i]);
        cases.push_back(std::move(c));
    }
    const TgFitResult r = FitThorntonGuza(cases, bounds, SharedPrompter());
    if (a.format == "csv") {
        CsvOutput csv("", a.encoding);
        for (const auto& line : TgFitLines(r)) csv.Line(line);
        csv.Commit();
        return;
    }
    if (a.format == "json") {
        std::string s = "{\"command\":\"shoal\",\"fit\":\"thornton-guza\",\"gamma_before\":" + JsonNumber(r.gammaBefore) +
                        ",\"b_before\":" + JsonNumber(r.bBefore) + ",\"gamma\":" + JsonNumber(r.gamma) +
                        ",\"b\":" + JsonNumber(r.b) + ",\"before\":" + JsonSkill(r.before) +
                        ",\"after\":" + JsonSkill(r.after) + ",\"used\":" + std::to_string(r.used) +
                        ",\"outside\":" + std::to_string(r.outside) + ",\"evaluations\":" +
                        std::to_string(r.evaluations) + ",\"model_runs\":" + std::to_string(r.modelRuns) +
                        ",\"cases\":[";
        for (std::size_t i = 0; i < r.cases.size(); ++i) {
            const TgFitCaseResult& c = r.cases[i];
            s += std::string(i ? "," : "") + "{\"file\":" + JsonString(a.observed[i]) + ",\"before\":" +
                 JsonSkill(c.skillBefore) + ",\"after\":" + JsonSkill(c.skillAfter) + ",\"curves\":{\"before\":" +
                 JsonCurveOf(c.before) + ",\"after\":" + JsonCurveOf(c.after) + "}}";
        }
        PrintLine(s + "]}");
        return;
    }
    PrintLine("【Thornton-Guza(1983) の γ と B の当てはめ】");
    for (std::size_t i = 0; i < n; ++i) PrintLine("測定の組 " + std::to_string(i + 1) + ": " + a.observed[i]);
    for (const auto& line : TgFitText(r)) PrintLine(line);
}

void RunShoal(const ShoalArgs& a) {
    using namespace orvane;
    if (a.fitTg) return RunFitTg(a);
    if (orvane::LowerAscii(a.method) == "all") return RunShoalAll(a);
    if (!a.observed.empty())
        throw CLI::ValidationError("--observed", "measured heights are compared with --method all or fitted with --fit-tg");
    ShoalingRun run{a.constants};
    ShoalingInputs& in = run.Inputs;
    try {
        in.Method = ParseMethod("--method", a.method, ShoalMethodNames());
    } catch (const CLI::ValidationError& e) {
        throw CLI::ValidationError(std::string(e.what()) + " | all");
    }
    if (!a.pointsCsv.empty()) CheckOutputFile(a.pointsCsv, {a.profile}, {".csv"});
    if (in.Method >= 2 && a.obsPos.empty())
        throw OrvaneError("--obs-depth が必要です: この計算方法は観測点の水深 (MSL基準, m) または離岸距離 (m) から始めます。");
    in.HeightKind = Choice("--h0-kind", a.heightKind, {"significant", "rms"});
    in.PeriodKind = Choice("--t0-kind", a.periodKind, {"significant", "peak"});
    ApplyBedOptions(run, in.Method, a.xAxis, a.profile, a.distanceColumn, a.depthColumn);
    const auto items = DisplayItemsFor(in.Method);
    if (!a.display.empty()) {
        int index = -1;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (a.display == items[i].text) index = static_cast<int>(i);
        if (index < 0 && !(TryStrToInt(a.display, index) && index >= 0 &&
                           index < static_cast<int>(items.size())))
            throw CLI::ValidationError("--display", "'" + a.display + "' is not a display item of this method");
        in.DisplayIndex = index;
    }

    // The boxes in the order the Calculate button reads them.
    const double tide = StrToFloat(a.tide);
    run.TideLevel = tide;
    const double T = StrToFloat(a.t0);
    if (T <= 0) return;
    const double H = StrToFloat(a.h0);
    in.OnshoreEndValue = StrToFloat(a.onshoreEnd);
    in.OffshoreEndValue = StrToFloat(a.offshoreEnd);
    if (in.ProfileMode == 0) in.Slope = StrToFloat(a.slope);
    if (in.ObsPos == 1) in.ObsPosValue = StrToFloat(a.obsPos);
    run.SetOffshoreWave(H, T);
    run.ParseEstimationPoints(a.points);

    CliShoalingOutput out;
    Prompter& prompter = SharedPrompter();
    // Reading a profile in the window sets the display range to the file's extent; here
    // that happens when the ends are not given.
    if (in.ProfileMode == 1 && in.Method != 0 && FileExists(in.ProfileFile)) {
        if (!run.LoadProfile(out, prompter)) throw OrvaneError("計算を中止しました。");
        if (a.onshoreEndGiven) in.OnshoreEndValue = StrToFloat(a.onshoreEnd);
        if (a.offshoreEndGiven) in.OffshoreEndValue = StrToFloat(a.offshoreEnd);
        run.SetOffshoreWave(H, T);
    }
    const PrepareResult prepared = run.PrepareRun(out, prompter, PrepareMode::SingleRun);
    if (!prepared.ok) throw OrvaneError("計算を中止しました。");

    // The estimation-point table at full precision comes from the same march run as the
    // series tools run it (no report), on a copy prepared exactly like this one.
    const bool table = !a.pointsCsv.empty() || a.format == "json";
    ShoalingRun silent = run;

    run.Interactive = true;
    Progress& progress = SharedProgress();
    progress.SetProgressComment("ただ今、計算中．．．．");
    const bool ok = run.RunModel(run.EstimationValues, tide, out, progress, prompter);
    progress.Hide();
    ThrowIfInterrupted();

    std::vector<std::vector<std::string>> rows;  // position, distance, height, setup
    if (ok && table) {
        CliShoalingOutput ignored;
        NullProgress none;
        silent.Interactive = false;
        silent.RecordProfile = false;
        if (silent.RunModel(silent.EstimationValues, tide, ignored, none, prompter)) {
            for (int i = 0; i < silent.EstimationCount; ++i) {
                const bool reached = silent.EstimatedHeight[i] >= 0;
                rows.push_back({JsonNumber(silent.EstimationValues[i]), JsonNumber(silent.EstimationDistances[i]),
                                reached ? JsonNumber(silent.EstimatedHeight[i]) : "",
                                reached ? JsonNumber(silent.EstimatedSetup[i]) : ""});
            }
        }
    }
    const std::string xTitle = BottomAxisTitle(run.AxisMode);
    const std::string heightName = in.Method == 0 ? "H" : "Hrms";
    const std::string position = run.AxisMode == 0 ? "depth" : "distance";
    if (!a.pointsCsv.empty() && ok) {
        CsvOutput points(a.pointsCsv, a.encoding);
        points.Line(position + "(m),distance(m)," + heightName + "(m),setup(m)");
        for (const auto& r : rows) points.Line(r[0] + "," + r[1] + "," + r[2] + "," + r[3]);
        points.Commit();
    }
    if (a.format == "csv") {
        // Only the chart's points: a script reads them without the report.
        CsvOutput chart("", a.encoding);
        chart.Line(CsvQuoted(xTitle) + "," + CsvQuoted(out.leftTitle));
        for (auto [x, y] : out.points) chart.Line(JsonNumber(x) + "," + JsonNumber(y));
        chart.Commit();
    } else if (a.format == "json") {
        std::string j = "{\"command\": \"shoal\", \"method\": " + std::to_string(in.Method) + ", \"report\": [";
        for (std::size_t i = 0; i < out.report.size(); ++i) j += (i ? ", " : "") + JsonString(out.report[i]);
        j += "], \"chart\": {\"x_title\": " + JsonString(xTitle) + ", \"y_title\": " + JsonString(out.leftTitle) +
             ", \"x\": [";
        for (std::size_t i = 0; i < out.points.size(); ++i) j += (i ? ", " : "") + JsonNumber(out.points[i].first);
        j += "], \"y\": [";
        for (std::size_t i = 0; i < out.points.size(); ++i) j += (i ? ", " : "") + JsonNumber(out.points[i].second);
        j += "]}, \"points\": [";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            auto num = [](const std::string& v) { return v.empty() ? std::string("null") : v; };
            j += std::string(i ? ", " : "") + "{\"" + position + "\": " + rows[i][0] + ", \"distance\": " + rows[i][1] +
                 ", \"" + heightName + "\": " + num(rows[i][2]) + ", \"setup\": " + num(rows[i][3]) + "}";
        }
        j += "], \"units\": {\"" + position + "\": \"m\", \"distance\": \"m\", \"" + heightName +
             "\": \"m\", \"setup\": \"m\"}}";
        PrintLine(j);
    } else {
        for (const auto& line : out.report) PrintLine(line);
        if (a.csv) {
            PrintLine(xTitle + "," + out.leftTitle);
            for (auto [x, y] : out.points) PrintLine(FormatGeneral(x, 7) + "," + FormatGeneral(y, 7));
        }
    }
    if (!ok) throw OrvaneError("計算を中止しました。");
}

}  // namespace

void RegisterShoalCommands(CLI::App& app) {
    auto args = std::make_shared<ShoalArgs>();
    CLI::App* s = app.add_subcommand(
        "shoal", "波高の浅水変化: 推定位置の報告 (窓の「推定位置」と同じ行) と、--csv でグラフの点");
    s->add_option("--method", args->method,
                  "計算方法 (名前または番号): 0 regular 菅原・山本(1978), 1 goda 合田(1975), "
                  "2 thornton-guza Thornton and Guza(1983), 3 battjes-stive Battjes and Stive(1985), "
                  "all すべてを比較 (各モデルの報告と差の表)")
        ->type_name("名前|番号")
        ->capture_default_str();
    orvane::AddTextOption(s, "--h0", args->h0, "沖波の波高 H (m)");
    orvane::AddTextOption(s, "--t0", args->t0, "沖波の周期 T (s); 0 以下なら何もしない");
    orvane::AddTextOption(s, "--h0-kind", args->heightKind, "波高の種類: significant | rms", "{significant,rms}");
    orvane::AddTextOption(s, "--t0-kind", args->periodKind, "周期の種類: significant | peak", "{significant,peak}");
    orvane::AddTextOption(s, "--tide", args->tide, "平均海面からの潮位 (m)");
    orvane::AddTextOption(s, "--obs-depth", args->obsPos,
                          "観測点の水深 (MSL基準, m) または離岸距離 (m); 方法 2, 3 で必要");
    orvane::AddTextOption(s, "--slope", args->slope, "一定勾配の海底勾配");
    orvane::AddTextOption(s, "--profile", args->profile, "海底断面データ (CSV、1行目は項目名)", "ファイル");
    orvane::AddTextOption(s, "--distance-column", args->distanceColumn,
                          "離岸距離の列: 項目名または 1 からの番号", "列名|番号");
    orvane::AddTextOption(s, "--depth-column", args->depthColumn, "水深の列: 項目名または 1 からの番号", "列名|番号");
    orvane::AddTextOption(s, "--points", args->points,
                          "推定位置 (カンマ区切り): 水深 (MSL基準, m) または離岸距離 (m)", "数値,...");
    orvane::AddTextOption(s, "--x-axis", args->xAxis,
                          "横軸と位置の単位: depth | distance (断面データでは distance)", "{depth,distance}");
    orvane::AddTextOption(s, "--offshore-end", args->offshoreEnd, "表示範囲の沖側端点 (断面データでは省略時にその沖端)");
    orvane::AddTextOption(s, "--onshore-end", args->onshoreEnd, "表示範囲の岸側端点 (断面データでは省略時に 0.1)");
    orvane::AddTextOption(s, "--display", args->display,
                          "表示データ: 項目名 (H, H/H0, η, Hrms, Hs ...) または 0 からの番号", "項目名|番号");
    s->add_flag("--csv", args->csv, "報告のあとにグラフの点を CSV で出力 (見出し行は横軸と縦軸の題名)");
    orvane::AddFormatOption(s, args->format)->description(
        "出力の形式: text (報告) | csv (グラフの点だけ) | json (報告、グラフ、推定位置の表; 数値は全桁)");
    s->add_option("--points-csv", args->pointsCsv, "推定位置の表 (位置, 離岸距離, 波高, 平均水位上昇) を書く CSV ファイル")
        ->type_name("ファイル");
    orvane::AddEncodingOption(s, args->encoding);
    s->footer("例: orvane-cli shoal --method goda --h0 3 --t0 10 --slope 0.02 --points 2,4,6 --format json\n"
              "既存の --points-csv ファイルに上書きするには --yes を付けます。");
    s->add_option("--observed", args->observed,
                  "測定値の CSV (1行目は項目名; 位置・波高・η の列): --method all で各モデルと比べ、"
                  "--fit-tg で当てはめる (何度でも: 組ごとに --h0 --t0 --tide --obs-depth をカンマ区切りで)")
        ->type_name("ファイル");
    orvane::AddTextOption(s, "--observed-height", args->observedHeight, "測定した波高の種類: hs | hrms", "{hs,hrms}");
    orvane::AddTextOption(s, "--observed-position-column", args->observedPosition,
                          "測定値の位置 (水深 MSL基準 または離岸距離, 横軸に合わせる) の列: 項目名または 1 からの番号",
                          "列名|番号");
    orvane::AddTextOption(s, "--observed-height-column", args->observedHeightColumn,
                          "測定値の波高の列: 項目名または 1 からの番号", "列名|番号");
    orvane::AddTextOption(s, "--observed-setup-column", args->observedSetup,
                          "測定値の水位上昇 η の列 (省略時はなし): 項目名または 1 からの番号", "列名|番号");
    s->add_flag("--fit-tg", args->fitTg,
                "Thornton-Guza の γ と B を測定値に当てはめる (RMSE 最小, NLopt BOBYQA); 当てはめ前後の γ, B と指標を出力");
    orvane::AddTextOption(s, "--gamma-tg-range", args->gammaRange, "--fit-tg の γ の範囲 (0.2,1.0 の中)", "下限,上限");
    orvane::AddTextOption(s, "--b-tg-range", args->bRange, "--fit-tg の B の範囲 (0.5,2.5 の中)", "下限,上限");
    orvane::AddConstantsOptions(s, args->constants);
    s->callback([args, s] {
        args->methodGiven = s->count("--method") > 0;
        args->onshoreEndGiven = s->count("--onshore-end") > 0;
        args->offshoreEndGiven = s->count("--offshore-end") > 0;
        RunShoal(*args);
    });
}
