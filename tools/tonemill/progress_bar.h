#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tonemill::cli {

// Progress of a render job on standard error, with the time taken and the time
// left. On a terminal one line redrawn in place, also within large frames; in
// a log file one plain line per frame, with no carriage returns.
class ProgressBar {
 public:
    explicit ProgressBar(std::int64_t frames);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Part of the current frame is done (0 to 1); drawn on a terminal only.
    void partDone(std::int64_t frame, double fraction);
    // `note` is added to the line ("skipped: ...").
    void frameDone(std::int64_t frame, const char* note = nullptr);
    // A line of its own ("tonemill: ..."), not overwritten by the bar.
    void message(const std::string& text);

 private:
    void draw(std::int64_t frame, double done, const char* note);

    std::int64_t total_;
    std::int64_t finished_ = 0;
    bool terminal_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace tonemill::cli
