// The plug-in in hosts of other generations and tempers: an OpenFX 1.4 host without
// the GPU extension that scans the way the reference host library does, and a strict
// host that refuses parameter writes where the API does not allow them. Both must
// load, describe, create and render exactly what the current host renders.

#include <cstdlib>
#include <fstream>
#include <functional>

#include "look_tables.h"
#include "ofxGPURender.h"
#include "plugin_fixture.h"

namespace plugin_integration {
namespace {

// A look that reaches several tables, set partly through instance-changed.
void gradeWithTables(Instance& instance) {
    instance.setValue("gain", 1.15);
    instance.setValue("saturation", 0.3);
    instance.setValue("idtProfile", 2);
    instance.changeParam("contrastOptions", 2);
    instance.changeParam("colorPaletteAOptions", 3);
    instance.setValue("colorPaletteMajorSelections", 4);
    instance.changeParam("colorPaletteBOptions", 2);
}

std::shared_ptr<HostImage> sourceImage(OfxRectI bounds) {
    auto image = HostImage::rgbaFloat(bounds);
    image->fill([](int x, int y) {
        return RgbaPixel{0.02f * float(x), 0.9f - 0.03f * float(y), 0.4f + 0.01f * float(x + y), 1.0f};
    });
    return image;
}

const OfxRectI kFrame{0, 0, 24, 16};
const std::vector<OfxRectI> kWindows = {{0, 0, 24, 16}, {3, 5, 17, 11}, {0, 15, 24, 16}};

// What one host made of the look: every render of every context, in order.
struct HostRun {
    std::vector<std::shared_ptr<HostImage>> outputs;
    std::vector<std::string> writesWhileRendering;
    std::vector<std::string> log;
};

class HostProfiles : public PluginTest {
 protected:
    void SetUp() override {
        bundle.writeArchive(lookTables());
        reference.installLibrary(TONEMILL_PLUGIN_LIBRARY);
        reference.writeArchive(lookTables());
    }

    // Scans, creates and renders through a host of `profile` with the plug-in copy in
    // `scratch`. Scanning runs load, describe, unload, load, describe, as the
    // reference host library does when it builds its plug-in cache and then uses it.
    static HostRun run(const ScratchBundle& scratch, const HostProfile& profile,
                       const std::function<void(Instance&)>& prepare = {}) {
        const std::string logFile = (scratch.root() / "ofx.log").string();
        ::setenv("OFX_PLUGIN_LOGFILE", logFile.c_str(), 1);
        HostRun result;
        {
            Host host;
            host.setProfile(profile);
            Plugin& plugin = host.openBundle(scratch.root().string()).plugin(0);
            EXPECT_EQ(plugin.load(), kOfxStatOK);
            EXPECT_EQ(plugin.describe(), kOfxStatOK);
            EXPECT_EQ(plugin.unload(), kOfxStatOK);
            EXPECT_EQ(plugin.load(), kOfxStatOK);
            EXPECT_EQ(plugin.describe(), kOfxStatOK);
            for (const char* context : {kFilter, kGeneral}) {
                OfxStatus status = kOfxStatFailed;
                auto instance = plugin.createInstance(context, &status);
                EXPECT_EQ(status, kOfxStatOK) << context;
                if (!instance) continue;
                gradeWithTables(*instance);
                if (prepare) prepare(*instance);
                instance->setImage(kOfxImageEffectSimpleSourceClipName, sourceImage(kFrame));
                for (const OfxRectI& window : kWindows) {
                    EXPECT_EQ(instance->isIdentity(renderOf(window)).status, kOfxStatReplyDefault);
                    RenderResult rendered = instance->render(renderOf(window));
                    EXPECT_EQ(rendered.status, kOfxStatOK) << context;
                    result.outputs.push_back(rendered.output);
                }
                for (const auto& name : instance->writesWhileRendering()) result.writesWhileRendering.push_back(name);
            }
            EXPECT_EQ(plugin.unload(), kOfxStatOK);
        }
        std::ifstream in(logFile);
        for (std::string line; std::getline(in, line);) result.log.push_back(line);
        return result;
    }

    // A filter instance of the fixture's plug-in copy in a host of `profile`.
    std::unique_ptr<Instance> createUnder(const HostProfile& profile) {
        ::setenv("OFX_PLUGIN_LOGFILE", logPath().c_str(), 1);
        host = std::make_unique<Host>();
        host->setProfile(profile);
        loaded = &host->openBundle(bundle.root().string()).plugin(0);
        EXPECT_EQ(loaded->load(), kOfxStatOK);
        EXPECT_EQ(loaded->describe(), kOfxStatOK);
        return create();
    }

    static void expectSameRenders(const HostRun& actual, const HostRun& expected) {
        ASSERT_EQ(actual.outputs.size(), expected.outputs.size());
        for (std::size_t i = 0; i < actual.outputs.size(); ++i) {
            ASSERT_TRUE(actual.outputs[i] && expected.outputs[i]);
            for (int y = kFrame.y1; y < kFrame.y2; ++y)
                for (int x = kFrame.x1; x < kFrame.x2; ++x)
                    ASSERT_EQ(actual.outputs[i]->pixel(x, y), expected.outputs[i]->pixel(x, y))
                        << "render " << i << " pixel (" << x << ", " << y << ")";
        }
    }

    static int linesWith(const HostRun& run, const std::string& a, const std::string& b = "") {
        int count = 0;
        for (const auto& line : run.log)
            count += line.find(a) != std::string::npos && line.find(b) != std::string::npos;
        return count;
    }

    ScratchBundle reference{"reference host"};
};

TEST_F(HostProfiles, AnOpenFx14HostWithoutTheGpuExtensionRendersAsTheCurrentHost) {
    const HostRun current = run(reference, HostProfile::current());
    const HostRun old = run(bundle, HostProfile::openFx14());
    expectSameRenders(old, current);

    // What such a host lacks is worth a warning at most.
    for (const char* property :
         {"OfxParamHostPropSupportsStrChoiceAnimation", "OfxImageEffectPropOpenCLRenderSupported",
          "OfxImageEffectPropCudaEnabled", "OfxImageEffectPropOpenCLCommandQueue"}) {
        EXPECT_EQ(linesWith(old, "ERROR", property), 0) << property;
        EXPECT_GT(linesWith(old, "WARNING", property), 0) << property;
    }
    EXPECT_EQ(linesWith(current, "ERROR", "OfxParamHostPropSupportsStrChoiceAnimation"), 0);
    // Nothing the older host lacks is an error (the scratch bundle has no test
    // images, and this machine may have no CUDA driver: those errors stay).
    EXPECT_EQ(linesWith(old, "ERROR : Failed on"), 0);
}

TEST_F(HostProfiles, AStrictHostSeesNoWriteFromRendersAndRendersAsTheCurrentHost) {
    // Restored from a project without instance-changed: the zone guide on, no test view.
    auto guideOnItsOwn = [](Instance& instance) { instance.setValue("testKorvoOverlayToggle", true); };
    const HostRun current = run(reference, HostProfile::current(), guideOnItsOwn);
    const HostRun strict = run(bundle, HostProfile::strict(), guideOnItsOwn);
    expectSameRenders(strict, current);
    EXPECT_TRUE(strict.writesWhileRendering.empty());
    EXPECT_TRUE(current.writesWhileRendering.empty());
}

TEST_F(HostProfiles, AStrictHostStillSwitchesTheLoneGuideOff) {
    auto instance = createUnder(HostProfile::strict());
    ASSERT_TRUE(instance);

    // With no test view the guide is switched off from within instance-changed.
    EXPECT_EQ(instance->changeParam("testKorvoOverlayToggle", true), kOfxStatReplyDefault);
    EXPECT_FALSE(instance->value("testKorvoOverlayToggle").asBool());
    EXPECT_EQ(instance->pluginEdits(), std::vector<std::string>{"testKorvoOverlayToggle"});
}

TEST_F(HostProfiles, ABackEndTheHostDeclinedAtDescribeIsNeverUsed) {
    auto instance = createUnder(HostProfile::openFx14());
    ASSERT_TRUE(instance);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, sourceImage(kFrame));
    const RenderResult cpu = instance->render(renderOf(kFrame));

    // A confused host asks for OpenCL anyway, with CPU images and no queue.
    RenderRequest request = renderOf(kFrame);
    request.editInArgs = [](PropertySet& in) {
        in.defineInt(kOfxImageEffectPropOpenCLEnabled, {1});
        in.definePointer(kOfxImageEffectPropOpenCLCommandQueue, {nullptr});
    };
    const RenderResult asked = instance->render(request);
    ASSERT_EQ(asked.status, kOfxStatOK);
    EXPECT_EQ(asked.output->pixel(5, 5), cpu.output->pixel(5, 5));
    EXPECT_GT(logCount("WARNING : Host declined string property OfxImageEffectPropOpenCLRenderSupported"), 0);
}

class RenderWindows : public PluginTest {
 protected:
    void SetUp() override { bundle.writeArchive(lookTables()); }
};

TEST_F(RenderWindows, AWindowReachingPastTheDestinationRendersThePartInside) {
    auto instance = create();
    instance->setImage(kOfxImageEffectSimpleSourceClipName, sourceImage({0, 0, 8, 8}));
    const RenderResult whole = instance->render(renderOf({0, 0, 8, 8}, {0, 0, 8, 8}));
    ASSERT_EQ(whole.status, kOfxStatOK);

    const RenderResult past = instance->render(renderOf({4, -2, 12, 6}, {0, 0, 8, 8}));
    ASSERT_EQ(past.status, kOfxStatOK);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 4 && y < 6;
            const RgbaPixel untouched{0, 0, 0, 0};
            EXPECT_EQ(past.output->pixel(x, y), inside ? whole.output->pixel(x, y) : untouched)
                << "(" << x << ", " << y << ")";
        }
    EXPECT_EQ(logCount("WARNING : Render window (4, -2)-(12, 6) reaches past the destination"), 1);

    // Wholly outside: nothing to do, and nothing worth a line.
    const RenderResult outside = instance->render(renderOf({8, 0, 12, 8}, {0, 0, 8, 8}));
    EXPECT_EQ(outside.status, kOfxStatOK);
    EXPECT_EQ(outside.output->pixel(7, 7), (RgbaPixel{0, 0, 0, 0}));
    EXPECT_EQ(logCount("reaches past the destination"), 1);
}

TEST(OpenFxNames, TheHostOverlayHandleKeepsThePublishedText) {
    EXPECT_STREQ(kOfxParamPropUseHostOverlayHandle, "kOfxParamPropUseHostOverlayHandle");
}

}  // namespace
}  // namespace plugin_integration
