#include "tests/unit/pipeline/chain_fixtures.h"

#include "pipeline/set_settings.h"

namespace ChromvaleBeta2::testing {

namespace {

LutTable emptyTable(uint32_t n, int32_t kind, size_t entries) {
    LutTable table;
    table.m_dims = n;
    table.kind = kind;
    table.data.resize(3 * entries);
    return table;
}

float unitStep(uint32_t i, uint32_t n) {
    return n > 1 ? static_cast<float>(i) / static_cast<float>(n - 1) : 0.0f;
}

float uniform(std::mt19937& rng, float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(rng);
}

void setRandomTriple(float (&out)[3], std::mt19937& rng, float low, float high) {
    for (float& value : out) value = uniform(rng, low, high);
}

void attach(const float*& slot, unsigned int& size, const LutTable& table) {
    slot = table.data.data();
    size = table.m_dims;
}

// Real looks are smooth: a table of random entries would multiply every
// rounding difference by its steep slope at each of the stacked stages.
LutTable nearIdentity(LutTable table, std::mt19937& rng, float amplitude) {
    for (float& value : table.data) value += uniform(rng, -amplitude, amplitude);
    return table;
}

std::vector<unsigned char> randomImage(std::mt19937& rng) {
    std::vector<unsigned char> image(kTestViewBytes);
    std::uniform_int_distribution<int> byte(0, 255);
    for (unsigned char& b : image) b = static_cast<unsigned char>(byte(rng));
    return image;
}

}  // namespace

LutTable identity3D(uint32_t n) {
    LutTable table = emptyTable(n, LutTable::kKind3D, size_t{n} * n * n);
    size_t k = 0;
    for (uint32_t b = 0; b < n; ++b)
        for (uint32_t g = 0; g < n; ++g)
            for (uint32_t r = 0; r < n; ++r) {
                table.data[k++] = unitStep(r, n);
                table.data[k++] = unitStep(g, n);
                table.data[k++] = unitStep(b, n);
            }
    return table;
}

LutTable identity1D(uint32_t n) {
    LutTable table = emptyTable(n, LutTable::kKind1D, n);
    for (uint32_t i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c) table.data[3 * i + c] = unitStep(i, n);
    return table;
}

LutTable random3D(uint32_t n, std::mt19937& rng, float low, float high) {
    LutTable table = emptyTable(n, LutTable::kKind3D, size_t{n} * n * n);
    for (float& value : table.data) value = uniform(rng, low, high);
    return table;
}

LutTable random1D(uint32_t n, std::mt19937& rng) {
    LutTable table = emptyTable(n, LutTable::kKind1D, n);
    for (float& value : table.data) value = uniform(rng, 0.0f, 1.0f);
    return table;
}

PipelineSettings neutralSettings() {
    PipelineSettings s{};
    for (int c = 0; c < 3; ++c) {
        s.gamma[c] = s.gain[c] = s.temperatureGain[c] = s.pushPull[c] = s.cmy[c] = 1.0f;
        s.gamutMix[c] = 1.0f;
    }
    s.globalBlend = 1.0f;
    return s;
}

PipelineSettings randomSettings(LoadedLook& look, std::mt19937& rng, bool withTestViews) {
    look.idt = nearIdentity(identity3D(9), rng, 0.1f);
    look.contrast = nearIdentity(identity1D(64), rng, 0.02f);
    look.palette = nearIdentity(identity3D(17), rng, 0.03f);
    look.print = nearIdentity(identity3D(5), rng, 0.1f);
    look.odt = nearIdentity(identity3D(33), rng, 0.02f);
    look.postProcess = nearIdentity(identity3D(2), rng, 0.2f);
    look.zone = random3D(7, rng);
    for (LutTable& gamut : look.gamut) gamut = nearIdentity(identity3D(11), rng, 0.05f);

    PipelineSettings s = neutralSettings();
    setRandomTriple(s.lift, rng, -0.2f, 0.2f);
    setRandomTriple(s.gamma, rng, 0.5f, 2.0f);
    setRandomTriple(s.gamutMix, rng, 0.0f, 1.0f);
    setRandomTriple(s.gain, rng, 0.5f, 1.5f);
    setRandomTriple(s.temperatureGain, rng, 0.9f, 1.1f);
    s.saturation = uniform(rng, -1.0f, 1.0f);
    setRandomTriple(s.printerLight, rng, -0.1f, 0.1f);
    setRandomTriple(s.pushPull, rng, 0.6f, 1.4f);
    setRandomTriple(s.cmy, rng, 0.5f, 1.5f);
    s.postProcessMix = uniform(rng, 0.0f, 1.0f);
    s.contrastMix = uniform(rng, 0.0f, 1.0f);
    s.paletteMix = uniform(rng, 0.0f, 1.0f);
    s.printMix = uniform(rng, 0.0f, 1.0f);
    s.globalBlend = uniform(rng, 0.0f, 1.0f);

    attach(s.idtLut, s.idtLutSize, look.idt);
    attach(s.contrastLut, s.contrastLutSize, look.contrast);
    attach(s.paletteLut, s.paletteLutSize, look.palette);
    attach(s.printLut, s.printLutSize, look.print);
    attach(s.odtLut, s.odtLutSize, look.odt);
    attach(s.postProcessLut, s.postProcessLutSize, look.postProcess);
    for (int c = 0; c < 3; ++c) attach(s.gamutLut[c], s.gamutLutSize[c], look.gamut[c]);
    if (withTestViews) {
        attach(s.zoneLut, s.zoneLutSize, look.zone);
        look.testImage = randomImage(rng);
        look.zoneOverlay = randomImage(rng);
        for (size_t i = 3; i < look.zoneOverlay.size(); i += 4)  // about half transparent
            if (look.zoneOverlay[i] < 128) look.zoneOverlay[i] = 0;
        s.testImage = look.testImage.data();
        s.testImageSize = kTestViewBytes;
        s.zoneOverlay = look.zoneOverlay.data();
        s.zoneOverlaySize = kTestViewBytes;
    }
    return s;
}

}  // namespace ChromvaleBeta2::testing
