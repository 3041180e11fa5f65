#include <exception>
#include <new>
#include <iostream>

#include "core/runtime/Messages.h"
#include "CliCommands.h"
#include "CliCommon.h"
#include "core/runtime/Cancel.h"
#include "core/runtime/Errors.h"

int main(int argc, char** argv) {
    CLI::App app{"Orvane: 沿岸波浪解析 (command line)", "orvane-cli"};
    app.require_subcommand(1);
    orvane::UseJapaneseUsage(app);
    app.set_version_flag("--version", std::string("orvane-cli (Orvane) ") + ORVANE_VERSION, "版を表示して終了");
    orvane::AddGlobalOptions(app);
    RegisterWaveCommands(app);
    RegisterCalculatorCommands(app);
    RegisterSeriesCommands(app);
    RegisterShoalCommands(app);
    RegisterTimeSeriesCommands(app);
    app.footer("例: orvane-cli airy --depth 10 --period 8 --height 1\n"
               "各サブコマンドの説明と例は orvane-cli サブコマンド --help で表示されます。\n");
    orvane::NameSubcommandGroups(app);
    orvane::InstallInterruptHandler();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return orvane::FinishStdout(rc == 0 ? 0 : 2);
    } catch (const orvane::CancelledError& e) {
        orvane::SharedProgress().Hide();
        std::cout.flush();
        std::cerr << e.what() << std::endl;
        return orvane::InterruptExitCode();
    } catch (const std::bad_alloc&) {
        orvane::SharedProgress().Hide();
        std::cout.flush();
        std::cerr << orvane::msg::kOutOfMemory << std::endl;
        return orvane::FinishStdout(1);
    } catch (const std::exception& e) {
        // Computation errors, and values that the program's parser rejects; after a signal
        // whatever stopped the run is the interruption.
        orvane::SharedProgress().Hide();
        std::cout.flush();
        if (orvane::InterruptRequested()) {
            std::cerr << orvane::CancelledError().what() << std::endl;
            return orvane::InterruptExitCode();
        }
        std::cerr << e.what() << std::endl;
        return orvane::FinishStdout(1);
    }
    return orvane::FinishStdout(0);
}
