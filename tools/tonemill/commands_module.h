#pragma once

// What the tonemill program and its commands module agree on: the module's file
// name, where it lies, and the one function it exports.

#include <string_view>

namespace tonemill::cli {

// The commands the module runs; the program answers everything else itself.
bool isModuleCommand(std::string_view command);

// Runs the command line through the module beside the program (the build tree)
// or in ../lib/tonemill (an installed prefix). A module that cannot be loaded is
// a CliError naming where it was looked for.
int runThroughCommandsModule(int argc, char** argv);

inline constexpr const char* kCommandsModule = "tonemill-commands.so";
inline constexpr const char* kRunCommandSymbol = "tonemillRunCommand";

}  // namespace tonemill::cli

// The module's entry: runs the command line and reports its failures itself.
extern "C" int tonemillRunCommand(int argc, char** argv);
