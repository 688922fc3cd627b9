#include "tools/tonemill/reported_run.h"

#include <cstdio>
#include <exception>
#include <string>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/standard_output.h"

namespace tonemill::cli {
namespace {

// Every message is one line, whatever a library or a file put into it.
void report(const std::string& message) {
    std::fprintf(stderr, "tonemill: %s\n", oneLine(message).c_str());
}

}  // namespace

int runReportingFailures(int argc, char** argv, const std::function<int(const CommandLine& line)>& run,
                         LookFiles lookFiles) {
    holdClosedStandardDescriptors();
    try {
        const int status = run(parseCommandLine(argc, argv, lookFiles));
        if (status == 0) flushStandardOutput();
        return status;
    } catch (const UsageError& error) {
        report(std::string(error.what()) + " (see 'tonemill help')");
        return error.exitCode();
    } catch (const CliError& error) {
        report(error.what());
        return error.exitCode();
    } catch (const std::exception& error) {
        report(error.what());
        return 1;
    } catch (...) {
        // A library may throw what is no std::exception; it still ends in a message, not an abort.
        report("failed with an error that carries no message");
        return 1;
    }
}

}  // namespace tonemill::cli
