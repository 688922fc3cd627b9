#include "plugin/param_catalogue.h"

#include <algorithm>
#include <array>

#include "pipeline/look_params.h"

namespace ChromvaleBeta2 {

namespace {

// The option lists come from the look data shared with the LUT generator.
#include "plugin/option_lists.inc"

using K = ParamKind;
using F = DescribedFlag;

constexpr ParamSpec paramEntry(std::string_view name, K kind, std::string_view label, std::string_view hint,
                               std::string_view parent) {
    ParamSpec entry;
    entry.name = name;
    entry.kind = kind;
    entry.label = label;
    entry.hint = hint;
    entry.parent = parent;
    return entry;
}

constexpr ParamSpec group(std::string_view name, std::string_view label, F open = F::Unset) {
    ParamSpec group = paramEntry(name, K::Group, label, label, "");
    group.open = open;
    return group;
}

constexpr ParamSpec slider(std::string_view name, std::string_view label, std::string_view hint,
                           double def, double min, double max, std::string_view parent) {
    ParamSpec slider = paramEntry(name, K::Double, label, hint, parent);
    slider.defaultValue = def;
    slider.minimum = min;
    slider.maximum = max;
    return slider;
}

constexpr ParamSpec toggle(std::string_view name, std::string_view label, std::string_view parent) {
    return paramEntry(name, K::Boolean, label, label, parent);
}

constexpr ParamSpec choice(std::string_view name, std::string_view label, std::string_view parent,
                           F enabled = F::Unset, int def = 0) {
    ParamSpec choice = paramEntry(name, K::Choice, label, label, parent);
    choice.defaultValue = def;
    choice.enabled = enabled;
    return choice;
}

constexpr ParamSpec button(std::string_view name, std::string_view label, std::string_view hint,
                           F enabled = F::Unset) {
    ParamSpec button = paramEntry(name, K::PushButton, label, hint, "");
    button.enabled = enabled;
    return button;
}

constexpr ParamSpec offPage(ParamSpec entry) {
    entry.onPage = false;
    return entry;
}

constexpr std::string_view kProfiles = "profileGroup";
constexpr std::string_view kGamut = "gamutGroup";
constexpr std::string_view kPrinter = "PrinterLightGroup";
constexpr std::string_view kLift = "liftGroup";
constexpr std::string_view kGamma = "gammaGroup";
constexpr std::string_view kGain = "gainGroup";
constexpr std::string_view kCmy = "CMYGroup";
constexpr std::string_view kPushPull = "PushPullLightGroup";
constexpr std::string_view kTemperature = "temperatureGroup";
constexpr std::string_view kSaturation = "saturationGroup";
constexpr std::string_view kNegative = "negativeGroup";
constexpr std::string_view kPrint = "printGroup";
constexpr std::string_view kPostProcess = "postProcessGroup";
constexpr std::string_view kTest = "testGroup";

constexpr auto kCatalogue = std::to_array<ParamSpec>({
    group(kProfiles, "Profiles", F::On),
    choice("idtProfile", "Input Profile", kProfiles),

    group(kGamut, "Gamut Limit", F::Off),
    toggle("gamutRAdjust", "Gamut Limit Red", kGamut),
    slider("gamutRAdjustValue", "Gamut Limit Red", "Gamut Limit Red", 100, 100, 0, kGamut),
    toggle("gamutGAdjust", "Gamut Limit Green", kGamut),
    slider("gamutGAdjustValue", "Gamut Limit Green", "Gamut Limit Green", 100, 100, 0, kGamut),
    toggle("gamutBAdjust", "Gamut Limit Blue", kGamut),
    slider("gamutBAdjustValue", "Gamut Limit Blue", "Gamut Limit Blue", 100, 100, 0, kGamut),

    group(kPrinter, "Printer Lights", F::Off),
    slider("PrinterLight", "Printer Lights All", "Printer Lights All", 0, -1, 1, kPrinter),
    slider("PrinterLightR", "Printer Lights Red", "Printer Lights Red", 0, -1, 1, kPrinter),
    slider("PrinterLightG", "Printer Lights Green", "Printer Lights Green", 0, -1, 1, kPrinter),
    slider("PrinterLightB", "Printer Lights Blue", "Printer Lights Blue", 0, -1, 1, kPrinter),
    toggle("PrinterLightToggle", "Bypass Printer Lights", kPrinter),
    group(kLift, "Lift", F::Off),
    slider("lift", "Lift", "Lift All", 0, -1, 1, kLift),
    slider("liftR", "Lift Red", "Lift Red", 0, -1, 1, kLift),
    slider("liftG", "Lift Green", "Lift Green", 0, -1, 1, kLift),
    slider("liftB", "Lift Blue", "Lift Blue", 0, -1, 1, kLift),
    toggle("liftToggle", "Bypass Lift", kLift),
    group(kGamma, "Gamma", F::Off),
    slider("gamma", "Gamma", "Gamma All", 1, 0.1, 2, kGamma),
    slider("gammaR", "Gamma Red", "Gamma Red", 1, 0.1, 2, kGamma),
    slider("gammaG", "Gamma Green", "Gamma Green", 1, 0.1, 2, kGamma),
    slider("gammaB", "Gamma Blue", "Gamma Blue", 1, 0.1, 2, kGamma),
    toggle("gammaToggle", "Bypass Gamma", kGamma),
    group(kGain, "Gain", F::Off),
    slider("gain", "Gain", "Gain All", 1, 0, 2, kGain),
    slider("gainR", "Gain Red", "Gain Red", 1, 0, 2, kGain),
    slider("gainG", "Gain Green", "Gain Green", 1, 0, 2, kGain),
    slider("gainB", "Gain Blue", "Gain Blue", 1, 0, 2, kGain),
    toggle("gainToggle", "Bypass Gain", kGain),

    group(kCmy, "Subtractive Color", F::Off),
    slider("CMYAmount", "CMY", "CMY", 1, 0, 1.5, kCmy),
    slider("C", "C", "C", 1, 0, 1.5, kCmy),
    slider("M", "M", "M", 1, 0, 1.5, kCmy),
    slider("Y", "Y", "Y", 1, 0, 1.5, kCmy),
    toggle("CMYToggle", "Bypass CMY", kCmy),
    group(kPushPull, "Push/Pull", F::Off),
    slider("PushPullLight", "Push/Pull All", "Push/Pull All", 1, 0, 2, kPushPull),
    toggle("PushPullLightToggle", "Bypass Push/Pull", kPushPull),
    group(kTemperature, "Temperature", F::Off),
    slider("temperature", "Temperature", "temperature", 0, -1500, 1500, kTemperature),
    toggle("temperatureToggle", "Bypass Temperature", kTemperature),
    group(kSaturation, "Saturation", F::On),
    slider("saturation", "Saturation", "Saturation", 0, -1, 1, kSaturation),
    toggle("saturationToggle", "Bypass Saturation", kSaturation),

    group(kNegative, "Negative Options"),
    choice("colorPaletteAOptions", "Negative", kNegative),
    choice("colorPaletteNegativeGEN2Selections", "Negative Stock GEN2", kNegative, F::Off),
    choice("colorPaletteNegativeSelections", "Negative Stock", kNegative, F::Off),
    choice("colorPaletteMajorSelections", "Major", kNegative, F::Off),
    choice("colorPaletteMinorSelections", "Minor", kNegative, F::On),
    slider("colorPaletteAIntensity", "Negative Intensity", "Negative Intensity", 0.5, 0, 1, kNegative),
    toggle("negativeToggle", "Bypass Negative Options", kNegative),
    group(kPrint, "Print Options"),
    choice("contrastOptions", "Contrast Option", kPrint),
    slider("contrastIntensity", "Contrast Intensity", "Contrast Intensity", 0.5, 0, 1, kPrint),
    choice("colorPaletteBOptions", "Print Stock", kPrint, F::On),
    slider("colorPaletteBIntensity", "Print Intensity", "Print Intensity", 0.5, 0, 1, kPrint),
    toggle("printToggle", "Bypass Print Options", kPrint),
    group(kPostProcess, "Post Processing", F::Off),
    toggle("postProcessAdjust", "Enable Post Processing", kPostProcess),
    choice("postProcessOptions", "PP Options", kPostProcess, F::On),
    // Gathered like every slider but kept off the page, as in the released layout.
    offPage(slider("postProcessValue", "PP Intensity", "PP Intensity", 0, 0, 1, kPostProcess)),

    group(kTest, "Test Images"),
    toggle("testSatToggle", "Saturation Ramp", kTest),
    toggle("testRampToggle", "Lightness Ramp", kTest),
    toggle("testToneToggle", "Tonemap", kTest),
    toggle("testKorvoLUTToggle", "Korvo Zones", kTest),
    toggle("testKorvoOverlayToggle", "Korvo Zones Guide", kTest),
    choice("outputProfileOptions", "Output Profile", kProfiles, F::Unset, 16),
    button("export33LUTButton", "Export LUT 33", "Export LUT 33", F::Off),
    button("export65LUTButton", "Export LUT 65", "Export LUT 65", F::Off),
    toggle("globalBlendEnabled", "Enable Global Blend", ""),
    slider("globalBlend", "Global Blend", "Global Blend", 1, 0, 1, ""),
    button("helpButton", "Show help", "Show Help"),
    button("versionButton", kVersionLabel, kVersionLabel),
});

constexpr std::array<std::string_view, 5> kPaletteLists = {
    "",
    "colorPaletteNegativeSelections",
    "colorPaletteNegativeGEN2Selections",
    "colorPaletteMajorSelections",
    "colorPaletteMinorSelections",
};

}  // namespace

std::string LutOption::entryName() const {
    std::string name;
    name.reserve(folder.size() + file.size() + 5);
    name.append(folder).append(file).append(".cube");
    return name;
}

std::span<const ParamSpec> paramCatalogue() { return kCatalogue; }

const ParamSpec* findParam(std::string_view name) {
    auto found = std::ranges::find(kCatalogue, name, &ParamSpec::name);
    return found == kCatalogue.end() ? nullptr : &*found;
}

std::span<const LutOption> optionsOf(std::string_view choiceName) {
    auto found = std::ranges::find(kOptionLists, choiceName, &OptionList::param);
    return found == std::end(kOptionLists) ? std::span<const LutOption>{} : found->options;
}

const LutOption* optionAt(std::string_view choiceName, int index) {
    auto options = optionsOf(choiceName);
    if (index < 0 || static_cast<size_t>(index) >= options.size()) return nullptr;
    return &options[static_cast<size_t>(index)];
}

std::string_view activePaletteList(int paletteOption) {
    if (paletteOption < 1 || static_cast<size_t>(paletteOption) >= kPaletteLists.size()) return {};
    return kPaletteLists[static_cast<size_t>(paletteOption)];
}

int activePaletteSelection(const LookParams& values) {
    switch (values.colorPaletteAOptions) {
        case 1: return values.colorPaletteNegativeSelections;
        case 2: return values.colorPaletteNegativeGEN2Selections;
        case 3: return values.colorPaletteMajorSelections;
        case 4: return values.colorPaletteMinorSelections;
        default: return 0;
    }
}

}  // namespace ChromvaleBeta2
