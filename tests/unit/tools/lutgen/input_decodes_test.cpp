#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/unit/tools/lutgen/colour_difference.h"
#include "tests/unit/tools/lutgen/lookdata_fixture.h"
#include "tools/lutgen/camera_curves.h"
#include "tools/lutgen/colour_space.h"

namespace tonemill::lookdata_test {
namespace {

namespace lg = tonemill::lutgen;

// Pixel values that move by a code value must not make the picture jump: the
// chain clamps right after the input transform, so a cell that interpolates
// through values far outside the working range turns a smooth gradient into
// a hard edge of another colour.
TEST(InputDecodes, NoInputJumpsOverOneStepOfATenBitCodeValue) {
    for (const auto& name : entriesIn({"1-IDT/"})) {
        const Step step = largestStepOfRandomWalks(bundleTable(name));
        EXPECT_LE(step.size, 0.01f) << name << " " << step;
    }
}

// The classic colour checker in the sRGB values its maker publishes, as
// scene reflectance.
constexpr int kChecker[24][3] = {
    {115, 82, 68},   {194, 150, 130}, {98, 122, 157},  {87, 108, 67},   {133, 128, 177}, {103, 189, 170},
    {214, 126, 44},  {80, 91, 166},   {193, 90, 99},   {94, 60, 108},   {157, 188, 64},  {224, 163, 46},
    {56, 61, 150},   {70, 148, 73},   {175, 54, 60},   {231, 199, 31},  {187, 86, 149},  {8, 133, 161},
    {243, 243, 242}, {200, 200, 200}, {160, 160, 160}, {122, 122, 121}, {85, 85, 85},    {52, 52, 52},
};

constexpr lg::Chromaticity kD65{0.3127, 0.3290};

lg::Vec3 checkerXyz(const int (&srgb)[3]) {
    lg::Vec3 linear;
    for (int c = 0; c < 3; ++c) {
        const double v = srgb[c] / 255.0;
        linear[c] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    }
    return lg::applyMatrix(lg::rgbToXyz(*lg::findGamut("Rec709")), linear);
}

Lab labD65(const lg::Vec3& xyz) {
    return labFromXyz(xyz, {kD65.x / kD65.y, 1.0, (1.0 - kD65.x - kD65.y) / kD65.y});
}

// Working-space values back to CIE XYZ seen under D65, adapted from the ACES
// white as the output transforms do.
lg::Vec3 xyzOfWorking(const Rgb& acescct) {
    static const lg::Gamut rec709 = *lg::findGamut("Rec709");
    static const lg::Mat3 toXyz = lg::multiply(lg::rgbToXyz(rec709), lg::gamutToGamut(lg::acesAp1(), rec709));
    return lg::applyMatrix(toXyz, {lg::linearFromAcescct(acescct[0]), lg::linearFromAcescct(acescct[1]),
                                   lg::linearFromAcescct(acescct[2])});
}

struct Differences {
    double mean = 0.0;
    double largest = 0.0;
};

// The checker as a camera of these primaries (white D65) and this encoding
// records it, decoded by the table: how far each patch lands from the
// patch itself.
template <typename Encode>
Differences checkerThroughInput(const std::string& table, const lg::Gamut& camera, Encode encode) {
    const lg::Mat3 fromXyz = lg::inverse(lg::rgbToXyz(camera));
    Differences d;
    for (const auto& patch : kChecker) {
        const lg::Vec3 xyz = checkerXyz(patch);
        const lg::Vec3 cameraRgb = lg::applyMatrix(fromXyz, xyz);
        const Rgb code{float(encode(cameraRgb[0])), float(encode(cameraRgb[1])), float(encode(cameraRgb[2]))};
        const double e = deltaE2000(labD65(xyz), labD65(xyzOfWorking(clamped(sample(bundleTable(table), code)))));
        d.mean += e / 24.0;
        d.largest = std::max(d.largest, e);
    }
    return d;
}

TEST(InputDecodes, ColourDifferenceFollowsTheCie2000Formula) {
    // Test pairs published with the formula by Sharma, Wu and Dalal (2005).
    EXPECT_NEAR(deltaE2000({50.0, 2.6772, -79.7751}, {50.0, 0.0, -82.7485}), 2.0425, 1e-4);
    EXPECT_NEAR(deltaE2000({50.0, 0.0, 0.0}, {50.0, -1.0, 2.0}), 2.3669, 1e-4);
    EXPECT_NEAR(deltaE2000({50.0, 2.5, 0.0}, {73.0, 25.0, -18.0}), 27.1492, 1e-4);
    EXPECT_NEAR(deltaE2000({60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}), 1.2644, 1e-4);
}

// REDLogFilm is the Cineon printing-density curve; the primaries of
// DRAGONcolor2 are those of colour-science's RED colourspace data (white D65).
TEST(InputDecodes, DragonColor2DecodesTheCheckerAsRecorded) {
    const lg::Gamut dragonColor2{{0.758656214177604, 0.330355835762678},
                                 {0.294923887732982, 0.708053363192126},
                                 {0.144168726866337, 0.050357384587121},
                                 kD65};
    const double black = std::pow(10.0, (95.0 - 685.0) / 300.0);
    const auto redLogFilm = [black](double linear) {
        return (685.0 + 300.0 * std::log10(linear * (1.0 - black) + black)) / 1023.0;
    };
    const Differences d =
        checkerThroughInput("1-IDT/RED-LEGACY-DRAGON2-REDLOGFILM-IDT-65.cube", dragonColor2, redLogFilm);
    EXPECT_LT(d.mean, 0.5);
    EXPECT_LT(d.largest, 1.0);
}

// White-balanced footage carries the encoding's own white whatever the light
// on set, so a 3200 K recording decodes like a daylight one.
TEST(InputDecodes, TungstenBalancedBlackmagicFilmKeepsTheEncodingWhite) {
    const lg::Gamut wideGamut{
        {0.7177215, 0.3171181}, {0.2280410, 0.8615690}, {0.1005841, -0.0820452}, {0.3127170, 0.3290312}};
    const std::pair<const char*, const char*> tables[] = {
        {"1-IDT/BMD_GEN1_3200K-IDT-65_6.cube", "ARRI-LogC3-EI800"},
        {"1-IDT/BMD_GEN1_5600K-IDT-65_6.cube", "ARRI-LogC3-EI800"},
        {"1-IDT/BMD_GEN3_3200K-IDT-65_6.cube", "BlackmagicFilmGen5"},
        {"1-IDT/BMD_GEN3_5600K-IDT-65_6.cube", "BlackmagicFilmGen5"},
    };
    for (const auto& [table, curveName] : tables) {
        SCOPED_TRACE(table);
        const lg::CodeCurve* curve = lg::findCurve(curveName);
        ASSERT_NE(curve, nullptr);
        const Differences d =
            checkerThroughInput(table, wideGamut, [curve](double linear) { return lg::encodeCurve(*curve, linear); });
        EXPECT_LT(d.mean, 1.0);
        EXPECT_LT(d.largest, 1.5);
    }
}

}  // namespace
}  // namespace tonemill::lookdata_test
