#include "tests/unit/gpu/log_capture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ofx/support/ofxsLog.h"

namespace ChromvaleBeta2::testing {
namespace {

std::filesystem::path logPath() {
    // The log creates its file with the first line; an empty line makes sure
    // there is one to measure.
    static const bool opened = [] {
        OFX::Log::print("%s", "");
        return true;
    }();
    (void)opened;
    return std::getenv("OFX_PLUGIN_LOGFILE");
}

}  // namespace

LogCapture::LogCapture() : start_(std::filesystem::file_size(logPath())) {}

std::vector<std::string> LogCapture::lines() const {
    std::ifstream file(logPath(), std::ios::binary);
    file.seekg(static_cast<std::streamoff>(start_));
    std::vector<std::string> result;
    for (std::string line; std::getline(file, line);) result.push_back(line);
    return result;
}

std::string LogCapture::text() const {
    std::string joined;
    for (const std::string& line : lines()) joined += line + '\n';
    return joined;
}

}  // namespace ChromvaleBeta2::testing
