#pragma once

#include <cstdio>

namespace tonemill::cli {

// A one-line bar on standard error, redrawn in place, for frame ranges.
class ProgressBar {
 public:
  explicit ProgressBar(int total) : total_(total) {}
  ~ProgressBar() {
    if (drawn_) std::fputc('\n', stderr);
  }
  ProgressBar(const ProgressBar &) = delete;
  ProgressBar &operator=(const ProgressBar &) = delete;

  void show(int done, int frame) {
    constexpr int kWidth = 40;
    const int filled = total_ > 0 ? done * kWidth / total_ : kWidth;
    std::fprintf(stderr, "\r[%.*s%*s] %d/%d frames (frame %d)", filled, "########################################",
                 kWidth - filled, "", done, total_, frame);
    std::fflush(stderr);
    drawn_ = true;
  }

 private:
  int total_;
  bool drawn_ = false;
};

}  // namespace tonemill::cli
