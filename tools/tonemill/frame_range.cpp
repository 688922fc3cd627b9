#include "tools/tonemill/frame_range.h"

#include <cctype>
#include <charconv>

#include "tools/tonemill/cli_error.h"

namespace tonemill::cli {
namespace {

struct Pattern {
  size_t start = std::string::npos;
  size_t length = 0;
  int width = 0;
};

Pattern findPattern(const std::string &path) {
  const size_t percent = path.find('%');
  if (percent == std::string::npos) return {};
  size_t i = percent + 1;
  int width = 0;
  while (i < path.size() && std::isdigit(static_cast<unsigned char>(path[i])) && width < 100)
    width = width * 10 + (path[i++] - '0');
  if (i >= path.size() || path[i] != 'd' || path.find('%', i) != std::string::npos)
    throw UsageError("'" + path + "' holds a '%' that is not one frame pattern like %04d");
  return {percent, i + 1 - percent, width};
}

int parseFrame(const std::string &text, const std::string &whole) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    throw UsageError("--frames expects A-B with whole frame numbers, got '" + whole + "'");
  return value;
}

}  // namespace

FrameRange parseFrameRange(const std::string &text) {
  const size_t dash = text.find('-', 1);  // a leading '-' is a sign
  FrameRange range;
  range.first = parseFrame(text.substr(0, dash), text);
  range.last = dash == std::string::npos ? range.first : parseFrame(text.substr(dash + 1), text);
  if (range.last < range.first) throw UsageError("--frames range '" + text + "' ends before it starts");
  return range;
}

bool hasFramePattern(const std::string &path) { return findPattern(path).start != std::string::npos; }

std::string pathForFrame(const std::string &path, int frame) {
  const Pattern pattern = findPattern(path);
  if (pattern.start == std::string::npos) return path;
  std::string number = std::to_string(frame < 0 ? -frame : frame);
  if (static_cast<int>(number.size()) < pattern.width) number.insert(0, pattern.width - number.size(), '0');
  if (frame < 0) number.insert(0, 1, '-');
  return path.substr(0, pattern.start) + number + path.substr(pattern.start + pattern.length);
}

}  // namespace tonemill::cli
