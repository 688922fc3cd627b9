// tonemill: renders, bakes and lists looks through the Tonemill plug-in, loaded
// from its bundle as any OpenFX host loads it.

#include <cstdio>
#include <exception>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands.h"

int main(int argc, char **argv) {
  using namespace tonemill::cli;
  try {
    const CommandLine line = parseCommandLine(argc, argv);
    if (line.command == "render") return runRender(line);
    if (line.command == "bake") return runBake(line);
    if (line.command == "list") return runList(line);
    if (line.command == "info") return runInfo(line);
    if (line.command == "help") {
      std::fputs(usageText(), stdout);
      return 0;
    }
    throw UsageError(line.command.empty() ? "no command given" : "unknown command '" + line.command + "'");
  } catch (const UsageError &error) {
    std::fprintf(stderr, "tonemill: %s\n%s", error.what(), usageText());
    return error.exitCode();
  } catch (const CliError &error) {
    std::fprintf(stderr, "tonemill: %s\n", error.what());
    return error.exitCode();
  } catch (const std::exception &error) {
    std::fprintf(stderr, "tonemill: %s\n", error.what());
    return 1;
  }
}
