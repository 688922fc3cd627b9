#include "pipeline/set_settings.h"

#include "pipeline/lut_stages.h"

namespace ChromvaleBeta2 {
namespace {

void setTriple(float (&out)[3], float r, float g, float b) {
    out[0] = r;
    out[1] = g;
    out[2] = b;
}

void setNeutral(float (&out)[3], float value) {
    setTriple(out, value, value, value);
}

// The chain indexes a table by its grid size alone, so only a table whose
// data really holds that many entries of the right kind may become present.
bool holdsEntries(const LutTable* table, int32_t kind) {
    if (table == nullptr || table->kind != kind || table->m_dims == 0) return false;
    const uint64_t n = table->m_dims;
    const uint64_t entries = kind == LutTable::kKind3D ? n * n * n : n;
    return table->data.size() / 3 >= entries;
}

void attachTable(const float*& slot, unsigned int& size, const LutTable* table, int32_t kind, bool selected) {
    if (selected && holdsEntries(table, kind)) {
        slot = table->data.data();
        size = table->m_dims;
    } else {
        slot = nullptr;
        size = 0;
    }
}

void attachImage(const unsigned char*& slot, unsigned int& size, const unsigned char* image, uint32_t bytes,
                 bool selected) {
    const bool present = selected && image != nullptr && bytes >= kTestViewBytes;
    slot = present ? image : nullptr;
    size = present ? bytes : 0;
}

// A straight line through 0.93, 1.01, 1.14 at -1500, neutral at 0 and
// 1.07, 0.99, 0.86 at +1500, evaluated in double and narrowed.
void setTemperatureGain(float (&out)[3], float temperature) {
    const double a = static_cast<double>(temperature) + 1500.0;
    setTriple(out, static_cast<float>(0.93 + (a * 0.14) / 3000.0),
              static_cast<float>(1.01 - (a * (1.01 - 0.99)) / 3000.0),
              static_cast<float>(1.14 - (a * (1.14 - 0.86)) / 3000.0));
}

void setCorrections(PipelineSettings& s, const LookParams& p) {
    if (p.liftToggle)
        setNeutral(s.lift, 0.0f);
    else
        setTriple(s.lift, p.lift + p.liftR, p.lift + p.liftG, p.lift + p.liftB);

    if (p.gammaToggle)
        setNeutral(s.gamma, 1.0f);
    else
        setTriple(s.gamma, p.gamma * p.gammaR, p.gamma * p.gammaG, p.gamma * p.gammaB);

    // The gamut weights apply whether or not their toggles are on; the
    // toggles only decide whether a table is attached.
    setTriple(s.gamutMix, p.gamutRAdjustValue, p.gamutGAdjustValue, p.gamutBAdjustValue);

    if (p.gainToggle)
        setNeutral(s.gain, 1.0f);
    else
        setTriple(s.gain, p.gain * p.gainR, p.gain * p.gainG, p.gain * p.gainB);

    if (p.temperatureToggle)
        setNeutral(s.temperatureGain, 1.0f);
    else
        setTemperatureGain(s.temperatureGain, p.temperature);

    s.saturation = p.saturationToggle ? 0.0f : p.saturation;

    if (p.PrinterLightToggle)
        setNeutral(s.printerLight, 0.0f);
    else
        setTriple(s.printerLight, p.PrinterLight + p.PrinterLightR, p.PrinterLight + p.PrinterLightG,
                  p.PrinterLight + p.PrinterLightB);

    // Master times channel, and both carry the one push/pull value: squared.
    if (p.PushPullLightToggle)
        setNeutral(s.pushPull, 1.0f);
    else
        setTriple(s.pushPull, p.PushPullLight * p.PushPullLightR, p.PushPullLight * p.PushPullLightG,
                  p.PushPullLight * p.PushPullLightB);

    if (p.CMYToggle)
        setNeutral(s.cmy, 1.0f);
    else
        setTriple(s.cmy, p.C * p.CMYAmount, p.M * p.CMYAmount, p.Y * p.CMYAmount);
}

void setMixWeights(PipelineSettings& s, const LookParams& p) {
    s.postProcessMix = p.postProcessValue;
    s.contrastMix = p.printToggle ? 0.0f : p.contrastIntensity;
    s.paletteMix = p.negativeToggle ? 0.0f : p.colorPaletteAIntensity;
    s.printMix = p.printToggle ? 0.0f : p.colorPaletteBIntensity;
    s.globalBlend = p.globalBlendEnabled ? p.globalBlend : 1.0f;
}

void setTables(PipelineSettings& s, const LookParams& p) {
    LookParams look = p;  // the stage accessors serve resolving too, which writes them
    for (const LutStage& stage : lutStages())
        attachTable(stage.lut(s), stage.lutSize(s), stage.table(look), stage.kind, stage.selected(look));
}

void setTestViews(PipelineSettings& s, const LookParams& p) {
    attachImage(s.testImage, s.testImageSize, p.testImage, p.testImageSize,
                p.testRampToggle || p.testSatToggle || p.testToneToggle);
    attachImage(s.zoneOverlay, s.zoneOverlaySize, p.zoneOverlay, p.zoneOverlaySize, p.testKorvoOverlayToggle);
}

}  // namespace

void setSettings(PipelineSettings& settings, const LookParams& params) {
    setCorrections(settings, params);
    setMixWeights(settings, params);
    setTables(settings, params);
    setTestViews(settings, params);
}

}  // namespace ChromvaleBeta2
