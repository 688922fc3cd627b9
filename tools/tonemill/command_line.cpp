#include "tools/tonemill/command_line.h"

#include <charconv>

#include "tools/tonemill/cli_error.h"

namespace tonemill::cli {
namespace {

unsigned parseCount(const std::string &option, const std::string &text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    throw UsageError(option + " expects a whole number, got '" + text + "'");
  return value;
}

}  // namespace

const char *usageText() {
  return "usage: tonemill [--bundle PATH] [--threads N] COMMAND ...\n"
         "  render [IN] OUT [--set NAME=VALUE]... [--look FILE] [--gpu cpu|opencl|cuda] [--frames A-B]\n"
         "         IN and OUT may hold a frame pattern such as %04d; without IN the built-in\n"
         "         tone chart is rendered.\n"
         "  bake OUT.cube [--size 33|65] [--set NAME=VALUE]... [--look FILE]\n"
         "  list   every parameter with its kind, default, range and options\n"
         "  info   plug-in identity, bundle path and the GPU device report\n"
         "The bundle is found through OFX_PLUGIN_PATH, then beside this program, then /usr/OFX/Plugins.\n";
}

CommandLine parseCommandLine(int argc, char **argv) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw UsageError(argument + " needs a value");
      return argv[++i];
    };
    if (argument == "--set") {
      line.assignments.push_back(parseAssignment(value(), "--set"));
    } else if (argument == "--look") {
      for (Assignment &assignment : readLookFile(value())) line.assignments.push_back(std::move(assignment));
    } else if (argument == "--bundle") {
      line.bundle = value();
    } else if (argument == "--gpu") {
      line.gpu = value();
      if (line.gpu != "cpu" && line.gpu != "opencl" && line.gpu != "cuda")
        throw UsageError("--gpu expects cpu, opencl or cuda, got '" + line.gpu + "'");
    } else if (argument == "--frames") {
      line.frames = value();
    } else if (argument == "--size") {
      line.size = parseCount(argument, value());
      if (line.size != 33 && line.size != 65) throw UsageError("--size expects 33 or 65");
    } else if (argument == "--threads") {
      line.threads = parseCount(argument, value());
    } else if (argument == "--help" || argument == "-h") {
      line.command = "help";
    } else if (argument.size() > 1 && argument.front() == '-' && argument != "-") {
      throw UsageError("unknown option '" + argument + "'");
    } else if (line.command.empty()) {
      line.command = argument;
    } else {
      line.positional.push_back(argument);
    }
  }
  return line;
}

}  // namespace tonemill::cli
