#include "core/runtime/Messages.h"
#include "CliCommon.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <csignal>
#include <regex>
#include <filesystem>
#include <iostream>

#include "core/runtime/Cancel.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/shoaling/BedChoice.h"

namespace orvane {

CliGlobals& Globals() {
    static CliGlobals globals;
    return globals;
}

void AddGlobalOptions(CLI::App& app) {
    app.add_flag("--yes,-y", Globals().yes, "確認にすべて「はい」で答える");
    // Subcommands created after this pass options they do not know to the parent.
    app.fallthrough();
}

namespace {

// A number option's text is checked while parsing, so that a bad value is a usage error
// (exit 2) naming the option, as every other usage error is.
CLI::Validator NumberText(bool emptyAllowed) {
    return CLI::Validator(
        [emptyAllowed](std::string& text) -> std::string {
            double v = 0;
            if ((emptyAllowed && text.empty()) || TryStrToFloat(text, v)) return {};
            return "'" + MessageExcerpt(text) + "' は浮動小数点数ではありません";
        },
        "");
}

}  // namespace

CLI::Option* AddRealOption(CLI::App* app, const std::string& name, double& value,
                           const std::string& description) {
    return app->add_option(name, description)
        ->type_name("数値")
        ->default_str(FormatShortest(value))
        ->check(NumberText(false))
        ->each([&value](const std::string& text) { value = StrToFloat(text); });
}

CLI::Option* AddTextOption(CLI::App* app, const std::string& name, std::string& text,
                           const std::string& description, const std::string& type) {
    CLI::Option* option = app->add_option(name, text, description)->type_name(type)->capture_default_str();
    // An option whose default is empty means "not given" by an empty text.
    if (type == "数値") option->check(NumberText(text.empty()));
    return option;
}

void AddConstantsOptions(CLI::App* app, PhysicalConstants& c) {
    AddRealOption(app, "--gravity", c.gra, "重力加速度 (m/s^2)")->group("定数");
    AddRealOption(app, "--density", c.SGfluid, "海水の密度 (g/cm^3)")->group("定数");
    AddRealOption(app, "--rtp", c.RTp, "有義波周期とスペクトルピーク周期の比")->group("定数");
    AddRealOption(app, "--gamma-tg", c.gamma_TG, "Thornton and Guza モデルの γ")->group("定数");
    AddRealOption(app, "--b-tg", c.B_TG, "Thornton and Guza モデルの B")->group("定数");
}

MsgResult CliPrompter::Message(MsgKind kind, const std::string& text, MsgButtons buttons) {
    std::cerr << text << std::endl;
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    (void)kind;
    if (!Globals().yes)
        throw OrvaneError("確認が必要なため中止しました (--yes で「はい」と答えます)");
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

void CliPrompter::Plain(const std::string& text, const std::string&) {
    std::cout << text << std::endl;
}

CliPrompter& SharedPrompter() {
    static CliPrompter prompter;
    return prompter;
}

void CliProgress::SetProgressComment(const std::string& text) {
    title_ = text;
    status_.clear();
    percent_ = 0;
    started_ = std::chrono::steady_clock::now();
    Draw(true);
}

void CliProgress::SetProgressPosition(int percent) {
    percent_ = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    Draw();
}

void CliProgress::SetStatusLine(const std::string& text) {
    status_ = text;
    Draw();
}

bool CliProgress::Cancelled() const { return ProcessCancel().Requested(); }

void CliProgress::Hide() {
    if (shown_) std::cerr << "\r\x1b[K" << std::flush;
    shown_ = false;
}

void CliProgress::Draw(bool force) {
    static const bool terminal = ::isatty(STDERR_FILENO);
    if (!terminal) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && shown_ && now - drawn_ < std::chrono::milliseconds(100)) return;
    drawn_ = now;
    std::cerr << "\r\x1b[K" << title_ << " " << percent_ << "%";
    const double elapsed = std::chrono::duration<double>(now - started_).count();
    if (percent_ > 0 && percent_ < 100 && elapsed > 1) {
        const long left = std::lround(elapsed * (100 - percent_) / percent_);
        std::cerr << "  残り約 ";
        if (left >= 60) std::cerr << left / 60 << "分";
        std::cerr << left % 60 << "秒";
    }
    if (!status_.empty()) std::cerr << "  " << status_;
    std::cerr << std::flush;
    shown_ = true;
}

CliProgress& SharedProgress() {
    static CliProgress progress;
    return progress;
}

void PrintLine(const std::string& text) { std::cout << text << '\n'; }

int FinishStdout(int rc) {
    errno = 0;
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
    if (!failed) return rc;
    const int err = errno;
    std::cerr << "標準出力に書き込めませんでした。出力は不完全です。";
    if (err != 0) std::cerr << "\n" << IoErrorText(err);
    std::cerr << std::endl;
    return rc == 0 ? 1 : rc;
}

int Choice(const std::string& option, const std::string& value,
           std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* name : names) {
        if (value == name) return i;
        ++i;
    }
    std::string list;
    for (const char* name : names) list += (list.empty() ? "" : " | ") + std::string(name);
    throw CLI::ValidationError(option, "'" + MessageExcerpt(value) + "' は使えません。使える値: " + list);
}

int ProfileColumn(const std::string& option, const std::string& value,
                  const std::vector<std::string>& header) {
    std::string message;
    const int column = FindProfileColumn({value, true}, header, message);
    if (column < 0) throw CLI::ValidationError(option, message);
    return column;
}

void AddBedShapeOptions(CLI::App* app, BedOptions& o) {
    AddTextOption(app, "--slope", o.slope, "一定勾配の海底勾配");
    AddTextOption(app, "--profile", o.profile, "海底断面データ (CSV、1行目は項目名)", "ファイル");
    AddTextOption(app, "--distance-column", o.distanceColumn, "離岸距離の列: 項目名または 1 からの番号", "列名|番号");
    AddTextOption(app, "--depth-column", o.depthColumn, "水深の列: 項目名または 1 からの番号", "列名|番号");
}

ShoalingRun SetUpBed(int method, const BedOptions& o, const PhysicalConstants& constants) {
    BedChoice b;
    b.method = method;
    b.xAxis = Choice("--x-axis", o.xAxis, {"depth", "distance"});
    b.slope = StrToFloat(o.slope);
    if (!o.obsPos.empty()) b.obsPos = StrToFloat(o.obsPos);
    if (o.onshoreEndGiven) b.onshoreEnd = StrToFloat(o.onshoreEnd);
    if (o.offshoreEndGiven) b.offshoreEnd = StrToFloat(o.offshoreEnd);
    b.profileFile = o.profile;
    b.distanceColumn = {o.distanceColumn, true};
    b.depthColumn = {o.depthColumn, true};
    BedSetup bed = SetUpBed(b, constants, SharedPrompter());
    switch (bed.problem) {
    case BedProblem::None: return std::move(bed.run);
    case BedProblem::DistanceColumn: throw CLI::ValidationError("--distance-column", bed.message);
    case BedProblem::DepthColumn: throw CLI::ValidationError("--depth-column", bed.message);
    default: throw OrvaneError(bed.message);
    }
}

}  // namespace orvane

namespace orvane {
namespace {
// First signal: the core's cancel flag, which every long loop asks. Second: the default
// action, at once (the stale-file sweep removes what a killed run leaves).
extern "C" void OnInterrupt(int sig) {
    CancelFlag& flag = ProcessCancel();
    if (flag.Requested()) {
        ::signal(sig, SIG_DFL);
        ::raise(sig);
        return;
    }
    flag.Request(sig);
}
}  // namespace

void InstallInterruptHandler() {
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

bool InterruptRequested() { return ProcessCancel().Requested(); }

void ThrowIfInterrupted() { ThrowIfCancelled(&ProcessCancel()); }

int InterruptExitCode() {
    const int reason = ProcessCancel().Reason();
    return 128 + (reason > 0 ? reason : SIGINT);
}

void CheckOutputFile(const std::string& output, const std::vector<std::string>& inputs,
                     const std::vector<SeriesFormat>& formats) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (output.empty()) throw OrvaneError("出力ファイルの名前を指定してください。");
    if (fs::is_directory(output, ec))
        throw OrvaneError("「" + output + "」はフォルダです。出力にはファイルの名前を指定してください。");
    const SeriesFormatInfo* format = SeriesFormatOf(output);
    if (!format || std::find(formats.begin(), formats.end(), format->format) == formats.end())
        throw OrvaneError("出力ファイルの拡張子は " + ExtensionList(formats) + " にしてください。");
    const fs::path parent = fs::path(output).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec))
        throw OrvaneError("フォルダ「" + parent.string() + "」が見つかりません。");
    for (const auto& in : inputs) {
        if (in.empty()) continue;
        if (in == output || fs::equivalent(in, output, ec)) throw OrvaneError(OverwriteInputText(in));
    }
    if (fs::exists(output, ec) &&
        SharedPrompter().Message(MsgKind::Warning, msg::kOverwriteQuestion,
                                 MsgButtons::YesNo) != MsgResult::Yes)
        throw OrvaneError("中止しました。");
}

}  // namespace orvane

namespace orvane {

std::string OutputHelp(const std::string& what, const std::vector<SeriesFormat>& formats) {
    return what + " (" + ExtensionList(formats, " または ") + ")";
}

std::string SeriesOutputHelp() {
    std::string help = "結果のファイル: ";
    for (const SeriesFormatInfo& f : SeriesFormats())
        if (f.series) help += std::string(help.back() == ' ' ? "" : "、") + f.extension + " なら " + f.name;
    return help;
}

CLI::Option* AddEncodingOption(CLI::App* app, std::string& encoding) {
    return app->add_option("--encoding", encoding, "CSVの文字コード")
        ->check(CLI::IsMember({"utf-8", "cp932"}, CLI::ignore_case).description(""))
        ->type_name("{utf-8,cp932}")
        ->capture_default_str();
}

CsvOutput::CsvOutput(const std::string& path, const std::string& encoding)
    : cp932_(LowerAscii(encoding) == "cp932") {
    if (!path.empty())
        file_ = std::make_unique<AtomicTextWriter>(path, cp932_ ? TextEncoding::Cp932 : TextEncoding::Utf8);
}

void CsvOutput::Line(const std::string& utf8) {
    if (file_) file_->WriteLine(utf8);
    else if (cp932_) std::cout << Utf8ToCp932(utf8) << '\n';
    else std::cout << utf8 << '\n';
}

void CsvOutput::Commit() {
    if (file_) file_->Commit();
    else std::cout.flush();
}

}  // namespace orvane

namespace orvane {

std::vector<MethodName> ShoalMethodNames() {
    std::vector<MethodName> names;
    for (const SurfZoneModel& m : SurfZoneModels()) names.push_back({m.id, m.key});
    return names;
}

int ParseMethod(const std::string& option, const std::string& value, const std::vector<MethodName>& names) {
    const std::string v = LowerAscii(value);
    for (const auto& m : names)
        if (v == m.name || v == std::to_string(m.number)) return m.number;
    throw CLI::ValidationError(option, "'" + value + "' は使えません。使える値: " + MethodList(names));
}

std::string MethodList(const std::vector<MethodName>& names) {
    std::string list;
    for (const auto& m : names) list += (list.empty() ? "" : " | ") + std::to_string(m.number) + " " + m.name;
    return list;
}

}  // namespace orvane

namespace orvane {

namespace {

std::string Translate(const std::string& message) {
    static const std::pair<std::regex, const char*> rules[] = {
        {std::regex("^A subcommand is required$"), "サブコマンドを指定してください。"},
        {std::regex("^Requires at least 1 subcommands.*"), "サブコマンドを指定してください。"},
        {std::regex("^(.+) is required$"), "必須のオプション $1 がありません。"},
        {std::regex("^The following arguments? (was|were) not expected: (.*)$"), "使えない引数です: $2"},
        {std::regex("^Could not convert: (\\S+) = (.*)$"), "$1 の値 '$2' は変換できません。"},
        {std::regex("^The value (.+) is not an allowed value for (.+)$"), "$2 には $1 は使えません。"},
        {std::regex("^(\\S+): (.*) not in \\{(.*)\\}$"), "$1 には '$2' は使えません。使える値: {$3}"},
        {std::regex("^Expected exactly ([0-9]+) arguments? to (\\S+), got ([0-9]+)$"),
         "$2 には値が $1 個必要です ($3 個でした)。"},
        {std::regex("^Expected at least ([0-9]+) arguments? to (\\S+), got ([0-9]+)$"),
         "$2 には値が $1 個以上必要です ($3 個でした)。"},
        {std::regex("^(\\S+): ([0-9]+) required (.*) missing$"), "$1 の値がありません。"},
        {std::regex("^(\\S+): Value (.*) not a number.*$"), "$1 の値 '$2' は数ではありません。"},
        {std::regex("^(\\S+): Value (.*) not an integer.*$"), "$1 の値 '$2' は整数ではありません。"},
        {std::regex("^(\\S+): At Most ([0-9]+) required but received ([0-9]+)$"),
         "$1 は $2 回までしか指定できません ($3 回指定されました)。"},
        {std::regex("^(\\S+): At least ([0-9]+) required but received ([0-9]+)$"),
         "$1 には値が $2 個以上必要です ($3 個でした)。"},
        {std::regex("^(\\S+) requires (\\S+)$"), "$1 には $2 も必要です。"},
        {std::regex("^(\\S+) excludes (\\S+)$"), "$1 と $2 は同時に使えません。"},
        {std::regex("^(\\S+): too many inputs for a flag$"), "$1 には値を付けられません。"},
        {std::regex("^(\\S+): Should be true/false or a number$"), "$1 の値は true、false または数にしてください。"},
        {std::regex("^(\\S+) was given a disallowed flag override$"), "$1 にはその値を付けられません。"},
    };
    for (const auto& [pattern, text] : rules)
        if (std::regex_match(message, pattern)) return std::regex_replace(message, pattern, text);
    return message;
}

}  // namespace

void UseJapaneseUsage(CLI::App& app) {
    auto f = app.get_formatter();
    f->label("Usage", "使い方");
    f->label("OPTIONS", "オプション");
    f->label("SUBCOMMAND", "サブコマンド");
    f->label("SUBCOMMANDS", "サブコマンド");
    f->label("Positionals", "引数");
    f->label("REQUIRED", "(必須)");
    f->label("Needs", "必要");
    f->label("Excludes", "併用不可");
    f->label("TEXT", "文字列");
    f->label("INT", "整数");
    f->column_width(34);
    app.option_defaults()->group("オプション");
    app.set_help_flag("-h,--help", "この説明を表示して終わる");
    app.get_help_ptr()->group("オプション");
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return Translate(e.what()) + "\n使い方は --help で表示されます。\n";
    });
}

void NameSubcommandGroups(CLI::App& app) {
    for (CLI::App* sub : app.get_subcommands({})) {
        sub->group("サブコマンド");
        if (CLI::Option* help = sub->get_help_ptr()) help->group("オプション");
        if (!sub->get_footer().empty() && sub->get_footer().back() != '\n') sub->footer(sub->get_footer() + "\n");
        NameSubcommandGroups(*sub);
    }
}

}  // namespace orvane
