#include "CliCommands.h"

void RegisterSeriesCommands(CLI::App& app) { (void)app; }
