#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "pipeline/cpu_chain.h"
#include "pipeline/set_settings.h"
#include "tests/unit/pipeline/chain_fixtures.h"

namespace ChromvaleBeta2 {
namespace {

using testing::identity1D;
using testing::identity3D;
using testing::neutralSettings;
using testing::random3D;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

void expectRgbNear(float4 got, float r, float g, float b, float tolerance = 1e-6f) {
    EXPECT_NEAR(got.x, r, tolerance);
    EXPECT_NEAR(got.y, g, tolerance);
    EXPECT_NEAR(got.z, b, tolerance);
}

float clampUnit(float x) {
    return std::fmin(std::fmax(x, 0.0f), 1.0f);
}

TEST(Chain, NeutralSettingsClampTheColourAndKeepTheAlpha) {
    const PipelineSettings s = neutralSettings();
    const float4 inputs[] = {make_float4(0.25f, 0.5f, 0.75f, 1.0f), make_float4(-0.5f, 1.5f, 0.0f, 7.0f),
                             make_float4(1.0f, 0.0f, 2.0f, -3.0f), make_float4(0.1f, 0.9f, 0.3f, kNaN)};
    for (const float4& in : inputs) {
        const float4 out = processColour(s, in);
        expectRgbNear(out, clampUnit(in.x), clampUnit(in.y), clampUnit(in.z));
        if (std::isnan(in.w))
            EXPECT_TRUE(std::isnan(out.w));
        else
            EXPECT_EQ(out.w, in.w);
    }
}

// An identity table in a stage, at full strength, leaves the neutral chain's
// answer unchanged; a broken stage shows up as a difference.
TEST(Chain, IdentityTablesAreNeutralInEveryStage) {
    const LutTable cube = identity3D(17);
    const LutTable curve = identity1D(33);
    PipelineSettings s = neutralSettings();
    s.idtLut = s.paletteLut = s.printLut = s.odtLut = s.postProcessLut = cube.data.data();
    s.idtLutSize = s.paletteLutSize = s.printLutSize = s.odtLutSize = s.postProcessLutSize = 17;
    for (int c = 0; c < 3; ++c) {
        s.gamutLut[c] = cube.data.data();
        s.gamutLutSize[c] = 17;
        s.gamutMix[c] = 0.0f;
    }
    s.contrastLut = curve.data.data();
    s.contrastLutSize = 33;
    s.contrastMix = s.paletteMix = s.printMix = s.postProcessMix = 1.0f;

    std::mt19937 rng(1);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < 200; ++i) {
        const float4 in = make_float4(unit(rng), unit(rng), unit(rng), 0.5f);
        const float4 out = processColour(s, in);
        expectRgbNear(out, in.x, in.y, in.z, 1e-5f);
        EXPECT_EQ(out.w, 0.5f);
    }
}

TEST(Chain, ParametricStagesFollowTheirFormulas) {
    const float4 in = make_float4(0.5f, 0.25f, 0.8f, 1.0f);
    PipelineSettings s = neutralSettings();
    s.printerLight[0] = 0.1f;  // (0.6 + 0.4 * 0.5)
    s.lift[0] = 0.5f;
    s.gain[1] = 2.0f;
    s.gamma[2] = 0.0f;  // falls back to the exponent 100
    expectRgbNear(processColour(s, in), 0.8f, 0.5f, std::pow(0.8f, 100.0f));

    s = neutralSettings();
    s.cmy[0] = 2.0f;       // density 0.5 doubled: 1 - clamp(1.0)
    s.pushPull[1] = 0.5f;  // squared
    s.temperatureGain[2] = 1.1f;
    expectRgbNear(processColour(s, in), 0.0f, 0.0625f, 0.88f);

    s = neutralSettings();
    s.pushPull[0] = 0.0f;  // 0.5^100
    s.gamma[1] = 0.5f;     // 0^2 stays 0
    expectRgbNear(processColour(s, make_float4(0.5f, 0.0f, 0.0f, 1.0f)), std::pow(0.5f, 100.0f), 0.0f, 0.0f);
}

TEST(Chain, SaturationScalesTheDistanceFromLuma) {
    const float4 in = make_float4(0.6f, 0.3f, 0.2f, 1.0f);
    const double luma = 0.299 * 0.6 + 0.587 * 0.3 + 0.114 * 0.2;
    PipelineSettings s = neutralSettings();
    for (float saturation : {-1.0f, 1.0f, 0.5f}) {
        s.saturation = saturation;
        const double k = saturation > 0 ? std::pow(2.51, saturation) : std::pow(80.0, saturation);
        expectRgbNear(processColour(s, in), static_cast<float>(luma + k * (0.6 - luma)),
                      static_cast<float>(luma + k * (0.3 - luma)), static_cast<float>(luma + k * (0.2 - luma)));
    }
    s.saturation = 1.0f;  // no clamp after the matrix
    EXPECT_LT(processColour(s, make_float4(0.0f, 1.0f, 1.0f, 1.0f)).x, 0.0f);
}

TEST(Chain, MixWeightsFollowTheirTwoConventions) {
    std::mt19937 rng(2);
    const LutTable table = random3D(5, rng);
    const float4 in = make_float4(0.3f, 0.6f, 0.9f, 1.0f);
    const float4 looked = lookup3D(table.data.data(), 5, in);

    PipelineSettings s = neutralSettings();
    s.gamutLut[1] = table.data.data();
    s.gamutLutSize[1] = 5;
    s.gamutMix[1] = 1.0f;  // share of the input kept: the lookup has no effect
    expectRgbNear(processColour(s, in), in.x, in.y, in.z);
    s.gamutMix[1] = 0.0f;
    expectRgbNear(processColour(s, in), looked.x, looked.y, looked.z);
    s.gamutMix[1] = 0.25f;
    expectRgbNear(processColour(s, in), 0.25f * in.x + 0.75f * looked.x, 0.25f * in.y + 0.75f * looked.y,
                  0.25f * in.z + 0.75f * looked.z);

    s = neutralSettings();
    s.printLut = table.data.data();
    s.printLutSize = 5;
    s.printMix = 0.0f;  // share of the result taken
    expectRgbNear(processColour(s, in), in.x, in.y, in.z);
    s.printMix = 1.0f;
    expectRgbNear(processColour(s, in), looked.x, looked.y, looked.z);

    const LutTable curve = testing::random1D(8, rng);
    s = neutralSettings();
    s.contrastLut = curve.data.data();
    s.contrastLutSize = 8;
    s.contrastMix = 0.0f;
    expectRgbNear(processColour(s, in), in.x, in.y, in.z);
    s.contrastMix = 1.0f;
    expectRgbNear(processColour(s, in), lookup1D(curve.data.data(), 8, in.x).x, lookup1D(curve.data.data(), 8, in.y).y,
                  lookup1D(curve.data.data(), 8, in.z).z);
}

TEST(Chain, GlobalBlendZeroReturnsTheInputStagesOnly) {
    std::mt19937 rng(4);
    const LutTable idt = random3D(5, rng, -0.5f, 1.5f);  // leaves [0, 1]
    const LutTable odt = random3D(9, rng);
    const LutTable film = random3D(5, rng);
    PipelineSettings s = neutralSettings();
    s.idtLut = idt.data.data();
    s.idtLutSize = 5;
    s.printLut = film.data.data();
    s.printLutSize = 5;
    s.printMix = 1.0f;
    s.gain[0] = 3.0f;
    s.saturation = 0.7f;
    s.globalBlend = 0.0f;

    const float4 in = make_float4(0.2f, 0.7f, 0.4f, 1.0f);
    const float4 afterIdt = lookup3D(idt.data.data(), 5, in);
    expectRgbNear(processColour(s, in), afterIdt.x, afterIdt.y, afterIdt.z);  // unclamped

    s.odtLut = odt.data.data();
    s.odtLutSize = 9;
    const float4 display = lookup3D(odt.data.data(), 9, afterIdt);
    expectRgbNear(processColour(s, in), display.x, display.y, display.z);
}

TEST(Chain, NanColourIsClampedTheSameWayOnEveryPath) {
    // The corrections clamp NaN to 0, but the ungraded colour the global
    // blend weighs (even with weight 0) still carries it.
    PipelineSettings s = neutralSettings();
    s.gain[0] = 0.5f;
    s.globalBlend = 0.0f;
    const float4 ungraded = processColour(s, make_float4(kNaN, 0.5f, 0.2f, 1.0f));
    EXPECT_TRUE(std::isnan(ungraded.x));
    EXPECT_EQ(ungraded.y, 0.5f);

    // A lookup clamps NaN to 1, after which everything is finite.
    const LutTable cube = identity3D(3);
    s = neutralSettings();
    s.idtLut = cube.data.data();
    s.idtLutSize = 3;
    expectRgbNear(processColour(s, make_float4(kNaN, 0.5f, 0.25f, 1.0f)), 1.0f, 0.5f, 0.25f);
}

struct TestViews {
    std::vector<unsigned char> image = std::vector<unsigned char>(kTestViewBytes, 0);
    std::vector<unsigned char> guide = std::vector<unsigned char>(kTestViewBytes, 0);

    void setPixel(std::vector<unsigned char>& picture, int x, int y, unsigned char r, unsigned char g, unsigned char b,
                  unsigned char a) {
        unsigned char* p = &picture[4 * (static_cast<size_t>(y) * 1920 + x)];
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
    }
};

TEST(Chain, TestViewsAreDrawnOnlyWithAPositionAndTileTheFrame) {
    TestViews views;
    views.setPixel(views.image, 5, 7, 255, 51, 0, 0);
    views.setPixel(views.guide, 6, 7, 0, 0, 255, 1);
    std::mt19937 rng(9);
    const LutTable zone = random3D(3, rng);
    PipelineSettings s = neutralSettings();
    s.testImage = views.image.data();
    s.testImageSize = kTestViewBytes;
    s.zoneOverlay = views.guide.data();
    s.zoneOverlaySize = kTestViewBytes;
    const float4 in = make_float4(0.3f, 0.3f, 0.3f, 0.5f);

    // The picture replaces the colour; the alpha stays the source's.
    const float4 atImage = processColourAt(s, in, 5, 7);
    expectRgbNear(atImage, 1.0f, 0.2f, 0.0f);
    EXPECT_EQ(atImage.w, 0.5f);
    expectRgbNear(processColourAt(s, in, 5 + 1920, 7 + 2 * 1080), 1.0f, 0.2f, 0.0f);
    // An opaque guide pixel replaces the output; a transparent one does not.
    expectRgbNear(processColourAt(s, in, 6 + 1920, 7), 0.0f, 0.0f, 1.0f);
    expectRgbNear(processColourAt(s, in, 4, 7), 0.0f, 0.0f, 0.0f);
    // The colour-only chain draws neither.
    expectRgbNear(processColour(s, in), 0.3f, 0.3f, 0.3f);

    s.zoneLut = zone.data.data();
    s.zoneLutSize = 3;
    const float4 zoned = lookup3D(zone.data.data(), 3, make_float4(0.0f, 0.0f, 0.0f, 1.0f));
    expectRgbNear(processColourAt(s, in, 4, 7), zoned.x, zoned.y, zoned.z);
    expectRgbNear(processColour(s, in), 0.3f, 0.3f, 0.3f);
}

TEST(RenderRow, ProcessesSourceColumnsAndBlanksTheRest) {
    std::mt19937 rng(6);
    testing::LoadedLook look;
    const PipelineSettings s = testing::randomSettings(look, rng, true);
    std::vector<float> source(4 * 6);
    std::uniform_real_distribution<float> unit(-0.2f, 1.2f);
    for (float& v : source) v = unit(rng);

    // Source columns 10..15 of a row 3 up from the source's bottom; the
    // window reaches two columns beyond it on each side.
    const SourceRow row{source.data(), 10, 16, 3};
    std::vector<float> out(4 * 10, -1.0f);
    renderRow(s, row, 8, 18, out.data());
    for (int x = 8; x < 18; ++x) {
        SCOPED_TRACE(x);
        const float* got = &out[4 * (x - 8)];
        if (x < 10 || x >= 16) {
            for (int c = 0; c < 4; ++c) EXPECT_EQ(got[c], 0.0f);
            continue;
        }
        const float* in = &source[4 * (x - 10)];
        const float4 want = processColourAt(s, make_float4(in[0], in[1], in[2], in[3]), x - 10, 3);
        EXPECT_EQ(got[0], want.x);
        EXPECT_EQ(got[1], want.y);
        EXPECT_EQ(got[2], want.z);
        EXPECT_EQ(got[3], want.w);
    }

    std::vector<float> blank(4 * 3, -1.0f);
    renderRow(s, SourceRow{}, 0, 3, blank.data());
    for (float v : blank) EXPECT_EQ(v, 0.0f);
}

}  // namespace
}  // namespace ChromvaleBeta2
