#include "CliCommands.h"

void RegisterWaveCommands(CLI::App& app) { (void)app; }
