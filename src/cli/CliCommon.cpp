#include "CliCommon.h"

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/shoaling/ShoalingRun.h"

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

CLI::Option* AddRealOption(CLI::App* app, const std::string& name, double& value,
                           const std::string& description) {
    return app->add_option(name, description)
        ->type_name("REAL")
        ->default_str(FormatShortest(value))
        ->each([&value](const std::string& text) { value = StrToFloat(text); });
}

CLI::Option* AddTextOption(CLI::App* app, const std::string& name, std::string& text,
                           const std::string& description) {
    return app->add_option(name, text, description)->type_name("TEXT")->capture_default_str();
}

void AddConstantsOptions(CLI::App* app, PhysicalConstants& c) {
    AddRealOption(app, "--gravity", c.gra, "重力加速度 (m/s^2)")->group("Constants");
    AddRealOption(app, "--density", c.SGfluid, "海水の密度 (g/cm^3)")->group("Constants");
    AddRealOption(app, "--rtp", c.RTp, "有義波周期とスペクトルピーク周期の比")->group("Constants");
    AddRealOption(app, "--gamma-tg", c.gamma_TG, "Thornton and Guza モデルの γ")->group("Constants");
    AddRealOption(app, "--b-tg", c.B_TG, "Thornton and Guza モデルの B")->group("Constants");
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
    Draw();
}

void CliProgress::SetProgressPosition(int percent) {
    percent_ = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    Draw();
}

void CliProgress::SetStatusLine(const std::string& text) {
    status_ = text;
    Draw();
}

void CliProgress::Hide() {
    if (shown_) std::cerr << "\r\x1b[K" << std::flush;
    shown_ = false;
}

void CliProgress::Draw() {
    if (!::isatty(STDERR_FILENO)) return;
    std::cerr << "\r\x1b[K" << title_ << " " << percent_ << "%";
    if (!status_.empty()) std::cerr << "  " << status_;
    std::cerr << std::flush;
    shown_ = true;
}

CliProgress& SharedProgress() {
    static CliProgress progress;
    return progress;
}

void PrintLine(const std::string& text) { std::cout << text << '\n'; }

int Choice(const std::string& option, const std::string& value,
           std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* name : names) {
        if (value == name) return i;
        ++i;
    }
    throw CLI::ValidationError(option, "'" + value + "' is not one of the accepted values");
}

int ProfileColumn(const std::string& option, const std::string& value,
                  const std::vector<std::string>& header) {
    for (std::size_t i = 0; i < header.size(); ++i)
        if (header[i] == value) return static_cast<int>(i);
    int number = 0;
    if (TryStrToInt(value, number) && number >= 1 && number <= kMaxProfileColumns) return number - 1;
    throw CLI::ValidationError(option, "'" + value + "' is neither a column name nor a number 1..100");
}

void ApplyBedOptions(ShoalingRun& run, int method, const std::string& xAxis,
                     const std::string& profile, const std::string& distanceColumn,
                     const std::string& depthColumn) {
    ShoalingInputs& in = run.Inputs;
    in.ObsPos = method >= 2 ? 1 : 0;
    in.XAxis = Choice("--x-axis", xAxis, {"depth", "distance"});
    if (profile.empty()) return;
    in.ProfileMode = 1;
    in.ProfileFile = profile;
    in.XAxis = 1;
    const auto header = ShoalingRun::ReadProfileHeader(profile);
    if (header.empty() && FileExists(profile)) {
        // Say why: the first line in neither encoding, or no names on it.
        std::ifstream in(profile, std::ios::binary);
        std::string line;
        for (char c; line.size() < (1u << 20) && in.get(c) && c != '\n';) line.push_back(c);
        DetectTextEncoding(line, "「" + profile + "」");
        throw OrvaneError("「" + profile + "」の1行目に項目名がありません。");
    }
    run.DistanceColumn = ProfileColumn("--distance-column", distanceColumn, header);
    run.DepthColumn = ProfileColumn("--depth-column", depthColumn, header);
}

}  // namespace orvane

namespace orvane {
namespace {
volatile std::sig_atomic_t gInterrupt = 0;
extern "C" void OnInterrupt(int sig) {
    if (gInterrupt) {
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    }
    gInterrupt = 1;
}
}  // namespace

void InstallInterruptHandler() {
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

bool InterruptRequested() { return gInterrupt != 0; }

void ThrowIfInterrupted() {
    if (gInterrupt) throw InterruptedError();
}

void CheckOutputFile(const std::string& output, const std::vector<std::string>& inputs,
                     std::initializer_list<const char*> extensions) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (output.empty()) throw OrvaneError("出力ファイルの名前を指定してください。");
    if (fs::is_directory(output, ec))
        throw OrvaneError("「" + output + "」はフォルダです。出力にはファイルの名前を指定してください。");
    const std::string ext = LowerAscii(ExtractFileExt(output));
    bool known = false;
    std::string list;
    for (const char* e : extensions) {
        known = known || ext == e;
        list += (list.empty() ? "" : " か ") + std::string(e);
    }
    if (!known) throw OrvaneError("出力ファイルの拡張子は " + list + " にしてください。");
    const fs::path parent = fs::path(output).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec))
        throw OrvaneError("フォルダ「" + parent.string() + "」が見つかりません。");
    for (const auto& in : inputs) {
        if (in.empty()) continue;
        if (in == output || fs::equivalent(in, output, ec)) {
            const std::string inExt = LowerAscii(ExtractFileExt(in));
            if (inExt == ".tsd") throw OrvaneError("ロードしているTSDファイルは上書き出来ません。");
            if (inExt == ".sdf") throw OrvaneError("ロードしているSDFファイルは上書き出来ません。");
            throw OrvaneError("読み込んでいるファイルは上書き出来ません。");
        }
    }
    if (fs::exists(output, ec) &&
        SharedPrompter().Message(MsgKind::Warning, "同名のファイルが存在します。上書きしてよろしいですか。",
                                 MsgButtons::YesNo) != MsgResult::Yes)
        throw OrvaneError("中止しました。");
}

}  // namespace orvane

namespace orvane {

CLI::Option* AddEncodingOption(CLI::App* app, std::string& encoding) {
    return app->add_option("--encoding", encoding, "CSVの文字コード")
        ->check(CLI::IsMember({"utf-8", "cp932"}, CLI::ignore_case))
        ->type_name("{utf-8,cp932}")
        ->capture_default_str();
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
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
