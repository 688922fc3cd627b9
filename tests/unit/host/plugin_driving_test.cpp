#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "host/bundle.h"
#include "host/host.h"
#include "host/instance.h"
#include "ofxGPURender.h"
#include "ofxImageEffect.h"
#include "suite_access.h"

using namespace tonemill::host;

namespace {

class ProbeBundle : public ::testing::Test {
 protected:
    Host host;
    Plugin& plugin = host.openBundle(TONEMILL_PROBE_BUNDLE).plugin(0);

    std::unique_ptr<Instance> filterInstance() {
        EXPECT_EQ(plugin.load(), kOfxStatOK);
        EXPECT_EQ(plugin.describe(), kOfxStatOK);
        OfxStatus status = kOfxStatFailed;
        auto instance = plugin.createInstance(kOfxImageEffectContextFilter, &status);
        EXPECT_EQ(status, kOfxStatOK);
        return instance;
    }
};

TEST_F(ProbeBundle, DescribingFillsTheDescriptors) {
    EXPECT_EQ(plugin.identifier(), "com.tonemill.probe");
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    ASSERT_EQ(plugin.describe(), kOfxStatOK);
    PropertySet& effect = plugin.descriptor()->properties();
    EXPECT_EQ(effect.getString(kOfxPropLabel), "Probe");
    EXPECT_EQ(effect.getStrings(kOfxImageEffectPropSupportedContexts),
              (std::vector<std::string>{kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}));
    EXPECT_EQ(effect.getString(kOfxPluginPropFilePath), TONEMILL_PROBE_BUNDLE);

    ASSERT_EQ(plugin.describeInContext(kOfxImageEffectContextFilter), kOfxStatOK);
    Effect* context = plugin.contextDescriptor(kOfxImageEffectContextFilter);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->clips().size(), 2u);
    EXPECT_NE(context->params().find("offset"), nullptr);
}

TEST_F(ProbeBundle, InstancesReadAndChangeParameters) {
    auto instance = filterInstance();
    ASSERT_TRUE(instance);
    EXPECT_EQ(instance->value("gain").asDouble(), 1.0);
    EXPECT_EQ(instance->value("offset"), ParamValue({0.5, 0.25}));
    EXPECT_EQ(instance->value("note").text, "hello");
    EXPECT_TRUE(instance->value("enable").asBool());
    EXPECT_THROW(instance->param("missing"), std::out_of_range);
    EXPECT_THROW(instance->setValue("gain", ParamValue({1.0, 2.0})), std::invalid_argument);

    // The plug-in switches "enable" off while handling the press; the host reports
    // that edit back only after the press's actions are over.
    EXPECT_EQ(instance->pressButton("button"), kOfxStatOK);
    EXPECT_FALSE(instance->value("enable").asBool());
    EXPECT_EQ(instance->pluginEdits(), std::vector<std::string>{"enable"});
}

TEST_F(ProbeBundle, AStrictHostTakesValueWritesOnlyFromInstanceChanged) {
    host.setProfile(HostProfile::strict());
    auto instance = filterInstance();
    ASSERT_TRUE(instance);
    const auto& params = fetch<OfxParameterSuiteV1>(host, kOfxParameterSuite);
    OfxParamHandle enable = instance->param("enable").handle();
    EXPECT_EQ(params.paramSetValue(enable, 0), kOfxStatFailed) << "outside any action";
    EXPECT_TRUE(instance->value("enable").asBool());

    EXPECT_EQ(instance->pressButton("button"), kOfxStatOK);
    EXPECT_FALSE(instance->value("enable").asBool());
    EXPECT_TRUE(instance->writesWhileRendering().empty());
}

TEST_F(ProbeBundle, AnOpenFx14HostHasNeitherTheLaterPropertiesNorTheGpuExtension) {
    host.setProfile(HostProfile::openFx14());
    EXPECT_FALSE(host.description().has(kOfxParamHostPropSupportsStrChoiceAnimation));
    EXPECT_FALSE(host.description().has(kOfxImageEffectPropOpenCLRenderSupported));
    EXPECT_TRUE(host.description().has(kOfxParamHostPropSupportsChoiceAnimation));
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    ASSERT_EQ(plugin.describe(), kOfxStatOK);
    EXPECT_FALSE(plugin.descriptor()->properties().has(kOfxImageEffectPropCudaRenderSupported));
}

TEST_F(ProbeBundle, RegionIdentityAndTimeAnswersAreReadBack) {
    auto instance = filterInstance();
    ASSERT_TRUE(instance);
    RenderRequest at7;
    at7.time = 7.0;
    IdentityResult identity = instance->isIdentity(at7);
    EXPECT_EQ(identity.status, kOfxStatOK);
    EXPECT_EQ(identity.clip, kOfxImageEffectSimpleSourceClipName);
    EXPECT_EQ(identity.time, 7.0);
    instance->setValue("gain", 2.0);
    EXPECT_EQ(instance->isIdentity(at7).status, kOfxStatReplyDefault);

    RegionsOfInterestResult rois = instance->regionsOfInterest(0.0, {0, 0, 10, 20});
    ASSERT_EQ(rois.status, kOfxStatOK);
    ASSERT_EQ(rois.regions.size(), 1u);  // the output clip has no region of interest
    EXPECT_EQ(rois.regions[kOfxImageEffectSimpleSourceClipName].x2, 11.0);
    EXPECT_EQ(rois.regions[kOfxImageEffectSimpleSourceClipName].y1, -1.0);

    FramesNeededResult frames = instance->framesNeeded(5.0);
    ASSERT_EQ(frames.status, kOfxStatOK);
    const auto& ranges = frames.ranges[kOfxImageEffectSimpleSourceClipName];
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0].min, 4.0);
    EXPECT_EQ(ranges[1].max, 6.0);

    RegionResult rod = instance->regionOfDefinition(0.0);
    EXPECT_EQ(rod.status, kOfxStatOK);
    EXPECT_EQ(rod.region.y2, 4.0);
    TimeDomainResult domain = instance->timeDomain();
    EXPECT_EQ(domain.status, kOfxStatOK);
    EXPECT_EQ(domain.range.max, 2.0);
    // Nothing set: the defaults the host offered come back with the plug-in's status.
    ActionResult preferences = instance->clipPreferences();
    EXPECT_EQ(preferences.status, kOfxStatReplyDefault);
    EXPECT_EQ(preferences.outArgs.getString("OfxImageClipPropDepth_Output"), kOfxBitDepthFloat);
}

TEST_F(ProbeBundle, RendersThroughTheMultithreadSuiteWithEitherRowOrder) {
    host.setCpuCount(4);
    auto instance = filterInstance();
    ASSERT_TRUE(instance);
    instance->setValue("gain", 2.0);
    const OfxRectI bounds{-2, 3, 9, 20};
    auto source = HostImage::rgbaFloat(bounds, RowOrder::TopDown);
    source->fill([](int x, int y) { return RgbaPixel{float(x), float(y), 1.0f, 0.5f}; });
    instance->setImage(kOfxImageEffectSimpleSourceClipName, source);

    for (RowOrder order : {RowOrder::BottomUp, RowOrder::TopDown}) {
        RenderRequest request;
        request.outputRowOrder = order;
        RenderResult result = instance->render(request);
        ASSERT_EQ(result.status, kOfxStatOK);
        ASSERT_EQ(result.output->bounds().y2, bounds.y2);
        for (int y = bounds.y1; y < bounds.y2; ++y)
            for (int x = bounds.x1; x < bounds.x2; ++x)
                ASSERT_EQ(result.output->pixel(x, y), (RgbaPixel{2.0f * x, 2.0f * y, 2.0f, 0.5f})) << x << "," << y;
    }
    EXPECT_EQ(host.imageCounts().fetched, 4u);
    EXPECT_EQ(host.imageCounts().outstanding(), 0u);
    EXPECT_GT(instance->abortCalls(), 0u);
}

TEST_F(ProbeBundle, RendersIntoAReusedOutputKeepingPixelsOutsideTheWindow) {
    auto instance = filterInstance();
    ASSERT_TRUE(instance);
    auto source = HostImage::rgbaFloat({0, 0, 6, 4});
    source->fill([](int x, int y) { return RgbaPixel{float(x), float(y), 1.0f, 1.0f}; });
    instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
    RenderRequest request;
    request.reuseOutput = HostImage::rgbaFloat({0, 0, 6, 4});
    request.reuseOutput->fill([](int, int) { return RgbaPixel{-1, -1, -1, -1}; });
    request.window = {2, 1, 4, 3};
    RenderResult result = instance->render(request);
    ASSERT_EQ(result.status, kOfxStatOK);
    ASSERT_EQ(result.output, request.reuseOutput);
    EXPECT_EQ(result.output->pixel(2, 1), (RgbaPixel{2, 1, 1, 1}));
    EXPECT_EQ(result.output->pixel(0, 0), (RgbaPixel{-1, -1, -1, -1}));

    request.reuseOutput = HostImage::rgbaFloat({0, 0, 6, 5});
    EXPECT_THROW(instance->render(request), std::invalid_argument);
    request.reuseOutput = HostImage::rgbaFloat({0, 0, 6, 4}, RowOrder::TopDown);
    EXPECT_THROW(instance->render(request), std::invalid_argument);
}

TEST_F(ProbeBundle, ImageFaultsReachThePlugIn) {
    auto instance = filterInstance();
    ASSERT_TRUE(instance);
    // No source pixels: clipGetImage answers kOfxStatFailed.
    EXPECT_EQ(instance->render({}).status, kOfxStatFailed);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, HostImage::rgbaFloat({0, 0, 4, 4}));
    host.faults().failSuiteCall("clipGetImage", kOfxStatErrMemory);
    EXPECT_EQ(instance->render({}).status, kOfxStatErrMemory);
    host.faults().suiteCallStatus.clear();
    // The second fetch of the render (the output) fails; the first was granted.
    host.faults().failSuiteCallAfter("clipGetImage", 1, kOfxStatErrMemory);
    EXPECT_EQ(instance->render({}).status, kOfxStatErrMemory);
    EXPECT_EQ(host.imageCounts().fetched, 1u);
    host.faults().laterSuiteCallStatus.clear();
    host.faults().failSuiteCall("multiThread", kOfxStatErrUnsupported);
    EXPECT_EQ(instance->render({}).status, kOfxStatErrUnsupported);
    EXPECT_EQ(host.imageCounts().outstanding(), 0u);  // the probe released what it fetched

    // Told to abort from the sixth row it checks, a one-thread render leaves the rest black.
    host.faults().laterSuiteCallStatus.clear();
    host.faults().suiteCallStatus.clear();
    host.setCpuCount(1);
    auto tall = HostImage::rgbaFloat({0, 0, 2, 8});
    tall->fill([](int, int) { return RgbaPixel{1, 1, 1, 1}; });
    instance->setImage(kOfxImageEffectSimpleSourceClipName, tall);
    host.faults().failSuiteCallAfter("abort", 5, 1);
    RenderResult aborted = instance->render({});
    ASSERT_EQ(aborted.status, kOfxStatOK);
    EXPECT_EQ(aborted.output->pixel(1, 4)[0], 1.0f);
    EXPECT_EQ(aborted.output->pixel(1, 5)[0], 0.0f);
}

TEST_F(ProbeBundle, WithheldSuitesAndUnknownActionsAreVisible) {
    host.faults().withholdSuite(kOfxParameterSuite);
    EXPECT_EQ(plugin.load(), kOfxStatErrMissingHostFeature);
    std::vector<std::string> asked;
    for (const auto& request : host.suiteRequests()) asked.push_back(request.name + (request.granted ? "+" : "-"));
    EXPECT_EQ(asked, (std::vector<std::string>{"OfxImageEffectSuite+", "OfxPropertySuite+", "OfxParameterSuite-",
                                               "OfxMultiThreadSuite+"}));

    host.faults().withheldSuites.clear();
    auto instance = filterInstance();
    ASSERT_TRUE(instance);
    PropertySet in("echo in", false), out("echo out", false);
    in.set("value", 21);
    EXPECT_EQ(instance->action("ProbeEcho", &in, &out), kOfxStatOK);
    EXPECT_EQ(out.getInt("value"), 42);
    EXPECT_EQ(instance->action("NoSuchAction", nullptr, nullptr), kOfxStatReplyDefault);
    EXPECT_TRUE(host.escapedExceptions().empty());
    // An exception thrown through the entry point is caught at the border and recorded.
    EXPECT_EQ(instance->action("ProbeThrow", nullptr, nullptr), kOfxStatErrFatal);
    EXPECT_EQ(host.escapedExceptions(), std::vector<std::string>{"ProbeThrow: escaped on purpose"});
}

TEST_F(ProbeBundle, InstancesRenderOnSeveralThreadsWhileOthersAreCreated) {
    host.setCpuCount(3);
    auto first = filterInstance();
    auto second = plugin.createInstance(kOfxImageEffectContextFilter);
    ASSERT_TRUE(first && second);
    auto source = HostImage::rgbaFloat({0, 0, 64, 48});
    source->fill([](int x, int y) { return RgbaPixel{float(x), float(y), 1.0f, 1.0f}; });
    first->setImage(kOfxImageEffectSimpleSourceClipName, source);
    second->setImage(kOfxImageEffectSimpleSourceClipName, source);
    second->setValue("gain", 0.5);

    auto renderMany = [](Instance& instance, float gain, bool& allRight) {
        for (int i = 0; i < 20; ++i) {
            RenderResult result = instance.render({});
            allRight = allRight && result.status == kOfxStatOK && result.output->pixel(63, 47)[0] == 63.0f * gain;
        }
    };
    bool firstRight = true, secondRight = true;
    std::thread a(renderMany, std::ref(*first), 1.0f, std::ref(firstRight));
    std::thread b(renderMany, std::ref(*second), 0.5f, std::ref(secondRight));
    std::vector<std::unique_ptr<Instance>> created;
    for (int i = 0; i < 5; ++i) created.push_back(plugin.createInstance(kOfxImageEffectContextFilter));
    a.join();
    b.join();
    EXPECT_TRUE(firstRight);
    EXPECT_TRUE(secondRight);
    for (const auto& instance : created) EXPECT_TRUE(instance);
    EXPECT_EQ(host.imageCounts().fetched, 80u);
    EXPECT_EQ(host.imageCounts().outstanding(), 0u);
}

TEST(BundleOpening, MissingOrMalformedBundlesAreNamedInTheError) {
    Host host;
    try {
        host.openBundle("/nonexistent/Thing.ofx.bundle");
        FAIL() << "opened a missing bundle";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Thing.ofx"), std::string::npos) << error.what();
    }
    EXPECT_THROW(host.openBundle(TONEMILL_SOURCE_DIR), std::runtime_error);
    EXPECT_THROW(Host(), std::logic_error);  // one host per process at a time
}

}  // namespace
