#include "CliCommands.h"

void RegisterTimeSeriesCommands(CLI::App& app) { (void)app; }
