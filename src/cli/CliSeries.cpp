// series info | convert | csv: the time-series files through the same store the windows use.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "core/runtime/Messages.h"
#include "CliCommands.h"
#include "CliCommon.h"
#include "core/runtime/Cancel.h"
#include "core/runtime/DateTime.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesExchange.h"
#include "core/series/SeriesFile.h"
#include "core/series/SeriesStore.h"
#include "core/series/SeriesWriter.h"

namespace {

using orvane::OrvaneError;
using orvane::SeriesStore;

struct SeriesArgs {
    std::string file, input, output, csvOut, encoding = "utf-8", utcOffset;
    int burst = 0;  // 1-based; 0 every burst
    std::vector<std::string> scales;
};

// Reading never writes: an old SDF version is converted in memory only.
void Open(SeriesStore& store, const std::string& file) {
    orvane::RequireInputFile(file);
    store.ConvertOldInPlace = false;
    if (!store.OpenSeriesHeader(file, orvane::SharedPrompter(), orvane::SharedProgress()))
        throw OrvaneError("「" + file + "」を読み込めませんでした。");
    store.DataFileName = file;
}

std::string Interval(std::int32_t value, std::uint8_t unit) {
    return std::to_string(value) + " " + orvane::UnitName(unit);
}

void PrintInfo(const SeriesStore& store) {
    const auto& h = store.header;
    std::string memo = h.Memo;
    while (!memo.empty() && static_cast<unsigned char>(memo.back()) <= ' ') memo.pop_back();
    orvane::PrintLine(store.FileKind == orvane::SeriesKind::SDF
                          ? "形式：SDF Ver." + std::to_string(store.LastSdfVersion)
                          : std::string("形式：TSD"));
    orvane::PrintLine("メモ：" + memo);
    orvane::PrintLine("記録開始時刻：" + orvane::FormatDateTime(h.StartTime));
    orvane::PrintLine("インターバル記録");
    orvane::PrintLine("  計測回数：" + std::to_string(h.SampleSize));
    orvane::PrintLine("  チャンネル数：" + std::to_string(h.NchInterval));
    orvane::PrintLine("  計測時間間隔：" + Interval(h.SInt, h.SIntUnit));
    orvane::PrintLine("バースト記録");
    orvane::PrintLine("  リピート回数：" + std::to_string(h.Iteration));
    orvane::PrintLine("  チャンネル数：" + std::to_string(h.NchBurst));
    orvane::PrintLine("  バースト時間間隔：" + Interval(h.BInt, h.BIntUnit));
    orvane::PrintLine("Channel No,Item,Unit,A,B");
    for (int i = 0; i < h.ChannelCount(); ++i)
        orvane::PrintLine(std::to_string(i + 1) + "," + h.ItemName[i] + "," + h.UnitName[i] + "," +
                          orvane::FormatGeneral(h.CoefA[i], 7) + "," + orvane::FormatGeneral(h.CoefB[i], 7));
}

// TSD keeps 7 significant digits: refuse a conversion that would not read back the same.
void CheckTsdKeeps(const SeriesStore& store, bool samples) {
    const auto& h = store.header;
    if (std::string problem = orvane::TsdTableProblem(h); !problem.empty()) throw OrvaneError(problem);
    auto keeps = [](float v) {
        return static_cast<float>(orvane::StrToFloat(orvane::FormatGeneral(v, 7))) == v;
    };
    for (int i = 0; i < h.ChannelCount(); ++i) {
        if (h.CoefA[i] == 0.0f || !keeps(h.CoefA[i]) || !keeps(h.CoefB[i]))
            throw OrvaneError("チャンネル" + std::to_string(i + 1) +
                              "の係数はTSDファイルの7桁表記では正確に保存できません。");
    }
    if (!samples) return;
    char buf[40];
    auto check = [&](std::int16_t raw, int ch, std::int64_t s) {
        if (raw == orvane::ErrorRaw) return;
        const double a = h.CoefA[ch], b = h.CoefB[ch];
        orvane::FormatGeneral7(raw * a + b, buf);
        double x = (orvane::StrToFloat(buf) - b) / a;
        if (!(std::fabs(x) < 32768.0) || orvane::RoundHalfEven(x) != raw)
            throw OrvaneError("チャンネル" + std::to_string(ch + 1) + "の" + std::to_string(s + 1) +
                              "番目の値はTSDファイルの7桁表記では正確に保存できません。");
    };
    for (int ch = 0; ch < h.NchInterval; ++ch)
        for (std::int64_t s = 0; s < h.SampleSize; ++s) check(store.IntervalData[ch][s], ch, s);
    for (int j = 0; j < h.NchBurst; ++j) check(store.BurstData[j], h.NchInterval + j, 0);
}

// Answers the conversion question Yes: the command itself is the user's answer.
class UpgradePrompter : public orvane::Prompter {
public:
    orvane::MsgResult Message(orvane::MsgKind kind, const std::string& text, orvane::MsgButtons buttons) override {
        if (buttons == orvane::MsgButtons::Ok) return orvane::SharedPrompter().Message(kind, text, buttons);
        return orvane::MsgResult::Yes;
    }
    void Plain(const std::string& text, const std::string& caption) override {
        orvane::SharedPrompter().Plain(text, caption);
    }
    void Beep() override {}
};

void Upgrade(const std::string& file) {
    orvane::RequireInputFile(file);
    if (!orvane::HasSdfExtension(file)) throw OrvaneError("「" + file + "」は SDF ファイルではありません。");
    SeriesStore store;
    UpgradePrompter prompter;
    if (!store.ReadSdfHeader(file, prompter, orvane::SharedProgress())) {
        orvane::ThrowIfInterrupted();
        throw OrvaneError("「" + file + "」を読み込めませんでした。");
    }
    const int version = store.LastSdfVersion;
    if (version == 4)
        orvane::PrintLine("「" + file + "」はすでに SDF Ver.4 です。ファイルは変更していません。");
    else
        orvane::PrintLine("「" + file + "」を SDF Ver." + std::to_string(version) + " から Ver.4 に更新しました。");
}

void Convert(const std::string& in, const std::string& out) {
    orvane::CheckOutputFile(out, {in}, orvane::SeriesFileFormats());
    SeriesStore store;
    Open(store, in);
    auto& prompter = orvane::SharedPrompter();
    const bool toTsd = orvane::SeriesFormatOf(out)->format == orvane::SeriesFormat::TSD;
    auto& h = store.header;
    while (!h.Memo.empty() && static_cast<unsigned char>(h.Memo.back()) <= ' ') h.Memo.pop_back();
    if (toTsd) CheckTsdKeeps(store, false);

    // Written next to the output and renamed over it only when every burst is in.
    orvane::SeriesWriter writer(store, out);
    int done = 0;
    const bool ok = store.ReadEachBurst(
        [&](int k) {
            orvane::ThrowIfInterrupted();
            if (toTsd) CheckTsdKeeps(store, true);
            writer.WriteBurst(k);
            done = k + 1;
            return true;
        },
        prompter);
    if (!ok)
        throw OrvaneError("「" + in + "」のバースト" + std::to_string(done + 1) + "を読み込めませんでした。");
    orvane::ThrowIfInterrupted();
    writer.Commit();
    orvane::PrintLine(in + " → " + out + " (" + std::to_string(h.Iteration) + " バースト)");
}

void Csv(const std::string& file, const std::string& outPath, const std::string& encoding) {
    if (!outPath.empty()) orvane::CheckOutputFile(outPath, {file}, {orvane::SeriesFormat::CSV});
    SeriesStore store;
    Open(store, file);
    const auto& h = store.header;
    if (h.NchInterval <= 0) throw OrvaneError(orvane::msg::kNoIntervalChannels);
    const std::size_t n = static_cast<std::size_t>(h.SampleSize);
    // A TSD value is its text's own; an SDF value is its count at the channel's resolution.
    const bool tsd = store.FileKind == orvane::SeriesKind::TSD;
    std::vector<std::vector<float>> values(tsd ? static_cast<std::size_t>(h.NchInterval) : 0, std::vector<float>(n));
    for (std::size_t ch = 0; ch < values.size(); ++ch)
        if (!store.ReadChannel(0, static_cast<int>(ch), values[ch], orvane::SharedPrompter()))
            throw OrvaneError("「" + file + "」のバースト1を読み込めませんでした。");
    if (!store.ReadBurst(0, orvane::SharedPrompter()))
        throw OrvaneError("「" + file + "」のバースト1を読み込めませんでした。");
    char buf[40];
    auto text = [&](int ch, std::size_t s) -> std::string {
        if (ch >= h.NchInterval) return orvane::CountText(h, ch, store.BurstData[ch - h.NchInterval]);
        if (!tsd) return orvane::CountText(h, ch, store.IntervalData[ch][s]);
        const float v = values[ch][s];
        return v < orvane::ErrorLimit ? std::string(buf, static_cast<std::size_t>(orvane::FormatGeneral7(v, buf))) : "";
    };

    orvane::CsvOutput out(outPath, encoding);
    auto emit = [&](const std::string& line) { out.Line(line); };
    std::string head = "日時,経過時間(s)";
    for (int ch = 0; ch < h.ChannelCount(); ++ch) {
        int finest = -1;
        for (std::size_t s = 0; s < (ch < h.NchInterval ? n : 1); ++s)
            if (const std::string t = text(ch, s); !t.empty()) finest = std::max(finest, orvane::TextDecimals(t));
        head += "," + orvane::CsvQuoted(orvane::CsvColumnTitle(h, ch, finest));
    }
    emit(head);
    std::string burstValues;
    for (int ch = h.NchInterval; ch < h.ChannelCount(); ++ch) burstValues += "," + text(ch, 0);
    const double step = h.SInt * orvane::UnitSeconds(h.SIntUnit);
    // A start between seconds shows its milliseconds, so that an import finds it again.
    const std::int64_t startMs = std::llround(h.StartTime * 86400000.0);
    auto date = [&](double seconds) {
        if (startMs % 1000 == 0) return orvane::FormatDateTime(h.StartTime + seconds / 86400.0);
        std::string t = orvane::IsoDateTime(startMs + std::llround(seconds * 1000), true);
        t[4] = t[7] = '/';
        t[10] = ' ';
        return t;
    };
    std::string line;
    for (std::size_t s = 0; s < n; ++s) {
        if (s % 4096 == 0) orvane::ThrowIfInterrupted();
        double seconds = static_cast<double>(s) * step;
        line = date(seconds) + "," + orvane::FormatShortest(seconds);
        for (int ch = 0; ch < h.NchInterval; ++ch) line += "," + text(ch, s);
        emit(line + burstValues);
    }
    orvane::ThrowIfInterrupted();
    out.Commit();
}

// "+09:00", "-03:30", "+0900", "+9" or "Z" as minutes east of UTC; a usage error otherwise.
int UtcOffsetMinutes(const std::string& text) {
    if (text == "Z" || text == "z") return 0;
    int hours = 0, minutes = 0, used = 0;
    const char sign = text.empty() ? 0 : text[0];
    bool ok = (sign == '+' || sign == '-') &&
              (std::sscanf(text.c_str() + 1, "%2d:%2d%n", &hours, &minutes, &used) == 2 ||
               std::sscanf(text.c_str() + 1, "%2d%2d%n", &hours, &minutes, &used) == 2 ||
               (minutes = 0, std::sscanf(text.c_str() + 1, "%2d%n", &hours, &used) == 1));
    ok = ok && static_cast<std::size_t>(used) + 1 == text.size() && hours <= 14 && minutes < 60;
    if (!ok) throw CLI::ValidationError("--utc-offset", "'" + text + "' は +09:00 のような時差ではありません");
    return (sign == '-' ? -1 : 1) * (hours * 60 + minutes);
}

void Export(const SeriesArgs& a) {
    const orvane::SeriesFormatInfo* format = orvane::SeriesFormatOf(a.output);
    const bool netcdf = format && format->format == orvane::SeriesFormat::NetCDF;
    std::optional<int> offset;
    if (!a.utcOffset.empty()) {
        if (!netcdf) throw CLI::ValidationError("--utc-offset", "netCDF (.nc) に書き出すときだけ使えます");
        offset = UtcOffsetMinutes(a.utcOffset);
    }
    orvane::CheckOutputFile(a.output, {a.input}, orvane::ExportFormats());
    const orvane::SeriesFile f = orvane::ReadSeriesFile(a.input, orvane::SharedPrompter());
    orvane::ExportOptions options;
    options.burst = a.burst - 1;
    options.utcOffsetMinutes = offset;
    options.encoding = orvane::LowerAscii(a.encoding) == "cp932" ? orvane::TextEncoding::Cp932
                                                                 : orvane::TextEncoding::Utf8;
    options.cancel = &orvane::ProcessCancel();
    if (netcdf)
        orvane::ExportSeriesNetcdf(f, a.output, options);
    else
        orvane::ExportSeriesCsv(f, a.output, options);
}

void Import(const SeriesArgs& a) {
    orvane::CheckOutputFile(a.output, {a.input}, orvane::SeriesFileFormats());
    orvane::RequireInputFile(a.input);
    orvane::ImportOptions options;
    for (const std::string& s : a.scales) {
        const auto eq = s.rfind('=');
        if (eq == std::string::npos || eq == 0)
            throw CLI::ValidationError("--scale", "'" + s + "' は 名前=A または 名前=A,B ではありません");
        const std::string name = s.substr(0, eq), ab = s.substr(eq + 1);
        const auto comma = ab.find(',');
        const double A = orvane::StrToFloat(ab.substr(0, comma));
        const double B = comma == std::string::npos ? 0.0 : orvane::StrToFloat(ab.substr(comma + 1));
        options.scales[name] = {A, B};
    }
    options.cancel = &orvane::ProcessCancel();
    const orvane::SeriesFile f = orvane::ImportSeriesCsv(a.input, options);
    orvane::WriteSeriesFile(f, a.output, options.cancel);
    const auto& h = f.header;
    std::string layout = std::to_string(static_cast<std::int64_t>(h.SampleSize) * h.Iteration) + " 行, " +
                         std::to_string(h.NchInterval) + " チャンネル";
    if (h.NchBurst > 0) layout += ", バーストチャンネル " + std::to_string(h.NchBurst);
    if (h.Iteration > 1)
        layout += ", " + std::to_string(h.Iteration) + " バースト (バースト時間間隔 " + Interval(h.BInt, h.BIntUnit) + ")";
    orvane::PrintLine(a.input + " → " + a.output + " (" + layout + ", 計測時間間隔 " + Interval(h.SInt, h.SIntUnit) + ")");
    for (int c = 0; c < h.ChannelCount(); ++c)
        orvane::PrintLine("  " + h.ItemName[c] + ": A=" + orvane::FormatGeneral(h.CoefA[c], 7) +
                          ", B=" + orvane::FormatGeneral(h.CoefB[c], 7));
}

}  // namespace

void RegisterSeriesCommands(CLI::App& app) {
    CLI::App* series = app.add_subcommand("series", "時系列ファイル (SDF / TSD)");
    series->require_subcommand(1);
    series->footer("例: orvane-cli series info wave.sdf");
    auto args = std::make_shared<SeriesArgs>();

    CLI::App* info = series->add_subcommand("info", "ヘッダとチャンネル表を表示");
    info->add_option("FILE", args->file, "SDF または TSD ファイル")->required()->type_name("ファイル");
    info->footer("例: orvane-cli series info wave.sdf (旧式のSDFも読むだけで、ファイルは書き換えない)");
    info->callback([args] {
        SeriesStore store;
        Open(store, args->file);
        PrintInfo(store);
    });

    CLI::App* convert = series->add_subcommand(
        "convert", "SDF と TSD の相互変換 (拡張子で判別; TSDで表せない値があれば中止)");
    convert->add_option("IN", args->input, "入力ファイル")->required()->type_name("ファイル");
    convert->add_option("OUT", args->output, orvane::OutputHelp("出力ファイル", orvane::SeriesFileFormats()))->required()->type_name("ファイル");
    convert->footer("例: orvane-cli series convert wave.sdf wave.tsd\n既存のファイルに上書きするには --yes を付けます。");
    convert->callback([args] { Convert(args->input, args->output); });

    CLI::App* exp = series->add_subcommand(
        "export", "時系列ファイルを CSV (UTF-8, RFC 4180) または netCDF-4 (CF) に書き出す (拡張子 " +
            orvane::ExtensionList(orvane::ExportFormats(), " / ") + " で判別)");
    exp->add_option("IN", args->input, "SDF または TSD ファイル")->required()->type_name("ファイル");
    exp->add_option("-o,--output", args->output, orvane::OutputHelp("出力ファイル", orvane::ExportFormats()))->required()->type_name("ファイル");
    exp->add_option("--burst", args->burst, "書き出すバースト (1 から); 省略時はすべて")->type_name("整数");
    orvane::AddEncodingOption(exp, args->encoding);
    exp->add_option("--utc-offset", args->utcOffset,
                    "netCDF: 時系列の時刻 (現地時刻) の UTC からの時差; 省略時はこの計算機の開始時刻での時差")
        ->type_name("+09:00");
    exp->footer("例: orvane-cli series export wave.sdf -o wave.nc --utc-offset +09:00\n"
                "CSV: 値はチャンネルの分解能で書き、バーストチャンネルは \"名前(単位) [burst]\" の列に\n"
                "バーストの各行に同じ値を書く。取り込みで同じカウントにならない係数は見出しに [A=… B=…] と書く。\n"
                "既存のファイルに上書きするには --yes を付けます。");
    exp->callback([args, exp] {
        if (exp->count("--burst") > 0 && args->burst < 1)
            throw CLI::ValidationError("--burst", "バーストは 1 から数えます ('" + std::to_string(args->burst) +
                                                      "' は使えません)。省略するとすべてのバーストを書き出します。");
        Export(*args);
    });

    CLI::App* imp = series->add_subcommand(
        "import", "CSV (1列目は時刻、ほかはチャンネル \"名前(単位)\") を SDF または TSD の時系列ファイルにする");
    imp->add_option("IN", args->input, "CSV ファイル (UTF-8 または CP932)")->required()->type_name("ファイル");
    imp->add_option("-o,--output", args->output, orvane::OutputHelp("出力ファイル", orvane::SeriesFileFormats()))->required()->type_name("ファイル");
    imp->add_option("--scale", args->scales, "チャンネルの係数 (物理量 = 値 × A + B); 省略時は値の最小桁から")
        ->type_name("名前=A[,B]");
    imp->footer("例: orvane-cli series import logger.csv -o wave.sdf --scale Hs=0.01\n"
                "区切りはカンマ・セミコロン・タブ (見出しから判別)。単位は 名前(単位)、名前（単位）、名前 [単位]。\n"
                "series export / series csv の CSV もそのまま取り込める (burst 列、経過時間(s) 列、[burst A=… B=…])。\n"
                "既存のファイルに上書きするには --yes を付けます。");
    imp->callback([args] { Import(*args); });

    CLI::App* upgrade = series->add_subcommand(
        "upgrade", "旧式 (Ver.1～3) の SDF ファイルをその場で Ver.4 に更新する (ほかのコマンドはファイルを書き換えない)");
    upgrade->add_option("FILE", args->file, "SDF ファイル")->required()->type_name("ファイル");
    upgrade->footer("例: orvane-cli series upgrade archive_1998.sdf");
    upgrade->callback([args] { Upgrade(args->file); });

    CLI::App* csv = series->add_subcommand("csv", "バースト1の記録を物理量のCSVで出力 (バーストチャンネルは各行に同じ値)");
    csv->add_option("FILE", args->file, "SDF または TSD ファイル")->required()->type_name("ファイル");
    csv->add_option("-o,--output", args->csvOut, "出力CSVファイル (.csv, CR LF); 省略時は標準出力")->type_name("ファイル");
    orvane::AddEncodingOption(csv, args->encoding);
    csv->footer("例: orvane-cli series csv wave.sdf -o wave.csv --encoding cp932\n既存のファイルに上書きするには --yes を付けます。");
    csv->callback([args] { Csv(args->file, args->csvOut, args->encoding); });
}
