// The commands as a module of their own, which the tonemill program loads only
// when a command is to run: they bring the image libraries and the host, whose
// loading would otherwise delay even a usage error.

#include <string_view>

#include "tools/tonemill/commands.h"
#include "tools/tonemill/commands_module.h"
#include "tools/tonemill/reported_run.h"

namespace {

using namespace tonemill::cli;

int runModuleCommand(const CommandLine& line) {
    const std::string_view command = line.command;
    if (command == "render") return runRender(line);
    if (command == "bake") return runBake(line);
    if (command == "list") return runList(line);
    if (command == "sheet") return runSheet(line);
    if (command == "looks") return runLooks(line);
    return runInfo(line);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int tonemillRunCommand(int argc, char** argv) {
    return runReportingFailures(argc, argv, runModuleCommand);
}
