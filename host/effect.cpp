#include "host/effect.h"

#include "host/standard_properties.h"

namespace tonemill::host {

Clip::Clip(Effect& effect, std::string name, PropertySet properties)
    : effect_(effect), name_(std::move(name)), properties_(std::move(properties)) {}

Clip::~Clip() {
    tag_ = 0;
}

Clip* Clip::fromHandle(OfxImageClipHandle handle) {
    auto* clip = reinterpret_cast<Clip*>(handle);
    return clip && clip->tag_ == liveTag ? clip : nullptr;
}

Effect::Effect(PropertySet properties, std::unique_ptr<ParamSet> params)
    : properties_(std::move(properties)), params_(std::move(params)) {}

Effect::~Effect() {
    tag_ = 0;
}

Effect* Effect::fromHandle(const void* handle) {
    auto* effect = static_cast<Effect*>(const_cast<void*>(handle));
    return effect && effect->tag_ == liveTag ? effect : nullptr;
}

Clip* Effect::clip(const std::string& name) {
    for (auto& clip : clips_)
        if (clip->name() == name) return clip.get();
    return nullptr;
}

Clip* Effect::defineClip(const std::string& name) {
    if (Clip* existing = clip(name)) return existing;
    clips_.push_back(std::make_unique<Clip>(*this, name, clipDescriptorProperties(name)));
    return clips_.back().get();
}

std::unique_ptr<Effect> Effect::cloneDescriptor() const {
    auto copy = std::make_unique<Effect>(properties_, params_->instantiate());
    for (const auto& clip : clips_)
        copy->clips_.push_back(std::make_unique<Clip>(*copy, clip->name(), clip->properties()));
    return copy;
}

std::unique_ptr<Effect> Effect::instantiate(const std::string& context) const {
    auto instance = cloneDescriptor();
    addEffectInstanceProperties(instance->properties_, context);
    for (auto& clip : instance->clips_) addClipInstanceProperties(clip->properties());
    return instance;
}

}  // namespace tonemill::host
