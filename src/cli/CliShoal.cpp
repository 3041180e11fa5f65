// shoal: wave-height shoaling over a plane bed or a profile file, as the shoaling window
// computes it, printing the window's report and optionally the plotted points.
#include <cmath>
#include <memory>
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
    bool onshoreEndGiven = false, offshoreEndGiven = false;
    orvane::PhysicalConstants constants;
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
void PrintComparisonJson(const orvane::ModelComparisonResult& r) {
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
    PrintLine(s + "]}");
}

// The request from the options, as the window fills it from its controls: the bed, the
// kinds and the display range. The wave, tide and points are left to the caller.
orvane::ShoalingRequest BaseRequest(const ShoalArgs& a, int method) {
    using namespace orvane;
    ShoalingRequest r;
    r.constants = a.constants;
    ShoalingInputs& in = r.inputs;
    in.Method = method;
    in.HeightKind = Choice("--h0-kind", a.heightKind, {"significant", "rms"});
    in.PeriodKind = Choice("--t0-kind", a.periodKind, {"significant", "peak"});
    ShoalingRun bed;
    ApplyBedOptions(bed, method, a.xAxis, a.profile, a.distanceColumn, a.depthColumn);
    in.XAxis = bed.Inputs.XAxis;
    in.ProfileMode = bed.Inputs.ProfileMode;
    in.ProfileFile = bed.Inputs.ProfileFile;
    r.distanceColumn = bed.DistanceColumn;
    r.depthColumn = bed.DepthColumn;
    // Reading a profile in the window sets the display range to its extent; here that
    // happens when the ends are not given.
    r.onshoreEndGiven = in.ProfileMode == 0 || a.onshoreEndGiven;
    r.offshoreEndGiven = in.ProfileMode == 0 || a.offshoreEndGiven;
    return r;
}

// Every model with the same inputs: each model's report, then the table of the estimation
// points with the spread between the models.
void RunShoalAll(const ShoalArgs& a) {
    using namespace orvane;
    ComparisonRequest request{BaseRequest(a, 1), {a.h0, a.t0, a.tide, a.points, a.obsPos}};
    ShoalingInputs& in = request.base.inputs;
    if (!a.display.empty()) throw CLI::ValidationError("--display", "--method all はすべての項目を描くので使えません。");
    in.OnshoreEndValue = StrToFloat(a.onshoreEnd);
    in.OffshoreEndValue = StrToFloat(a.offshoreEnd);
    if (in.ProfileMode == 0) in.Slope = StrToFloat(a.slope);
    const ModelComparisonResult r = CompareModels(request, SharedProgress(), SharedPrompter());
    if (!r.ran) throw OrvaneError(r.refusal.empty() ? msg::kRunAbandoned : r.refusal.c_str());
    bool any = false;
    for (const ComparedModel& m : r.models) any = any || m.applies;
    if (a.format == "csv") {
        // Only the curves, as the chart export: never mixed with the reports.
        CsvOutput csv("", a.encoding);
        for (const auto& line : ComparisonCurveLines(r)) csv.Line(line);
        csv.Commit();
        if (!any) throw OrvaneError(msg::kRunAbandoned);
        return;
    }
    if (a.format == "json") {
        PrintComparisonJson(r);
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

void RunShoal(const ShoalArgs& a) {
    using namespace orvane;
    if (orvane::LowerAscii(a.method) == "all") return RunShoalAll(a);
    const SurfZoneModel* model = FindSurfZoneModel(a.method);
    if (!model)
        throw CLI::ValidationError("--method", "'" + a.method + "' は使えません。使える値: " +
                                                   MethodList(ShoalMethodNames()) + " | all");
    if (!a.pointsCsv.empty()) CheckOutputFile(a.pointsCsv, {a.profile}, {".csv"});
    if (model->startsAtObservation && a.obsPos.empty())
        throw OrvaneError(msg::kObsDepthNeeded);
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
    in.OnshoreEndValue = StrToFloat(a.onshoreEnd);
    in.OffshoreEndValue = StrToFloat(a.offshoreEnd);
    if (in.ProfileMode == 0) in.Slope = StrToFloat(a.slope);
    if (model->startsAtObservation) in.ObsPosValue = StrToFloat(a.obsPos);
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
    orvane::AddConstantsOptions(s, args->constants);
    s->callback([args, s] {
        args->onshoreEndGiven = s->count("--onshore-end") > 0;
        args->offshoreEndGiven = s->count("--offshore-end") > 0;
        RunShoal(*args);
    });
}
