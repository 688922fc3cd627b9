// Renders through the host on the CPU, compared with the colour chain
// evaluated directly on the settings the parameters stand for.

#include <algorithm>
#include <cmath>

#include "look_oracle.h"
#include "look_tables.h"
#include "plugin_fixture.h"

namespace plugin_integration {
namespace {

using ChromvaleBeta2::LookParams;
using ChromvaleBeta2::LutTable;

class Rendering : public PluginTest {
 protected:
    void SetUp() override { bundle.writeArchive(lookTables()); }

    // A colour ramp that also leaves [0, 1] and varies alpha.
    static std::shared_ptr<HostImage> sourceImage(OfxRectI bounds) {
        auto image = HostImage::rgbaFloat(bounds);
        image->fill([](int x, int y) {
            return RgbaPixel{-0.1f + 0.05f * float(x), 0.08f * float(y), 0.5f + 0.03f * float(x - y),
                             0.25f + 0.01f * float(x)};
        });
        return image;
    }

    const LutTable* table(const std::string& entry) { return oracle.table(entry); }
    LookParams defaultLook() { return oracle.defaultLook(); }
    static RgbaPixel expected(const LookParams& look, const RgbaPixel& s) { return LookOracle::colour(look, s); }

    static void expectPixel(const RgbaPixel& actual, const RgbaPixel& wanted, int x, int y) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(actual[c], wanted[c], 1e-5) << "pixel (" << x << ", " << y << ") channel " << c;
        }
    }

    LookOracle oracle{lookTables()};
};

TEST_F(Rendering, EveryStageMatchesTheChainInBothContexts) {
    const std::vector<std::pair<std::string, ParamValue>> settings = {{"gamutRAdjust", true},
                                                                      {"gamutGAdjust", true},
                                                                      {"gamutBAdjust", true},
                                                                      {"gamutRAdjustValue", 70.0},
                                                                      {"gamutGAdjustValue", 40.0},
                                                                      {"gamutBAdjustValue", 90.0},
                                                                      {"PrinterLight", 0.05},
                                                                      {"PrinterLightR", -0.02},
                                                                      {"PrinterLightG", 0.03},
                                                                      {"PrinterLightB", 0.01},
                                                                      {"lift", 0.04},
                                                                      {"liftR", 0.02},
                                                                      {"liftG", -0.03},
                                                                      {"liftB", 0.05},
                                                                      {"gamma", 1.2},
                                                                      {"gammaR", 0.9},
                                                                      {"gammaG", 1.1},
                                                                      {"gammaB", 1.3},
                                                                      {"gain", 1.1},
                                                                      {"gainR", 0.95},
                                                                      {"gainG", 1.05},
                                                                      {"gainB", 0.9},
                                                                      {"CMYAmount", 1.1},
                                                                      {"C", 0.95},
                                                                      {"M", 1.05},
                                                                      {"Y", 0.9},
                                                                      {"PushPullLight", 1.2},
                                                                      {"temperature", 400.0},
                                                                      {"saturation", 0.35},
                                                                      {"postProcessAdjust", true},
                                                                      {"postProcessValue", 0.6},
                                                                      {"postProcessOptions", 1},
                                                                      {"idtProfile", 2},
                                                                      {"contrastOptions", 2},
                                                                      {"contrastIntensity", 0.7},
                                                                      {"colorPaletteAOptions", 3},
                                                                      {"colorPaletteMajorSelections", 4},
                                                                      {"colorPaletteAIntensity", 0.65},
                                                                      {"colorPaletteBOptions", 2},
                                                                      {"colorPaletteBIntensity", 0.55},
                                                                      {"outputProfileOptions", 20},
                                                                      {"globalBlendEnabled", true},
                                                                      {"globalBlend", 0.8}};

    LookParams look = defaultLook();
    look.gamutRAdjust = look.gamutGAdjust = look.gamutBAdjust = true;
    look.gamutRAdjustValue = 70.0f / 100.0f, look.gamutGAdjustValue = 40.0f / 100.0f;
    look.gamutBAdjustValue = 90.0f / 100.0f;
    look.PrinterLight = 0.05f, look.PrinterLightR = -0.02f, look.PrinterLightG = 0.03f, look.PrinterLightB = 0.01f;
    look.lift = 0.04f, look.liftR = 0.02f, look.liftG = -0.03f, look.liftB = 0.05f;
    look.gamma = 1.2f, look.gammaR = 0.9f, look.gammaG = 1.1f, look.gammaB = 1.3f;
    look.gain = 1.1f, look.gainR = 0.95f, look.gainG = 1.05f, look.gainB = 0.9f;
    look.CMYAmount = 1.1f, look.C = 0.95f, look.M = 1.05f, look.Y = 0.9f;
    look.PushPullLight = look.PushPullLightR = look.PushPullLightG = look.PushPullLightB = 1.2f;
    look.temperature = 400.0f, look.saturation = 0.35f;
    look.postProcessAdjust = true, look.postProcessValue = 0.6f, look.postProcessOptions = 1;
    look.idtProfile = 2, look.contrastOptions = 2, look.contrastIntensity = 0.7f;
    look.colorPaletteAOptions = 3, look.colorPaletteMajorSelections = 4, look.colorPaletteAIntensity = 0.65f;
    look.colorPaletteBOptions = 2, look.colorPaletteBIntensity = 0.55f, look.outputProfileOptions = 20;
    look.globalBlendEnabled = true, look.globalBlend = 0.8f;
    look.gamutTable[0] = table("GAMUT LIMIT/R_Gamut_LImit.cube");
    look.gamutTable[1] = table("GAMUT LIMIT/G_Gamut_Limit.cube");
    look.gamutTable[2] = table("GAMUT LIMIT/B_Gamut_Limit.cube");
    look.postProcessTable = table("POST PROCESS/ENR.cube");
    look.idtTable = table("1-IDT/ARRI-LOGC-IDT-65.cube");
    look.contrastTable = table("2-CURVES/F2.cube");
    look.paletteTable = table("3C-MAJOR/Major E_1.cube");
    look.printTable = table("PRINT/Fuji CP 3510.cube");
    look.odtTable = table("4-ODT/sRGB-ODT-65.cube");

    const OfxRectI bounds{0, 0, 24, 12};
    for (const char* context : {kFilter, kGeneral}) {
        auto instance = create(context);
        ASSERT_TRUE(instance);
        for (const auto& [name, value] : settings) instance->setValue(name, value);
        auto source = sourceImage(bounds);
        instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
        const RenderResult result = instance->render(renderOf(bounds));
        ASSERT_EQ(result.status, kOfxStatOK) << context;
        for (int y = bounds.y1; y < bounds.y2; ++y)
            for (int x = bounds.x1; x < bounds.x2; ++x)
                expectPixel(result.output->pixel(x, y), expected(look, source->pixel(x, y)), x, y);
    }
    EXPECT_EQ(host->imageCounts().outstanding(), 0u);

    // The trace tells how far a render got, one line per step.
    std::vector<std::string> trace;
    for (const auto& line : logLines()) {
        if (line.find("Made it") != std::string::npos || line.find("Setup and Process") != std::string::npos ||
            line.find("Able to call process") != std::string::npos) {
            trace.push_back(line.substr(line.find_first_not_of(' ')));
        }
    }
    const std::vector<std::string> steps = {"Entered Setup and Process",
                                            "Made it to dest image",
                                            "Made it to src image",
                                            "Made it passed bit depth and component check",
                                            "Made it passed param check",
                                            "Made it set images",
                                            "Made it passed setting GPU args",
                                            "Made it passed setting render window",
                                            "Able to call process"};
    ASSERT_EQ(trace.size(), 2 * steps.size());
    EXPECT_TRUE(std::equal(steps.begin(), steps.end(), trace.begin()));
}

TEST_F(Rendering, OnlyTheWindowIsWrittenAndPixelsWithoutSourceAreClear) {
    auto instance = create(kGeneral);
    const LookParams look = defaultLook();

    auto source = sourceImage({0, 0, 24, 12});
    instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
    const OfxRectI window{3, 2, 15, 9};
    RenderResult inner = instance->render(renderOf(window, {0, 0, 24, 12}));
    ASSERT_EQ(inner.status, kOfxStatOK);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 24; ++x) {
            const bool inside = x >= window.x1 && x < window.x2 && y >= window.y1 && y < window.y2;
            expectPixel(inner.output->pixel(x, y), inside ? expected(look, source->pixel(x, y)) : RgbaPixel{}, x, y);
        }

    // A window wider than the source: columns without source come out clear.
    auto narrow = sourceImage({4, 0, 20, 12});
    instance->setImage(kOfxImageEffectSimpleSourceClipName, narrow);
    RenderResult wide = instance->render(renderOf({0, 0, 24, 12}, {0, 0, 24, 12}));
    ASSERT_EQ(wide.status, kOfxStatOK);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 24; ++x) {
            const bool covered = x >= 4 && x < 20;
            expectPixel(wide.output->pixel(x, y), covered ? expected(look, narrow->pixel(x, y)) : RgbaPixel{}, x, y);
        }
}

}  // namespace
}  // namespace plugin_integration
