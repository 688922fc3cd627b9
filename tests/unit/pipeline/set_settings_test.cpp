#include <gtest/gtest.h>

#include <vector>

#include "pipeline/set_settings.h"
#include "tests/unit/pipeline/chain_fixtures.h"

namespace ChromvaleBeta2 {
namespace {

using testing::identity1D;
using testing::identity3D;

void expectTriple(const float (&got)[3], float r, float g, float b) {
    EXPECT_FLOAT_EQ(got[0], r);
    EXPECT_FLOAT_EQ(got[1], g);
    EXPECT_FLOAT_EQ(got[2], b);
}

// Parameters off their defaults in every channel, every table resolved and
// selected, both test views on.
struct Look {
    LutTable cube = identity3D(3);
    LutTable curve = identity1D(4);
    std::vector<unsigned char> image = std::vector<unsigned char>(kTestViewBytes, 9);
    LookParams params{};

    Look() {
        LookParams& p = params;
        p.idtProfile = 2;
        p.PrinterLight = 0.1f, p.PrinterLightR = 0.01f, p.PrinterLightG = 0.02f, p.PrinterLightB = 0.03f;
        p.PushPullLight = p.PushPullLightR = p.PushPullLightG = p.PushPullLightB = 0.5f;
        p.CMYAmount = 2.0f, p.C = 0.5f, p.M = 0.25f, p.Y = 0.75f;
        p.temperature = 1500.0f;
        p.lift = 0.2f, p.liftR = 0.1f, p.liftG = -0.1f, p.liftB = 0.0f;
        p.gamma = 2.0f, p.gammaR = 0.5f, p.gammaG = 1.0f, p.gammaB = 1.5f;
        p.gain = 1.5f, p.gainR = 2.0f, p.gainG = 1.0f, p.gainB = 0.5f;
        p.gamutRAdjustValue = 0.25f, p.gamutGAdjustValue = 0.5f, p.gamutBAdjustValue = 1.0f;
        p.gamutRAdjust = p.gamutGAdjust = p.gamutBAdjust = true;
        p.saturation = -0.5f;
        p.contrastOptions = 1, p.contrastIntensity = 0.3f;
        p.colorPaletteAOptions = 3, p.colorPaletteAIntensity = 0.4f;  // the major list
        p.colorPaletteMajorSelections = 2;
        p.postProcessAdjust = true, p.postProcessValue = 0.6f, p.postProcessOptions = 1;
        p.testRampToggle = p.testKorvoLUTToggle = p.testKorvoOverlayToggle = true;
        p.globalBlend = 0.7f, p.globalBlendEnabled = true;
        p.colorPaletteBOptions = 3, p.colorPaletteBIntensity = 0.8f;
        p.outputProfileOptions = 1;
        p.testImage = p.zoneOverlay = image.data();
        p.testImageSize = p.zoneOverlaySize = kTestViewBytes;
        p.idtTable = p.zoneTable = p.paletteTable = p.printTable = p.odtTable = p.postProcessTable = &cube;
        p.gamutTable[0] = p.gamutTable[1] = p.gamutTable[2] = &cube;
        p.contrastTable = &curve;
    }

    PipelineSettings settings() const {
        PipelineSettings s{};
        setSettings(s, params);
        return s;
    }
};

TEST(SetSettings, CombinesMasterAndChannelValuesAndAttachesSelectedTables) {
    const PipelineSettings s = Look().settings();
    expectTriple(s.lift, 0.3f, 0.1f, 0.2f);
    expectTriple(s.gamma, 1.0f, 2.0f, 3.0f);
    expectTriple(s.gain, 3.0f, 1.5f, 0.75f);
    expectTriple(s.printerLight, 0.11f, 0.12f, 0.13f);
    expectTriple(s.cmy, 1.0f, 0.5f, 1.5f);
    expectTriple(s.pushPull, 0.25f, 0.25f, 0.25f);  // the one push/pull value, squared
    expectTriple(s.gamutMix, 0.25f, 0.5f, 1.0f);
    EXPECT_FLOAT_EQ(s.saturation, -0.5f);
    EXPECT_FLOAT_EQ(s.contrastMix, 0.3f);
    EXPECT_FLOAT_EQ(s.paletteMix, 0.4f);
    EXPECT_FLOAT_EQ(s.printMix, 0.8f);
    EXPECT_FLOAT_EQ(s.postProcessMix, 0.6f);
    EXPECT_FLOAT_EQ(s.globalBlend, 0.7f);

    Look look;
    const PipelineSettings t = look.settings();
    EXPECT_EQ(t.idtLut, look.cube.data.data());
    EXPECT_EQ(t.contrastLut, look.curve.data.data());
    EXPECT_EQ(t.contrastLutSize, 4u);
    for (unsigned int size : {t.idtLutSize, t.paletteLutSize, t.printLutSize, t.odtLutSize, t.postProcessLutSize,
                              t.gamutLutSize[0], t.gamutLutSize[1], t.gamutLutSize[2], t.zoneLutSize})
        EXPECT_EQ(size, 3u);
    EXPECT_EQ(t.testImage, look.image.data());
    EXPECT_EQ(t.zoneOverlaySize, kTestViewBytes);
}

TEST(SetSettings, TemperatureIsALineThroughNeutralAtZero) {
    Look look;
    look.params.temperature = -1500.0f;
    expectTriple(look.settings().temperatureGain, 0.93f, 1.01f, 1.14f);
    look.params.temperature = 0.0f;
    expectTriple(look.settings().temperatureGain, 1.0f, 1.0f, 1.0f);
    look.params.temperature = 1500.0f;
    expectTriple(look.settings().temperatureGain, 1.07f, 0.99f, 0.86f);
    look.params.temperature = 750.0f;
    expectTriple(look.settings().temperatureGain, 1.035f, 0.995f, 0.93f);
}

TEST(SetSettings, EveryBypassAndNoSelectionGiveTheNeutralRecord) {
    Look look;
    LookParams& p = look.params;
    p.liftToggle = p.gammaToggle = p.gainToggle = p.temperatureToggle = p.saturationToggle = true;
    p.PrinterLightToggle = p.PushPullLightToggle = p.CMYToggle = p.negativeToggle = p.printToggle = true;
    p.globalBlendEnabled = false;
    p.idtProfile = p.contrastOptions = p.colorPaletteAOptions = p.colorPaletteBOptions = 0;
    p.gamutRAdjust = p.gamutGAdjust = p.gamutBAdjust = p.postProcessAdjust = false;
    p.testRampToggle = p.testKorvoLUTToggle = p.testKorvoOverlayToggle = false;
    p.odtTable = nullptr;

    const PipelineSettings s = look.settings();
    expectTriple(s.lift, 0, 0, 0);
    expectTriple(s.printerLight, 0, 0, 0);
    for (const auto* triple : {&s.gamma, &s.gain, &s.temperatureGain, &s.pushPull, &s.cmy})
        expectTriple(*triple, 1, 1, 1);
    EXPECT_EQ(s.saturation, 0.0f);
    EXPECT_EQ(s.contrastMix, 0.0f);
    EXPECT_EQ(s.paletteMix, 0.0f);
    EXPECT_EQ(s.printMix, 0.0f);
    EXPECT_EQ(s.globalBlend, 1.0f);
    for (unsigned int size :
         {s.idtLutSize, s.contrastLutSize, s.paletteLutSize, s.printLutSize, s.odtLutSize, s.postProcessLutSize,
          s.gamutLutSize[0], s.gamutLutSize[1], s.gamutLutSize[2], s.zoneLutSize, s.testImageSize, s.zoneOverlaySize})
        EXPECT_EQ(size, 0u);
    for (const float* table : {s.idtLut, s.contrastLut, s.paletteLut, s.printLut, s.odtLut, s.postProcessLut,
                               s.gamutLut[0], s.gamutLut[1], s.gamutLut[2], s.zoneLut})
        EXPECT_EQ(table, nullptr);
    EXPECT_EQ(s.testImage, nullptr);
    EXPECT_EQ(s.zoneOverlay, nullptr);
    // The gamut weights do not depend on the toggles.
    expectTriple(s.gamutMix, 0.25f, 0.5f, 1.0f);
}

TEST(SetSettings, OptionsAndTogglesDecideWhichTablesApply) {
    Look look;
    LookParams& p = look.params;
    p.printToggle = true;     // silences the curve and the print but keeps both tables
    p.negativeToggle = true;  // silences the palette
    p.gamutGAdjust = false;
    p.colorPaletteMajorSelections = 0;  // a palette option with nothing chosen under it
    p.testRampToggle = false;
    p.testToneToggle = true;  // any of the three test pictures attaches the image
    PipelineSettings s = look.settings();
    EXPECT_EQ(s.contrastMix, 0.0f);
    EXPECT_EQ(s.printMix, 0.0f);
    EXPECT_EQ(s.paletteMix, 0.0f);
    EXPECT_EQ(s.contrastLutSize, 4u);
    EXPECT_EQ(s.printLutSize, 3u);
    EXPECT_EQ(s.gamutLutSize[0], 3u);
    EXPECT_EQ(s.gamutLutSize[1], 0u);
    EXPECT_EQ(s.gamutLut[1], nullptr);
    EXPECT_EQ(s.paletteLutSize, 0u);
    EXPECT_EQ(s.testImageSize, kTestViewBytes);

    p.colorPaletteMinorSelections = 1;  // not the active list
    s = look.settings();
    EXPECT_EQ(s.paletteLutSize, 0u);

    p.colorPaletteMajorSelections = 1;
    p.paletteTable = nullptr;  // selected, but nothing resolved
    p.globalBlendEnabled = false;
    s = look.settings();
    EXPECT_EQ(s.paletteLutSize, 0u);
    EXPECT_EQ(s.globalBlend, 1.0f);
}

TEST(SetSettings, TablesAndImagesThatCannotBeReadSafelyAreLeftOut) {
    Look look;
    LutTable flat = identity1D(3);       // a 1D table in 3D slots
    LutTable shortCube = identity3D(3);  // promises 27 entries, holds 26
    shortCube.data.resize(shortCube.data.size() - 3);
    const LutTable cubeAsCurve = identity3D(2);
    std::vector<unsigned char> smallImage(64 * 64 * 4, 1);

    LookParams& p = look.params;
    p.idtTable = &flat;
    p.odtTable = &shortCube;
    p.contrastTable = &cubeAsCurve;
    p.testImage = smallImage.data();
    p.testImageSize = static_cast<uint32_t>(smallImage.size());
    const PipelineSettings s = look.settings();
    EXPECT_EQ(s.idtLutSize, 0u);
    EXPECT_EQ(s.idtLut, nullptr);
    EXPECT_EQ(s.odtLutSize, 0u);
    EXPECT_EQ(s.contrastLutSize, 0u);
    EXPECT_EQ(s.testImageSize, 0u);
    EXPECT_EQ(s.testImage, nullptr);
    EXPECT_EQ(s.zoneOverlaySize, kTestViewBytes);  // the guide was fine
}

}  // namespace
}  // namespace ChromvaleBeta2
