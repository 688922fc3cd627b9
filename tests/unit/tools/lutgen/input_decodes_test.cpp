#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <random>
#include <vector>

#include "tests/unit/tools/lutgen/colour_difference.h"
#include "tests/unit/tools/lutgen/lookdata_fixture.h"
#include "tools/lutgen/camera_curves.h"
#include "tools/lutgen/colour_space.h"
#include "tools/lutgen/lut_baker.h"
#include "tools/lutgen/ocio_chain.h"

namespace tonemill::lookdata_test {
namespace {

namespace lg = tonemill::lutgen;

// Pixel values that move by a code value must not make the picture jump: the
// chain clamps right after the input transform, so a cell that interpolates
// through values far outside the working range turns a smooth gradient into
// a hard edge of another colour.
//
// A display input is the exact inverse of its output, and an output transform
// compresses the brightest saturated colours hard, so undoing it is steep
// there: those inputs are held to the bound the look tables meet. Camera
// inputs keep every colour inside AP1 up to speculars, where the published
// decodes turn steeply at the gamut boundary; they get a little more than a
// hundredth for it.
TEST(InputDecodes, NoInputJumpsOverOneStepOfATenBitCodeValue) {
    for (const auto& name : entriesIn({"1-IDT/"})) {
        const Step step = largestStepOfRandomWalks(bundleTable(name));
        const bool display = recipeFor(name).text("model") == "aces-display";
        EXPECT_LE(step.size, display ? 0.025f : 0.012f) << name << " " << step;
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

// The same recipe turned round: the encoding a camera or display writes, the
// exact inverse of the decode its input table samples.
lg::LatticeTransform encodingOf(const lg::Recipe& input) {
    std::map<std::string, std::string> values = input.values();
    values["direction"] = "output";
    return lg::transformFor(lg::Recipe(input.entryName(), values));
}

void addDifference(Differences& d, double e, int count) {
    d.mean += e / count;
    d.largest = std::max(d.largest, e);
}

std::ostream& operator<<(std::ostream& out, const Differences& d) {
    return out << "mean " << d.mean << ", largest " << d.largest << " dE2000";
}

// Scene colours inside `scene` (a display gamut, white D65) over seven stops
// of exposure, as the camera records them, decoded by its input table: how
// far each lands from the colour itself after the clamp the chain applies.
// Colours the encoding cannot hold (a code beyond 0 to 1) are left out.
Differences sceneThroughInput(const std::string& entry, const lg::Gamut& scene) {
    const lg::Mat3 toAp1 = lg::gamutToGamut(scene, lg::acesAp1());
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> unit(0.0, 1.0), stops(-5.0, 2.0);
    std::vector<double> working;
    for (int i = 0; i < 4000; ++i) {
        const double exposure = std::exp2(stops(random));
        const lg::Vec3 ap1 =
            lg::applyMatrix(toAp1, {unit(random) * exposure, unit(random) * exposure, unit(random) * exposure});
        for (double v : ap1) working.push_back(lg::acescctFromLinear(v));
    }
    std::vector<double> codes = working;
    encodingOf(recipeFor(entry))(codes);
    std::vector<double> kept;
    for (size_t i = 0; i < codes.size(); i += 3) {
        if (std::all_of(codes.begin() + i, codes.begin() + i + 3, [](double c) { return c >= 0.0 && c <= 1.0; }))
            kept.push_back(static_cast<double>(i));
    }
    Differences d;
    for (const double at : kept) {
        const auto i = static_cast<size_t>(at);
        const Rgb reference = clamped({float(working[i]), float(working[i + 1]), float(working[i + 2])});
        const Rgb decoded =
            clamped(sample(bundleTable(entry), {float(codes[i]), float(codes[i + 1]), float(codes[i + 2])}));
        const double e = deltaE2000(labD65(xyzOfWorking(reference)), labD65(xyzOfWorking(decoded)));
        addDifference(d, e, static_cast<int>(kept.size()));
    }
    return d;
}

// Every camera input whose curve and primaries are published decodes what
// lies inside the common display gamuts where its decode puts it: a table
// before the chain's clamp has no reason to move a colour the clamp keeps.
TEST(InputDecodes, CameraInputsKeepEveryColourInsideTheDisplayGamuts) {
    const lg::Gamut p3d65{{0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, kD65};
    for (const std::string& entry : entriesIn({"1-IDT/"})) {
        const std::string& model = recipeFor(entry).text("model");
        // The linear input's range ends at 1.0, which no scene respects; its
        // limit is documented with its data.
        if ((model != "camera" && model != "ocio-camera") || entry.find("VFX_LINEAR") != std::string::npos) continue;
        const Differences rec709 = sceneThroughInput(entry, *lg::findGamut("Rec709"));
        const Differences p3 = sceneThroughInput(entry, p3d65);
        std::cout << entry << ": Rec.709 " << rec709 << "; P3-D65 " << p3 << "\n";
        // What remains is the lattice: a channel near zero after the camera's
        // matrix sits in a cell whose far corners lie outside AP1 and were
        // bounded, so a few saturated dark colours interpolate low.
        for (const Differences& d : {rec709, p3}) {
            EXPECT_LT(d.mean, 0.4) << entry;
            EXPECT_LT(d.largest, 5.5) << entry;
        }
    }
}

// A display picture read by a display input and shown through the matching
// output comes back as it went in, within what the two tables hold.
struct DisplayPair {
    std::string input, output, display;
};

std::vector<DisplayPair> matchingDisplayPairs() {
    std::vector<DisplayPair> pairs;
    for (const std::string& input : entriesIn({"1-IDT/"})) {
        const lg::Recipe& in = recipeFor(input);
        if (in.text("model") != "aces-display") continue;
        for (const std::string& output : entriesIn({"4-ODT/"})) {
            const lg::Recipe& out = recipeFor(output);
            if (out.text("model") == "aces-display" && out.text("output") == in.text("output") &&
                out.text("display") == in.text("display"))
                pairs.push_back({input, output, in.text("display")});
        }
    }
    return pairs;
}

TEST(InputDecodes, DisplayInputsGiveThePictureBackThroughTheirOutput) {
    const std::vector<DisplayPair> pairs = matchingDisplayPairs();
    ASSERT_GE(pairs.size(), 3u);
    for (const DisplayPair& pair : pairs) {
        SCOPED_TRACE(pair.input);
        const lg::LatticeTransform toXyz = lg::ocioChain({{pair.display, true}});
        // Display code -> input -> clamp -> output; its difference from the code.
        const auto roundTrip = [&](const lg::Vec3& code) {
            const Rgb working =
                clamped(sample(bundleTable(pair.input), {float(code[0]), float(code[1]), float(code[2])}));
            const Rgb back = sample(bundleTable(pair.output), working);
            std::vector<double> xyz = {code[0], code[1], code[2], back[0], back[1], back[2]};
            toXyz(xyz);
            return deltaE2000(labD65({xyz[0], xyz[1], xyz[2]}), labD65({xyz[3], xyz[4], xyz[5]}));
        };
        // What the output shows of working black and of the top of the range.
        const Rgb lo = sample(bundleTable(pair.output), {0.0f, 0.0f, 0.0f});
        const Rgb hi = sample(bundleTable(pair.output), {1.0f, 1.0f, 1.0f});
        const auto within = [&](const lg::Vec3& unit) {
            lg::Vec3 code;
            for (int c = 0; c < 3; ++c) code[c] = lo[c] + unit[c] * (hi[c] - lo[c]);
            return code;
        };

        Differences checker, primaries75, primaries100, random;
        for (const auto& patch : kChecker)
            addDifference(checker, roundTrip(within({patch[0] / 255.0, patch[1] / 255.0, patch[2] / 255.0})), 24);
        for (const lg::Vec3 corner : {lg::Vec3{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 1, 1}, {1, 0, 1}, {1, 1, 0}}) {
            addDifference(primaries75, roundTrip(within({0.75 * corner[0], 0.75 * corner[1], 0.75 * corner[2]})), 6);
            addDifference(primaries100, roundTrip(within(corner)), 6);
        }
        std::mt19937 generator(7);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (int i = 0; i < 2000; ++i)
            addDifference(random, roundTrip(within({unit(generator), unit(generator), unit(generator)})), 2000);
        std::cout << pair.input << " -> " << pair.output << ": checker " << checker << "; 75 % primaries "
                  << primaries75 << "; 100 % primaries " << primaries100 << "; random " << random << "\n";
        EXPECT_LT(primaries75.largest, 1.0);
        // The inverse, corrected against the baked output table, holds an SDR
        // signal to a fraction of a code value; the steep PQ and HLG curves put
        // fewer lattice points on each stop, so their round trip is looser.
        const bool hdr = pair.display.find("PQ") != std::string::npos ||
                         pair.display.find("ST2084") != std::string::npos ||
                         pair.display.find("HLG") != std::string::npos;
        EXPECT_LT(checker.largest, hdr ? 6.0 : 0.5);
        EXPECT_LT(random.mean, hdr ? 2.0 : 0.15);
    }
}

}  // namespace
}  // namespace tonemill::lookdata_test
