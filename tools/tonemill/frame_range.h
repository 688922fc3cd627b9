#pragma once

#include <optional>
#include <string>

namespace tonemill::cli {

struct FrameRange {
  int first = 0;
  int last = 0;
};

// "A-B" or a single frame "A". Throws UsageError.
FrameRange parseFrameRange(const std::string &text);

// Whether a path holds a printf-style frame number ("%d", "%04d").
bool hasFramePattern(const std::string &path);

// The path with its frame pattern replaced by the frame number; unchanged when it
// has none. Throws UsageError for a '%' that is not a frame pattern.
std::string pathForFrame(const std::string &path, int frame);

}  // namespace tonemill::cli
