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

using L = LookParams;

constexpr ParamSpec slider(std::string_view name, std::string_view label, std::string_view hint, double def, double min,
                           double max, std::string_view parent, float L::*field) {
    ParamSpec slider = paramEntry(name, K::Double, label, hint, parent);
    slider.defaultValue = def;
    slider.minimum = min;
    slider.maximum = max;
    slider.floatField = field;
    return slider;
}

constexpr ParamSpec toggle(std::string_view name, std::string_view label, std::string_view parent, bool L::*field) {
    ParamSpec toggle = paramEntry(name, K::Boolean, label, label, parent);
    toggle.boolField = field;
    return toggle;
}

constexpr ParamSpec choice(std::string_view name, std::string_view label, std::string_view parent, int32_t L::*field,
                           F enabled = F::Unset, int def = 0) {
    ParamSpec choice = paramEntry(name, K::Choice, label, label, parent);
    choice.defaultValue = def;
    choice.enabled = enabled;
    choice.choiceField = field;
    return choice;
}

// Modifiers of an entry, applied around its definition.
constexpr ParamSpec identity(ParamSpec entry) {
    entry.inIdentityTest = true;
    entry.neutralValue = entry.kind == K::Choice ? 0 : entry.defaultValue;
    return entry;
}

constexpr ParamSpec share(ParamSpec entry) {
    entry.gatherDivisor = 100.0f;
    return entry;
}

constexpr ParamSpec readWhen(std::string_view selectingChoice, ParamSpec entry) {
    entry.readWhenSelected = selectingChoice;
    return entry;
}

constexpr ParamSpec enabledBy(std::string_view choice, ParamSpec entry) {
    entry.enabledBy = choice;
    return entry;
}

constexpr ParamSpec button(std::string_view name, std::string_view label, std::string_view hint, F enabled = F::Unset) {
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
// Selects which stock list drives the palette.
constexpr std::string_view kPaletteChoice = "colorPaletteAOptions";

constexpr auto kCatalogue = std::to_array<ParamSpec>({
    group(kProfiles, "Profiles", F::On),
    identity(choice("idtProfile", "Input Profile", kProfiles, &L::idtProfile)),

    group(kGamut, "Gamut Limit", F::Off),
    toggle("gamutRAdjust", "Gamut Limit Red", kGamut, &L::gamutRAdjust),
    share(
        slider("gamutRAdjustValue", "Gamut Limit Red", "Gamut Limit Red", 100, 100, 0, kGamut, &L::gamutRAdjustValue)),
    toggle("gamutGAdjust", "Gamut Limit Green", kGamut, &L::gamutGAdjust),
    share(slider("gamutGAdjustValue", "Gamut Limit Green", "Gamut Limit Green", 100, 100, 0, kGamut,
                 &L::gamutGAdjustValue)),
    toggle("gamutBAdjust", "Gamut Limit Blue", kGamut, &L::gamutBAdjust),
    share(slider("gamutBAdjustValue", "Gamut Limit Blue", "Gamut Limit Blue", 100, 100, 0, kGamut,
                 &L::gamutBAdjustValue)),

    group(kPrinter, "Printer Lights", F::Off),
    identity(slider("PrinterLight", "Printer Lights All", "Printer Lights All", 0, -1, 1, kPrinter, &L::PrinterLight)),
    slider("PrinterLightR", "Printer Lights Red", "Printer Lights Red", 0, -1, 1, kPrinter, &L::PrinterLightR),
    slider("PrinterLightG", "Printer Lights Green", "Printer Lights Green", 0, -1, 1, kPrinter, &L::PrinterLightG),
    slider("PrinterLightB", "Printer Lights Blue", "Printer Lights Blue", 0, -1, 1, kPrinter, &L::PrinterLightB),
    toggle("PrinterLightToggle", "Bypass Printer Lights", kPrinter, &L::PrinterLightToggle),
    group(kLift, "Lift", F::Off),
    identity(slider("lift", "Lift", "Lift All", 0, -1, 1, kLift, &L::lift)),
    identity(slider("liftR", "Lift Red", "Lift Red", 0, -1, 1, kLift, &L::liftR)),
    identity(slider("liftG", "Lift Green", "Lift Green", 0, -1, 1, kLift, &L::liftG)),
    identity(slider("liftB", "Lift Blue", "Lift Blue", 0, -1, 1, kLift, &L::liftB)),
    toggle("liftToggle", "Bypass Lift", kLift, &L::liftToggle),
    group(kGamma, "Gamma", F::Off),
    identity(slider("gamma", "Gamma", "Gamma All", 1, 0.1, 2, kGamma, &L::gamma)),
    identity(slider("gammaR", "Gamma Red", "Gamma Red", 1, 0.1, 2, kGamma, &L::gammaR)),
    identity(slider("gammaG", "Gamma Green", "Gamma Green", 1, 0.1, 2, kGamma, &L::gammaG)),
    identity(slider("gammaB", "Gamma Blue", "Gamma Blue", 1, 0.1, 2, kGamma, &L::gammaB)),
    toggle("gammaToggle", "Bypass Gamma", kGamma, &L::gammaToggle),
    group(kGain, "Gain", F::Off),
    identity(slider("gain", "Gain", "Gain All", 1, 0, 2, kGain, &L::gain)),
    identity(slider("gainR", "Gain Red", "Gain Red", 1, 0, 2, kGain, &L::gainR)),
    identity(slider("gainG", "Gain Green", "Gain Green", 1, 0, 2, kGain, &L::gainG)),
    identity(slider("gainB", "Gain Blue", "Gain Blue", 1, 0, 2, kGain, &L::gainB)),
    toggle("gainToggle", "Bypass Gain", kGain, &L::gainToggle),

    group(kCmy, "Subtractive Color", F::Off),
    slider("CMYAmount", "CMY", "CMY", 1, 0, 1.5, kCmy, &L::CMYAmount),
    identity(slider("C", "C", "C", 1, 0, 1.5, kCmy, &L::C)),
    identity(slider("M", "M", "M", 1, 0, 1.5, kCmy, &L::M)),
    identity(slider("Y", "Y", "Y", 1, 0, 1.5, kCmy, &L::Y)),
    toggle("CMYToggle", "Bypass CMY", kCmy, &L::CMYToggle),
    group(kPushPull, "Push/Pull", F::Off),
    slider("PushPullLight", "Push/Pull All", "Push/Pull All", 1, 0, 2, kPushPull, &L::PushPullLight),
    toggle("PushPullLightToggle", "Bypass Push/Pull", kPushPull, &L::PushPullLightToggle),
    group(kTemperature, "Temperature", F::Off),
    identity(slider("temperature", "Temperature", "temperature", 0, -1500, 1500, kTemperature, &L::temperature)),
    toggle("temperatureToggle", "Bypass Temperature", kTemperature, &L::temperatureToggle),
    group(kSaturation, "Saturation", F::On),
    identity(slider("saturation", "Saturation", "Saturation", 0, -1, 1, kSaturation, &L::saturation)),
    toggle("saturationToggle", "Bypass Saturation", kSaturation, &L::saturationToggle),

    group(kNegative, "Negative Options"),
    identity(choice(kPaletteChoice, "Negative", kNegative, &L::colorPaletteAOptions)),
    enabledBy(kPaletteChoice, choice("colorPaletteNegativeGEN2Selections", "Negative Stock GEN2", kNegative,
                                     &L::colorPaletteNegativeGEN2Selections, F::Off)),
    enabledBy(kPaletteChoice, choice("colorPaletteNegativeSelections", "Negative Stock", kNegative,
                                     &L::colorPaletteNegativeSelections, F::Off)),
    enabledBy(kPaletteChoice,
              choice("colorPaletteMajorSelections", "Major", kNegative, &L::colorPaletteMajorSelections, F::Off)),
    enabledBy(kPaletteChoice,
              choice("colorPaletteMinorSelections", "Minor", kNegative, &L::colorPaletteMinorSelections, F::On)),
    enabledBy(kPaletteChoice, readWhen("colorPaletteAOptions",
                                       slider("colorPaletteAIntensity", "Negative Intensity", "Negative Intensity", 0.5,
                                              0, 1, kNegative, &L::colorPaletteAIntensity))),
    toggle("negativeToggle", "Bypass Negative Options", kNegative, &L::negativeToggle),
    group(kPrint, "Print Options"),
    identity(choice("contrastOptions", "Contrast Option", kPrint, &L::contrastOptions)),
    enabledBy("contrastOptions", slider("contrastIntensity", "Contrast Intensity", "Contrast Intensity", 0.5, 0, 1,
                                        kPrint, &L::contrastIntensity)),
    identity(choice("colorPaletteBOptions", "Print Stock", kPrint, &L::colorPaletteBOptions, F::On)),
    enabledBy("colorPaletteBOptions",
              readWhen("colorPaletteBOptions", slider("colorPaletteBIntensity", "Print Intensity", "Print Intensity",
                                                      0.5, 0, 1, kPrint, &L::colorPaletteBIntensity))),
    toggle("printToggle", "Bypass Print Options", kPrint, &L::printToggle),
    group(kPostProcess, "Post Processing", F::Off),
    toggle("postProcessAdjust", "Enable Post Processing", kPostProcess, &L::postProcessAdjust),
    choice("postProcessOptions", "PP Options", kPostProcess, &L::postProcessOptions, F::On),
    // Gathered like every slider but kept off the page, as in the released layout.
    offPage(slider("postProcessValue", "PP Intensity", "PP Intensity", 0, 0, 1, kPostProcess, &L::postProcessValue)),

    group(kTest, "Test Images"),
    toggle("testSatToggle", "Saturation Ramp", kTest, &L::testSatToggle),
    toggle("testRampToggle", "Lightness Ramp", kTest, &L::testRampToggle),
    toggle("testToneToggle", "Tonemap", kTest, &L::testToneToggle),
    toggle("testKorvoLUTToggle", "Korvo Zones", kTest, &L::testKorvoLUTToggle),
    toggle("testKorvoOverlayToggle", "Korvo Zones Guide", kTest, &L::testKorvoOverlayToggle),
    identity(choice("outputProfileOptions", "Output Profile", kProfiles, &L::outputProfileOptions, F::Unset, 16)),
    button("export33LUTButton", "Export LUT 33", "Export LUT 33", F::Off),
    button("export65LUTButton", "Export LUT 65", "Export LUT 65", F::Off),
    toggle("globalBlendEnabled", "Enable Global Blend", "", &L::globalBlendEnabled),
    slider("globalBlend", "Global Blend", "Global Blend", 1, 0, 1, "", &L::globalBlend),
    button("helpButton", "Show help", "Show Help"),
    button("versionButton", kVersionLabel, kVersionLabel),
});

// Gathering reads the catalogue in order, so a value read only when a choice
// selects something must come after that choice.
constexpr bool gatesComeFirst() {
    for (size_t i = 0; i < kCatalogue.size(); ++i) {
        if (kCatalogue[i].readWhenSelected.empty()) continue;
        bool seen = false;
        for (size_t j = 0; j < i; ++j) seen = seen || kCatalogue[j].name == kCatalogue[i].readWhenSelected;
        if (!seen) return false;
    }
    return true;
}
static_assert(gatesComeFirst(), "a gated value precedes the choice that gates it");

// Every value parameter lands in the LookParams member of its own type.
constexpr bool everyValueHasItsField() {
    for (const ParamSpec& entry : kCatalogue) {
        const bool hasField = entry.kind == K::Double    ? entry.floatField != nullptr
                              : entry.kind == K::Boolean ? entry.boolField != nullptr
                              : entry.kind == K::Choice  ? entry.choiceField != nullptr
                                                         : true;
        if (!hasField) return false;
    }
    return true;
}
static_assert(everyValueHasItsField(), "a value parameter has no LookParams member");

}  // namespace

std::string LutOption::entryName() const {
    std::string name;
    name.reserve(folder.size() + file.size() + 5);
    name.append(folder).append(file).append(".cube");
    return name;
}

std::span<const ParamSpec> paramCatalogue() {
    return kCatalogue;
}

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

namespace {

bool isStockList(std::string_view name) {
    for (int option = 1; !activePaletteList(option).empty(); ++option) {
        if (activePaletteList(option) == name) return true;
    }
    return false;
}

}  // namespace

bool enabledByOption(const ParamSpec& entry, int option) {
    if (entry.enabledBy != kPaletteChoice) return option > 0;
    const std::string_view active = activePaletteList(option);
    return isStockList(entry.name) ? active == entry.name : !active.empty();
}

bool looksNeutral(const LookParams& values) {
    for (const ParamSpec& entry : kCatalogue) {
        if (!entry.inIdentityTest) continue;
        const double value = entry.floatField ? static_cast<double>(values.*entry.floatField)
                                              : static_cast<double>(values.*entry.choiceField);
        if (value != entry.neutralValue) return false;
    }
    return true;
}

}  // namespace ChromvaleBeta2
