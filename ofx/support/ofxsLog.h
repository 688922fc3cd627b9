#pragma once
// The diagnostic log. It writes only when the environment variable OFX_PLUGIN_LOGFILE
// names a file when the library is loaded; the file is created (truncated) by the
// first line written, every line is flushed, and each indent level adds four spaces.
// Safe to call from any thread; the indentation is one level for the whole process.

namespace OFX::Log {

#if defined(__GNUC__) || defined(__clang__)
#define OFXS_LOG_FORMAT(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define OFXS_LOG_FORMAT(fmtIndex, firstArg)
#endif

void print(const char* format, ...) OFXS_LOG_FORMAT(1, 2);
// Both write their line (prefixed "WARNING : " or "ERROR : ") only when the
// condition holds; otherwise they return without touching the file.
void warning(bool condition, const char* format, ...) OFXS_LOG_FORMAT(2, 3);
void error(bool condition, const char* format, ...) OFXS_LOG_FORMAT(2, 3);

// Whether lines go anywhere: callers skip work whose only product is a log line.
bool active();

void indent();
void outdent();

}  // namespace OFX::Log
