#pragma once

#include <functional>

#include "tools/tonemill/command_line.h"

namespace tonemill::cli {

// Parses the arguments and runs `run` on them. Every failure becomes one
// "tonemill:" line on standard error and the failure's exit status; a usage
// error adds the hint to the help.
int runReportingFailures(int argc, char** argv, const std::function<int(const CommandLine& line)>& run,
                         LookFiles lookFiles = LookFiles::read);

}  // namespace tonemill::cli
