#include "tools/tonemill/effect_chain.h"

#include <filesystem>

#include "tools/tonemill/bundle_locator.h"

namespace tonemill::cli {
namespace {

// The second effect's bundle: beside a bundle given with --bundle, else where
// the first would be found.
std::string secondBundle(const CommandLine& line, const std::string& bundleName) {
    if (!line.bundle.empty()) {
        const std::filesystem::path beside = std::filesystem::path(line.bundle).parent_path() / bundleName;
        std::error_code ignored;
        if (std::filesystem::is_directory(beside, ignored)) return beside.string();
    }
    return locateBundle("", bundleName);
}

}  // namespace

EffectChain::EffectChain(const CommandLine& line, unsigned threads) : line_(line) {
    first_ =
        std::make_unique<EffectSession>(locateBundle(line.bundle, bundleNameFor(line.effect, "--effect")), threads);
    wholeFrames_ = line.effect == "texture";
    if (!line.then.empty()) {
        then_ = std::make_unique<EffectSession>(secondBundle(line, bundleNameFor(line.then, "--then")), *first_);
        wholeFrames_ = wholeFrames_ || line.then == "texture";
    }
}

void EffectChain::applyAll() {
    first_->apply(line_.assignments);
    if (then_) then_->apply(line_.thenAssignments);
}

std::shared_ptr<host::HostImage> EffectChain::render(std::shared_ptr<host::HostImage> source, std::int64_t frame,
                                                     host::DeviceImages* device) {
    std::shared_ptr<host::HostImage> image = first_->render(std::move(source), frame, device);
    if (then_) image = then_->render(std::move(image), frame, device);
    return image;
}

void EffectChain::beginSequenceRender(double first, double last) {
    first_->instance().beginSequenceRender(first, last);
    if (then_) then_->instance().beginSequenceRender(first, last);
}

void EffectChain::endSequenceRender() {
    first_->instance().endSequenceRender();
    if (then_) then_->instance().endSequenceRender();
}

}  // namespace tonemill::cli
