#pragma once

#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tools/tonemill/look_assignments.h"
#include "tools/tonemill/output_settings.h"

namespace tonemill::cli {

// Everything a command may be given. Each command refuses the options it has
// no use for, so that none is silently ignored.
struct CommandLine {
    std::string command;
    std::vector<std::string> positional;
    std::vector<Assignment> assignments;      // from --look files and --set, in order given
    std::string effect = "look";              // --effect: the effect that renders first
    std::string then;                         // --then: the effect the first one's output goes through
    std::vector<Assignment> thenAssignments;  // --set and --look given after --then
    std::string bundle;                       // --bundle
    std::string vary;                         // --vary
    std::optional<std::string> values;        // --values
    std::string gpu = "cpu";                  // --gpu
    std::optional<std::string> frames;        // --frames
    unsigned size = 33;                       // --size
    unsigned threads = 0;                     // --threads; 0 = every CPU
    OutputSettings output;                    // --depth, --compression
    bool skipMissing = false;                 // --skip-missing
    bool skipExisting = false;                // --skip-existing
    bool help = false;                        // COMMAND --help
    bool version = false;                     // --version
    std::set<std::string> given;              // every option given, as typed
};

// Whether parsing reads the --look files. A pipe or standard input given as a
// look can be read only once, so the program that hands the command line on
// to the commands module leaves them to the module.
enum class LookFiles { read, leftUnread };

// Throws UsageError for unknown options, missing or empty values and empty
// file names. "--" ends the options: everything after it is a file name.
CommandLine parseCommandLine(int argc, char** argv, LookFiles lookFiles = LookFiles::read);

// Throws UsageError for any option given that `command` does not use: those
// named here, besides --bundle, --help and --version, which every command takes.
void acceptOnly(const CommandLine& line, const std::string& command, std::initializer_list<std::string_view> used);

const char* usageText();
// The help of one command; throws UsageError for an unknown one.
std::string commandHelp(const std::string& command);

}  // namespace tonemill::cli
