#include <gtest/gtest.h>

#include <lodepng.h>

#include <algorithm>

#include "tests/unit/tools/lutgen/lookdata_fixture.h"
#include "tools/lutgen/zone_chart.h"

namespace tonemill::lookdata_test {
namespace {

struct Decoded {
    unsigned width = 0, height = 0;
    bool carriesAlpha = false;
    std::vector<unsigned char> rgba;
};

Decoded decode(const std::string& file) {
    std::vector<unsigned char> png;
    EXPECT_EQ(lodepng::load_file(png, resourcePath(file)), 0u) << file;
    Decoded d;
    lodepng::State state;
    EXPECT_EQ(lodepng::decode(d.rgba, d.width, d.height, state, png), 0u) << file;
    d.carriesAlpha = lodepng_can_have_alpha(&state.info_png.color) != 0;
    return d;
}

TEST(Pictures, TestImagesAre1920By1080AndTheOverlaysCarryAlpha) {
    for (const char* file : {"LightnesRamp.png", "SaturationRamp.png", "tonemap.png", "korvozones.png"}) {
        SCOPED_TRACE(file);
        const Decoded d = decode(file);
        EXPECT_EQ(d.width, 1920u);
        EXPECT_EQ(d.height, 1080u);
        EXPECT_EQ(d.rgba.size(), 8294400u) << "decodes to 8-bit RGBA as the plug-in reads it";
    }
    // The encoder picks the smallest colour type; the guide and the icon
    // must keep one that carries transparency.
    EXPECT_TRUE(decode("korvozones.png").carriesAlpha);
    EXPECT_TRUE(decode("com.velmora.tonemill.png").carriesAlpha);
}

TEST(Pictures, LightnessRampRisesFromBlackToWhite) {
    const Decoded d = decode("LightnesRamp.png");
    for (unsigned y : {0u, 1079u}) {
        const unsigned char* row = &d.rgba[size_t(y) * 1920 * 4];
        EXPECT_EQ(row[0], 0);
        EXPECT_EQ(row[1919 * 4], 255);
        for (unsigned x = 1; x < 1920; ++x) ASSERT_GE(row[x * 4], row[(x - 1) * 4]) << "row " << y << ", column " << x;
    }
}

TEST(Pictures, ZoneGuideIsTransparentOutsideALegendOfEveryZoneColour) {
    const Decoded d = decode("korvozones.png");
    const auto chart = lutgen::zoneChartFromRecipe(recipeFor("KORVO/KORVO_ZONES_000.cube"));
    size_t opaque = 0;
    unsigned top = d.height;
    std::vector<bool> found(chart.displayColours.size(), false);
    for (unsigned y = 0; y < d.height; ++y)
        for (unsigned x = 0; x < d.width; ++x) {
            const unsigned char* px = &d.rgba[(size_t(y) * d.width + x) * 4];
            ASSERT_TRUE(px[3] == 0 || px[3] == 255) << x << "," << y;
            if (px[3] == 0) continue;
            ++opaque;
            top = std::min(top, y);
            for (size_t z = 0; z < found.size(); ++z) {
                const auto& c = chart.displayColours[z];
                found[z] = found[z] || (std::abs(px[0] - c[0] * 255) < 0.6 && std::abs(px[1] - c[1] * 255) < 0.6 &&
                                        std::abs(px[2] - c[2] * 255) < 0.6);
            }
        }
    EXPECT_GT(opaque, 0u);
    EXPECT_LT(opaque, size_t(d.width) * d.height / 10);
    EXPECT_GT(top, d.height * 4 / 5) << "the legend keeps to the bottom of the frame";
    for (size_t z = 0; z < found.size(); ++z)
        EXPECT_TRUE(found[z]) << "zone " << chart.firstStop + int(z) << " is missing from the legend";
}

// The tone chart's bottom row: ten skin tones from deep to fair, 160 pixels
// wide each, centred, from row 880 down.
TEST(Pictures, EverySkinSwatchOfTheToneChartIsASkinTone) {
    const Decoded d = decode("tonemap.png");
    int previousLevel = 0;
    for (unsigned i = 0; i < 10; ++i) {
        const unsigned char* px = &d.rgba[(size_t(960) * d.width + 160 + i * 160 + 80) * 4];
        SCOPED_TRACE(i);
        EXPECT_GT(px[0], px[1]);
        EXPECT_GT(px[1], px[2]);
        EXPECT_GE(px[0] - px[2], 8) << "red leads blue as in every skin";
        EXPECT_GT(px[0] + px[1] + px[2], previousLevel) << "the row runs from deep to fair";
        previousLevel = px[0] + px[1] + px[2];
    }
}

}  // namespace
}  // namespace tonemill::lookdata_test
