#pragma once

#include <cstdint>

#include "pipeline/lut_table.h"

namespace ChromvaleBeta2 {

// Every parameter value of one render time, with the LUT tables and test
// images resolved for them. Zero-filled before each gathering; doubles are
// narrowed to float, choices are option indices.
struct LookParams {
    int32_t idtProfile;
    float PrinterLight, PrinterLightR, PrinterLightG, PrinterLightB;
    // The single push/pull parameter, carried as master and channel values.
    float PushPullLight, PushPullLightR, PushPullLightG, PushPullLightB;
    bool PushPullLightToggle;
    bool PrinterLightToggle;
    float CMYAmount, C, M, Y;
    bool CMYToggle;
    float temperature;
    bool temperatureToggle;
    float lift, liftR, liftG, liftB;
    bool liftToggle;
    float gamma, gammaR, gammaG, gammaB;
    bool gammaToggle;
    float gain, gainR, gainG, gainB;
    bool gainToggle;
    // The gamut limit parameters divided by 100: the share of the input kept.
    float gamutRAdjustValue, gamutGAdjustValue, gamutBAdjustValue;
    bool gamutRAdjust, gamutGAdjust, gamutBAdjust;
    float saturation;
    bool saturationToggle;
    int32_t contrastOptions;
    float contrastIntensity;
    int32_t colorPaletteAOptions;
    bool negativeToggle;
    bool printToggle;
    float colorPaletteAIntensity;  // 0 unless colorPaletteAOptions > 0
    bool postProcessAdjust;
    float postProcessValue;
    int32_t postProcessOptions;
    bool testRampToggle, testSatToggle, testToneToggle, testKorvoLUTToggle;
    float globalBlend;
    bool globalBlendEnabled;
    int32_t colorPaletteNegativeSelections, colorPaletteNegativeGEN2Selections, colorPaletteMajorSelections,
        colorPaletteMinorSelections;
    int32_t colorPaletteBOptions;
    float colorPaletteBIntensity;  // 0 unless colorPaletteBOptions > 0
    bool testKorvoOverlayToggle;   // after the test toggle exclusion
    int32_t outputProfileOptions;
    const unsigned char* testImage;    // selected test image, or null
    const unsigned char* zoneOverlay;  // zone chart guide, or null
    uint32_t zoneOverlaySize;          // bytes of zoneOverlay, 0 when null
    uint32_t testImageSize;            // bytes of testImage, 0 when null
    const LutTable *idtTable, *contrastTable, *zoneTable, *paletteTable, *printTable, *odtTable;
    const LutTable* gamutTable[3];  // red, green, blue
    const LutTable* postProcessTable;
};

}  // namespace ChromvaleBeta2
