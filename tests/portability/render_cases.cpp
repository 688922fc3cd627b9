#include "tests/portability/render_cases.h"

#include <stdexcept>

#include "ofxImageEffect.h"

namespace tonemill::portability {
namespace {

constexpr OfxRectI kFrame{0, 0, 61, 37};
// An origin away from zero and a window that ends short of every edge: a host
// rendering one tile of a larger frame.
constexpr OfxRectI kOffsetFrame{-24, 16, 48, 60};
constexpr OfxRectI kTile{-7, 23, 30, 51};

RenderCase filterCase(std::string name, std::vector<Setting> settings, int exportSize = 0) {
    return {std::move(name), kOfxImageEffectContextFilter, std::move(settings), kFrame, kFrame, exportSize};
}

}  // namespace

const std::vector<RenderCase>& renderCases() {
    static const std::vector<RenderCase> cases = {
        filterCase("defaults", {}),
        // Every stage that reads a LUT: input, contrast curve, each palette list,
        // print stock, post-processing and output, and the zone chart test view.
        filterCase("input-arri-contrast-f1", {{"idtProfile", 2}, {"contrastOptions", 1}, {"contrastIntensity", 0.8}}),
        filterCase("negative-stock-print-2383", {{"colorPaletteAOptions", 1},
                                                 {"colorPaletteNegativeSelections", 9},
                                                 {"colorPaletteAIntensity", 0.7},
                                                 {"colorPaletteBOptions", 6},
                                                 {"colorPaletteBIntensity", 0.8},
                                                 {"contrastOptions", 7}}),
        filterCase(
            "negative-gen2-hdr10",
            {{"colorPaletteAOptions", 2}, {"colorPaletteNegativeGEN2Selections", 3}, {"outputProfileOptions", 6}}),
        filterCase("major-palette-srgb", {{"colorPaletteAOptions", 3},
                                          {"colorPaletteMajorSelections", 4},
                                          {"colorPaletteAIntensity", 0.4},
                                          {"outputProfileOptions", 20}}),
        filterCase("minor-palette-post-enr", {{"colorPaletteAOptions", 4},
                                              {"colorPaletteMinorSelections", 6},
                                              {"postProcessAdjust", 1},
                                              {"postProcessOptions", 1},
                                              {"postProcessValue", 0.6}}),
        filterCase("zone-chart", {{"testKorvoLUTToggle", 1}}),
        // Every slider group, with the blend that mixes the result back.
        filterCase("sliders", {{"idtProfile", 9},
                               {"gamutRAdjust", 1},
                               {"gamutRAdjustValue", 80},
                               {"PrinterLight", 0.1},
                               {"PrinterLightR", -0.05},
                               {"lift", 0.04},
                               {"liftB", -0.02},
                               {"gamma", 1.15},
                               {"gammaG", 0.9},
                               {"gain", 0.85},
                               {"gainR", 1.1},
                               {"CMYAmount", 0.8},
                               {"C", 1.2},
                               {"PushPullLight", 1.3},
                               {"temperature", -700},
                               {"saturation", 0.35},
                               {"globalBlendEnabled", 1},
                               {"globalBlend", 0.75}}),
        {"general-context-tile",
         kOfxImageEffectContextGeneral,
         {{"idtProfile", 2}, {"colorPaletteBOptions", 2}, {"saturation", -0.4}, {"outputProfileOptions", 16}},
         kOffsetFrame,
         kTile},
        // The LUTs the export buttons write, at both sizes.
        filterCase("export-print-film",
                   {{"idtProfile", 2},
                    {"colorPaletteAOptions", 1},
                    {"colorPaletteNegativeSelections", 9},
                    {"colorPaletteBOptions", 6},
                    {"contrastOptions", 7},
                    {"gain", 1.1},
                    {"outputProfileOptions", 16}},
                   33),
        filterCase("export-graded", {{"contrastOptions", 3}, {"lift", 0.03}, {"saturation", 0.2}, {"temperature", 400}},
                   65),
    };
    return cases;
}

const std::vector<RenderCase>& textureRenderCases() {
    static const std::vector<RenderCase> cases = {
        filterCase("texture-defaults", {{"halationRadius", 6}, {"bloomRadius", 15}, {"halationThreshold", 0.6}}),
        filterCase("texture-grain-8mm", {{"halationToggle", 1}, {"bloomToggle", 1}, {"grainGauge", 2}}),
        filterCase("texture-halation",
                   {{"grainToggle", 1}, {"bloomToggle", 1}, {"halationRadius", 9}, {"halationThreshold", 0.5}}),
        {"texture-general-context-tile",
         kOfxImageEffectContextGeneral,
         {{"bloomRadius", 12}, {"bloomThreshold", 0.5}, {"grainSeed", 3}},
         kOffsetFrame,
         kTile},
    };
    return cases;
}

const std::vector<RenderCase>& renderCasesFor(const std::string& pluginIdentifier) {
    if (pluginIdentifier == "com.velmora.tonemill") return renderCases();
    if (pluginIdentifier == "com.velmora.tonemill.texture") return textureRenderCases();
    throw std::invalid_argument("no render cases for plug-in " + pluginIdentifier);
}

void syntheticPixel(const OfxRectI& frame, int x, int y, float rgba[4]) {
    const int column = x - frame.x1;
    const int row = y - frame.y1;
    const float lastColumn = static_cast<float>(frame.x2 - frame.x1 - 1);
    const float lastRow = static_cast<float>(frame.y2 - frame.y1 - 1);
    rgba[0] = static_cast<float>(column) / lastColumn;
    rgba[1] = static_cast<float>(row) / lastRow;
    rgba[2] = static_cast<float>((column * 7 + row * 13) % 64) / 63.0f * 1.25f - 0.125f;
    rgba[3] = 1.0f;
}

}  // namespace tonemill::portability
