#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonemill::cli {

// Frame numbers are 64-bit, within what an OpenFX time (a double) holds
// exactly, so every frame named renders at its own time.
inline constexpr std::int64_t kMaxFrameNumber = (std::int64_t{1} << 53) - 1;

// "A", "A-B" or "A-BxS" (every S-th frame from A to B), or several of them
// separated by commas: "1001-1100x2", "1,5,9-12". Frames render in the order given.
class FrameList {
 public:
    struct Span {
        std::int64_t first = 0, last = 0, step = 1;
    };

    // A single frame 0, for a render without --frames.
    FrameList() : spans_{Span{}} {}
    // Throws UsageError naming what is wrong.
    static FrameList parse(const std::string& text);

    std::int64_t count() const;  // saturates at INT64_MAX
    std::int64_t lowest() const;
    std::int64_t highest() const;
    bool single() const { return spans_.size() == 1 && spans_[0].first == spans_[0].last; }

    // Calls visit(frame) for every frame in order while it returns true,
    // without stepping past the last one (or past INT64_MAX).
    template <class Visit>
    void forEach(Visit&& visit) const {
        for (const Span& span : spans_)
            for (std::int64_t frame = span.first;; frame += span.step) {
                if (!visit(frame)) return;
                if (span.last - frame < span.step) break;
            }
    }

 private:
    std::vector<Span> spans_;
};

// Whether a path holds a printf-style frame number ("%d", "%04d").
bool hasFramePattern(const std::string& path);

// The path with its frame pattern replaced by the frame number and every "%%"
// by "%". Throws UsageError for any other '%' or a second frame pattern.
std::string pathForFrame(const std::string& path, std::int64_t frame);

}  // namespace tonemill::cli
