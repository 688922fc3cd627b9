#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "tests/unit/tools/lutgen/lookdata_fixture.h"
#include "tools/lutgen/colour_space.h"
#include "tools/lutgen/lut_baker.h"
#include "tools/lutgen/zone_chart.h"

namespace tonemill::lookdata_test {
namespace {

const float kMidGrey = static_cast<float>(lutgen::midGreyAcescct());

void expectNear(const Rgb& actual, const Rgb& expected, float tolerance) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual[c], expected[c], tolerance) << "channel " << c;
}

TEST(ColourTransforms, AcescctInputAndOutputAreTheIdentity) {
    for (const char* name : {"1-IDT/ACESCCT-IDT-65.cube", "4-ODT/ACESCCT-ODT-65.cube"}) {
        SCOPED_TRACE(name);
        const auto& table = bundleTable(name);
        for (float r = 0.0f; r <= 1.0f; r += 0.13f)
            for (float g = 0.02f; g <= 1.0f; g += 0.17f)
                for (float b = 0.05f; b <= 1.0f; b += 0.11f) expectNear(sample(table, {r, g, b}), {r, g, b}, 1e-5f);
    }
}

TEST(ColourTransforms, EveryCameraInputPutsItsGreyCardOnWorkingMidGrey) {
    int cameras = 0;
    for (const auto& recipe : recipeBook()) {
        if (recipe.entryName().rfind("1-IDT/", 0) != 0 || !recipe.has("grey")) continue;
        SCOPED_TRACE(recipe.entryName());
        const float grey = static_cast<float>(recipe.number("grey"));
        expectNear(sample(bundleTable(recipe.entryName()), {grey, grey, grey}), {kMidGrey, kMidGrey, kMidGrey}, 0.002f);
        ++cameras;
    }
    EXPECT_GE(cameras, 25);
}

// Where OpenColorIO has a camera built in, the vendor formulas and gamut
// matrices of the generator must land on the same working-space values.
TEST(ColourTransforms, FormulaCamerasAgreeWithOpenColorIOWhereBothExist) {
    using Values = std::map<std::string, std::string>;
    const std::tuple<const char*, const char*, const char*> cameras[] = {
        {"ARRI-LogC3-EI800", "ALEXA-WideGamut", "1-IDT/ARRI-LOGC-IDT-65.cube"},
        {"CanonLog2", "CinemaGamut", "1-IDT/CANON-CINEMA-LOG-2-IDT-65.cube"},
        {"CanonLog3", "CinemaGamut", "1-IDT/CANON-CINEMA-LOG-3-IDT-65.cube"},
        {"Sony-SLog3", "S-Gamut3.Cine", "1-IDT/SONY_SLOG3_SGAMUTCINE-IDT-65.cube"},
    };
    for (const auto& [curve, gamut, builtIn] : cameras) {
        SCOPED_TRACE(builtIn);
        const auto formula = lutgen::bakeEntry(
            lutgen::Recipe("1-IDT/formula.cube",
                           Values{{"model", "camera"}, {"curve", curve}, {"gamut", gamut}, {"direction", "input"}}));
        const auto& reference = bundleTable(builtIn).data;
        ASSERT_EQ(formula.rgb.size(), reference.size());
        // Grey and gentle colours on the log part of ACEScct. Saturated
        // colours are left out: there the vendors' own matrices (some built
        // for another illuminant or with another chromatic adaptation) part
        // from ours by a fraction of a percent, which cancelling channels
        // magnify into large differences in log terms.
        float largest = 0.0f;
        size_t compared = 0;
        for (size_t point = 0; point < reference.size(); point += 3) {
            const float* ref = &reference[point];
            const auto [lo, hi] = std::minmax({ref[0], ref[1], ref[2]});
            if (lo < 0.16f || hi - lo > 0.1f) continue;
            for (size_t c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(float(formula.rgb[point + c]) - ref[c]));
            ++compared;
        }
        EXPECT_GT(compared, 300u);
        EXPECT_LT(largest, 2e-3f);
    }
}

TEST(ColourTransforms, InputThenMatchingOutputReturnsMidTones) {
    const std::pair<const char*, const char*> pairs[] = {
        {"1-IDT/REC709-IDT-65.cube", "4-ODT/REC709-ODT-65.cube"},
        {"1-IDT/SRGB-IDT-65.cube", "4-ODT/sRGB-ODT-65.cube"},
        {"1-IDT/ARRI-LOGC-IDT-65.cube", "4-ODT/ARRI-LOGC-ODT-65.cube"},
        {"1-IDT/DaVinciWG-IDT_65.cube", "4-ODT/DaVinciWG-ODT-65.cube"},
        {"1-IDT/FILM_SCAN-IDT-65.cube", "4-ODT/FILMSCAN-ODT-65.cube"},
        {"1-IDT/RED_IPP2_RWGRGB_LOG3G10-IDT-65.cube", "4-ODT/REDWGRGB LOG3G10-ODT-65.cube"},
        {"1-IDT/REC2020_ST2084_1000-IDT-65.cube", "4-ODT/REC2100_PQ1000-ODT-65.cube"},
    };
    for (const auto& [in, out] : pairs) {
        SCOPED_TRACE(in);
        const auto& idt = bundleTable(in);
        const auto& odt = bundleTable(out);
        // Mid-tones: greys and gentle colours around them. Saturated code
        // values of a wide camera gamut leave the working space, where no
        // output table can bring them back.
        for (float grey = 0.3f; grey <= 0.61f; grey += 0.05f)
            for (const Rgb& tint :
                 {Rgb{0, 0, 0}, Rgb{0.03f, 0, -0.03f}, Rgb{-0.02f, 0.03f, 0}, Rgb{0, -0.02f, 0.03f}}) {
                const Rgb colour{grey + tint[0], grey + tint[1], grey + tint[2]};
                expectNear(sample(odt, sample(idt, colour)), colour, 0.01f);
            }
    }
}

TEST(ColourTransforms, DisplayOutputsStayInTheSignalRangeAndLinearOutputDoesNot) {
    for (const auto& recipe : recipeBook()) {
        if (recipe.text("model") != "aces-display" && recipe.text("model") != "house") continue;
        if (recipe.entryName().rfind("4-ODT/", 0) != 0) continue;
        SCOPED_TRACE(recipe.entryName());
        const auto [lo, hi] = std::minmax_element(bundleTable(recipe.entryName()).data.begin(),
                                                  bundleTable(recipe.entryName()).data.end());
        EXPECT_GE(*lo, 0.0f);
        EXPECT_LE(*hi, 1.0f);
    }
    // Scene-linear delivery keeps highlights far above 1: ACEScct 0.8 is about
    // 20 times the white of a display.
    const Rgb bright = sample(bundleTable("4-ODT/LINEAR_SRGB-ODT-65.cube"), {0.8f, 0.8f, 0.8f});
    EXPECT_NEAR(bright[1], float(lutgen::linearFromAcescct(0.8)), 0.5f);
}

TEST(ColourTransforms, GamutLimitMovesOnlyItsOwnChannelAndOnlyFarFromNeutral) {
    const char* names[3] = {"GAMUT LIMIT/R_Gamut_LImit.cube", "GAMUT LIMIT/G_Gamut_Limit.cube",
                            "GAMUT LIMIT/B_Gamut_Limit.cube"};
    for (int channel = 0; channel < 3; ++channel) {
        SCOPED_TRACE(names[channel]);
        const auto& table = bundleTable(names[channel]);
        expectNear(sample(table, {0.4f, 0.4f, 0.4f}), {0.4f, 0.4f, 0.4f}, 1e-5f);
        expectNear(sample(table, {0.5f, 0.45f, 0.48f}), {0.5f, 0.45f, 0.48f}, 1e-5f);

        Rgb saturated{0.9f, 0.8f, 0.85f};
        saturated[channel] = 0.0f;
        const Rgb limited = sample(table, saturated);
        for (int c = 0; c < 3; ++c) {
            if (c != channel) {
                EXPECT_NEAR(limited[c], saturated[c], 1e-5f);
            }
        }
        EXPECT_GT(limited[channel], 0.02f) << "a channel at zero is pulled inside the gamut";
        EXPECT_LT(limited[channel], 0.3f) << "but stays the smallest";
    }
}

TEST(ColourTransforms, ZoneChartShowsTheGuideColoursAfterTheDefaultOutput) {
    const auto chart = lutgen::zoneChartFromRecipe(recipeFor("KORVO/KORVO_ZONES_000.cube"));
    const auto& zones = bundleTable("KORVO/KORVO_ZONES_000.cube");
    const auto& odt = bundleTable("4-ODT/REC709-ODT-65.cube");
    for (size_t zone = 0; zone < chart.displayColours.size(); ++zone) {
        const int stops = chart.firstStop + int(zone);
        SCOPED_TRACE(stops);
        // The lattice point nearest the zone's centre: zones are flat between
        // their boundaries, so interpolation there reads the zone alone.
        const double ideal = lutgen::acescctFromLinear(lutgen::kMidGreyLinear * std::exp2(stops));
        const float grey = float(std::round(ideal * 32.0) / 32.0);
        const Rgb shown = sample(odt, sample(zones, {grey, grey, grey}));
        const auto& guide = chart.displayColours[zone];
        expectNear(shown, {float(guide[0]), float(guide[1]), float(guide[2])}, 0.01f);
    }
}

// A grey ramp through the zone chart and the default output: each zone must
// show its legend colour over most of its stop, not only near its centre.
TEST(ColourTransforms, EveryZoneShowsItsColourOverMostOfItsStop) {
    const auto chart = lutgen::zoneChartFromRecipe(recipeFor("KORVO/KORVO_ZONES_000.cube"));
    const auto& zones = bundleTable("KORVO/KORVO_ZONES_000.cube");
    const auto& odt = bundleTable("4-ODT/REC709-ODT-65.cube");
    constexpr int kSamples = 400;
    for (size_t zone = 0; zone < chart.displayColours.size(); ++zone) {
        const int stops = chart.firstStop + int(zone);
        const auto& guide = chart.displayColours[zone];
        int shown = 0;
        for (int i = 0; i < kSamples; ++i) {
            const double exposure = stops - 0.5 + (i + 0.5) / kSamples;
            const float grey = float(lutgen::acescctFromLinear(lutgen::kMidGreyLinear * std::exp2(exposure)));
            const Rgb colour = sample(odt, sample(zones, {grey, grey, grey}));
            bool same = true;
            for (int c = 0; c < 3; ++c) same = same && std::abs(colour[c] - float(guide[c])) <= 0.01f;
            shown += same;
        }
        EXPECT_GE(shown, kSamples * 7 / 10)
            << "zone " << stops << " shows its colour over " << 100.0 * shown / kSamples << " % of its stop";
    }
}

}  // namespace
}  // namespace tonemill::lookdata_test
