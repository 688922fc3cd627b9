// ChromvaleNG: construction, parameter lookup, enabled states, changes and the
// identity test (its render is in render_orchestration.cpp, its test toggle rules
// in test_toggle_rules.cpp, its LUT export in lut_export.cpp).

#include "plugin/ChromvaleNG.h"

#include <cassert>
#include <stdexcept>

#include "plugin/bundle_path.h"
#include "plugin/param_catalogue.h"
#include "plugin/platform/help_opener.h"
#include "plugin/test_image_store.h"

namespace ChromvaleBeta2 {

namespace {

// Whether a change of that parameter can change which parameters are enabled.
bool drivesEnabledStates(std::string_view name) {
    for (const ParamSpec& entry : paramCatalogue()) {
        if (entry.enabledBy == name) return true;
    }
    return false;
}

template <class Param>
Param& lookup(const std::map<std::string_view, Param*>& params, std::string_view name) {
    auto found = params.find(name);
    // Names come from this file and the catalogue; a miss is a programming error.
    if (found == params.end()) throw std::logic_error("no parameter " + std::string(name));
    return *found->second;
}

}  // namespace

ChromvaleNG::ChromvaleNG(OfxImageEffectHandle handle) : OFX::ImageEffect(handle) {
    m_dstClip = fetchClip(kOfxImageEffectOutputClipName);
    m_srcClip = fetchClip(kOfxImageEffectSimpleSourceClipName);
    m_export33Button = fetchPushButtonParam("export33LUTButton");
    m_export65Button = fetchPushButtonParam("export65LUTButton");

    for (const ParamSpec& entry : paramCatalogue()) {
        const std::string name(entry.name);
        switch (entry.kind) {
            case ParamKind::Double: m_doubles[entry.name] = fetchDoubleParam(name); break;
            case ParamKind::Boolean: m_booleans[entry.name] = fetchBooleanParam(name); break;
            case ParamKind::Choice: m_choices[entry.name] = fetchChoiceParam(name); break;
            case ParamKind::Group:
            case ParamKind::PushButton: break;
        }
    }

    updateDependentParams(0);
    loadTestImages();

    assert(m_export33Button && m_export65Button);
    applyTestToggleRules(0);
}

ChromvaleNG::~ChromvaleNG() = default;

OFX::DoubleParam& ChromvaleNG::doubleParam(std::string_view name) const {
    return lookup(m_doubles, name);
}
OFX::BooleanParam& ChromvaleNG::booleanParam(std::string_view name) const {
    return lookup(m_booleans, name);
}
OFX::ChoiceParam& ChromvaleNG::choiceParam(std::string_view name) const {
    return lookup(m_choices, name);
}

float ChromvaleNG::readFloat(std::string_view name, double time) const {
    double value = 0;
    doubleParam(name).getValueAtTime(time, value);
    return static_cast<float>(value);
}

bool ChromvaleNG::readBool(std::string_view name, double time) const {
    bool value = false;
    booleanParam(name).getValueAtTime(time, value);
    return value;
}

int ChromvaleNG::readChoice(std::string_view name, double time) const {
    int value = 0;
    choiceParam(name).getValueAtTime(time, value);
    return value;
}

void ChromvaleNG::setEnabled(std::string_view name, bool enabled) const {
    if (auto choice = m_choices.find(name); choice != m_choices.end()) {
        choice->second->setEnabled(enabled);
    } else if (auto toggle = m_booleans.find(name); toggle != m_booleans.end()) {
        toggle->second->setEnabled(enabled);
    } else {
        doubleParam(name).setEnabled(enabled);
    }
}

void ChromvaleNG::enableExportButtons(bool enabled) {
    m_export33Button->setEnabled(enabled);
    m_export65Button->setEnabled(enabled);
}

void ChromvaleNG::updateDependentParams(double time) {
    // Everything off first, then on what the choices enable, so each parameter's
    // enabled state is written in the same order whatever the choices are.
    for (const ParamSpec& entry : paramCatalogue()) {
        if (!entry.enabledBy.empty()) setEnabled(entry.name, false);
    }
    for (const ParamSpec& entry : paramCatalogue()) {
        if (!entry.enabledBy.empty() && enabledByOption(entry, readChoice(entry.enabledBy, time))) {
            setEnabled(entry.name, true);
        }
    }
}

void ChromvaleNG::changedParam(const OFX::InstanceChangedArgs& args, const std::string& paramName) {
    if (drivesEnabledStates(paramName)) {
        updateDependentParams(args.time);
    } else if (isTestToggle(paramName)) {
        applyTestToggleRules(args.time);
    } else if (paramName == "helpButton") {
        openHelpPage(bundleResource("help.html"));
    } else if (paramName == "export33LUTButton") {
        renderLUT(args.time, 33);
    } else if (paramName == "export65LUTButton") {
        renderLUT(args.time, 65);
    }
}

bool ChromvaleNG::isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& identityClip, double& identityTime) {
    LookParams values;
    gatherLookParams(values, args.time);
    if (!looksNeutral(values)) return false;
    identityClip = m_srcClip;
    identityTime = args.time;
    return true;
}

}  // namespace ChromvaleBeta2
