#pragma once

#include "tools/tonemill/command_line.h"

namespace tonemill::cli {

// Each returns the process exit status; failures are thrown as CliError.
int runRender(const CommandLine& line);
int runBake(const CommandLine& line);
int runList(const CommandLine& line);
int runInfo(const CommandLine& line);
int runSheet(const CommandLine& line);
int runLooks(const CommandLine& line);

}  // namespace tonemill::cli
