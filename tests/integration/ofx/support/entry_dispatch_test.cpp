// The exported functions, the registry and mainEntry's dispatch, seen from a host.

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core_fixture.h"
#include "host/instance.h"
#include "ofxImageEffect.h"

namespace support_core {
namespace {

using tonemill::host::PropertySet;

TEST_F(CoreTest, RegistryHandsOutOneStableRecordPerFactory) {
    tonemill::host::Bundle& bundle = open();
    EXPECT_EQ(bundle.pluginCount(), 2);
    EXPECT_EQ(bundle.pluginCount(), 2) << "asking again must not register the factories again";

    OfxPlugin* record = bundle.rawPlugin(0);
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->pluginApi, "OfxImageEffectPluginAPI");
    EXPECT_EQ(record->apiVersion, 1);
    EXPECT_STREQ(record->pluginIdentifier, "net.tonemill.supportcore");
    EXPECT_EQ(record->pluginVersionMajor, 3u);
    EXPECT_EQ(record->pluginVersionMinor, 12u);
    EXPECT_STREQ(bundle.rawPlugin(1)->pluginIdentifier, "net.tonemill.stray");

    // A host may keep the record it was given across an unload and load again through it.
    tonemill::host::Plugin& plugin = bundle.plugin(0);
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    ASSERT_EQ(plugin.unload(), kOfxStatOK);
    EXPECT_EQ(bundle.rawPlugin(0), record);
    EXPECT_STREQ(record->pluginIdentifier, "net.tonemill.supportcore");
    EXPECT_EQ(record->mainEntry(kOfxActionLoad, nullptr, nullptr, nullptr), kOfxStatOK);
}

TEST_F(CoreTest, IndexOutsideThePluginListGivesNullAfterItsErrorLine) {
    tonemill::host::Bundle& bundle = open();
    EXPECT_EQ(bundle.rawPlugin(2), nullptr);
    EXPECT_EQ(bundle.rawPlugin(-1), nullptr);
    EXPECT_TRUE(
        logHas("ERROR : Host attempted to get plugin 2, when there is only 2 plugin(s), so it should have "
               "asked for 0."));
    EXPECT_TRUE(
        logHas("ERROR : Host attempted to get plugin -1, when there is only 2 plugin(s), so it should have "
               "asked for 0."));
}

TEST_F(CoreTest, UnknownUniqueIdIsRefusedWithoutTouchingAnything) {
    tonemill::host::Bundle& bundle = open();
    EXPECT_EQ(bundle.plugin(1).load(), kOfxStatErrBadHandle);
    EXPECT_TRUE(logHas("    ERROR : No plug-in is registered under the unique id 'net.tonemill.unregistered10'."));
    EXPECT_TRUE(host_->suiteRequests().empty());

    // The real plug-in's first load is still a first load.
    EXPECT_EQ(bundle.plugin(0).load(), kOfxStatOK);
    EXPECT_EQ(suiteRequestCount("OfxImageEffectSuite"), 1);
}

// Actions named after the plug-in's identifier are its own and go to an
// instance; another vendor's extension actions stay unknown, as before.
TEST_F(CoreTest, OnlyActionsNamedAfterThePluginAreItsPrivateOnes) {
    tonemill::host::Plugin& plugin = effectPlugin();
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    EXPECT_EQ(plugin.action("com.example.host.extension", nullptr, nullptr, nullptr), kOfxStatReplyDefault);
    EXPECT_TRUE(logHas("    ERROR : Unknown action 'com.example.host.extension'."));
    EXPECT_EQ(plugin.action("net.tonemill.supportcore.anything", nullptr, nullptr, nullptr), kOfxStatErrBadHandle);
    EXPECT_FALSE(logHas("    ERROR : Unknown action 'net.tonemill.supportcore.anything'."));
    EXPECT_EQ(plugin.action("net.tonemill.supportcoreX", nullptr, nullptr, nullptr), kOfxStatReplyDefault);
    EXPECT_EQ(plugin.unload(), kOfxStatOK);
}

TEST_F(CoreTest, PluginLevelActionsAnswerTheirStatuses) {
    tonemill::host::Plugin& plugin = effectPlugin();
    EXPECT_EQ(plugin.load(), kOfxStatOK);
    EXPECT_EQ(plugin.describe(), kOfxStatOK);
    EXPECT_EQ(plugin.describeInContext(kOfxImageEffectContextFilter), kOfxStatOK);
    EXPECT_EQ(plugin.action("OfxActionNoSuchThing", nullptr, nullptr, nullptr), kOfxStatReplyDefault);
    EXPECT_TRUE(logHas("    ERROR : Unknown action 'OfxActionNoSuchThing'."));
    EXPECT_EQ(plugin.describeInContext("OfxImageEffectContextNoSuch"), kOfxStatFailed);
    EXPECT_TRUE(logHas("    ERROR : Unknown image effect context 'OfxImageEffectContextNoSuch'"));
    EXPECT_EQ(plugin.unload(), kOfxStatOK);

    // The unique id is the identifier followed by both versions.
    EXPECT_EQ(plugin.unload(), kOfxStatOK);
    EXPECT_TRUE(logHas("    WARNING : OFX Plugin 'net.tonemill.supportcore312' is already unloaded."));
    EXPECT_EQ(plugin.load(), kOfxStatOK);
    EXPECT_EQ(suiteRequestCount("OfxImageEffectSuite"), 2) << "a load after a full unload is a first load";
}

TEST_F(CoreTest, LoadBeforeTheHostIsSetIsABadHandleAndDoesNotCount) {
    OfxPlugin* record = open().rawPlugin(0);
    EXPECT_EQ(record->mainEntry(kOfxActionLoad, nullptr, nullptr, nullptr), kOfxStatErrBadHandle);
    EXPECT_TRUE(logHas("    ERROR : Host pointer has not been set."));

    record->setHost(host_->ofxHost());
    EXPECT_EQ(record->mainEntry(kOfxActionLoad, nullptr, nullptr, nullptr), kOfxStatOK);
    EXPECT_EQ(suiteRequestCount("OfxPropertySuite"), 1) << "the failed load must not make this one a reload";
}

TEST_F(CoreTest, HandleChecksRefuseMissingArgumentsAndWarnAboutExtraOnes) {
    tonemill::host::Plugin& plugin = effectPlugin();
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    PropertySet extra("extra", false);
    EXPECT_EQ(plugin.action(kOfxActionDescribe, nullptr, &extra, nullptr), kOfxStatErrBadHandle);
    EXPECT_TRUE(logHas("    ERROR : 'Handle passed to 'OfxActionDescribe' is null."));
    EXPECT_TRUE(logHas("    WARNING : 'inArgs' Handle passed to 'OfxActionDescribe' is not null."));

    ASSERT_EQ(plugin.describe(), kOfxStatOK);
    EXPECT_EQ(plugin.action(kOfxActionUnload, nullptr, nullptr, &extra), kOfxStatOK);
    EXPECT_TRUE(logHas("    WARNING : 'outArgs' Handle passed to 'OfxActionUnload' is not null."));
}

TEST_F(CoreTest, InstanceActionsReachTheInstanceAndAnswerTheTableStatus) {
    tonemill::host::Plugin& plugin = effectPlugin();
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    OfxStatus created = kOfxStatFailed;
    auto instance = plugin.createInstance(kOfxImageEffectContextFilter, &created);
    ASSERT_EQ(created, kOfxStatOK);
    ASSERT_NE(instance, nullptr);

    EXPECT_EQ(instance->action(kOfxImageEffectActionRender, nullptr, nullptr), kOfxStatErrBadHandle);
    EXPECT_TRUE(logHas("    ERROR : 'inArgs' handle passed to 'OfxImageEffectActionRender' is null."));
    EXPECT_FALSE(logHas("    CoreTestEffect::render")) << "a refused render must not reach the instance";

    EXPECT_EQ(instance->purgeCaches(), kOfxStatReplyDefault);
    EXPECT_TRUE(logHas("    CoreTestEffect::purgeCaches"));
    EXPECT_EQ(instance->beginInstanceEdit(), kOfxStatReplyDefault);
    EXPECT_TRUE(logHas("    CoreTestEffect::beginEdit"));
    EXPECT_EQ(instance->syncPrivateData(), kOfxStatReplyDefault);
    EXPECT_EQ(instance->endInstanceEdit(), kOfxStatReplyDefault);
    EXPECT_EQ(instance->instanceChanged(kOfxTypeClip, "Source", kOfxChangeUserEdited), kOfxStatReplyDefault);
    instance.reset();
    EXPECT_EQ(plugin.unload(), kOfxStatOK);
}

TEST_F(CoreTest, InstanceActionWithoutAnInstanceIsABadHandle) {
    tonemill::host::Plugin& plugin = effectPlugin();
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    auto instance = plugin.createInstance(kOfxImageEffectContextFilter);
    ASSERT_NE(instance, nullptr);
    void* stored = instance->properties().getPointer(kOfxPropInstanceData);
    instance->properties().set(kOfxPropInstanceData, static_cast<void*>(nullptr));
    EXPECT_EQ(instance->purgeCaches(), kOfxStatErrBadHandle);
    EXPECT_TRUE(logHas("    ERROR : Instance data handle in effect instance properties is NULL!"));
    instance->properties().set(kOfxPropInstanceData, stored);
}

TEST_F(CoreTest, ExceptionsLeaveMainEntryAsStatuses) {
    tonemill::host::Plugin& plugin = effectPlugin();
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    const std::vector<std::pair<const char*, OfxStatus>> cases = {
        {"bad_alloc", kOfxStatErrMemory},
        {"host_inadequate", kOfxStatErrMissingHostFeature},
        {"invalid_argument", kOfxStatFailed},
        {"type_request", kOfxStatFailed},
        {"not_std", kOfxStatFailed},
        {"status:10", kOfxStatErrBadIndex},
        {"status:8", kOfxStatErrMemory},
        {"status:1000", kOfxStatErrImageFormat},
        {"status:13", kOfxStatOK},  // reply statuses raise nothing
    };
    for (const auto& [failure, status] : cases) {
        ::setenv("CORE_TEST_DESCRIBE_FAILURE", failure, 1);
        EXPECT_EQ(plugin.describe(), status) << failure;
    }
}

}  // namespace
}  // namespace support_core
