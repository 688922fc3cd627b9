#include "tools/tonemill/frame_range.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <sstream>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/numbers.h"

namespace tonemill::cli {
namespace {

constexpr int kMaxPadding = 32;

struct Pattern {
    size_t start = std::string::npos;
    size_t length = 0;
    int width = 0;
};

[[noreturn]] void refusePercent(const std::string& path) {
    throw UsageError(quotedText(path) + " holds a '%' that is neither one frame pattern like %04d nor %% for a '%'");
}

// The frame pattern, if any; checks that every other '%' is half of a "%%".
Pattern findPattern(const std::string& path) {
    Pattern found;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') continue;
        if (i + 1 < path.size() && path[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t end = i + 1;
        int width = 0;
        while (end < path.size() && std::isdigit(static_cast<unsigned char>(path[end])) && width <= kMaxPadding)
            width = width * 10 + (path[end++] - '0');
        if (end >= path.size() || path[end] != 'd' || width > kMaxPadding || found.start != std::string::npos)
            refusePercent(path);
        found = {i, end + 1 - i, width};
        i = end;
    }
    return found;
}

std::string literal(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') ++i;
    }
    return out;
}

std::int64_t parseFrame(const std::string& text, const std::string& whole) {
    const std::optional<std::int64_t> frame = parseInteger(text);
    if (!frame)
        throw UsageError("--frames expects frames like 1001-1100, 1001-1100x2 or 1,5,9-12, got " + quotedText(whole));
    if (*frame > kMaxFrameNumber || *frame < -kMaxFrameNumber)
        throw UsageError("--frames " + quotedText(whole) + ": frame numbers lie within ±" +
                         std::to_string(kMaxFrameNumber));
    return *frame;
}

FrameList::Span parseSpan(const std::string& item, const std::string& whole) {
    FrameList::Span span;
    std::string range = item;
    if (const size_t x = item.find('x'); x != std::string::npos) {
        range = item.substr(0, x);
        span.step = parseFrame(item.substr(x + 1), whole);
        if (span.step <= 0) throw UsageError("--frames " + quotedText(whole) + ": a step must be 1 or more");
    }
    const size_t dash = range.find('-', 1);  // a leading '-' is a sign
    span.first = parseFrame(range.substr(0, dash), whole);
    span.last = dash == std::string::npos ? span.first : parseFrame(range.substr(dash + 1), whole);
    if (span.last < span.first) throw UsageError("--frames range " + quotedText(item) + " ends before it starts");
    return span;
}

}  // namespace

FrameList FrameList::parse(const std::string& text) {
    FrameList list;
    list.spans_.clear();
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) list.spans_.push_back(parseSpan(item, text));
    if (list.spans_.empty() || text.back() == ',') parseSpan("", text);  // throws with the usual message
    return list;
}

std::int64_t FrameList::count() const {
    std::int64_t total = 0;
    for (const Span& span : spans_) {
        const std::int64_t frames = (span.last - span.first) / span.step + 1;
        total = frames > std::numeric_limits<std::int64_t>::max() - total ? std::numeric_limits<std::int64_t>::max()
                                                                          : total + frames;
    }
    return total;
}

std::int64_t FrameList::lowest() const {
    return std::min_element(spans_.begin(), spans_.end(),
                            [](const Span& a, const Span& b) { return a.first < b.first; })
        ->first;
}

std::int64_t FrameList::highest() const {
    std::int64_t highest = spans_.front().first;
    for (const Span& span : spans_)
        highest = std::max(highest, span.first + (span.last - span.first) / span.step * span.step);
    return highest;
}

bool hasFramePattern(const std::string& path) {
    return findPattern(path).start != std::string::npos;
}

std::string pathForFrame(const std::string& path, std::int64_t frame) {
    const Pattern pattern = findPattern(path);
    if (pattern.start == std::string::npos) return literal(path);
    const std::uint64_t magnitude =
        frame < 0 ? 0 - static_cast<std::uint64_t>(frame) : static_cast<std::uint64_t>(frame);
    std::string number = std::to_string(magnitude);
    if (static_cast<int>(number.size()) < pattern.width) number.insert(0, pattern.width - number.size(), '0');
    if (frame < 0) number.insert(0, 1, '-');
    return literal(path.substr(0, pattern.start)) + number + literal(path.substr(pattern.start + pattern.length));
}

}  // namespace tonemill::cli
