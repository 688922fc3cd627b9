#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/device_images.h"
#include "host/host_image.h"
#include "host/param.h"
#include "host/property_set.h"
#include "ofxImageEffect.h"

namespace tonemill::host {

class Effect;
class Instance;

// A clip as the image effect suite sees it. On an instance it may carry the pixels
// the host supplies for it (a source clip) or the image being rendered (the output).
class Clip {
 public:
    Clip(Effect& effect, std::string name, PropertySet properties);
    ~Clip();
    Clip(const Clip&) = delete;
    Clip& operator=(const Clip&) = delete;

    OfxImageClipHandle handle() { return reinterpret_cast<OfxImageClipHandle>(this); }
    static Clip* fromHandle(OfxImageClipHandle handle);

    Effect& effect() { return effect_; }
    const std::string& name() const { return name_; }
    PropertySet& properties() { return properties_; }
    const PropertySet& properties() const { return properties_; }

    std::shared_ptr<HostImage> image;  // null: no image at any time

 private:
    static constexpr unsigned liveTag = 0x434c4950u;  // "CLIP"
    unsigned tag_ = liveTag;
    Effect& effect_;
    std::string name_;
    PropertySet properties_;
};

// An image effect handle: a descriptor (plain or for a context) or an instance.
class Effect {
 public:
    explicit Effect(PropertySet properties, std::unique_ptr<ParamSet> params = std::make_unique<ParamSet>());
    ~Effect();
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    OfxImageEffectHandle handle() { return reinterpret_cast<OfxImageEffectHandle>(this); }
    static Effect* fromHandle(const void* handle);

    PropertySet& properties() { return properties_; }
    ParamSet& params() { return *params_; }
    const std::vector<std::unique_ptr<Clip>>& clips() const { return clips_; }
    Clip* clip(const std::string& name);
    // The clip of that name, defined now if it is new.
    Clip* defineClip(const std::string& name);

    // A copy of these properties, parameters and clips, as a descriptor for a context.
    std::unique_ptr<Effect> cloneDescriptor() const;
    // An instance in a context made from this context descriptor.
    std::unique_ptr<Effect> instantiate(const std::string& context) const;

    Instance* instance = nullptr;  // set while an Instance drives this effect
    std::atomic<bool> abortRequested{false};
    std::atomic<std::uint64_t> abortCalls{0};
    OfxPointD renderScale{1.0, 1.0};  // of the render in progress, for its images
    DeviceImages* device = nullptr;   // GPU back-end of the render in progress; null for CPU images

 private:
    static constexpr unsigned liveTag = 0x45464654u;  // "EFFT"
    unsigned tag_ = liveTag;
    PropertySet properties_;
    std::unique_ptr<ParamSet> params_;
    std::vector<std::unique_ptr<Clip>> clips_;
};

}  // namespace tonemill::host
