// Renders that must fail, or stop early, without writing or leaking anything.

#include <filesystem>

#include "look_tables.h"
#include "plugin_fixture.h"

namespace plugin_integration {
namespace {

class RenderFailures : public PluginTest {
 protected:
    void SetUp() override { bundle.writeArchive(lookTables()); }

    std::unique_ptr<Instance> instanceWithSource(ImageFormat format = {}) {
        auto instance = create();
        source = std::make_shared<HostImage>(bounds, format);
        instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
        return instance;
    }

    bool logHas(const std::string& line) const { return logCount(line) > 0; }

    const OfxRectI bounds{0, 0, 16, 8};
    std::shared_ptr<HostImage> source;
};

TEST_F(RenderFailures, AnOutputThatIsNotFloatRgbaIsRefusedBeforeAnythingIsFetched) {
    auto instance = instanceWithSource();
    instance->clip(kOfxImageEffectOutputClipName).properties().set(kOfxImageEffectPropPixelDepth, kOfxBitDepthShort);
    EXPECT_EQ(instance->render(renderOf(bounds)).status, kOfxStatErrUnsupported);
    EXPECT_EQ(host->imageCounts().fetched, 0u);
}

TEST_F(RenderFailures, ASourceOfAnotherDepthFailsAfterBothImagesAreFetched) {
    ImageFormat shorts;
    shorts.depth = kOfxBitDepthShort;
    auto instance = instanceWithSource(shorts);
    EXPECT_EQ(instance->render(renderOf(bounds, bounds)).status, kOfxStatErrValue);
    EXPECT_TRUE(logHas("Made it to src image"));
    EXPECT_FALSE(logHas("Made it passed bit depth and component check"));
    EXPECT_EQ(host->imageCounts().fetched, 2u);
    EXPECT_EQ(host->imageCounts().outstanding(), 0u);
}

TEST_F(RenderFailures, ImagesThatLieAboutTheirFormatAreNotWrittenInto) {
    // Both images claim 16 bits while the clips promise float: they agree with
    // each other, but the destination is too small for float pixels.
    auto instance = instanceWithSource();
    host->faults().imageDepth = kOfxBitDepthShort;
    EXPECT_EQ(instance->render(renderOf(bounds)).status, kOfxStatErrUnsupported);
    EXPECT_EQ(host->imageCounts().outstanding(), 0u);
}

TEST_F(RenderFailures, AMissingImageFailsNamingItsClip) {
    auto instance = create();
    instance->setImage(kOfxImageEffectSimpleSourceClipName, nullptr);
    EXPECT_EQ(instance->render(renderOf(bounds)).status, kOfxStatFailed);
    EXPECT_EQ(logCount("Source"), 1) << "one error line names the clip";
    EXPECT_EQ(host->imageCounts().outstanding(), 0u) << "the destination fetched before is released";
}

TEST_F(RenderFailures, AMissingArchiveFailsEveryRenderAsUnsupported) {
    std::filesystem::remove(bundle.resources() / "data.bin");
    auto instance = instanceWithSource();
    instance->setValue("outputProfileOptions", 0);  // even with no table selected
    EXPECT_EQ(instance->render(renderOf(bounds)).status, kOfxStatErrUnsupported);
    EXPECT_TRUE(logHas("ERROR : Unable to load archive"));
    EXPECT_EQ(host->imageCounts().outstanding(), 0u);
}

TEST_F(RenderFailures, AFailingTableFailsTheRenderAndIsTriedAgainNextTime) {
    auto instance = instanceWithSource();
    instance->setValue("idtProfile", 3);  // not in the archive
    const RenderResult failed = instance->render(renderOf(bounds));
    EXPECT_EQ(failed.status, kOfxStatFailed);
    EXPECT_EQ(logCount("ERROR : Unable to load LUT 1-IDT/BMD_GEN1_3200K-IDT-65_6.cube"), 1);
    EXPECT_FALSE(logHas("Made it passed param check"));
    EXPECT_EQ(host->imageCounts().outstanding(), 0u);

    EXPECT_EQ(instance->render(renderOf(bounds)).status, kOfxStatFailed);
    EXPECT_EQ(logCount("ERROR : Unable to load LUT 1-IDT/BMD_GEN1_3200K-IDT-65_6.cube"), 2);
}

TEST_F(RenderFailures, AnAbortBeforeProcessingLeavesTheDestinationUntouched) {
    auto instance = instanceWithSource();
    source->fill([](int, int) { return RgbaPixel{0.5f, 0.5f, 0.5f, 1.0f}; });
    instance->requestAbort(true);
    const RenderResult result = instance->render(renderOf(bounds));
    EXPECT_EQ(result.status, kOfxStatOK);
    EXPECT_GT(instance->abortCalls(), 0u);
    for (int y = bounds.y1; y < bounds.y2; ++y)
        for (int x = bounds.x1; x < bounds.x2; ++x) EXPECT_EQ(result.output->pixel(x, y), RgbaPixel{}) << x << "," << y;
    EXPECT_TRUE(logHas("Able to call process"));
}

}  // namespace
}  // namespace plugin_integration
