// Feeds arbitrary text to the --frames parser. A list it accepts must agree
// with itself: the frames it visits lie within its lowest and highest and
// within the frame numbers a render can name, and as far as they are visited
// they match its count.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "tests/fuzz/one_line_message.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/frame_range.h"

namespace {

// Enough to cross a few spans and their steps; a list of millions of frames
// is valid but visiting it all would stall the fuzzer.
constexpr std::int64_t kVisitLimit = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using tonemill::cli::FrameList;
    using tonemill::cli::kMaxFrameNumber;
    const std::string text(reinterpret_cast<const char*>(data), size);
    FrameList list;
    try {
        list = FrameList::parse(text);
    } catch (const tonemill::cli::UsageError& error) {
        ChromvaleBeta2::fuzzing::requireOneLineMessage(error);
        return 0;
    }
    std::int64_t visited = 0;
    std::int64_t lowest = std::numeric_limits<std::int64_t>::max();
    std::int64_t highest = std::numeric_limits<std::int64_t>::min();
    list.forEach([&](std::int64_t frame) {
        if (frame < -kMaxFrameNumber || frame > kMaxFrameNumber) std::abort();
        lowest = std::min(lowest, frame);
        highest = std::max(highest, frame);
        return ++visited < kVisitLimit;
    });
    const std::int64_t count = list.count();
    if (count < 1 || visited < 1 || lowest < list.lowest() || highest > list.highest()) std::abort();
    if (count <= kVisitLimit && (visited != count || lowest != list.lowest() || highest != list.highest()))
        std::abort();
    if (list.single() && count != 1) std::abort();
    return 0;
}
