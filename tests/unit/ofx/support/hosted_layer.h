#pragma once
// The support layer loaded by a host of the host library inside this process: tests
// build the layer's objects over the host's handles, send actions through the layer's
// own entry, and look at what the host was given.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/effect.h"
#include "host/host.h"
#include "host/property_set.h"
#include "ofx/support/ofxsImageEffect.h"

namespace support_wrap {

namespace hst = tonemill::host;

// Unique id of the factory this test program registers.
inline constexpr const char* kTestUid = "net.tonemill.supportwrap10";

hst::Host& host();

// Resets the host's faults and CPU count after every test.
class HostedTest : public ::testing::Test {
 protected:
    void TearDown() override;
};

// A descriptor as the host hands it to the describe actions.
std::unique_ptr<hst::Effect> newDescriptor();
// An instance in `context` with the clips "Source" and "Output".
std::unique_ptr<hst::Effect> newInstance(const std::string& context = "OfxImageEffectContextFilter");

// Sends an action through the layer's entry point, as the host would.
OfxStatus send(const char* action, const void* handle, hst::PropertySet* inArgs, hst::PropertySet* outArgs = nullptr);

// An effect instance whose answers each test scripts; it records what it was told.
class ScriptedEffect : public OFX::ImageEffect {
 public:
    using ImageEffect::ImageEffect;

    std::function<void(const OFX::RenderArguments&)> onRender;
    std::function<bool(const OFX::IsIdentityArguments&, OFX::Clip*&, double&)> onIsIdentity;
    std::function<void(OFX::RegionOfInterestSetter&)> onRegionsOfInterest;
    std::function<void(OFX::FramesNeededSetter&)> onFramesNeeded;
    std::function<bool(OfxRangeD&)> onTimeDomain;
    // "changedParam name", "changedClip name", "beginChanged reason", ...
    std::vector<std::string> calls;

    void render(const OFX::RenderArguments& args) override;
    bool isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& clip, double& time) override;
    void getRegionsOfInterest(const OFX::RegionsOfInterestArguments& args, OFX::RegionOfInterestSetter& rois) override;
    void getFramesNeeded(const OFX::FramesNeededArguments& args, OFX::FramesNeededSetter& frames) override;
    bool getTimeDomain(OfxRangeD& range) override;
    void beginChanged(OFX::InstanceChangeReason reason) override;
    void changedParam(const OFX::InstanceChangedArgs& args, const std::string& name) override;
    void changedClip(const OFX::InstanceChangedArgs& args, const std::string& name) override;
    void endChanged(OFX::InstanceChangeReason reason) override;
};

// Lines the diagnostic log gained since this object was made.
class LogTail {
 public:
    LogTail();
    std::vector<std::string> lines() const;
    bool contains(const std::string& line) const;

 private:
    long _start;
};

}  // namespace support_wrap
