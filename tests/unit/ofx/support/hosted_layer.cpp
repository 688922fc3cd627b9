#include "tests/unit/ofx/support/hosted_layer.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "host/standard_properties.h"
#include "ofx/support/ofxsFactory.h"

namespace support_wrap {
namespace {

// The layer fixes its log file when the program starts, before any test runs, so the
// name must be in the environment ahead of every ordinary static initialiser. Nothing
// here may need dynamic initialisation itself: it would run after this.
__attribute__((constructor(101))) void nameLogFile() {
    if (std::getenv("OFX_PLUGIN_LOGFILE")) return;
    ::setenv("OFX_PLUGIN_LOGFILE", ("/tmp/support_wrap_" + std::to_string(::getpid()) + ".log").c_str(), 1);
    std::atexit([] { std::remove(std::getenv("OFX_PLUGIN_LOGFILE")); });
}

const char* logFile() {
    return std::getenv("OFX_PLUGIN_LOGFILE");
}

}  // namespace

class TestFactory : public OFX::PluginFactoryHelper<TestFactory> {
 public:
    TestFactory() : PluginFactoryHelper("net.tonemill.supportwrap", 1, 0) {}
    void describe(OFX::ImageEffectDescriptor&) override {}
    void describeInContext(OFX::ImageEffectDescriptor& desc, OFX::ContextEnum) override {
        desc.defineClip("Source");
        desc.defineClip("Output");
    }
    OFX::ImageEffect* createInstance(OfxImageEffectHandle handle, OFX::ContextEnum) override {
        return new ScriptedEffect(handle);
    }
};

namespace {

class HostedLayer : public ::testing::Environment {
 public:
    void SetUp() override {
        _host = std::make_unique<hst::Host>();
        OfxGetPlugin(0)->setHost(_host->ofxHost());
        ASSERT_EQ(send(kOfxActionLoad, nullptr, nullptr), kOfxStatOK);
    }
    void TearDown() override {
        send(kOfxActionUnload, nullptr, nullptr);
        _host.reset();
    }
    hst::Host& host() { return *_host; }

 private:
    std::unique_ptr<hst::Host> _host;
};

HostedLayer* const gLayer = static_cast<HostedLayer*>(::testing::AddGlobalTestEnvironment(new HostedLayer));

}  // namespace

hst::Host& host() {
    return gLayer->host();
}

void HostedTest::TearDown() {
    host().faults() = {};
    host().setCpuCount(1);
}

std::unique_ptr<hst::Effect> newDescriptor() {
    return std::make_unique<hst::Effect>(hst::effectDescriptorProperties("/tmp/SupportWrap.ofx.bundle"));
}

std::unique_ptr<hst::Effect> newInstance(const std::string& context) {
    auto descriptor = newDescriptor();
    descriptor->defineClip("Source");
    descriptor->defineClip("Output");
    return descriptor->instantiate(context);
}

OfxStatus send(const char* action, const void* handle, hst::PropertySet* inArgs, hst::PropertySet* outArgs) {
    return OfxGetPlugin(0)->mainEntry(action, handle, inArgs ? inArgs->handle() : nullptr,
                                      outArgs ? outArgs->handle() : nullptr);
}

// ------------------------------------------------------------------------ scripted effect

void ScriptedEffect::render(const OFX::RenderArguments& args) {
    if (onRender) onRender(args);
}

bool ScriptedEffect::isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& clip, double& time) {
    return onIsIdentity && onIsIdentity(args, clip, time);
}

void ScriptedEffect::getRegionsOfInterest(const OFX::RegionsOfInterestArguments&, OFX::RegionOfInterestSetter& rois) {
    if (onRegionsOfInterest) onRegionsOfInterest(rois);
}

void ScriptedEffect::getFramesNeeded(const OFX::FramesNeededArguments&, OFX::FramesNeededSetter& frames) {
    if (onFramesNeeded) onFramesNeeded(frames);
}

bool ScriptedEffect::getTimeDomain(OfxRangeD& range) {
    calls.push_back("getTimeDomain");
    return onTimeDomain && onTimeDomain(range);
}

void ScriptedEffect::beginChanged(OFX::InstanceChangeReason reason) {
    calls.push_back("beginChanged " + std::to_string(reason));
}

void ScriptedEffect::changedParam(const OFX::InstanceChangedArgs& args, const std::string& name) {
    calls.push_back("changedParam " + name + " " + std::to_string(args.reason));
}

void ScriptedEffect::changedClip(const OFX::InstanceChangedArgs& args, const std::string& name) {
    calls.push_back("changedClip " + name + " " + std::to_string(args.reason));
}

void ScriptedEffect::endChanged(OFX::InstanceChangeReason reason) {
    calls.push_back("endChanged " + std::to_string(reason));
}

// ------------------------------------------------------------------------------- log tail

namespace {
long logSize() {
    std::ifstream log(logFile(), std::ios::ate);
    return log ? static_cast<long>(log.tellg()) : 0;
}
}  // namespace

LogTail::LogTail() : _start(logSize()) {}

std::vector<std::string> LogTail::lines() const {
    std::ifstream log(logFile());
    log.seekg(_start);
    std::vector<std::string> result;
    // Lines are compared without the indent of the action they were written in.
    for (std::string line; std::getline(log, line);) result.push_back(line.erase(0, line.find_first_not_of(' ')));
    return result;
}

bool LogTail::contains(const std::string& line) const {
    for (const std::string& written : lines())
        if (written == line) return true;
    return false;
}

}  // namespace support_wrap

void OFX::Plugin::getPluginIDs(OFX::PluginFactoryArray& ids) {
    static support_wrap::TestFactory factory;
    ids.push_back(&factory);
}
