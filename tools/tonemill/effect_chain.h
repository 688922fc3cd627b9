#pragma once

#include <cstdint>
#include <memory>

#include "tools/tonemill/command_line.h"
#include "tools/tonemill/effect_session.h"

namespace tonemill::cli {

// The effects a render runs, in order: the one --effect names (the look by
// default), then the one --then names, each loaded from its own bundle and
// given its own --set values.
class EffectChain {
 public:
    // Throws CliError when a bundle cannot be found or loaded.
    EffectChain(const CommandLine& line, unsigned threads);

    // The first effect: --vary and the values before --then are its.
    EffectSession& first() { return *first_; }
    // Applies the --set and --look values of every effect.
    void applyAll();

    // Whether some effect needs the whole frame at once: the texture effect's
    // grain is placed by frame and its glows read beyond each pixel.
    bool needsWholeFrames() const { return wholeFrames_; }

    // The source through every effect in turn.
    std::shared_ptr<host::HostImage> render(std::shared_ptr<host::HostImage> source, std::int64_t frame,
                                            host::DeviceImages* device = nullptr);
    void beginSequenceRender(double first, double last);
    void endSequenceRender();

 private:
    const CommandLine& line_;
    std::unique_ptr<EffectSession> first_;
    std::unique_ptr<EffectSession> then_;
    bool wholeFrames_ = false;
};

}  // namespace tonemill::cli
