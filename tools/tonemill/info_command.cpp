#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "ofxImageEffect.h"
#include "tools/tonemill/bundle_locator.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/commands.h"
#include "tools/tonemill/effect_session.h"
#include "tools/tonemill/message_text.h"

namespace tonemill::cli {
namespace {

// The plug-in writes its GPU device report to its diagnostic log while it is
// described; a log of our own catches it when the user has not asked for one.
// Ours is a new file of a name no one can foresee, created where no link
// planted in a shared temporary folder can send the plug-in's writes
// elsewhere (mkstemp's O_EXCL follows no link), and removed afterwards.
class DiagnosticLog {
 public:
    DiagnosticLog() {
        if (const char* named = std::getenv("OFX_PLUGIN_LOGFILE"); named && *named) {
            path_ = named;
            return;
        }
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        if (error) throw CliError("cannot find a temporary folder for the device report: " + error.message());
        std::string pattern = (folder / "tonemill-info-XXXXXX").string();
        descriptor_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor_ < 0)
            throw CliError("cannot create a log for the device report in " + quotedText(folder.string()) + ": " +
                           std::strerror(errno));
        path_ = pattern;
        ::setenv("OFX_PLUGIN_LOGFILE", path_.c_str(), 1);
    }
    ~DiagnosticLog() {
        if (descriptor_ < 0) return;
        ::unlink(path_.c_str());
        ::close(descriptor_);
        ::unsetenv("OFX_PLUGIN_LOGFILE");
    }
    DiagnosticLog(const DiagnosticLog&) = delete;
    DiagnosticLog& operator=(const DiagnosticLog&) = delete;

    // Lines of the device report written during the describe action.
    std::vector<std::string> deviceReport() const {
        static const std::regex reportLine(
            R"(^(CUDA .*|ERROR : .*|Device Number: .*|  \S.*|\d+\. Device: .*| \d+\.\d .*)$)");
        // Ours is read through the file we created, whatever its name comes to point at.
        std::ifstream log(descriptor_ >= 0 ? "/proc/self/fd/" + std::to_string(descriptor_) : path_);
        std::vector<std::string> lines;
        bool inDescribe = false;
        for (std::string line; std::getline(log, line);) {
            if (line.find("START mainEntry (" kOfxActionDescribe ")") != std::string::npos)
                inDescribe = true;
            else if (line.find("STOP mainEntry (" kOfxActionDescribe ")") != std::string::npos)
                inDescribe = false;
            else if (inDescribe && line.rfind("    ", 0) == 0 && std::regex_match(line.substr(4), reportLine))
                lines.push_back(line.substr(4));
        }
        return lines;
    }

 private:
    std::string path_;
    int descriptor_ = -1;  // of the log we created; -1 for the user's
};

}  // namespace

int runInfo(const CommandLine& line) {
    acceptOnly(line, "info", {});
    if (!line.positional.empty()) throw UsageError("info takes no arguments");
    DiagnosticLog log;
    EffectSession session(locateBundle(line.bundle), 1);
    OfxPlugin* record = session.plugin().record();
    auto& description = session.host().description();
    auto& effect = session.plugin().descriptor()->properties();
    std::printf("host:        %s (%s)\n", description.getString(kOfxPropLabel).c_str(),
                description.getString(kOfxPropName).c_str());
    std::printf("plug-in:     %s, %s %u.%u\n", effect.getString(kOfxPropLabel).c_str(), record->pluginIdentifier,
                record->pluginVersionMajor, record->pluginVersionMinor);
    std::printf("bundle:      %s\n", std::filesystem::absolute(session.bundlePath()).c_str());
    std::printf("GPU report:\n");
    for (const std::string& reportLine : log.deviceReport()) std::printf("  %s\n", reportLine.c_str());
    return 0;
}

}  // namespace tonemill::cli
