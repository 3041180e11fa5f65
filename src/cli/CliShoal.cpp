// shoal: wave-height shoaling over a plane bed or a profile file, as the shoaling window
// computes it, printing the window's report and optionally the plotted points.
#include <memory>
#include <vector>

#include "CliCommands.h"
#include "CliCommon.h"
#include "CliResults.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/shoaling/ModelComparison.h"
#include "core/shoaling/ShoalingRun.h"

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
void PrintComparisonJson(const orvane::ModelComparisonResult& r) {
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
    PrintLine(s + "]}");
}

// Every model with the same inputs: each model's report, then the table of the estimation
// points with the spread between the models.
void RunShoalAll(const ShoalArgs& a) {
    using namespace orvane;
    ShoalingRun base{a.constants};
    ShoalingInputs& in = base.Inputs;
    in.HeightKind = Choice("--h0-kind", a.heightKind, {"significant", "rms"});
    in.PeriodKind = Choice("--t0-kind", a.periodKind, {"significant", "peak"});
    ApplyBedOptions(base, 1, a.xAxis, a.profile, a.distanceColumn, a.depthColumn);
    if (!a.display.empty()) throw CLI::ValidationError("--display", "--method all はすべての項目を描くので使えません。");
    in.OnshoreEndValue = StrToFloat(a.onshoreEnd);
    in.OffshoreEndValue = StrToFloat(a.offshoreEnd);
    if (in.ProfileMode == 0) in.Slope = StrToFloat(a.slope);
    Prompter& prompter = SharedPrompter();
    if (in.ProfileMode == 1 && FileExists(in.ProfileFile)) {
        ShoalingOutput none;
        if (!base.LoadProfile(none, prompter)) throw OrvaneError("計算を中止しました。");
        if (a.onshoreEndGiven) in.OnshoreEndValue = StrToFloat(a.onshoreEnd);
        if (a.offshoreEndGiven) in.OffshoreEndValue = StrToFloat(a.offshoreEnd);
    }
    const ModelComparisonResult r =
        CompareModels(base, {a.h0, a.t0, a.tide, a.points, a.obsPos}, SharedProgress(), prompter);
    if (!r.ran) return;
    bool any = false;
    for (const ComparedModel& m : r.models) any = any || m.applies;
    if (a.format == "csv") {
        // Only the curves, as the chart export: never mixed with the reports.
        CsvOutput csv("", a.encoding);
        for (const auto& line : ComparisonCurveLines(r)) csv.Line(line);
        csv.Commit();
        if (!any) throw OrvaneError("計算を中止しました。");
        return;
    }
    if (a.format == "json") {
        PrintComparisonJson(r);
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
    if (a.csv)
        for (const auto& line : ComparisonCurveLines(r)) PrintLine(line);
    if (!any) throw OrvaneError("計算を中止しました。");
}

void RunShoal(const ShoalArgs& a) {
    using namespace orvane;
    if (orvane::LowerAscii(a.method) == "all") return RunShoalAll(a);
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
            throw CLI::ValidationError("--display", "'" + MessageExcerpt(a.display) + "' はこの計算方法の表示データではありません。");
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
    orvane::AddConstantsOptions(s, args->constants);
    s->callback([args, s] {
        args->onshoreEndGiven = s->count("--onshore-end") > 0;
        args->offshoreEndGiven = s->count("--offshore-end") > 0;
        RunShoal(*args);
    });
}
