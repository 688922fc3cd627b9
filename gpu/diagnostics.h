#pragma once

// What the colour engine has to tell the diagnostic log, and what a GPU launch
// came to. The engine keeps no log of its own: it hands its lines, in order, to
// the caller, which writes them where it keeps its log.

#include <string>
#include <vector>

namespace ChromvaleBeta2 {

struct DiagnosticLine {
    bool isError = false;
    std::string text;
};

class Diagnostics {
 public:
#if defined(__GNUC__)
    void note(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void error(const char* format, ...) __attribute__((format(printf, 2, 3)));
#else
    void note(const char* format, ...);
    void error(const char* format, ...);
#endif
    const std::vector<DiagnosticLine>& lines() const {
        return lines_;
    }

 private:
    std::vector<DiagnosticLine> lines_;
};

// Done: the work went to the device, or failed in a way the lines describe while
// the destination stays as the host gave it. Unsupported: this back-end cannot
// serve the render at all. Failed: the render was refused (images missing).
enum class GpuOutcome { Done, Unsupported, Failed };

}  // namespace ChromvaleBeta2
