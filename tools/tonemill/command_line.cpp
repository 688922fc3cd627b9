#include "tools/tonemill/command_line.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "tools/tonemill/bundle_locator.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/numbers.h"
#include "tools/tonemill/shipped_looks.h"

namespace tonemill::cli {
namespace {

unsigned parseCount(const std::string& option, const std::string& text) {
    const std::optional<std::int64_t> value = parseInteger(text);
    if (!value || *value < 0 || *value > 1'000'000)
        throw UsageError(option + " expects a whole number, got " + quotedText(text));
    return static_cast<unsigned>(*value);
}

const std::map<std::string, std::string>& commandHelps() {
    static const std::map<std::string, std::string> helps{
        {"render",
         "usage: tonemill render [IN] OUT [--set NAME=VALUE]... [--look FILE|NAME]\n"
         "                       [--gpu cpu|opencl|cuda] [--frames LIST] [--skip-missing] [--skip-existing]\n"
         "                       [--depth uint8|uint16|half|float] [--compression NAME]\n"
         "Renders IN through the look into OUT, in the format OUT's extension names. IN and OUT\n"
         "may hold a frame pattern such as %04d (%% is a '%'); without IN the built-in tone\n"
         "chart is rendered. OUT keeps IN's depth where its format holds it, its data and\n"
         "display windows and its metadata. OUT appears only once complete, and never\n"
         "replaces IN.\n"
         "  --frames LIST     1001-1100, 1001-1100x2 (every second frame) or 1,5,9-12\n"
         "  --skip-missing    render the frames whose input exists, and say which were not\n"
         "  --skip-existing   leave frames whose output exists (resumes a stopped job)\n"
         "  --compression     as OpenImageIO names it: zip, piz, dwaa:45 (EXR), lzw (TIFF)...\n"
         "  --effect NAME     the effect to render: look (the default) or texture (grain,\n"
         "                    halation and bloom)\n"
         "  --then NAME       run the first effect's output through a second, texture; the\n"
         "                    --set values after it are the second effect's\n"},
        {"bake",
         "usage: tonemill bake OUT.cube|OUT.clf|DIR/config.ocio|- [--size 33|65] [--set NAME=VALUE]...\n"
         "                     [--look FILE|NAME]\n"
         "Writes the look as a .cube LUT, the same bytes as the export buttons; '-' writes\n"
         "it to standard output. OUT.clf is the look as a CLF file, stage by stage rather\n"
         "than resampled; config.ocio is a minimal OpenColorIO config with the look, its\n"
         "CLF beside it. Test views are never baked.\n"},
        {"sheet",
         "usage: tonemill sheet [IN] OUT.png --vary PARAM|look [--values A,B,...] [--set NAME=VALUE]...\n"
         "                      [--look FILE|NAME]\n"
         "Renders IN (without IN the built-in tone chart) once for every option of the choice\n"
         "PARAM, or for the given values, as a labelled grid of small pictures. A slider\n"
         "without --values shows five steps across its range; --vary look shows every\n"
         "shipped look, or those named in --values, each over the --set and --look values.\n"
         "--effect and --then choose the effects as for render; --vary names a parameter of\n"
         "the first.\n"},
        {"looks",
         "usage: tonemill looks\n"
         "The shipped looks, each with its purpose; --look NAME applies one (a file of that\n"
         "name is read first).\n"},
        {"list",
         "usage: tonemill list [--effect look|texture]\n"
         "Every parameter of the effect with its kind, default, range and options.\n"},
        {"info", "usage: tonemill info\nThe plug-in's identity, the bundle's path and the GPU device report.\n"},
        {"help", "usage: tonemill help [COMMAND]\n"},
    };
    return helps;
}

}  // namespace

const char* usageText() {
    return "usage: tonemill [--bundle PATH] [--threads N] COMMAND ...\n"
           "  render [IN] OUT [--set NAME=VALUE]... [--look FILE|NAME] [--gpu cpu|opencl|cuda] [--frames LIST]\n"
           "         [--skip-missing] [--skip-existing] [--depth D] [--compression NAME]\n"
           "         IN and OUT may hold a frame pattern such as %04d; without IN the built-in\n"
           "         tone chart is rendered.\n"
           "  bake OUT.cube|OUT.clf|DIR/config.ocio|- [--size 33|65] [--set NAME=VALUE]... [--look FILE|NAME]\n"
           "  sheet [IN] OUT.png --vary PARAM|look [--values A,B,...] [--set NAME=VALUE]... [--look ...]\n"
           "         a labelled grid of IN through every option or value of PARAM\n"
           "  looks  the shipped looks, which --look NAME applies\n"
           "  list [--effect look|texture]  every parameter with its kind, default, range and options\n"
           "  render and sheet take --effect look|texture, and --then texture to chain both\n"
           "  info   plug-in identity, bundle path and the GPU device report\n"
           "  help [COMMAND], COMMAND --help, --version\n"
           "The bundle is found through --bundle, OFX_PLUGIN_PATH, then beside this program, then /usr/OFX/Plugins.\n";
}

std::string commandHelp(const std::string& command) {
    const auto help = commandHelps().find(command);
    if (help == commandHelps().end()) throw UsageError("no help for unknown command " + quotedText(command));
    return help->second;
}

CommandLine parseCommandLine(int argc, char** argv, LookFiles lookFiles) {
    CommandLine line;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw UsageError(argument + " needs a value");
            // An empty value would mean the default for some options, silently.
            if (*argv[i + 1] == '\0') throw UsageError(argument + " needs a value, got an empty one");
            return argv[++i];
        };
        const bool option = !optionsEnded && argument.size() > 1 && argument.front() == '-';
        if (option) line.given.insert(argument);
        if (!option) {
            // Only a missing IN means the tone chart; an empty one is a mistake.
            if (argument.empty())
                throw UsageError("argument " + std::to_string(i) + " is empty; a command or file name was expected");
            if (line.command.empty())
                line.command = argument;
            else
                line.positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--set") {
            (line.then.empty() ? line.assignments : line.thenAssignments).push_back(parseAssignment(value(), "--set"));
        } else if (argument == "--look") {
            const std::string look = value();
            if (lookFiles == LookFiles::read)
                for (Assignment& assignment : readLookFile(resolveLook(look).string()))
                    (line.then.empty() ? line.assignments : line.thenAssignments).push_back(std::move(assignment));
        } else if (argument == "--effect") {
            line.effect = value();
            bundleNameFor(line.effect, argument);
        } else if (argument == "--then") {
            if (!line.then.empty()) throw UsageError("--then is given twice; one effect can follow the first");
            line.then = value();
            bundleNameFor(line.then, argument);
        } else if (argument == "--vary") {
            line.vary = value();
        } else if (argument == "--values") {
            line.values = value();
        } else if (argument == "--bundle") {
            line.bundle = value();
        } else if (argument == "--gpu") {
            line.gpu = value();
            if (line.gpu != "cpu" && line.gpu != "opencl" && line.gpu != "cuda")
                throw UsageError("--gpu expects cpu, opencl or cuda, got " + quotedText(line.gpu));
        } else if (argument == "--frames") {
            line.frames = value();
        } else if (argument == "--size") {
            line.size = parseCount(argument, value());
            if (line.size != 33 && line.size != 65) throw UsageError("--size expects 33 or 65");
        } else if (argument == "--threads") {
            line.threads = parseCount(argument, value());
        } else if (argument == "--depth") {
            line.output.depth = value();
            checkDepthName(line.output.depth);
        } else if (argument == "--compression") {
            line.output.compression = value();
        } else if (argument == "--skip-missing") {
            line.skipMissing = true;
        } else if (argument == "--skip-existing") {
            line.skipExisting = true;
        } else if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--version") {
            line.version = true;
        } else {
            throw UsageError("unknown option " + quotedText(argument));
        }
    }
    return line;
}

void acceptOnly(const CommandLine& line, const std::string& command, std::initializer_list<std::string_view> used) {
    static constexpr std::string_view kEveryCommand[] = {"--bundle", "--help", "-h", "--version", "--"};
    for (const std::string& option : line.given) {
        const auto matches = [&](std::string_view name) { return name == option; };
        if (std::none_of(std::begin(kEveryCommand), std::end(kEveryCommand), matches) &&
            std::none_of(used.begin(), used.end(), matches))
            throw UsageError(option + " has no effect on " + command);
    }
}

}  // namespace tonemill::cli
