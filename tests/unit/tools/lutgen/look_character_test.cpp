#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <lodepng.h>

#include "tests/unit/tools/lutgen/colour_difference.h"
#include "tests/unit/tools/lutgen/lookdata_fixture.h"
#include "tools/lutgen/colour_space.h"

// Film stocks and palettes are judged on screen: these tests take colours
// through a table and then the Rec.709 output the shipped looks use, as the
// chain does.
namespace tonemill::lookdata_test {
namespace {

namespace lg = tonemill::lutgen;

const ChromvaleBeta2::LutTable& rec709Output() {
    return bundleTable("4-ODT/REC709-ODT-65.cube");
}

Rgb shown(const ChromvaleBeta2::LutTable* table, const Rgb& working) {
    const Rgb graded = table ? clamped(sample(*table, working)) : working;
    return clamped(sample(rec709Output(), graded));
}

// Saturated sweeps once around the hue circle, 1920 steps each, drawn in
// working-space codes as the command line's chart draws its hue field: the
// darkest channel runs down through the log toe to the AP1 boundary, as in a
// saturated foliage or sky gradient.
std::vector<std::vector<Rgb>> saturatedHueSweeps() {
    constexpr int kSteps = 1920;
    constexpr float kValue = 0.5f;
    std::vector<std::vector<Rgb>> sweeps;
    for (float saturation : {0.8f, 0.9f, 1.0f}) {
        std::vector<Rgb>& sweep = sweeps.emplace_back();
        for (int i = 0; i < kSteps; ++i) {
            const float h = 6.0f * (i + 0.5f) / kSteps;
            auto channel = [&](float offset) {
                const float k = std::fmod(offset + h, 6.0f);
                return kValue * (1.0f - saturation * std::clamp(std::min(k, 4.0f - k), 0.0f, 1.0f));
            };
            sweep.push_back({channel(5.0f), channel(3.0f), channel(1.0f)});
        }
    }
    return sweeps;
}

// The largest change of any channel between neighbours of the sweep, in
// 8-bit codes of the display.
double largestStepOnScreen(const ChromvaleBeta2::LutTable* table, const std::vector<std::vector<Rgb>>& sweeps) {
    double largest = 0.0;
    for (const auto& sweep : sweeps) {
        Rgb before = shown(table, sweep.front());
        for (size_t i = 1; i < sweep.size(); ++i) {
            const Rgb now = shown(table, sweep[i]);
            for (int c = 0; c < 3; ++c) largest = std::max(largest, 255.0 * std::abs(double(now[c]) - before[c]));
            before = now;
        }
    }
    return largest;
}

// Before the roll-off at the print gamut, 2393 stepped by 14 codes where a
// saturated yellow-green met the output's clip; with no look it steps by 4.
TEST(LookCharacter, FilmRenderingsRollSaturatedHuesOffBeforeTheDisplayClips) {
    const auto sweeps = saturatedHueSweeps();
    const double plain = largestStepOnScreen(nullptr, sweeps);
    for (const auto& name : entriesIn({"3A-NEGATIVE/", "3B-NEGATIVE_GEN 2/", "3C-MAJOR/", "3D-MINOR/", "PRINT/"}))
        EXPECT_LE(largestStepOnScreen(&bundleTable(name), sweeps), 2.0 * plain) << name;
}

// The tone chart's ten skin tones, deep to fair, as working-space codes.
std::vector<Rgb> skinTones() {
    std::vector<unsigned char> rgba;
    unsigned width = 0, height = 0;
    EXPECT_EQ(lodepng::decode(rgba, width, height, resourcePath("tonemap.png")), 0u);
    std::vector<Rgb> tones;
    for (unsigned i = 0; i < 10 && !rgba.empty(); ++i) {
        const unsigned char* px = &rgba[(size_t(960) * width + 160 + i * 160 + 80) * 4];
        tones.push_back({px[0] / 255.0f, px[1] / 255.0f, px[2] / 255.0f});
    }
    return tones;
}

// CIELAB hue angle of what the display shows (BT.1886 codes of Rec.709).
double hueOnScreen(const Rgb& code) {
    static const lg::Mat3 toXyz = lg::rgbToXyz(*lg::findGamut("Rec709"));
    const lg::Vec3 linear{std::pow(double(code[0]), 2.4), std::pow(double(code[1]), 2.4),
                          std::pow(double(code[2]), 2.4)};
    const Lab lab = labFromXyz(lg::applyMatrix(toXyz, linear), {0.95047, 1.0, 1.08883});
    return std::atan2(lab[2], lab[1]) * 180.0 / M_PI;
}

// Palettes may lean a whole picture towards their key, but a face must stay
// a face: the minor palettes' shadow tint once turned skin by up to 79 degrees.
TEST(LookCharacter, NoPaletteOrStockTurnsSkinHuesByMoreThanThirtyDegrees) {
    const auto tones = skinTones();
    ASSERT_EQ(tones.size(), 10u);
    for (const auto& name : entriesIn({"3A-NEGATIVE/", "3B-NEGATIVE_GEN 2/", "3C-MAJOR/", "3D-MINOR/", "PRINT/"}))
        for (size_t i = 0; i < tones.size(); ++i) {
            const double turn = std::remainder(
                hueOnScreen(shown(&bundleTable(name), tones[i])) - hueOnScreen(shown(nullptr, tones[i])), 360.0);
            EXPECT_LE(std::abs(turn), 30.0) << name << ", skin tone " << i;
        }
}

}  // namespace
}  // namespace tonemill::lookdata_test
