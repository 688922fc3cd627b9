#include "plugin/describe_params.h"

#include <stdexcept>
#include <string>

#include "plugin/param_catalogue.h"

namespace ChromvaleBeta2 {

namespace {

// A define call answers null only for a name already taken by another kind,
// which the catalogue's unique names rule out; fail loudly rather than crash.
template <class Descriptor>
Descriptor& defined(Descriptor* descriptor, const ParamSpec& spec) {
    if (!descriptor) throw std::logic_error("parameter " + std::string(spec.name) + " is defined twice");
    return *descriptor;
}

void setParentOf(OFX::ParamDescriptor& param, OFX::ImageEffectDescriptor& desc, const ParamSpec& spec) {
    if (spec.parent.empty()) return;
    // The group is defined earlier in the catalogue, so this only looks it up.
    param.setParent(defined(desc.defineGroupParam(std::string(spec.parent)), spec));
}

void setEnabledOf(OFX::ParamDescriptor& param, const ParamSpec& spec) {
    if (spec.enabled != DescribedFlag::Unset) param.setEnabled(spec.enabled == DescribedFlag::On);
}

OFX::ParamDescriptor& describeDouble(OFX::ImageEffectDescriptor& desc, const ParamSpec& spec) {
    const std::string name(spec.name), label(spec.label);
    auto& param = defined(desc.defineDoubleParam(name), spec);
    param.setLabels(label, label, label);
    param.setScriptName(name);
    param.setHint(std::string(spec.hint));
    param.setDefault(spec.defaultValue);
    param.setRange(spec.minimum, spec.maximum);
    param.setIncrement(kDoubleIncrement);
    param.setDisplayRange(spec.minimum, spec.maximum);
    param.setDoubleType(OFX::eDoubleTypeScale);
    setParentOf(param, desc, spec);
    return param;
}

OFX::ParamDescriptor& describeBoolean(OFX::ImageEffectDescriptor& desc, const ParamSpec& spec) {
    const std::string name(spec.name), label(spec.label);
    auto& param = defined(desc.defineBooleanParam(name), spec);
    param.setLabels(label, label, label);
    param.setScriptName(name);
    param.setHint(std::string(spec.hint));
    param.setDefault(false);
    setParentOf(param, desc, spec);
    return param;
}

OFX::ParamDescriptor& describeChoice(OFX::ImageEffectDescriptor& desc, const ParamSpec& spec) {
    auto& param = defined(desc.defineChoiceParam(std::string(spec.name)), spec);
    param.setHint(std::string(spec.hint));
    param.setLabel(std::string(spec.label));
    // Options carry no label, so the hint stays the plain text above.
    for (const LutOption& option : optionsOf(spec.name)) param.appendOption(std::string(option.text), "");
    param.setDefault(static_cast<int>(spec.defaultValue));
    setEnabledOf(param, spec);
    setParentOf(param, desc, spec);
    return param;
}

OFX::ParamDescriptor& describeGroup(OFX::ImageEffectDescriptor& desc, const ParamSpec& spec) {
    auto& group = defined(desc.defineGroupParam(std::string(spec.name)), spec);
    group.setHint(std::string(spec.hint));
    group.setLabel(std::string(spec.label));
    if (spec.open != DescribedFlag::Unset) group.setOpen(spec.open == DescribedFlag::On);
    return group;
}

OFX::ParamDescriptor& describeButton(OFX::ImageEffectDescriptor& desc, const ParamSpec& spec) {
    auto& button = defined(desc.definePushButtonParam(std::string(spec.name)), spec);
    button.setLabel(std::string(spec.label));
    button.setHint(std::string(spec.hint));
    setEnabledOf(button, spec);
    return button;
}

OFX::ParamDescriptor& describeOne(OFX::ImageEffectDescriptor& desc, const ParamSpec& spec) {
    switch (spec.kind) {
        case ParamKind::Double: return describeDouble(desc, spec);
        case ParamKind::Boolean: return describeBoolean(desc, spec);
        case ParamKind::Choice: return describeChoice(desc, spec);
        case ParamKind::Group: return describeGroup(desc, spec);
        case ParamKind::PushButton: return describeButton(desc, spec);
    }
    throw std::logic_error("parameter " + std::string(spec.name) + " has no known kind");
}

}  // namespace

void describeParams(OFX::ImageEffectDescriptor& desc) {
    OFX::PageParamDescriptor& page = *desc.definePageParam(std::string(kPageName));
    for (const ParamSpec& spec : paramCatalogue()) {
        OFX::ParamDescriptor& param = describeOne(desc, spec);
        if (spec.onPage) page.addChild(param);
    }
}

}  // namespace ChromvaleBeta2
