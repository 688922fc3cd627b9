// The texture effect's description and its answers to the identity,
// regions-of-interest and clip preference actions.

#include "ofxGPURender.h"
#include "texture_fixture.h"

namespace texture_integration {
namespace {

TEST_F(TextureTest, BundleOffersOneEffectInBothContexts) {
    EXPECT_EQ(plugin().bundle().pluginCount(), 1);
    EXPECT_EQ(plugin().identifier(), "com.velmora.tonemill.texture");
    for (const char* context : {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}) {
        auto instance = create({}, context);
        ASSERT_TRUE(instance);
        EXPECT_EQ(instance->clipPreferences().status, kOfxStatOK);
    }
}

// CUDA is offered exactly by builds that carry the texture's kernels, as the
// look's is; OpenCL always.
TEST_F(TextureTest, OffersTheGpuBackEndsTheBuildCarries) {
    PropertySet& props = plugin().descriptor()->properties();
    EXPECT_EQ(props.getString(kOfxImageEffectPropOpenCLRenderSupported), "true");
    EXPECT_EQ(props.getString(kOfxImageEffectPropCudaRenderSupported), TONEMILL_CUDA_BUILT ? "true" : "false");
    EXPECT_EQ(props.getString(kOfxImageEffectPropMetalRenderSupported), "false");
}

TEST_F(TextureTest, IdentityOnlyWhenEveryPartIsOff) {
    auto instance = create(kAllBypassed);
    IdentityResult identity = instance->isIdentity({});
    EXPECT_EQ(identity.status, kOfxStatOK);
    EXPECT_EQ(identity.clip, kOfxImageEffectSimpleSourceClipName);

    // Zero strengths count as off.
    instance->setValue("grainToggle", false);
    instance->setValue("grainAmount", 0.0);
    EXPECT_EQ(instance->isIdentity({}).status, kOfxStatOK);

    for (const char* part : {"grainAmount", "halationToggle", "bloomToggle"}) {
        auto on = create(kAllBypassed);
        if (std::string(part) == "grainAmount")
            on->setValue("grainToggle", false);
        else
            on->setValue(part, false);
        EXPECT_EQ(on->isIdentity({}).status, kOfxStatReplyDefault) << part;
    }
}

TEST_F(TextureTest, DeclaresItsOutputVariesOverTime) {
    auto instance = create();
    ActionResult preferences = instance->clipPreferences();
    ASSERT_EQ(preferences.status, kOfxStatOK);
    EXPECT_EQ(preferences.outArgs.getInt(kOfxImageEffectFrameVarying), 1);
}

TEST_F(TextureTest, RegionOfInterestGrowsByTheWidestGlowAtTheRenderScale) {
    auto instance = create({{"halationRadius", 30.0}, {"bloomRadius", 12.0}});
    const OfxRectD region{100, 100, 200, 150};
    RegionsOfInterestResult full = instance->regionsOfInterest(0.0, region);
    ASSERT_EQ(full.status, kOfxStatOK);
    const OfxRectD grown = full.regions.at(kOfxImageEffectSimpleSourceClipName);
    // Halation's 30 pixels run on cells of two: boxes of five cells reach
    // 30 pixels, a cell's extent and the interpolation's neighbour 4 more.
    EXPECT_DOUBLE_EQ(grown.x1, 66);
    EXPECT_DOUBLE_EQ(grown.y1, 66);
    EXPECT_DOUBLE_EQ(grown.x2, 234);
    EXPECT_DOUBLE_EQ(grown.y2, 184);

    // At half scale 15 render pixels of reach, on pixels: 30 canonical units.
    RegionsOfInterestResult half = instance->regionsOfInterest(0.0, region, {0.5, 0.5});
    EXPECT_DOUBLE_EQ(half.regions.at(kOfxImageEffectSimpleSourceClipName).x1, 70);

    // Without glows the window is all the source a pixel needs.
    instance->setValue("halationToggle", true);
    instance->setValue("bloomToggle", true);
    const OfxRectD same = instance->regionsOfInterest(0.0, region).regions.at(kOfxImageEffectSimpleSourceClipName);
    EXPECT_DOUBLE_EQ(same.x1, 100);
    EXPECT_DOUBLE_EQ(same.y2, 150);
}

}  // namespace
}  // namespace texture_integration
