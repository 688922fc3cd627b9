// tonemill: renders, bakes and lists looks through the Tonemill plug-in, loaded
// from its bundle as any OpenFX host loads it.

#include <cstdio>
#include <exception>
#include <string>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands.h"
#include "tools/tonemill/message_text.h"

namespace {

using namespace tonemill::cli;

int runCommand(const CommandLine &line) {
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
  if (line.command == "render") return runRender(line);
  if (line.command == "bake") return runBake(line);
  if (line.command == "list") return runList(line);
  if (line.command == "info") return runInfo(line);
  throw UsageError(line.command.empty() ? "no command given" : "unknown command " + quotedText(line.command));
}

// Every message is one line, whatever a library or a file put into it.
void report(const std::string &message) { std::fprintf(stderr, "tonemill: %s\n", oneLine(message).c_str()); }

}  // namespace

int main(int argc, char **argv) {
  try {
    return runCommand(parseCommandLine(argc, argv));
  } catch (const UsageError &error) {
    report(std::string(error.what()) + " (see 'tonemill help')");
    return error.exitCode();
  } catch (const CliError &error) {
    report(error.what());
    return error.exitCode();
  } catch (const std::exception &error) {
    report(error.what());
    return 1;
  }
}
