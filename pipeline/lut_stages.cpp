#include "pipeline/lut_stages.h"

#include "pipeline/lut_table.h"

namespace ChromvaleBeta2 {
namespace {

using L = LookParams;
using C = ChainSettings;

constexpr std::array<std::string_view, 5> kPaletteLists = {
    "",
    "colorPaletteNegativeSelections",
    "colorPaletteNegativeGEN2Selections",
    "colorPaletteMajorSelections",
    "colorPaletteMinorSelections",
};

// A stage picked by the option of one choice; option 0 selects nothing.
template <int32_t L::*option>
bool chosen(const L& p) {
    return p.*option > 0;
}

// One channel's gamut limit: a fixed table its toggle switches on.
template <int channel, bool L::*toggle>
LutStage gamutLimitStage(std::string_view name, std::string_view entry) {
    return {name,
            LutTable::kKind3D,
            entry,
            [](const L& p) { return p.*toggle; },
            [](const L&) { return StageOption{}; },
            [](L& p) -> const LutTable*& { return p.gamutTable[channel]; },
            [](C& s) -> const float*& { return s.gamutLut[channel]; },
            [](C& s) -> unsigned int& { return s.gamutLutSize[channel]; },
            false};
}

const LutStage kStages[] = {
    {"input transform",
     LutTable::kKind3D,
     {},
     chosen<&L::idtProfile>,
     [](const L& p) {
         return StageOption{"idtProfile", p.idtProfile};
     },
     [](L& p) -> const LutTable*& { return p.idtTable; },
     [](C& s) -> const float*& { return s.idtLut; },
     [](C& s) -> unsigned int& { return s.idtLutSize; },
     true},
    {"contrast curve",
     LutTable::kKind1D,
     {},
     chosen<&L::contrastOptions>,
     [](const L& p) {
         return StageOption{"contrastOptions", p.contrastOptions};
     },
     [](L& p) -> const LutTable*& { return p.contrastTable; },
     [](C& s) -> const float*& { return s.contrastLut; },
     [](C& s) -> unsigned int& { return s.contrastLutSize; },
     true},
    {"palette",
     LutTable::kKind3D,
     {},
     [](const L& p) { return activePaletteSelection(p) > 0; },
     [](const L& p) {
         return StageOption{activePaletteList(p.colorPaletteAOptions), activePaletteSelection(p)};
     },
     [](L& p) -> const LutTable*& { return p.paletteTable; },
     [](C& s) -> const float*& { return s.paletteLut; },
     [](C& s) -> unsigned int& { return s.paletteLutSize; },
     true},
    {"print stock",
     LutTable::kKind3D,
     {},
     chosen<&L::colorPaletteBOptions>,
     [](const L& p) {
         return StageOption{"colorPaletteBOptions", p.colorPaletteBOptions};
     },
     [](L& p) -> const LutTable*& { return p.printTable; },
     [](C& s) -> const float*& { return s.printLut; },
     [](C& s) -> unsigned int& { return s.printLutSize; },
     true},
    {"output transform",
     LutTable::kKind3D,
     {},
     chosen<&L::outputProfileOptions>,
     [](const L& p) {
         return StageOption{"outputProfileOptions", p.outputProfileOptions};
     },
     [](L& p) -> const LutTable*& { return p.odtTable; },
     [](C& s) -> const float*& { return s.odtLut; },
     [](C& s) -> unsigned int& { return s.odtLutSize; },
     true},
    gamutLimitStage<0, &L::gamutRAdjust>("red gamut limit", "GAMUT LIMIT/R_Gamut_LImit.cube"),
    gamutLimitStage<1, &L::gamutGAdjust>("green gamut limit", "GAMUT LIMIT/G_Gamut_Limit.cube"),
    gamutLimitStage<2, &L::gamutBAdjust>("blue gamut limit", "GAMUT LIMIT/B_Gamut_Limit.cube"),
    // Option 0 of the post-processing list is a look of its own; the switch decides.
    {"post-processing look",
     LutTable::kKind3D,
     {},
     [](const L& p) { return p.postProcessAdjust; },
     [](const L& p) {
         return StageOption{"postProcessOptions", p.postProcessOptions};
     },
     [](L& p) -> const LutTable*& { return p.postProcessTable; },
     [](C& s) -> const float*& { return s.postProcessLut; },
     [](C& s) -> unsigned int& { return s.postProcessLutSize; },
     false},
    {"zone chart", LutTable::kKind3D, "KORVO/KORVO_ZONES_000.cube", [](const L& p) { return p.testKorvoLUTToggle; },
     [](const L&) { return StageOption{}; }, [](L& p) -> const LutTable*& { return p.zoneTable; },
     [](C& s) -> const float*& { return s.zoneLut; }, [](C& s) -> unsigned int& { return s.zoneLutSize; }, false},
};

}  // namespace

std::span<const LutStage> lutStages() {
    return kStages;
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
