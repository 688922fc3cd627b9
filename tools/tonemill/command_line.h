#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/tonemill/look_assignments.h"

namespace tonemill::cli {

// Everything a command may be given. Each command checks which parts it accepts.
struct CommandLine {
  std::string command;
  std::vector<std::string> positional;
  std::vector<Assignment> assignments;  // from --look files and --set, in order given
  std::string bundle;                   // --bundle
  std::string gpu = "cpu";              // --gpu
  std::optional<std::string> frames;    // --frames
  unsigned size = 33;                   // --size
  unsigned threads = 0;                 // --threads; 0 = every CPU
};

// Throws UsageError for unknown options or missing values.
CommandLine parseCommandLine(int argc, char **argv);

const char *usageText();

}  // namespace tonemill::cli
