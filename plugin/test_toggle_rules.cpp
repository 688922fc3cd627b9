// ChromvaleNG's rules for the test view toggles (the class's other methods are in
// ChromvaleNG.cpp, render_orchestration.cpp and lut_export.cpp).

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "plugin/ChromvaleNG.h"

namespace ChromvaleBeta2 {

namespace {

constexpr std::string_view kRamp = "testRampToggle", kSat = "testSatToggle", kTone = "testToneToggle",
                           kZones = "testKorvoLUTToggle", kGuide = "testKorvoOverlayToggle";

}  // namespace

bool isTestToggle(std::string_view name) {
    return name == kRamp || name == kSat || name == kTone || name == kZones || name == kGuide;
}

// Renders only read values, so the rules that keep the test toggles exclusive run
// where a host lets the plug-in edit: when the instance is made and when a toggle
// changes. The zone guide only makes sense over a test view; with none on it is
// switched off, and gathering treats it as off wherever that write has not landed.
void ChromvaleNG::applyTestToggleRules(double time) {
    const bool ramp = readBool(kRamp, time), sat = readBool(kSat, time), tone = readBool(kTone, time),
               zones = readBool(kZones, time);
    auto enableOnly = [this](std::initializer_list<std::string_view> off, std::string_view on = {}) {
        for (std::string_view name : off) setEnabled(name, false);
        if (!on.empty()) setEnabled(on, true);
    };
    if (ramp) {
        enableOnly({kSat, kTone, kZones, kGuide});
    } else if (sat) {
        enableOnly({kRamp, kTone, kZones, kGuide});
    } else if (tone) {
        enableOnly({kRamp, kSat, kZones, kGuide});
    } else if (zones) {
        enableOnly({kRamp, kSat, kTone}, kGuide);
    } else {
        for (std::string_view name : {kRamp, kSat, kTone, kZones}) setEnabled(name, true);
        setEnabled(kGuide, false);
        if (readBool(kGuide, time)) switchGuideOff();
    }
    // A zone chart is a diagnostic view, not a look worth exporting.
    enableExportButtons(!zones);
}

void ChromvaleNG::switchGuideOff() {
    try {
        booleanParam(kGuide).setValue(false);
    } catch (const OFX::Exception::Suite& refusal) {
        // Not every host allows edits at create-instance; renders see it off anyway.
        OFX::Log::warning(true, "Host refused to switch %s off (%s); renders treat it as off.", kGuide.data(),
                          refusal.what());
    }
}

}  // namespace ChromvaleBeta2
