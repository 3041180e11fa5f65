// shoal: wave-height shoaling over a plane bed or a profile file, as the shoaling window
// computes it, printing the window's report and optionally the plotted points.
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "CliCommands.h"
#include "CliCommon.h"
#include "CliResults.h"
#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/shoaling/ModelComparison.h"
#include "core/shoaling/ShoalingRequest.h"
#include "core/shoaling/SkillScores.h"
#include "core/shoaling/ThorntonGuzaFit.h"

namespace {

struct ShoalArgs {
    // The window's initial texts.
    std::string h0 = "2.78", t0 = "9", tide = "0", points = "2,4,6";
    orvane::BedOptions bed;
    std::string heightKind = "significant", periodKind = "significant";
    std::string display;
    std::string method = "0";
    bool csv = false;
    std::string format = "text", encoding = "utf-8", pointsCsv;
    bool methodGiven = false;
    orvane::PhysicalConstants constants;
    // Measured heights beside the models, and the fit of Thornton-Guza to them.
    std::vector<std::string> observed;
    std::string observedHeight = "hs";
    std::string observedPosition = "1", observedHeightColumn = "2", observedSetup;
    bool fitTg = false;
    std::string gammaRange = "0.2,1.0", bRange = "0.5,2.5";
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
        const SurfZoneModel& model = SurfZoneModelOf(m.method);
        if (i) s += ",";
        s += "{\"method\":" + std::to_string(m.method) + ",\"name\":" + JsonString(model.shortName) +
             ",\"height_item\":" + JsonString(model.heightItem) +
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
             JsonString(SurfZoneModelOf(row.method).shortName) + ",\"quantity\":" +
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
    if (!FileExists(file)) throw OrvaneError(msg::kFileNotFound + (": " + file));
    const auto header = ShoalingRun::ReadProfileHeader(file);
    ObservationColumns c;
    c.position = ProfileColumn("--observed-position-column", a.observedPosition, header);
    c.height = ProfileColumn("--observed-height-column", a.observedHeightColumn, header);
    if (!a.observedSetup.empty()) c.setup = ProfileColumn("--observed-setup-column", a.observedSetup, header);
    return ReadObservations(file, c, kind);
}

// The request from the options, as the window fills it from its controls: the bed, the
// kinds and the display range. The wave, tide and points are left to the caller.
orvane::ShoalingRequest BaseRequest(const ShoalArgs& a, int method) {
    using namespace orvane;
    ShoalingRequest r;
    r.constants = a.constants;
    const int heightKind = Choice("--h0-kind", a.heightKind, {"significant", "rms"});
    const int periodKind = Choice("--t0-kind", a.periodKind, {"significant", "peak"});
    r.UseBed(SetUpBed(method, a.bed, a.constants));
    r.inputs.HeightKind = heightKind;
    r.inputs.PeriodKind = periodKind;
    return r;
}

// The comparison's request from the options, also the beach of the fit: the bed, kinds,
// display range and constants. Where each model starts is the comparison's.
orvane::ShoalingRequest ComparisonBase(const ShoalArgs& a) {
    if (!a.display.empty()) throw CLI::ValidationError("--display", "--method all はすべての項目を描くので使えません。");
    return BaseRequest(a, 1);
}

// Every model with the same inputs: each model's report, then the table of the estimation
// points with the spread between the models; with --observed the models' scores.
void RunShoalAll(const ShoalArgs& a) {
    using namespace orvane;
    if (a.observed.size() > 1)
        throw CLI::ValidationError("--observed", "--method all で比べる測定値は一つです。いくつもの組は --fit-tg で当てはめます。");
    std::optional<ObservedSet> observed;
    if (!a.observed.empty()) observed = ReadObservedFile(a, a.observed.front());
    const ComparisonRequest request{ComparisonBase(a), {a.h0, a.t0, a.tide, a.points, a.bed.obsPos}};
    const ModelComparisonResult r = CompareModels(request, SharedProgress(), SharedPrompter());
    if (!r.ran) throw OrvaneError(r.refusal.empty() ? msg::kRunAbandoned : r.refusal.c_str());
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
        if (!any) throw OrvaneError(msg::kRunAbandoned);
        return;
    }
    if (a.format == "json") {
        PrintComparisonJson(r, skill ? ObservedJson(*observed, *skill) : std::string());
        if (!any) throw OrvaneError(msg::kRunAbandoned);
        return;
    }
    for (const ComparedModel& m : r.models) {
        PrintLine(std::string("【") + SurfZoneModelOf(m.method).japaneseName + "】");
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
    if (!any) throw OrvaneError(msg::kRunAbandoned);
}

// The estimation-point table of --format json and --points-csv: position, then (in depth
// mode) the distance, the stored height and the set-up; "" where the wave did not get there.
struct PointTable {
    std::vector<std::string> keys;
    std::vector<std::vector<std::string>> rows;
};

PointTable PointsOf(const orvane::ShoalingResult& r) {
    using orvane::JsonNumber;
    const bool depth = r.axisMode == 0;
    PointTable t;
    t.keys = {depth ? "depth" : "distance"};
    if (depth) t.keys.push_back("distance");
    t.keys.push_back(orvane::SurfZoneModelOf(r.method).storedHeight);
    t.keys.push_back("setup");
    for (std::size_t i = 0; i < r.points.size() && i < r.pointDistance.size(); ++i) {
        const bool reached = std::isfinite(r.pointHeight[i]);
        std::vector<std::string> row{JsonNumber(r.points[i])};
        if (depth) row.push_back(JsonNumber(r.pointDistance[i]));
        row.push_back(reached ? JsonNumber(r.pointHeight[i]) : "");
        row.push_back(reached ? JsonNumber(r.pointSetup[i]) : "");
        t.rows.push_back(std::move(row));
    }
    return t;
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
        throw CLI::ValidationError(option, "値を一つか、--observed の数 (" + std::to_string(sets) + ") だけカンマ区切りで指定して下さい。");
    return values;
}

orvane::TgFitBounds FitBounds(const ShoalArgs& a) {
    using orvane::StrToFloat;
    auto pair = [](const std::string& option, const std::string& text, double& lo, double& hi) {
        const auto comma = text.find(',');
        if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos)
            throw CLI::ValidationError(option, "下限,上限 の形で指定して下さい。");
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
        throw CLI::ValidationError("--fit-tg", "当てはめるのは Thornton-Guza だけです (--method は thornton-guza か省略)。");
    if (a.observed.empty()) throw CLI::ValidationError("--fit-tg", "測定値のファイルを --observed で指定して下さい。");
    const TgFitBounds bounds = FitBounds(a);
    const std::size_t n = a.observed.size();
    const auto h0 = PerSet("--h0", a.h0, n), t0 = PerSet("--t0", a.t0, n), tide = PerSet("--tide", a.tide, n);
    if (a.bed.obsPos.empty()) throw OrvaneError(msg::kObsDepthNeeded);
    const auto obs = PerSet("--obs-depth", a.bed.obsPos, n);
    std::vector<ObservedSet> sets;
    for (const std::string& file : a.observed) sets.push_back(ReadObservedFile(a, file));
    const ShoalingRequest base = ComparisonBase(a);
    const std::vector<double> points = ParsePoints(a.points);
    std::vector<TgFitCase> cases;
    for (std::size_t i = 0; i < n; ++i) {
        TgFitCase c{base, std::move(sets[i])};
        // The boxes in the order the Calculate button reads them.
        c.request.tide = StrToFloat(tide[i]);
        c.request.period = StrToFloat(t0[i]);
        c.request.height = StrToFloat(h0[i]);
        c.request.inputs.ObsPosValue = StrToFloat(obs[i]);
        c.request.points = points;
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
        throw CLI::ValidationError("--observed", "測定値は --method all で比べるか、--fit-tg で当てはめます。");
    const SurfZoneModel* model = FindSurfZoneModel(a.method);
    if (!model)
        throw CLI::ValidationError("--method", "'" + a.method + "' は使えません。使える値: " +
                                                   MethodList(ShoalMethodNames()) + " | all");
    if (!a.pointsCsv.empty()) CheckOutputFile(a.pointsCsv, {a.bed.profile}, {orvane::SeriesFormat::CSV});
    ShoalingRequest request = BaseRequest(a, model->key);
    ShoalingInputs& in = request.inputs;
    if (!a.display.empty()) {
        int index = DisplayItemIndex(*model, a.display);
        if (index < 0 && !(TryStrToInt(a.display, index) && index >= 0 &&
                           index < static_cast<int>(model->items.size())))
            throw CLI::ValidationError("--display", "'" + MessageExcerpt(a.display) + "' はこの計算方法の表示データではありません。");
        in.DisplayIndex = index;
    }

    // The boxes in the order the Calculate button reads them.
    request.tide = StrToFloat(a.tide);
    request.period = StrToFloat(a.t0);
    if (!(request.period > 0)) throw OrvaneError(msg::kPeriodNotPositive);
    request.height = StrToFloat(a.h0);
    request.points = ParsePoints(a.points);

    const ShoalingResult r = RunShoaling(request, SharedProgress(), SharedPrompter());
    ThrowIfInterrupted();
    if (!r.refusal.empty()) throw OrvaneError(r.refusal);
    if (!r.prepared.ok) throw OrvaneError(msg::kRunAbandoned);

    const std::string xTitle = r.xTitle;
    PointTable table = PointsOf(r);
    if (!r.ok) table.rows.clear();
    if (!a.pointsCsv.empty() && r.ok) {
        CsvOutput points(a.pointsCsv, a.encoding);
        std::string header;
        for (const auto& key : table.keys) header += (header.empty() ? "" : ",") + key + "(m)";
        points.Line(header);
        for (const auto& row : table.rows) {
            std::string line;
            for (std::size_t k = 0; k < row.size(); ++k) line += (k ? "," : "") + row[k];
            points.Line(line);
        }
        points.Commit();
    }
    if (a.format == "csv") {
        // Only the chart's points: a script reads them without the report.
        CsvOutput chart("", a.encoding);
        chart.Line(CsvQuoted(xTitle) + "," + CsvQuoted(r.yTitle));
        for (std::size_t i = 0; i < r.chartX.size(); ++i) chart.Line(JsonNumber(r.chartX[i]) + "," + JsonNumber(r.chartY[i]));
        chart.Commit();
    } else if (a.format == "json") {
        const std::vector<std::string> report = ShoalingReportLines(r);
        std::string j = "{\"command\": \"shoal\", \"method\": " + std::to_string(r.method) + ", \"report\": [";
        for (std::size_t i = 0; i < report.size(); ++i) j += (i ? ", " : "") + JsonString(report[i]);
        j += "], \"chart\": {\"x_title\": " + JsonString(xTitle) + ", \"y_title\": " + JsonString(r.yTitle) +
             ", \"x\": [";
        for (std::size_t i = 0; i < r.chartX.size(); ++i) j += (i ? ", " : "") + JsonNumber(r.chartX[i]);
        j += "], \"y\": [";
        for (std::size_t i = 0; i < r.chartY.size(); ++i) j += (i ? ", " : "") + JsonNumber(r.chartY[i]);
        j += "]}, \"points\": [";
        for (std::size_t i = 0; i < table.rows.size(); ++i) {
            j += i ? ", {" : "{";
            for (std::size_t k = 0; k < table.keys.size(); ++k) {
                const std::string& v = table.rows[i][k];
                j += (k ? ", \"" : "\"") + table.keys[k] + "\": " + (v.empty() ? "null" : v);
            }
            j += "}";
        }
        j += "], \"units\": {";
        for (std::size_t k = 0; k < table.keys.size(); ++k) j += (k ? ", \"" : "\"") + table.keys[k] + "\": \"m\"";
        j += "}}";
        PrintLine(j);
    } else {
        for (const auto& line : ShoalingReportLines(r)) PrintLine(line);
        if (a.csv) {
            PrintLine(xTitle + "," + r.yTitle);
            for (std::size_t i = 0; i < r.chartX.size(); ++i)
                PrintLine(FormatGeneral(r.chartX[i], 7) + "," + FormatGeneral(r.chartY[i], 7));
        }
    }
    if (!r.ok) throw OrvaneError(msg::kRunAbandoned);
}

// The wave options take one number, or with --fit-tg one per measured set: each field is
// checked while parsing, so a bad value is a usage error naming the option.
constexpr const char* kNumbers = "数値[,数値...]";
CLI::Validator NumbersPerSet(bool emptyAllowed) {
    return CLI::Validator(
        [emptyAllowed](std::string& text) -> std::string {
            if (emptyAllowed && text.empty()) return {};
            std::size_t at = 0;
            for (;;) {
                const std::size_t comma = text.find(',', at);
                const std::string field = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
                double v = 0;
                if (!orvane::TryStrToFloat(field, v))
                    return "'" + orvane::MessageExcerpt(field) + "' は浮動小数点数ではありません";
                if (comma == std::string::npos) return {};
                at = comma + 1;
            }
        },
        "");
}

}  // namespace

void RegisterShoalCommands(CLI::App& app) {
    auto args = std::make_shared<ShoalArgs>();
    CLI::App* s = app.add_subcommand(
        "shoal", "波高の浅水変化: 推定位置の報告 (窓の「推定位置」と同じ行) と、--csv でグラフの点");
    s->add_option("--method", args->method,
                  "計算方法 (名前または番号): " + orvane::SurfZoneModelList() +
                      ", all すべてを比較 (各モデルの報告と差の表)")
        ->type_name("名前|番号")
        ->capture_default_str();
    // With --fit-tg and several --observed, one value per measured set (comma-separated).
    orvane::AddTextOption(s, "--h0", args->h0, "沖波の波高 H (m)", kNumbers)->check(NumbersPerSet(false));
    orvane::AddTextOption(s, "--t0", args->t0, "沖波の周期 T (s); 0 以下は誤り (終了コード 1)", kNumbers)
        ->check(NumbersPerSet(false));
    orvane::AddTextOption(s, "--h0-kind", args->heightKind, "波高の種類: significant | rms", "{significant,rms}");
    orvane::AddTextOption(s, "--t0-kind", args->periodKind, "周期の種類: significant | peak", "{significant,peak}");
    orvane::AddTextOption(s, "--tide", args->tide, "平均海面からの潮位 (m)", kNumbers)->check(NumbersPerSet(false));
    orvane::AddTextOption(s, "--obs-depth", args->bed.obsPos,
                          "観測点の水深 (MSL基準, m) または離岸距離 (m); 方法 2, 3 で必要", kNumbers)
        ->check(NumbersPerSet(true));
    orvane::AddBedShapeOptions(s, args->bed);
    orvane::AddTextOption(s, "--points", args->points,
                          "推定位置 (カンマ区切り): 水深 (MSL基準, m) または離岸距離 (m)", "数値,...");
    orvane::AddTextOption(s, "--x-axis", args->bed.xAxis,
                          "横軸と位置の単位: depth | distance (断面データでは distance)", "{depth,distance}");
    orvane::AddTextOption(s, "--offshore-end", args->bed.offshoreEnd, "表示範囲の沖側端点 (断面データでは省略時にその沖端)");
    orvane::AddTextOption(s, "--onshore-end", args->bed.onshoreEnd, "表示範囲の岸側端点 (断面データでは省略時に 0.1)");
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
        args->bed.onshoreEndGiven = s->count("--onshore-end") > 0;
        args->bed.offshoreEndGiven = s->count("--offshore-end") > 0;
        RunShoal(*args);
    });
}
