#pragma once
// What every subcommand shares: the constants options, a Prompter and a Progress for the
// terminal, and real-number options checked by the program's own parser while parsing, so
// that a bad value is a usage error (exit 2) with the window's text after the option name.
#include <CLI/CLI.hpp>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/app/PhysicalConstants.h"
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"
#include "core/series/SeriesWriter.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane {

// Options given to the program as a whole (before or after the subcommand).
struct CliGlobals {
    bool yes = false;  // --yes: answer every confirmation with Yes
};
CliGlobals& Globals();
// Adds --yes to the top-level app and lets subcommands accept it too.
void AddGlobalOptions(CLI::App& app);

// --gravity, --density, --rtp, --gamma-tg, --b-tg; `constants` keeps its values (the
// program's defaults) for options not given. Values go through StrToFloat.
void AddConstantsOptions(CLI::App* app, PhysicalConstants& constants);

// A real option bound to `value` (its default shown in --help), converted by StrToFloat
// while parsing; `value` must outlive the parse (keep it with the subcommand's callback).
CLI::Option* AddRealOption(CLI::App* app, const std::string& name, double& value,
                           const std::string& description);
// An option kept as text, for commands that convert their inputs in a window's order.
// `type` is what --help shows for its value: a number unless said otherwise.
CLI::Option* AddTextOption(CLI::App* app, const std::string& name, std::string& text,
                           const std::string& description, const std::string& type = "数値");

// Messages on stderr, a plain message box (a result) on stdout. A confirmation is answered
// Yes (or OK) with --yes; without it its text is printed and the command stops (exit 1),
// as the command line never waits for input.
class CliPrompter : public Prompter {
public:
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    void Plain(const std::string& text, const std::string& caption) override;
    void Beep() override {}
};
CliPrompter& SharedPrompter();

// A one-line progress display on stderr with the percent and the time left, shown only
// when stderr is a terminal; Ctrl-C cancels.
class CliProgress : public Progress {
public:
    void SetProgressComment(const std::string& text) override;
    void SetProgressPosition(int percent) override;
    bool Cancelled() const override;
    void SetStatusLine(const std::string& text) override;
    void Hide() override;
private:
    // At most ten redraws a second, only on a terminal.
    void Draw(bool force = false);
    std::string title_, status_;
    int percent_ = 0;
    bool shown_ = false;
    std::chrono::steady_clock::time_point started_, drawn_;
};
CliProgress& SharedProgress();

// Prints one line on stdout.
void PrintLine(const std::string& text);
// At exit: flushes stdout; a write that failed (a full disk, a closed pipe) turns a
// success into exit 1 with a message on stderr, so no command reports output it lost.
int FinishStdout(int rc);

// The index of `value` among `names`; a usage error otherwise.
int Choice(const std::string& option, const std::string& value,
           std::initializer_list<const char*> names);
// A profile column given by its header name or by its number counted from 1.
int ProfileColumn(const std::string& option, const std::string& value,
                  const std::vector<std::string>& header);

// The bed options of shoal and the series tools, as typed (numbers already checked while
// parsing); an end not given is the profile's, or the default of a plane bed.
struct BedOptions {
    std::string xAxis = "depth", slope = "0.1", profile, distanceColumn = "1", depthColumn = "2";
    std::string obsPos, onshoreEnd = "0.1", offshoreEnd = "10";
    bool onshoreEndGiven = false, offshoreEndGiven = false;
};
// --slope, --profile, --distance-column and --depth-column, the same on every command.
void AddBedShapeOptions(CLI::App* app, BedOptions& options);
// The run the core sets up from them; a column not in the profile's header is a usage
// error naming its option, any other problem an error with the core's message.
ShoalingRun SetUpBed(int method, const BedOptions& options, const PhysicalConstants& constants);

}  // namespace orvane

namespace orvane {

// Ctrl-C (and SIGTERM): the first sets the core's cancel flag, which every long loop
// asks; the second ends the program at once. An interrupted command leaves no output file
// and exits 130 (SIGINT) or 143 (SIGTERM).
void InstallInterruptHandler();
bool InterruptRequested();
// Raises CancelledError once a signal came.
void ThrowIfInterrupted();
// 128 + the signal.
int InterruptExitCode();

// The save rules for a command's output file: its extension one of `formats` (by the
// series format table); never one of `inputs` (the files being read); never a folder; an
// existing file only after the question (answered by --yes).
void CheckOutputFile(const std::string& output, const std::vector<std::string>& inputs,
                     const std::vector<SeriesFormat>& formats);
// "出力ファイル (.sdf または .tsd)": an output option's help from the formats it takes.
std::string OutputHelp(const std::string& what, const std::vector<SeriesFormat>& formats);
// "結果のファイル: .sdf なら SDF、.tsd なら TSD": a series output whose extension chooses.
std::string SeriesOutputHelp();

}  // namespace orvane

#include <memory>
#include "core/runtime/TextFile.h"

namespace orvane {

// --encoding utf-8|cp932 for a command that writes CSV (UTF-8 unless asked).
CLI::Option* AddEncodingOption(CLI::App* app, std::string& encoding);

// CSV lines to a file (written whole or not at all, CR LF) or to stdout (LF) when `path`
// is empty, in the encoding named by --encoding.
class CsvOutput {
public:
    CsvOutput(const std::string& path, const std::string& encoding);
    void Line(const std::string& utf8);
    void Commit();
private:
    std::unique_ptr<AtomicTextWriter> file_;
    bool cp932_ = false;
};

}  // namespace orvane

namespace orvane {

// A method option takes a name or its number, the same way on every command.
struct MethodName {
    std::string name;
    int number;
};
// The four shoaling models, by the names the commands accept.
std::vector<MethodName> ShoalMethodNames();
// The number of `value` (a name among `names`, any case, or one of their numbers); a usage
// error naming `option` and the accepted values otherwise.
int ParseMethod(const std::string& option, const std::string& value, const std::vector<MethodName>& names);
// "0 regular | 1 goda | ..." for a help text.
std::string MethodList(const std::vector<MethodName>& names);

}  // namespace orvane

namespace orvane {
// Japanese usage texts for CLI11: help labels, the help flag, and its parse errors.
void UseJapaneseUsage(CLI::App& app);
// After every subcommand is registered: their group heading in Japanese.
void NameSubcommandGroups(CLI::App& app);
}  // namespace orvane
