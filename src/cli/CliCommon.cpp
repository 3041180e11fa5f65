#include "CliCommon.h"

#include <unistd.h>

#include <iostream>

#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
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
    run.DistanceColumn = ProfileColumn("--distance-column", distanceColumn, header);
    run.DepthColumn = ProfileColumn("--depth-column", depthColumn, header);
}

}  // namespace orvane
