#include "CliCommands.h"

void RegisterShoalCommands(CLI::App& app) { (void)app; }
