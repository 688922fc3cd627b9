// The diagnostic log: one process-wide file, opened by the first line written.

#include "ofx/support/ofxsLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace OFX::Log {
namespace {

// Fixed when the library is loaded, so a host changing its environment later does
// not move the log.
const std::string gFileName = [] {
    const char* name = std::getenv("OFX_PLUGIN_LOGFILE");
    return name ? std::string(name) : std::string();
}();
// Hosts run actions of several instances at once: each line is written whole
// under the lock, so lines of different threads never mix.
std::mutex gFileMutex;
std::FILE* gFile = nullptr;
std::atomic<int> gIndentLevel{0};

// A failed open writes nothing now and is tried again by the next line.
bool ensureOpen() {
    if (!gFile && !gFileName.empty()) gFile = std::fopen(gFileName.c_str(), "w");
    return gFile != nullptr;
}

void writeLine(const char* prefix, const char* format, std::va_list args) {
    std::lock_guard lock(gFileMutex);
    if (!ensureOpen()) return;
    for (int level = 0, levels = gIndentLevel.load(); level < levels; ++level) std::fputs("    ", gFile);
    std::fputs(prefix, gFile);
    std::vfprintf(gFile, format, args);
    std::fputc('\n', gFile);
    std::fflush(gFile);
}

}  // namespace

void print(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    writeLine("", format, args);
    va_end(args);
}

void warning(bool condition, const char* format, ...) {
    if (!condition) return;
    std::va_list args;
    va_start(args, format);
    writeLine("WARNING : ", format, args);
    va_end(args);
}

void error(bool condition, const char* format, ...) {
    if (!condition) return;
    std::va_list args;
    va_start(args, format);
    writeLine("ERROR : ", format, args);
    va_end(args);
}

bool active() {
    return !gFileName.empty();
}

void indent() {
    ++gIndentLevel;
}
void outdent() {
    --gIndentLevel;
}

}  // namespace OFX::Log
