// tonemill: renders, bakes and lists looks through the Tonemill plug-in, loaded
// from its bundle as any OpenFX host loads it. This program answers help,
// --version and malformed command lines itself; the commands run in a module it
// loads only then, with the image libraries and the host.

#include <cstdio>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands_module.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/reported_run.h"

int main(int argc, char** argv) {
    using namespace tonemill::cli;
    const auto answerOrHandOn = [argc, argv](const CommandLine& line) {
        if (line.version) {
            std::printf("tonemill %s\n", TONEMILL_VERSION);
            return 0;
        }
        if (line.command == "help" || (line.command.empty() && line.help)) {
            if (line.positional.size() > 1) throw UsageError("help takes at most one command");
            std::fputs(line.positional.empty() ? usageText() : commandHelp(line.positional[0]).c_str(), stdout);
            return 0;
        }
        if (line.help) {
            std::fputs(commandHelp(line.command).c_str(), stdout);
            return 0;
        }
        if (isModuleCommand(line.command)) return runThroughCommandsModule(argc, argv);
        throw UsageError(line.command.empty() ? "no command given" : "unknown command " + quotedText(line.command));
    };
    return runReportingFailures(argc, argv, answerOrHandOn, LookFiles::leftUnread);
}
