// wave-velocity-series, wave-height-series: the two time-series tools in batch, writing
// the same file as their windows when the save window is left as it comes up.
#include <algorithm>
#include <iostream>
#include <memory>

#include "CliCommands.h"
#include "CliCommon.h"
#include "core/runtime/Cancel.h"
#include "core/runtime/Errors.h"
#include "core/runtime/Jobs.h"
#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesStore.h"
#include "core/shoaling/ShoalingRun.h"
#include "core/velocity/ResultFile.h"
#include "core/velocity/WaveHeightSeries.h"
#include "core/velocity/WaveVelocitySeries.h"

namespace {

using namespace orvane;

std::string Trimmed(const std::string& s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// An interval channel given by its name, its list text ("Us(m/s)") or its number from 1.
int ChannelIndex(const std::string& option, const std::string& value, const SeriesHeader& h) {
    if (h.NchInterval <= 0) throw OrvaneError(msg::kNoIntervalChannels);
    for (int c = 0; c < h.NchInterval; ++c)
        if (Trimmed(h.ItemName[c]) == value || ChannelListText(h, c) == value) return c;
    int number = 0;
    if (TryStrToInt(value, number) && number >= 1 && number <= h.NchInterval) return number - 1;
    throw CLI::ValidationError(option, "'" + MessageExcerpt(value) + "' はチャンネルの項目名でも 1～" +
                                           std::to_string(h.NchInterval) + " の番号でもありません。");
}

void RequireFile(const std::string& name) {
    RequireInputFile(name);
}

// The channel table of a file, for resolving channel options.
// `kind`: how a name whose extension says nothing is read.
SeriesHeader HeaderOf(const std::string& name, Prompter& prompter, Progress& progress,
                      SeriesKind kind = SeriesKind::SDF) {
    RequireFile(name);
    SeriesStore probe;
    probe.FileKind = kind;
    probe.ConvertOldInPlace = false;
    if (!probe.OpenSeriesHeader(name, prompter, progress)) throw OrvaneError(msg::kRunAbandoned);
    return probe.header;
}

// What the save window checks of the table once the result is known (the name itself is
// checked before any work by CheckOutputFile).
void CheckResultTable(const SeriesStore& store, const std::string& output) {
    if (HasSdfExtension(output)) return;
    const std::string problem = TsdTableProblem(store.header);
    if (!problem.empty()) throw OrvaneError(problem);
}

// ---------------------------------------------------------------------------------------

struct VelocityArgs {
    std::string waveFile, tideFile, output;
    std::string hsChannel = "1", tsChannel = "2", tideChannel = "1";
    std::string hsFactor = "1", tsFactor = "1", kr = "1", msl = "0";
    bool copyHs = false, copyTs = false, copyTide = false, umax = false, xmax = false;
    std::string item = "urms";
    std::string method = "1";
    std::string points = "2,4,6";
    BedOptions bed;
    int jobs = 0;
    PhysicalConstants constants;
};

void RunWaveVelocitySeries(const VelocityArgs& a) {
    Prompter& prompter = SharedPrompter();
    Progress& progress = SharedProgress();
    CheckOutputFile(a.output, {a.waveFile, a.tideFile}, SeriesFileFormats());

    // The shoaling window in service mode: significant height and period, first display item.
    const int method = ParseMethod("--method", a.method, ShoalMethodNames());
    if (!SurfZoneModelOf(method).random) throw OrvaneError(msg::kNotForRegularWaves);
    ShoalingRun run = SetUpBed(method, a.bed, a.constants);
    if (a.jobs < 0 || a.jobs > 256) throw CLI::ValidationError("--jobs", "0～256 にしてください (0 は使えるコアの数)。");
    const int jobs = ThreadsForJobs(a.jobs);

    VelocityOptions options;
    options.copyHs = a.copyHs;
    options.copyTs = a.copyTs;
    options.copyTide = a.copyTide;
    options.output = Choice("--item", a.item, {"urms", "um", "us"});
    options.velMax = a.umax;
    options.placeMax = a.xmax;

    SeriesStore store;
    store.ConvertOldInPlace = false;
    VelocityInputFiles files;
    files.waveFile = a.waveFile;
    files.tideFile = a.tideFile;
    const SeriesHeader wave = HeaderOf(a.waveFile, prompter, progress);
    // As the window reads it: a tide file of another extension is of the wave file's kind.
    SeriesKind waveKind = SeriesKind::SDF;
    KindFromExtension(a.waveFile, waveKind);
    const SeriesHeader tide = HeaderOf(a.tideFile, prompter, progress, waveKind);
    files.hsChannel = ChannelIndex("--hs-channel", a.hsChannel, wave);
    files.tsChannel = ChannelIndex("--ts-channel", a.tsChannel, wave);
    files.tideChannel = ChannelIndex("--tide-channel", a.tideChannel, tide);
    files.hsFactor = StrToFloat(a.hsFactor);
    files.tsFactor = StrToFloat(a.tsFactor);

    VelocityInputs in;
    if (!ReadVelocityInputs(store, files, in, prompter, progress)) throw OrvaneError(msg::kRunAbandoned);
    run.ParseEstimationPoints(a.points);
    if (!SetUpVelocityOutput(store, options, run)) throw OrvaneError(msg::kNoEstimationPoints);
    progress.Hide();

    options.Kr = StrToFloat(a.kr);
    options.MSL = StrToFloat(a.msl);
    CheckResultTable(store, a.output);
    NormaliseAsSaveWindow(store.header);

    const VelocitySeriesRequest request{in, options, store.header, a.constants, jobs};
    VelocitySeriesResult r = RunVelocitySeries(request, run, progress, prompter);
    ThrowIfInterrupted();
    if (!r.run.completed) throw OrvaneError(msg::kRunAbandoned);
    StoreVelocityValues(r.values, store, r.run.outOfRange);
    WriteResultFile(store, a.output);
    if (!in.TideNote.empty()) std::cerr << in.TideNote << std::endl;
    PrintLine(VelocityFinishedMessage(r.run));
}

// ---------------------------------------------------------------------------------------

struct HeightArgs {
    std::string input, output;
    std::string tideChannel = "1", usChannel = "2", tpChannel = "3";
    std::string meanDepth = "10", dh = "0", usFactor = "1", tpFactor = "1";
    PhysicalConstants constants;
};

void RunWaveHeightSeries(const HeightArgs& a) {
    Prompter& prompter = SharedPrompter();
    Progress& progress = SharedProgress();
    CheckOutputFile(a.output, {a.input}, SeriesFileFormats());
    const SeriesHeader header = HeaderOf(a.input, prompter, progress);
    WaveHeightInputs inputs;
    inputs.meanDepth = StrToFloat(a.meanDepth);
    inputs.dh = StrToFloat(a.dh);
    inputs.tideChannel = ChannelIndex("--tide-channel", a.tideChannel, header);
    inputs.usChannel = ChannelIndex("--us-channel", a.usChannel, header);
    inputs.tpChannel = ChannelIndex("--tp-channel", a.tpChannel, header);
    inputs.factorUs = StrToFloat(a.usFactor);
    inputs.factorTp = StrToFloat(a.tpFactor);

    SeriesStore store;
    store.ConvertOldInPlace = false;
    long long outOfRange = 0;
    if (!EstimateWaveHeightSeries(store, a.input, inputs, a.constants.gra, prompter, progress, outOfRange,
                                  &ProcessCancel())) {
        ThrowIfInterrupted();
        throw OrvaneError(msg::kRunAbandoned);
    }
    ThrowIfInterrupted();
    CheckResultTable(store, a.output);
    NormaliseAsSaveWindow(store.header);
    WriteResultFile(store, a.output);
    const std::string note = WaveHeightOutOfRangeMessage(outOfRange);
    if (!note.empty()) PrintLine(note);
}

}  // namespace

void RegisterTimeSeriesCommands(CLI::App& app) {
    {
        auto a = std::make_shared<VelocityArgs>();
        CLI::App* s = app.add_subcommand(
            "wave-velocity-series",
            "沖波と潮汐から波動流速時系列を推定: 沖波 (有義波高・周期) と潮位の時系列から推定位置の底面流速の時系列ファイルを作る");
        s->add_option("--wave-file", a->waveFile, "沖波のファイル (SDF または TSD)")->required()->type_name("ファイル");
        s->add_option("--tide-file", a->tideFile, "潮位のファイル (SDF または TSD)")->required()->type_name("ファイル");
        s->add_option("-o,--output", a->output, SeriesOutputHelp())->required()->type_name("ファイル");
        s->footer("例: orvane-cli wave-velocity-series --wave-file wave.sdf --tide-file tide.sdf --method goda "
                  "--points 2,4,6 -o velocity.sdf\n既存のファイルに上書きするには --yes を付けます。Ctrl-C で中断すると結果のファイルは作られません。");
        AddTextOption(s, "--hs-channel", a->hsChannel, "有義波波高のチャンネル: 項目名または 1 からの番号", "チャンネル名|番号");
        AddTextOption(s, "--ts-channel", a->tsChannel, "有義波周期のチャンネル: 項目名または 1 からの番号", "チャンネル名|番号");
        AddTextOption(s, "--tide-channel", a->tideChannel, "潮位のチャンネル: 項目名または 1 からの番号", "チャンネル名|番号");
        AddTextOption(s, "--hs-factor", a->hsFactor, "波高に掛ける係数");
        AddTextOption(s, "--ts-factor", a->tsFactor, "周期に掛ける係数");
        AddTextOption(s, "--kr", a->kr, "換算波高係数 (測定波高から沖波波高へ)");
        AddTextOption(s, "--msl", a->msl, "潮位基準面から測ったＭＳＬの高さ (m)");
        s->add_flag("--copy-hs", a->copyHs, "沖波波高を結果に写す");
        s->add_flag("--copy-ts", a->copyTs, "沖波周期を結果に写す");
        s->add_flag("--copy-tide", a->copyTide, "潮位を結果に写す");
        AddTextOption(s, "--item", a->item, "推定位置の流速: urms (rms流速) | um (rms流速振幅) | us (有義流速振幅)", "{urms,um,us}");
        s->add_flag("--umax", a->umax, "計算領域での最大値を加える");
        s->add_flag("--xmax", a->xmax, "最大値の現れる位置 (水深または離岸距離) を加える");
        s->add_option("--method", a->method,
                      "計算方法 (名前または番号): " + SurfZoneModelList(true))
            ->type_name("名前|番号")
            ->capture_default_str();
        AddBedShapeOptions(s, a->bed);
        AddTextOption(s, "--points", a->points, "推定位置 (カンマ区切り): 水深 (MSL基準, m) または離岸距離 (m)", "数値,...");
        AddTextOption(s, "--x-axis", a->bed.xAxis, "位置の単位: depth | distance (断面データでは distance)", "{depth,distance}");
        AddTextOption(s, "--offshore-end", a->bed.offshoreEnd, "計算範囲の沖側端点 (断面データでは省略時にその沖端)");
        AddTextOption(s, "--onshore-end", a->bed.onshoreEnd, "計算範囲の岸側端点 (断面データでは省略時に 0.1)");
        AddTextOption(s, "--obs-depth", a->bed.obsPos, "観測点の水深 (MSL基準, m) または離岸距離 (m); 方法 2, 3 で必要");
        s->add_option("--jobs", a->jobs, "並行して計算するスレッドの数 (0: 使えるコアの数); 結果は 1 のときと同じ")
            ->capture_default_str();
        AddConstantsOptions(s, a->constants);
        s->callback([a, s] {
            a->bed.onshoreEndGiven = s->count("--onshore-end") > 0;
            a->bed.offshoreEndGiven = s->count("--offshore-end") > 0;
            RunWaveVelocitySeries(*a);
        });
    }
    {
        auto a = std::make_shared<HeightArgs>();
        CLI::App* s = app.add_subcommand(
            "wave-height-series",
            "底面流速の振幅と周期から波高時系列を推定: 潮位・底面有義流速振幅・スペクトルピーク周期のチャンネルから Hs を加えたファイルを作る");
        s->add_option("--input", a->input, "入力のファイル (SDF または TSD)")->required()->type_name("ファイル");
        s->add_option("-o,--output", a->output, SeriesOutputHelp())->required()->type_name("ファイル");
        s->footer("例: orvane-cli wave-height-series --input velocity.sdf --mean-depth 8 -o height.sdf\n"
                  "既存のファイルに上書きするには --yes を付けます。");
        AddTextOption(s, "--tide-channel", a->tideChannel, "潮位(m)のチャンネル: 項目名、\"名前(単位)\" または 1 からの番号", "チャンネル名|番号");
        AddTextOption(s, "--us-channel", a->usChannel, "底面有義流速振幅(m/s)のチャンネル", "チャンネル名|番号");
        AddTextOption(s, "--tp-channel", a->tpChannel, "スペクトルピーク周期(s)のチャンネル", "チャンネル名|番号");
        AddTextOption(s, "--mean-depth", a->meanDepth, "MSL基準水深 (m)");
        AddTextOption(s, "--dh", a->dh, "MSL基準潮位に変換するための加算値 (m)");
        AddTextOption(s, "--us-factor", a->usFactor, "流速の補正係数");
        AddTextOption(s, "--tp-factor", a->tpFactor, "周期の補正係数");
        AddConstantsOptions(s, a->constants);
        s->callback([a] { RunWaveHeightSeries(*a); });
    }
}
