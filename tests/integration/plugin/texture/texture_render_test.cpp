// Renders through the host: the same pixels whatever the window, tiles or
// threads; grain per frame; glows that touch only what their light reaches.

#include "texture_fixture.h"

namespace texture_integration {
namespace {

const std::vector<std::pair<std::string, ParamValue>> kEveryPart = {
    {"halationRadius", 12.0}, {"bloomRadius", 30.0}, {"grainGauge", 2}, {"grainSize", 2.0}};

TEST_F(TextureTest, TilesWindowsAndThreadsGiveIdenticalPixels) {
    auto instance = create(kEveryPart);
    const OfxRectI frame{0, 0, 160, 120};
    instance->setImage(kOfxImageEffectSimpleSourceClipName, scene(160, 120));
    const auto whole = render(*instance, {}, 5.0);

    // Tiles of uneven sizes, some on the frame's edges, rendered in reverse order.
    const std::vector<OfxRectI> tiles = {{97, 61, 160, 120}, {0, 61, 97, 120}, {33, 0, 160, 61}, {0, 0, 33, 61}};
    for (const OfxRectI& tile : tiles) {
        const auto part = render(*instance, tile, 5.0);
        expectSamePixels(*whole, *part, tile);
    }

    // Rows stored top-down in the output change nothing either.
    RenderRequest topDown;
    topDown.time = 5.0;
    topDown.outputRowOrder = RowOrder::TopDown;
    RenderResult flipped = instance->render(topDown);
    ASSERT_EQ(flipped.status, kOfxStatOK);
    expectSamePixels(*whole, *flipped.output, frame);

    host->setCpuCount(7);
    const auto threaded = render(*instance, {}, 5.0);
    expectSamePixels(*whole, *threaded, frame);
    const auto threadedWindow = render(*instance, {21, 13, 150, 77}, 5.0);
    expectSamePixels(*whole, *threadedWindow, {21, 13, 150, 77});
}

TEST_F(TextureTest, GrainRepeatsWithinAFrameAndChangesBetweenFrames) {
    auto instance = create({{"halationToggle", true}, {"bloomToggle", true}});
    instance->setImage(kOfxImageEffectSimpleSourceClipName, flat(64, 64, 0.5f));
    const auto first = render(*instance, {}, 3.0);
    const auto again = render(*instance, {}, 3.0);
    expectSamePixels(*first, *again, {0, 0, 64, 64});

    const auto next = render(*instance, {}, 4.0);
    int changed = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) changed += first->pixel(x, y)[1] != next->pixel(x, y)[1];
    EXPECT_GT(changed, 64 * 64 * 9 / 10);

    instance->setValue("grainSeed", 7.0);
    const auto reseeded = render(*instance, {}, 3.0);
    EXPECT_NE(reseeded->pixel(10, 10)[1], first->pixel(10, 10)[1]);
}

TEST_F(TextureTest, GlowsAloneLeavePixelsBelowTheirThresholdUntouched) {
    for (const char* glow : {"halationToggle", "bloomToggle"}) {
        SCOPED_TRACE(glow);
        auto values = kAllBypassed;
        values.push_back({glow, false});
        values.push_back({"halationThreshold", 0.8});
        values.push_back({"bloomThreshold", 0.8});
        auto instance = create(values);
        auto ramp = HostImage::rgbaFloat({0, 0, 96, 64});
        ramp->fill([](int x, int y) {
            const float v = 0.79f * float(x) / 95.0f;
            return RgbaPixel{v, v * 0.5f, 0.79f - v, 0.5f + 0.001f * float(y)};
        });
        instance->setImage(kOfxImageEffectSimpleSourceClipName, ramp);
        const auto out = render(*instance);
        expectSamePixels(*out, *ramp, {0, 0, 96, 64});
    }
}

TEST_F(TextureTest, HalationSpreadsRedOrangeOnlyWithinItsRadius) {
    auto values = kAllBypassed;
    values.push_back({"halationToggle", false});
    values.push_back({"halationRadius", 12.0});
    auto instance = create(values);
    auto source = flat(100, 40, 0.2f);
    for (int y = 18; y < 22; ++y)
        for (int x = 48; x < 52; ++x) source->setPixel(x, y, {8.0f, 8.0f, 8.0f, 1.0f});
    instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
    const auto out = render(*instance);

    const RgbaPixel near = out->pixel(56, 20);
    EXPECT_GT(near[0] - 0.2f, 0.01f);
    EXPECT_GT(near[0] - 0.2f, 3.0f * (near[2] - 0.2f)) << "the glow is red-orange";
    // Three box passes of radius 4 reach 12 pixels.
    EXPECT_EQ(out->pixel(64, 20), source->pixel(64, 20));
    EXPECT_EQ(out->pixel(50, 35), source->pixel(50, 35));
    EXPECT_NE(out->pixel(63, 20), source->pixel(63, 20));
}

TEST_F(TextureTest, SourceSmallerThanAskedRepeatsItsEdges) {
    auto instance = create(kEveryPart);
    const OfxRectI frame{0, 0, 120, 90};
    const OfxRectI window{0, 30, 60, 90};  // on the frame's left and top edges
    const auto full = scene(120, 90);

    // The host delivers only the window, short of the glows' reach.
    auto small = HostImage::rgbaFloat(window);
    small->fill([&](int x, int y) { return full->pixel(x, y); });
    small->setRegionOfDefinition(frame);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, small);
    RenderRequest request;
    request.window = window;
    request.outputBounds = frame;
    RenderResult result = instance->render(request);
    ASSERT_EQ(result.status, kOfxStatOK);

    // The same as a whole source holding the window's edges repeated.
    auto clamped = HostImage::rgbaFloat(frame);
    clamped->fill([&](int x, int y) { return full->pixel(std::clamp(x, 0, 59), std::clamp(y, 30, 89)); });
    instance->setImage(kOfxImageEffectSimpleSourceClipName, clamped);
    const auto reference = render(*instance, window);
    expectSamePixels(*result.output, *reference, window);
}

}  // namespace
}  // namespace texture_integration
