#include "plugin/describe_params.h"

#include <stdexcept>
#include <string>

#include "plugin/param_catalogue.h"

namespace ChromvaleBeta2 {

namespace {

// A define call answers null only for a name already taken by another kind,
// which the catalogue's unique names rule out; fail loudly rather than crash.
template <class Descriptor>
Descriptor& defined(Descriptor* descriptor, const ParamSpec& entry) {
    if (!descriptor) throw std::logic_error("parameter " + std::string(entry.name) + " is defined twice");
    return *descriptor;
}

void setParentOf(OFX::ParamDescriptor& param, OFX::ImageEffectDescriptor& desc, const ParamSpec& entry) {
    if (entry.parent.empty()) return;
    // The group is defined earlier in the catalogue, so this only looks it up.
    param.setParent(defined(desc.defineGroupParam(std::string(entry.parent)), entry));
}

void setEnabledOf(OFX::ParamDescriptor& param, const ParamSpec& entry) {
    if (entry.enabled != DescribedFlag::Unset) param.setEnabled(entry.enabled == DescribedFlag::On);
}

OFX::ParamDescriptor& describeDouble(OFX::ImageEffectDescriptor& desc, const ParamSpec& entry) {
    const std::string name(entry.name), label(entry.label);
    auto& param = defined(desc.defineDoubleParam(name), entry);
    param.setLabels(label, label, label);
    param.setScriptName(name);
    param.setHint(std::string(entry.hint));
    param.setDefault(entry.defaultValue);
    param.setRange(entry.minimum, entry.maximum);
    param.setIncrement(kDoubleIncrement);
    param.setDisplayRange(entry.minimum, entry.maximum);
    param.setDoubleType(OFX::eDoubleTypeScale);
    setParentOf(param, desc, entry);
    return param;
}

OFX::ParamDescriptor& describeBoolean(OFX::ImageEffectDescriptor& desc, const ParamSpec& entry) {
    const std::string name(entry.name), label(entry.label);
    auto& param = defined(desc.defineBooleanParam(name), entry);
    param.setLabels(label, label, label);
    param.setScriptName(name);
    param.setHint(std::string(entry.hint));
    param.setDefault(false);
    setParentOf(param, desc, entry);
    return param;
}

OFX::ParamDescriptor& describeChoice(OFX::ImageEffectDescriptor& desc, const ParamSpec& entry) {
    auto& param = defined(desc.defineChoiceParam(std::string(entry.name)), entry);
    param.setHint(std::string(entry.hint));
    param.setLabel(std::string(entry.label));
    // Options carry no label, so the hint stays the plain text above.
    for (const LutOption& option : optionsOf(entry.name)) param.appendOption(std::string(option.text), "");
    param.setDefault(static_cast<int>(entry.defaultValue));
    setEnabledOf(param, entry);
    setParentOf(param, desc, entry);
    return param;
}

OFX::ParamDescriptor& describeGroup(OFX::ImageEffectDescriptor& desc, const ParamSpec& entry) {
    auto& group = defined(desc.defineGroupParam(std::string(entry.name)), entry);
    group.setHint(std::string(entry.hint));
    group.setLabel(std::string(entry.label));
    if (entry.open != DescribedFlag::Unset) group.setOpen(entry.open == DescribedFlag::On);
    return group;
}

OFX::ParamDescriptor& describeButton(OFX::ImageEffectDescriptor& desc, const ParamSpec& entry) {
    auto& button = defined(desc.definePushButtonParam(std::string(entry.name)), entry);
    button.setLabel(std::string(entry.label));
    button.setHint(std::string(entry.hint));
    setEnabledOf(button, entry);
    return button;
}

OFX::ParamDescriptor& describeOne(OFX::ImageEffectDescriptor& desc, const ParamSpec& entry) {
    switch (entry.kind) {
        case ParamKind::Double: return describeDouble(desc, entry);
        case ParamKind::Boolean: return describeBoolean(desc, entry);
        case ParamKind::Choice: return describeChoice(desc, entry);
        case ParamKind::Group: return describeGroup(desc, entry);
        case ParamKind::PushButton: return describeButton(desc, entry);
    }
    throw std::logic_error("parameter " + std::string(entry.name) + " has no known kind");
}

}  // namespace

void describeParams(OFX::ImageEffectDescriptor& desc) {
    OFX::PageParamDescriptor& page = *desc.definePageParam(std::string(kPageName));
    for (const ParamSpec& entry : paramCatalogue()) {
        OFX::ParamDescriptor& param = describeOne(desc, entry);
        if (entry.onPage) page.addChild(param);
    }
}

}  // namespace ChromvaleBeta2
