// Feeds arbitrary paths to the frame pattern expansion, at frames that test
// the padding and the sign. A path is either refused by both functions or
// expanded for every frame; only a path with a pattern differs between
// frames, and a path without one only loses the second '%' of each "%%".
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/fuzz/one_line_message.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/frame_range.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tonemill::cli;
    const std::string path(reinterpret_cast<const char*>(data), size);
    bool patterned = false;
    try {
        patterned = hasFramePattern(path);
    } catch (const UsageError& error) {
        ChromvaleBeta2::fuzzing::requireOneLineMessage(error);
        try {
            pathForFrame(path, 0);
        } catch (const UsageError&) {
            return 0;
        }
        std::abort();
    }
    const std::string atZero = pathForFrame(path, 0);
    for (const std::int64_t frame : {std::int64_t{1001}, std::int64_t{-42}, kMaxFrameNumber, -kMaxFrameNumber}) {
        const std::string named = pathForFrame(path, frame);
        if (patterned != (named != atZero)) std::abort();
        if (patterned && named.find(std::to_string(frame < 0 ? -frame : frame)) == std::string::npos) std::abort();
    }
    if (!patterned) {
        const auto percents = [](const std::string& text) { return std::count(text.begin(), text.end(), '%'); };
        if (percents(atZero) * 2 != percents(path) || atZero.size() + percents(atZero) != path.size()) std::abort();
    }
    return 0;
}
