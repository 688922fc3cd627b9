#include "tools/tonemill/progress_bar.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace tonemill::cli {
namespace {

std::string clock(double seconds) {
    const auto whole = static_cast<long long>(seconds + 0.5);
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

}  // namespace

ProgressBar::ProgressBar(std::int64_t frames)
    : total_(frames), terminal_(::isatty(STDERR_FILENO) == 1), lastDrawn_(start_) {}

ProgressBar::~ProgressBar() {
    if (terminal_ && drawn_) std::fputc('\n', stderr);
}

void ProgressBar::partDone(std::int64_t frame, double fraction) {
    const auto now = std::chrono::steady_clock::now();
    if (!terminal_ || now - lastDrawn_ < std::chrono::milliseconds(200)) return;
    draw(frame, static_cast<double>(finished_) + fraction, nullptr);
}

void ProgressBar::frameDone(std::int64_t frame, const char* note) {
    ++finished_;
    // A single frame gets a line only when it took long enough to show one.
    if (total_ > 1 || drawn_) draw(frame, static_cast<double>(finished_), note);
}

void ProgressBar::message(const std::string& text) {
    std::fprintf(stderr, "%s%s\n", terminal_ && drawn_ ? "\r\x1b[K" : "", text.c_str());
    std::fflush(stderr);
}

void ProgressBar::draw(std::int64_t frame, double done, const char* note) {
    constexpr int kWidth = 40;
    lastDrawn_ = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(lastDrawn_ - start_).count();
    const double share = total_ > 0 ? done / static_cast<double>(total_) : 1.0;
    const int filled = static_cast<int>(share * kWidth);
    const std::string left = done > 0 ? clock(elapsed * (static_cast<double>(total_) - done) / done) : "?";
    std::fprintf(stderr, "%s[%.*s%*s] %lld/%lld frames (frame %lld) elapsed %s, left %s%s%s%s", terminal_ ? "\r" : "",
                 filled, "########################################", kWidth - filled, "",
                 static_cast<long long>(finished_), static_cast<long long>(total_), static_cast<long long>(frame),
                 clock(elapsed).c_str(), left.c_str(), note ? ", " : "", note ? note : "", terminal_ ? "\x1b[K" : "\n");
    std::fflush(stderr);
    drawn_ = true;
}

}  // namespace tonemill::cli
