// A plug-in built from the support layer alone, so the layer can be driven through its
// C entry points exactly as a host drives a real plug-in. It offers two plug-ins: a
// trivial effect, and a stray entry that names a unique id nobody registered.

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsFactory.h"
#include "ofx/support/ofxsImageEffect.h"
#include "ofx/support/ofxsLog.h"

namespace {

class CoreTestEffect : public OFX::ImageEffect {
 public:
    using ImageEffect::ImageEffect;
    void render(const OFX::RenderArguments&) override { OFX::Log::print("CoreTestEffect::render"); }
    void purgeCaches() override { OFX::Log::print("CoreTestEffect::purgeCaches"); }
    void beginEdit() override { OFX::Log::print("CoreTestEffect::beginEdit"); }
};

// Tests make describe fail on purpose by naming a kind of failure in this variable.
void failIfAsked() {
    const char* kind = std::getenv("CORE_TEST_DESCRIBE_FAILURE");
    if (!kind) return;
    if (std::strcmp(kind, "bad_alloc") == 0) throw std::bad_alloc();
    if (std::strcmp(kind, "invalid_argument") == 0) throw std::invalid_argument("describe");
    if (std::strcmp(kind, "host_inadequate") == 0) throw OFX::Exception::HostInadequate("OfxSomeSuite");
    if (std::strcmp(kind, "type_request") == 0) throw OFX::Exception::TypeRequest("describe");
    if (std::strcmp(kind, "not_std") == 0) throw 42;
    if (std::strncmp(kind, "status:", 7) == 0) OFX::throwSuiteStatusException(std::atoi(kind + 7));
}

class CoreTestFactory : public OFX::PluginFactoryHelper<CoreTestFactory> {
 public:
    CoreTestFactory() : PluginFactoryHelper("net.tonemill.supportcore", 3, 12) {}

    void describe(OFX::ImageEffectDescriptor& desc) override {
        desc.setLabels("Core Test", "Core", "Core Test Effect");
        desc.setSupportsTiles(true);
        failIfAsked();
    }
    void describeInContext(OFX::ImageEffectDescriptor& desc, OFX::ContextEnum) override {
        desc.defineClip("Source");
        desc.defineClip("Output");
    }
    OFX::ImageEffect* createInstance(OfxImageEffectHandle handle, OFX::ContextEnum) override {
        return new CoreTestEffect(handle);
    }
};

OfxStatus strayEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                     OfxPropertySetHandle outArgs) {
    return OFX::mainEntry(action, handle, inArgs, outArgs, "net.tonemill.unregistered10");
}

class StrayFactory : public OFX::PluginFactory {
 public:
    void describe(OFX::ImageEffectDescriptor&) override {}
    void describeInContext(OFX::ImageEffectDescriptor&, OFX::ContextEnum) override {}
    OFX::ImageEffect* createInstance(OfxImageEffectHandle, OFX::ContextEnum) override { return nullptr; }
    const std::string& getID() const override { return _id; }
    const std::string& getUID() const override { return _uid; }
    unsigned int getMajorVersion() const override { return 1; }
    unsigned int getMinorVersion() const override { return 0; }
    OfxPluginEntryPoint* getMainEntry() const override { return &strayEntry; }

 private:
    std::string _id = "net.tonemill.stray";
    std::string _uid = "net.tonemill.stray10";
};

}  // namespace

void OFX::Plugin::getPluginIDs(OFX::PluginFactoryArray& ids) {
    static CoreTestFactory factory;
    static StrayFactory stray;
    ids.push_back(&factory);
    ids.push_back(&stray);
}
