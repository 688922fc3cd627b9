#pragma once

#include <string>

#include "tools/tonemill/command_line.h"

namespace tonemill::cli {

// `bake NAME.clf`: the look written by the plug-in as a CLF process list, stage
// by stage. Steps it cannot write exactly are reported on standard error.
int bakeClf(const CommandLine& line, const std::string& target);

// `bake DIR/config.ocio`: a minimal OpenColorIO config in DIR (working space,
// the look as an OCIO look, a display named for the look's output profile with
// a view named for the look) and the look's CLF beside it.
int bakeOcioConfig(const CommandLine& line, const std::string& target);

}  // namespace tonemill::cli
