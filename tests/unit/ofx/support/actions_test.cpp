// Instance actions sent through the layer's entry point: what each handler reads from
// the in-arguments, what it hands the instance and what it writes back.

#include <new>

#include "ofx/support/ofxsProcessing.h"
#include "tests/unit/ofx/support/hosted_layer.h"

namespace support_wrap {
namespace {

hst::PropertySet args(const char* label) {
    return hst::PropertySet(label, false);
}

class ActionHandlersTest : public HostedTest {
 protected:
    void SetUp() override {
        hst::PropertySet in = args("describe in context");
        in.set(kOfxImageEffectPropContext, kOfxImageEffectContextFilter);
        ASSERT_EQ(send(kOfxImageEffectActionDescribeInContext, hostDescriptor->handle(), &in), kOfxStatOK);
        hostInstance->defineClip("Matte");  // a clip the descriptor never defined
        ASSERT_EQ(send(kOfxActionCreateInstance, hostInstance->handle(), nullptr), kOfxStatOK);
        effect = static_cast<ScriptedEffect*>(
            static_cast<OFX::ImageEffect*>(hostInstance->properties().getPointer(kOfxPropInstanceData)));
    }
    void TearDown() override {
        send(kOfxActionDestroyInstance, hostInstance->handle(), nullptr);
        HostedTest::TearDown();
    }

    OfxStatus sendToInstance(const char* action, hst::PropertySet* in, hst::PropertySet* out = nullptr) {
        return send(action, hostInstance->handle(), in, out);
    }

    static hst::PropertySet renderArgs(const char* field = kOfxImageFieldNone) {
        hst::PropertySet in = args("render");
        in.set(kOfxPropTime, 4.0);
        in.setDoubles(kOfxImageEffectPropRenderScale, {0.5, 0.25});
        in.setInts(kOfxImageEffectPropRenderWindow, {1, 2, 4097, 10});
        in.set(kOfxImageEffectPropFieldToRender, field);
        return in;
    }

    std::unique_ptr<hst::Effect> hostDescriptor = newDescriptor();
    std::unique_ptr<hst::Effect> hostInstance = newInstance();
    ScriptedEffect* effect = nullptr;
};

TEST_F(ActionHandlersTest, RenderReadsItsArgumentsAndTreatsMissingGpuFlagsAsDisabled) {
    OFX::RenderArguments seen;
    effect->onRender = [&](const OFX::RenderArguments& a) { seen = a; };
    hst::PropertySet in = renderArgs(kOfxImageFieldBoth);
    in.set("OfxImageEffectPropCudaEnabled", 1);

    LogTail log;
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionRender, &in), kOfxStatOK);
    EXPECT_EQ(seen.time, 4.0);
    EXPECT_EQ(seen.renderScale.y, 0.25);
    EXPECT_EQ(seen.renderWindow.x2, 4097);
    EXPECT_EQ(seen.fieldToRender, OFX::eFieldBoth);
    EXPECT_TRUE(seen.isEnabledCudaRender);
    EXPECT_FALSE(seen.isEnabledOpenCLRender);
    // Hosts without the GPU extension lack the property: worth a warning, not an error.
    EXPECT_TRUE(log.contains(
        "WARNING : Host does not have the optional int property OfxImageEffectPropOpenCLEnabled[0] (status "
        "kOfxStatErrUnknown); using the default."));
    EXPECT_FALSE(log.contains("ERROR : Failed on getting int property OfxImageEffectPropOpenCLEnabled"));

    in.set(kOfxImageEffectPropFieldToRender, "OfxFieldSideways");
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionRender, &in), kOfxStatOK);
    EXPECT_EQ(seen.fieldToRender, OFX::eFieldNone);
    EXPECT_TRUE(log.contains("ERROR : Unknown field to render 'OfxFieldSideways'"));

    bool rendered = false;
    effect->onRender = [&](const OFX::RenderArguments&) { rendered = true; };
    in.remove(kOfxPropTime);
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionRender, &in), kOfxStatErrMissingHostFeature);
    EXPECT_FALSE(rendered);
}

// Fails the first band of every render.
struct FailingProcessor : OFX::ImageProcessor {
    using ImageProcessor::ImageProcessor;
    void multiThreadProcessImages(OfxRectI window) override {
        if (window.y1 == 2) throw std::bad_alloc();
    }
};

TEST_F(ActionHandlersTest, AnExceptionOnARenderThreadFailsTheRenderWithItsStatus) {
    host().setCpuCount(4);
    effect->onRender = [&](const OFX::RenderArguments& a) {
        FailingProcessor processor(*effect);
        processor.setRenderWindow(a.renderWindow);
        processor.process();
    };
    hst::PropertySet in = renderArgs();
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionRender, &in), kOfxStatErrMemory);
}

TEST_F(ActionHandlersTest, IdentityIsAnsweredOnlyWithAClip) {
    effect->onIsIdentity = [](const OFX::IsIdentityArguments&, OFX::Clip*&, double&) { return true; };
    hst::PropertySet in = renderArgs();
    hst::PropertySet out = args("identity out");
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionIsIdentity, &in, &out), kOfxStatReplyDefault);
    EXPECT_TRUE(out.names().empty());

    effect->onIsIdentity = [&](const OFX::IsIdentityArguments& a, OFX::Clip*& clip, double& time) {
        EXPECT_EQ(time, a.time);
        clip = effect->fetchClip("Source");
        time = 12;
        return true;
    };
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionIsIdentity, &in, &out), kOfxStatOK);
    EXPECT_EQ(out.getString(kOfxPropName), "Source");
    EXPECT_EQ(out.getDouble(kOfxPropTime), 12.0);
}

TEST_F(ActionHandlersTest, FramesNeededSkipTheOutputAndListEveryRangeOfAnInput) {
    hst::PropertySet in = args("frames needed");
    in.set(kOfxPropTime, 7.0);
    hst::PropertySet out = args("frames needed out");
    effect->onFramesNeeded = [&](OFX::FramesNeededSetter& frames) {
        frames.setFramesNeeded(*effect->fetchClip("Output"), {0, 9});
    };
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionGetFramesNeeded, &in, &out), kOfxStatReplyDefault);
    EXPECT_TRUE(out.names().empty());

    effect->onFramesNeeded = [&](OFX::FramesNeededSetter& frames) {
        frames.setFramesNeeded(*effect->fetchClip("Source"), {1, 2});
        frames.setFramesNeeded(*effect->fetchClip("Source"), {5, 6});
    };
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionGetFramesNeeded, &in, &out), kOfxStatOK);
    EXPECT_EQ(out.getDoubles("OfxImageClipPropFrameRange_Source"), (std::vector<double>{1, 2, 5, 6}));
}

TEST_F(ActionHandlersTest, RegionsOfInterestAreWrittenOnlyForDescribedClips) {
    hst::PropertySet in = args("regions of interest");
    in.set(kOfxPropTime, 0.0);
    in.setDoubles(kOfxImageEffectPropRenderScale, {1, 1});
    in.setDoubles(kOfxImageEffectPropRegionOfInterest, {0, 0, 10, 10});
    hst::PropertySet out = args("regions of interest out");
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionGetRegionsOfInterest, &in, &out), kOfxStatReplyDefault);

    effect->onRegionsOfInterest = [&](OFX::RegionOfInterestSetter& rois) {
        rois.setRegionOfInterest(*effect->fetchClip("Source"), {-1, -2, 11, 12});
    };
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionGetRegionsOfInterest, &in, &out), kOfxStatOK);
    EXPECT_EQ(out.getDoubles("OfxImageClipPropRoI_Source"), (std::vector<double>{-1, -2, 11, 12}));

    effect->onRegionsOfInterest = [&](OFX::RegionOfInterestSetter& rois) {
        rois.setRegionOfInterest(*effect->fetchClip("Matte"), {0, 0, 1, 1});
    };
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionGetRegionsOfInterest, &in, &out), kOfxStatErrMissingHostFeature);
}

TEST_F(ActionHandlersTest, TimeDomainOutsideTheGeneralContextIsLoggedAndStillAsked) {
    effect->onTimeDomain = [](OfxRangeD& range) {
        range = {3, 9};
        return true;
    };
    hst::PropertySet out = args("time domain out");
    LogTail log;
    EXPECT_EQ(sendToInstance(kOfxImageEffectActionGetTimeDomain, nullptr, &out), kOfxStatOK);
    EXPECT_TRUE(log.contains(
        "ERROR : Calling kOfxImageEffectActionGetTimeDomain on an effect that is not a general context effect."));
    EXPECT_EQ(out.getDoubles(kOfxImageEffectPropFrameRange), (std::vector<double>{3, 9}));
}

TEST_F(ActionHandlersTest, ChangesReachTheClipOrParameterHookWithTheirReason) {
    hst::PropertySet in = args("instance changed");
    in.set(kOfxPropTime, 0.0);
    in.setDoubles(kOfxImageEffectPropRenderScale, {1, 1});
    auto change = [&](const char* reason, const char* type, const char* name) {
        in.set(kOfxPropChangeReason, reason);
        in.set(kOfxPropType, type);
        in.set(kOfxPropName, name);
        return sendToInstance(kOfxActionInstanceChanged, &in);
    };

    in.set(kOfxPropChangeReason, kOfxChangeUserEdited);
    EXPECT_EQ(sendToInstance(kOfxActionBeginInstanceChanged, &in), kOfxStatReplyDefault);
    EXPECT_EQ(change(kOfxChangeTime, kOfxTypeClip, "Source"), kOfxStatReplyDefault);
    EXPECT_EQ(change(kOfxChangePluginEdited, kOfxTypeParameter, "gain"), kOfxStatReplyDefault);
    EXPECT_EQ(sendToInstance(kOfxActionEndInstanceChanged, &in), kOfxStatReplyDefault);

    LogTail log;
    EXPECT_EQ(change(kOfxChangeUserEdited, "OfxTypeWidget", "w"), kOfxStatReplyDefault);
    EXPECT_TRUE(log.contains("ERROR : Instance Changed called with unknown type 'OfxTypeWidget' of object 'w'"));
    EXPECT_EQ(change("OfxChangeWhim", kOfxTypeParameter, "gain"), kOfxStatFailed);
    EXPECT_TRUE(log.contains("ERROR : Unknown instance changed reason 'OfxChangeWhim'"));

    EXPECT_EQ(effect->calls, (std::vector<std::string>{"beginChanged 0", "changedClip Source 2", "changedParam gain 1",
                                                       "endChanged 1"}));
}

}  // namespace
}  // namespace support_wrap
