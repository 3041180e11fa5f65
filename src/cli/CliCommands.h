#pragma once
// Each group of subcommands registers itself on the top-level app. A subcommand's callback
// throws orvane::OrvaneError for a computation error (exit 1, message on stderr); CLI11
// parse errors exit 2.
#include <CLI/CLI.hpp>

void RegisterWaveCommands(CLI::App& app);        // airy, wavenumber
void RegisterCalculatorCommands(CLI::App& app);  // rayleigh, bottom-velocity
void RegisterSeriesCommands(CLI::App& app);      // series info|convert|csv
void RegisterShoalCommands(CLI::App& app);       // shoal
void RegisterTimeSeriesCommands(CLI::App& app);  // wave-velocity-series, wave-height-series
