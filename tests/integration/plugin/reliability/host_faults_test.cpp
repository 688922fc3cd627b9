// A host that lacks a suite, refuses a property or a call, hands out images
// that lie about their format or runs out of memory: every action answers with
// a status, says why in the log, gives every image back, and the next action
// works once the host behaves again.

#include <functional>
#include <fstream>
#include <map>

#include "ofxGPURender.h"
#include "ofxProgress.h"
#include "ofxTimeLine.h"
#include "reliability_fixture.h"

namespace reliability {
namespace {

using Action = std::function<OfxStatus()>;

class HostFaults : public ReliabilityTest {
 protected:
    // Runs `action` twice to learn what it touches once warmed up, then
    // refuses each property it read or wrote with each class of status. A
    // refusal either fails the action with the status the refusal maps to, or,
    // for a property the plug-in may do without, leaves it succeeding; the log
    // names the property either way. Returns the properties done without.
    std::set<std::string> refuseEachProperty(const Action& action, const std::set<std::string>& skip = {}) {
        action();
        newLogLines();
        const OfxStatus success = action();
        const TouchedProperties touched = touchedProperties(newLogLines());
        EXPECT_FALSE(touched.read.empty());

        std::set<std::string> optional;
        auto refuse = [&](const std::string& property, bool write) {
            if (skip.count(property)) return;
            std::set<bool> shrugged;
            for (OfxStatus refusal : kRefusals) {
                auto& table = write ? host->faults().propertySetStatus : host->faults().propertyGetStatus;
                table[property] = refusal;
                const OfxStatus status = action();
                table.clear();
                const auto lines = newLogLines();
                const std::string what =
                    (write ? "writing " : "reading ") + property + " refused with " + std::to_string(refusal);
                shrugged.insert(status == success);
                if (status != success) {
                    EXPECT_EQ(status, statusForRefusedProperty(refusal)) << what;
                }
                EXPECT_TRUE(namesRefusal(lines, property)) << what;
                EXPECT_EQ(host->imageCounts().outstanding(), 0u) << what;
                EXPECT_EQ(action(), success) << "the action after " << what;
                newLogLines();
            }
            EXPECT_EQ(shrugged.size(), 1u) << property << " is needed for some refusals only";
            if (shrugged.count(true)) optional.insert(property);
        };
        for (const auto& property : touched.read) refuse(property, false);
        for (const auto& property : touched.written) refuse(property, true);
        return optional;
    }
};

TEST_F(HostFaults, EveryMandatorySuiteWithheldFailsTheLoadNamingItAndALaterLoadWorks) {
    const std::map<std::string, int> mandatory = {{kOfxImageEffectSuite, 1}, {kOfxPropertySuite, 1},
                                                  {kOfxParameterSuite, 1},   {kOfxMemorySuite, 1},
                                                  {kOfxMultiThreadSuite, 1}, {kOfxMessageSuite, 1}};
    ::setenv("OFX_PLUGIN_LOGFILE", logPath().c_str(), 1);
    host = std::make_unique<Host>();
    Plugin& p = host->openBundle(bundle.root().string()).plugin(0);
    for (const auto& [suite, version] : mandatory) {
        host->faults().withholdSuite(suite);
        EXPECT_EQ(p.load(), kOfxStatErrMissingHostFeature) << suite;
        host->faults().withheldSuites.clear();
        EXPECT_TRUE(anyLineHas(newLogLines(), "ERROR : Could not fetch the mandatory suite '" + suite + "' version " +
                                                  std::to_string(version) + "."))
            << suite;
    }
    for (const char* optional : {kOfxProgressSuite, kOfxTimeLineSuite}) host->faults().withholdSuite(optional);
    EXPECT_EQ(p.load(), kOfxStatOK) << "optional suites withheld only warn";
    EXPECT_TRUE(anyLineHas(newLogLines(), "WARNING : Could not fetch the optional suite '", kOfxProgressSuite));
    EXPECT_EQ(p.describe(), kOfxStatOK);
    OfxStatus status = kOfxStatFailed;
    auto instance = p.createInstance(kFilter, &status);
    ASSERT_EQ(status, kOfxStatOK);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, std::make_shared<HostImage>(bounds));
    EXPECT_EQ(render(*instance).status, kOfxStatOK);
}

// The host is described once per process, by the first load that gets through,
// so each refusal the plug-in shrugs off needs a library copy of its own.
TEST_F(HostFaults, RefusedHostPropertiesFailTheLoadUntilTheHostAnswers) {
    struct Copy {
        explicit Copy(std::unique_ptr<Host>& host) : bundle("host description") {
            bundle.installLibrary(TONEMILL_PLUGIN_LIBRARY);
            host.reset();
            ::setenv("OFX_PLUGIN_LOGFILE", log().c_str(), 1);
            host = std::make_unique<Host>();
            plugin = &host->openBundle(bundle.root().string()).plugin(0);
        }
        std::string log() const { return (bundle.root() / "ofx.log").string(); }
        std::vector<std::string> lines() const {
            std::vector<std::string> all;
            std::ifstream in(log());
            for (std::string line; std::getline(in, line);) all.push_back(line);
            return all;
        }
        ScratchBundle bundle;
        Plugin* plugin = nullptr;
    };

    auto copy = std::make_unique<Copy>(host);
    ASSERT_EQ(copy->plugin->load(), kOfxStatOK);
    const std::set<std::string> described = touchedProperties(copy->lines()).read;
    ASSERT_GT(described.size(), 10u);

    std::set<std::string> optional;
    copy = std::make_unique<Copy>(host);
    for (const auto& property : described) {
        for (OfxStatus refusal : kRefusals) {
            host->faults().failPropertyGet(property, refusal);
            const OfxStatus status = copy->plugin->load();
            host->faults().propertyGetStatus.clear();
            const auto lines = copy->lines();
            EXPECT_TRUE(namesRefusal(lines, property)) << property;
            if (status == kOfxStatOK) {
                // Described without it: only a fresh copy reads the host again.
                optional.insert(property);
                copy->plugin->unload();
                copy = std::make_unique<Copy>(host);
                break;
            }
            EXPECT_EQ(status, statusForRefusedProperty(refusal)) << property << " refused with " << refusal;
        }
    }
    EXPECT_EQ(copy->plugin->load(), kOfxStatOK) << "the host answering at last";
    EXPECT_EQ(copy->plugin->describe(), kOfxStatOK);
    // The OpenFX version and what a host must state about itself are needed;
    // the optional abilities fall back to their defaults.
    for (const char* needed : {kOfxParamHostPropMaxParameters, kOfxImageEffectPropSupportedContexts}) {
        EXPECT_FALSE(optional.count(needed)) << needed;
    }
    for (const char* spare : {kOfxImageEffectPropOpenCLRenderSupported, kOfxPropHostOSHandle,
                              kOfxParamHostPropSupportsStrChoiceAnimation}) {
        EXPECT_TRUE(optional.count(spare)) << spare;
    }
}

TEST_F(HostFaults, RefusedPropertiesWhileRendering) {
    auto instance = instanceWithSource();
    ASSERT_TRUE(instance);
    const auto optional = refuseEachProperty([&] { return render(*instance).status; });
    // The in-arguments a render may do without: the GPU switches and queues
    // and the render statuses.
    for (const char* needed : {kOfxPropTime, kOfxImageEffectPropRenderScale, kOfxImageEffectPropRenderWindow,
                               kOfxImageEffectPropFieldToRender}) {
        EXPECT_FALSE(optional.count(needed)) << needed;
    }
    for (const char* spare : {kOfxImageEffectPropOpenCLEnabled, kOfxImageEffectPropCudaEnabled,
                              kOfxImageEffectPropSequentialRenderStatus, kOfxImageEffectPropInteractiveRenderStatus}) {
        EXPECT_TRUE(optional.count(spare)) << spare;
    }
}

TEST_F(HostFaults, RefusedPropertiesWhileChangingAParameterAndTestingIdentity) {
    auto instance = instanceWithSource();
    ASSERT_TRUE(instance);
    int option = 0;
    refuseEachProperty([&] { return instance->changeParam("contrastOptions", ++option % 3); });
    refuseEachProperty([&] { return instance->isIdentity(renderOf(bounds)).status; });
    refuseEachProperty([&] { return instance->regionsOfInterest(0, {0, 0, 16, 8}).status; });
}

TEST_F(HostFaults, RefusedPropertiesWhileCreatingAnInstanceAndDescribingIt) {
    // Instances are kept until the end: destroying one is an action of its
    // own, and a host that will not hand back the instance pointer then leaves
    // the plug-in nothing to delete.
    std::vector<std::unique_ptr<Instance>> created;
    refuseEachProperty([&] {
        OfxStatus status = kOfxStatFailed;
        created.push_back(plugin().createInstance(kFilter, &status));
        return status;
    });
    refuseEachProperty([&] { return plugin().describe(); });
    // Every parameter and clip is defined here: the widest sweep of writes.
    const auto spare = refuseEachProperty([&] { return plugin().describeInContext(kFilter); });
    EXPECT_FALSE(spare.count(kOfxParamPropDefault));
    EXPECT_FALSE(spare.count(kOfxPropLabel));
}

TEST_F(HostFaults, ImagesTheHostCannotGiveOrThatLieAboutTheirFormat) {
    auto instance = instanceWithSource();
    ASSERT_TRUE(instance);
    // The render's trace tells how far it got: the last line it reached and
    // the next one, which it must not have written.
    struct Case {
        const char* what;
        std::function<void(FaultPlan&)> inject;
        OfxStatus expected;
        const char* reached;
        const char* notReached;
    };
    const std::vector<Case> cases = {
        // A failed fetch is an absent image, which the render cannot do without.
        // Images that agree with each other but not with the clips' float RGBA
        // would be written past their end: refused before any pixel is touched.
        {"no destination", [](FaultPlan& f) { f.failSuiteCall("clipGetImage", kOfxStatFailed); }, kOfxStatFailed,
         "ERROR : Clip Output delivered no image", "Made it to dest image"},
        {"no source", [](FaultPlan& f) { f.failSuiteCallAfter("clipGetImage", 1, kOfxStatFailed); }, kOfxStatFailed,
         "ERROR : Clip Source delivered no image", "Made it to src image"},
        {"no memory for the source", [](FaultPlan& f) { f.failSuiteCallAfter("clipGetImage", 1, kOfxStatErrMemory); },
         kOfxStatErrMemory, "Made it to dest image", "Made it to src image"},
        {"a bad handle", [](FaultPlan& f) { f.failSuiteCall("clipGetImage", kOfxStatErrBadHandle); },
         kOfxStatErrBadHandle, "Entered Setup and Process", "Made it to dest image"},
        {"bytes", [](FaultPlan& f) { f.imageDepth = kOfxBitDepthByte; }, kOfxStatErrUnsupported, "Made it to src image",
         "Made it passed bit depth and component check"},
        {"half floats", [](FaultPlan& f) { f.imageDepth = kOfxBitDepthHalf; }, kOfxStatErrUnsupported,
         "Made it to src image", "Made it passed bit depth and component check"},
        {"RGB", [](FaultPlan& f) { f.imageComponents = kOfxImageComponentRGB; }, kOfxStatErrUnsupported,
         "Made it to src image", "Made it passed bit depth and component check"},
        {"alpha only", [](FaultPlan& f) { f.imageComponents = kOfxImageComponentAlpha; }, kOfxStatErrUnsupported,
         "Made it to src image", "Made it passed bit depth and component check"},
    };
    for (const auto& c : cases) {
        c.inject(host->faults());
        const RenderResult failed = render(*instance);
        host->faults() = FaultPlan{};
        const auto lines = newLogLines();
        EXPECT_EQ(failed.status, c.expected) << c.what;
        EXPECT_TRUE(anyLineHas(lines, c.reached)) << c.what;
        EXPECT_FALSE(anyLineHas(lines, c.notReached)) << c.what;
        EXPECT_EQ(host->imageCounts().outstanding(), 0u) << c.what;
        EXPECT_EQ(render(*instance).status, kOfxStatOK) << "the render after " << c.what;
        newLogLines();
    }
}

TEST_F(HostFaults, AMultiThreadSuiteThatRefusesFailsTheRenderWithItsStatus) {
    auto instance = instanceWithSource();
    ASSERT_TRUE(instance);
    // Wide enough to be cut into bands, so the render needs the host's threads.
    const OfxRectI wide{0, 0, 4096, 4};
    instance->setImage(kOfxImageEffectSimpleSourceClipName, std::make_shared<HostImage>(wide));
    host->setCpuCount(4);
    for (OfxStatus refusal : {kOfxStatFailed, kOfxStatErrMemory, kOfxStatErrBadHandle}) {
        host->faults().failSuiteCall("multiThread", refusal);
        EXPECT_EQ(instance->render(renderOf(wide)).status, refusal);
        host->faults() = FaultPlan{};
        EXPECT_EQ(host->imageCounts().outstanding(), 0u);
        EXPECT_EQ(instance->render(renderOf(wide)).status, kOfxStatOK);
    }
    // A host that cannot say how many processors it has still gets its render.
    host->faults().failSuiteCall("multiThreadNumCPUs", kOfxStatFailed);
    const RenderResult counted = instance->render(renderOf(wide));
    host->faults() = FaultPlan{};
    EXPECT_EQ(counted.status, kOfxStatOK);
}

TEST_F(HostFaults, AHostOutOfMemoryFailsWithMemoryAndTheNextActionsWork) {
    auto instance = instanceWithSource();
    ASSERT_TRUE(instance);
    // The plug-in keeps its pixels and tables in memory of its own: a host
    // memory pool that refuses everything does not stop a render.
    host->faults().exhaustMemory();
    EXPECT_EQ(render(*instance).status, kOfxStatOK);
    for (const char* call : {"paramGetValueAtTime", "clipGetImage"}) {
        host->faults().failSuiteCall(call, kOfxStatErrMemory);
        EXPECT_EQ(render(*instance).status, kOfxStatErrMemory) << call;
        host->faults().suiteCallStatus.clear();
        EXPECT_EQ(host->imageCounts().outstanding(), 0u) << call;
        EXPECT_EQ(render(*instance).status, kOfxStatOK) << "after " << call;
    }
    // Parameter handles are fetched when an instance is made.
    for (const char* call : {"paramGetHandle", "clipGetHandle", "paramGetPropertySet"}) {
        host->faults().failSuiteCall(call, kOfxStatErrMemory);
        OfxStatus status = kOfxStatOK;
        auto refused = plugin().createInstance(kFilter, &status);
        host->faults().suiteCallStatus.clear();
        EXPECT_EQ(status, kOfxStatErrMemory) << call;
        EXPECT_TRUE(create()) << "an instance after " << call;
    }
    host->faults() = FaultPlan{};
}

}  // namespace
}  // namespace reliability
