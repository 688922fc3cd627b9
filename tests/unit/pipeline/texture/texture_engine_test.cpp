// The texture engine's pieces on their own: the integer box pass, the glows'
// reach at a render scale, and when the parameters change nothing.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "film_texture.h"
#include "pipeline/texture/texture_settings.h"

namespace TonemillTexture {
namespace {

TEST(BoxPass, EveryOutputIsItsWindowsMeanAndFlatLightStaysExact) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> light(0, TX_GLOW_LIMIT);
    for (int radius : {1, 2, 5, 40, TX_MAX_BOX_RADIUS}) {
        SCOPED_TRACE(radius);
        const int n = 2 * radius + 1 + 37;
        std::vector<std::uint32_t> in(static_cast<std::size_t>(n)), out(in.size(), 0xdeadbeefu);
        for (auto& v : in) v = light(random);
        txBoxLine(in.data(), out.data(), n, 1, radius);
        for (int i = 0; i < n; ++i) {
            if (i < radius || i >= n - radius) {
                EXPECT_EQ(out[i], 0xdeadbeefu) << "wrote outside the valid span at " << i;
                continue;
            }
            std::uint64_t sum = 0;
            for (int k = i - radius; k <= i + radius; ++k) sum += in[k];
            const std::uint64_t mean = sum / static_cast<std::uint64_t>(2 * radius + 1);
            EXPECT_GE(out[i], mean) << i;
            EXPECT_LE(out[i], mean + 1) << i;
        }
        // The brightest flat light keeps its value: glows neither gain nor lose it.
        std::vector<std::uint32_t> flat(in.size(), TX_GLOW_LIMIT), spread(in.size());
        txBoxLine(flat.data(), spread.data(), n, 1, radius);
        EXPECT_EQ(spread[radius], TX_GLOW_LIMIT);
        EXPECT_EQ(spread[n - radius - 1], TX_GLOW_LIMIT);
    }
}

TEST(GlowLight, OnlyLightAboveTheThresholdCountsAndNanGivesNone) {
    EXPECT_EQ(txGlowLight(0.5f, 0.8f), 0u);
    EXPECT_EQ(txGlowLight(0.8f, 0.8f), 0u);
    EXPECT_EQ(txGlowLight(2.0f, 1.0f), static_cast<std::uint32_t>(TX_GLOW_ONE));
    EXPECT_EQ(txGlowLight(1e30f, 0.8f), TX_GLOW_LIMIT);
    EXPECT_EQ(txGlowLight(std::numeric_limits<float>::quiet_NaN(), 0.8f), 0u);
}

TEST(GlowReach, FollowsTheRenderScaleAndOnlyTheGlowsThatAreOn) {
    EXPECT_EQ(glowBoxRadius(24.0, 1.0), 8);
    EXPECT_EQ(glowBoxRadius(24.0, 0.5), 4);
    EXPECT_EQ(glowBoxRadius(2.0, 1.0), 1);  // any reach of a pixel or more glows
    EXPECT_EQ(glowBoxRadius(0.5, 1.0), 0);
    EXPECT_EQ(glowBoxRadius(1e9, 1.0), TX_MAX_BOX_RADIUS);

    // Boxes under 8 pixels run on pixels; wider ones on cells of 2, 4 or 8
    // pixels, with boxes of at least 4 cells (8 from cells of 4 on).
    EXPECT_EQ(glowGrid(21.0, 1.0).shift, 0);
    EXPECT_EQ(glowGrid(21.0, 1.0).box, 7);
    EXPECT_EQ(glowGrid(24.0, 1.0).shift, 1);
    EXPECT_EQ(glowGrid(24.0, 1.0).box, 4);
    EXPECT_EQ(glowGrid(30.0, 1.0).box, 5);
    EXPECT_EQ(glowGrid(96.0, 1.0).shift, 2);
    EXPECT_EQ(glowGrid(96.0, 1.0).box, 8);
    EXPECT_EQ(glowGrid(96.0, 2.0).shift, 3);
    EXPECT_EQ(glowGrid(96.0, 2.0).box, 8);
    EXPECT_EQ(glowGrid(1e9, 1.0).box, (TX_MAX_BOX_RADIUS + 4) / 8);
    EXPECT_EQ(glowGrid(0.5, 1.0).box, 0);

    TextureParams p;
    p.halationRadius = 30.0;
    p.bloomRadius = 90.0;
    EXPECT_EQ(glowMargin(p, 1.0), 94);   // 15 cells of 2 three times, and 2 cells
    EXPECT_EQ(glowMargin(p, 0.25), 28);  // bloom reaches 22.5 render pixels: 4 cells of 2 three times, and 2 cells
    p.bloomBypass = true;
    EXPECT_EQ(glowMargin(p, 1.0), 34);
    EXPECT_EQ(glowMargin(p, 0.5), 15);  // a box of 5 pixels, on pixels
    p.halationStrength = 0.0;
    EXPECT_EQ(glowMargin(p, 1.0), 0);
}

TEST(Neutral, OnlyWhenNoPartCanChangeAPixel) {
    TextureParams p;
    EXPECT_FALSE(isNeutral(p));
    p.halationBypass = p.bloomBypass = true;
    p.grainLayers[0] = p.grainLayers[1] = p.grainLayers[2] = 0.0;
    EXPECT_TRUE(isNeutral(p));
    p.grainLayers[2] = 0.1;
    EXPECT_FALSE(isNeutral(p));
    p.grainBypass = true;
    p.bloomBypass = false;
    p.bloomStrength = 0.0;
    EXPECT_TRUE(isNeutral(p));
    p.halationBypass = false;
    p.halationTint[0] = p.halationTint[1] = p.halationTint[2] = 0.0;
    EXPECT_TRUE(isNeutral(p));
}

TEST(GrainSettings, EachFrameAndSeedGetTheirOwnKeyAndProxiesAverage) {
    TextureParams p;
    const TextureSettings frame1 = makeTextureSettings(p, 1.0, 1.0, 0, 0, 2160);
    EXPECT_EQ(makeTextureSettings(p, 1.0, 1.0, 0, 0, 2160).grainKey, frame1.grainKey);
    EXPECT_NE(makeTextureSettings(p, 2.0, 1.0, 0, 0, 2160).grainKey, frame1.grainKey);
    p.grainSeed = 1.0;
    EXPECT_NE(makeTextureSettings(p, 1.0, 1.0, 0, 0, 2160).grainKey, frame1.grainKey);

    // 35 mm cells are 1.39 pixels at 2160 lines and 0.69 at 1080: there a
    // pixel averages two cells' width and the deviation falls with it.
    EXPECT_NEAR(grainDeviation(p, 1, 1080) / grainDeviation(p, 1, 2160), 0.694, 0.001);
    EXPECT_FLOAT_EQ(grainDeviation(p, 1, 2160), 7.0f / 1000.0f * 4.0f);
}

}  // namespace
}  // namespace TonemillTexture
