// Load and unload against hosts that lack something, property refusals as the host
// sees them, and the log file.

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core_fixture.h"
#include "ofxImageEffect.h"
#include "ofxParam.h"

namespace support_core {
namespace {

TEST_F(CoreTest, MissingMandatorySuiteFailsTheLoadBeforeLaterSuites) {
    host_->faults().withholdSuite("OfxMultiThreadSuite");
    EXPECT_EQ(effectPlugin().load(), kOfxStatErrMissingHostFeature);
    EXPECT_TRUE(logHas("    ERROR : Could not fetch the mandatory suite 'OfxMultiThreadSuite' version 1."));
    EXPECT_EQ(suiteRequestCount("OfxMessageSuite"), 0);
}

TEST_F(CoreTest, MissingOptionalSuiteOnlyWarns) {
    host_->faults().withholdSuite("OfxProgressSuite");
    EXPECT_EQ(effectPlugin().load(), kOfxStatOK);
    EXPECT_TRUE(logHas("    WARNING : Could not fetch the optional suite 'OfxProgressSuite' version 1."));
    EXPECT_EQ(suiteRequestCount("OfxTimeLineSuite"), 1);
}

TEST_F(CoreTest, OnlyTheFirstLoadFetchesAndTheDescriptionIsReadOnce) {
    tonemill::host::Plugin& plugin = effectPlugin();
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    EXPECT_EQ(suiteRequestCount("OfxParameterSuite"), 1);
    EXPECT_EQ(suiteRequestCount("OfxInteractSuite"), 0) << "the host supports neither overlays nor custom interacts";
    ASSERT_EQ(plugin.unload(), kOfxStatOK);
    ASSERT_EQ(plugin.unload(), kOfxStatOK);
    EXPECT_FALSE(logHas("    ERROR : Tried to create host description when we already have one."));

    host_->description().set(kOfxImageEffectPropSupportsOverlays, 1);
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    EXPECT_EQ(suiteRequestCount("OfxParameterSuite"), 2);
    EXPECT_TRUE(logHas("    ERROR : Tried to create host description when we already have one."));
    EXPECT_EQ(suiteRequestCount("OfxInteractSuite"), 0) << "the description is the one first read";
}

TEST_F(CoreTest, InteractSuiteIsFetchedForHostsWithOverlays) {
    host_->description().set(kOfxImageEffectPropSupportsOverlays, 1);
    host_->faults().withholdSuite("OfxInteractSuite");
    EXPECT_EQ(effectPlugin().load(), kOfxStatErrMissingHostFeature);
    EXPECT_EQ(suiteRequestCount("OfxInteractSuite"), 1);
}

TEST_F(CoreTest, HostContextUnknownToTheLayerDoesNotStopTheLoad) {
    host_->description().setStrings(kOfxImageEffectPropSupportedContexts,
                                    {kOfxImageEffectContextFilter, "OfxImageEffectContextReader"});
    EXPECT_EQ(effectPlugin().load(), kOfxStatOK);
    EXPECT_TRUE(logHas("    ERROR : Unknown image effect context 'OfxImageEffectContextReader'"));
}

TEST_F(CoreTest, RefusedRequiredReadEndsTheLoadWithTheMappedStatus) {
    tonemill::host::Plugin& plugin = effectPlugin();
    const std::vector<std::pair<OfxStatus, OfxStatus>> cases = {
        {kOfxStatErrUnknown, kOfxStatErrMissingHostFeature},
        {kOfxStatErrUnsupported, kOfxStatErrMissingHostFeature},
        {kOfxStatErrValue, kOfxStatFailed},
        {kOfxStatErrMemory, kOfxStatErrMemory},
        {kOfxStatErrBadIndex, kOfxStatErrBadIndex},
        {kOfxStatFailed, kOfxStatFailed},
    };
    // A failed load leaves nothing behind, so each try reads the description afresh.
    for (const auto& [refusal, status] : cases) {
        host_->faults().failPropertyGet(kOfxImageEffectPropSupportsTiles, refusal);
        EXPECT_EQ(plugin.load(), status) << "host answered " << refusal;
    }
    EXPECT_TRUE(
        logHas("    ERROR : Failed on getting int property OfxImageEffectPropSupportsTiles[0], host returned "
               "status kOfxStatErrUnknown;"));
    EXPECT_FALSE(logHas("    Retrieved int property OfxImageEffectPropSupportsTiles[0], was given 0."));

    // A reply status is logged as a failure but raises nothing.
    host_->faults().failPropertyGet(kOfxImageEffectPropSupportsTiles, kOfxStatReplyDefault);
    EXPECT_EQ(plugin.load(), kOfxStatOK);
    EXPECT_TRUE(
        logHas("    ERROR : Failed on getting int property OfxImageEffectPropSupportsTiles[0], host returned "
               "status kOfxStatReplyDefault;"));
}

TEST_F(CoreTest, RefusedRequiredWriteEndsTheDescribeWithTheMappedStatus) {
    tonemill::host::Plugin& plugin = effectPlugin();
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    const std::vector<std::pair<OfxStatus, OfxStatus>> cases = {
        {kOfxStatErrUnknown, kOfxStatErrMissingHostFeature},
        {kOfxStatErrValue, kOfxStatFailed},
        {kOfxStatErrMemory, kOfxStatErrMemory},
        {kOfxStatErrBadIndex, kOfxStatErrBadIndex},
    };
    for (const auto& [refusal, status] : cases) {
        host_->faults().failPropertySet(kOfxPropLabel, refusal);
        EXPECT_EQ(plugin.describe(), status) << "host answered " << refusal;
    }
    host_->faults().propertySetStatus.clear();

    host_->faults().failPropertySet(kOfxImageEffectPropSupportsTiles, kOfxStatErrUnknown);
    EXPECT_EQ(plugin.describe(), kOfxStatErrMissingHostFeature);
    EXPECT_TRUE(
        logHas("    ERROR : Failed on setting int property OfxImageEffectPropSupportsTiles[0] to 1, host "
               "returned status kOfxStatErrUnknown (3);"));
}

TEST_F(CoreTest, RefusedOptionalCallsAreLoggedAndGoOn) {
    host_->faults().failPropertyGet(kOfxImageEffectInstancePropSequentialRender, kOfxStatErrUnknown);
    host_->faults().nullStringProperties.insert(kOfxPropVersionLabel);
    host_->faults().failPropertySet(kOfxPropShortLabel, kOfxStatErrUnknown);
    tonemill::host::Plugin& plugin = effectPlugin();
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    ASSERT_EQ(plugin.describe(), kOfxStatOK);

    EXPECT_EQ(logLineAfter("    ERROR : Failed on getting int property OfxImageEffectInstancePropSequentialRender[0], "
                           "host returned status kOfxStatErrUnknown;"),
              "    Retrieved int property OfxImageEffectInstancePropSequentialRender[0], was given 0.");
    EXPECT_TRUE(logHas("    Retrieved string property OfxPropVersionLabel[0], was given (null)."));
    EXPECT_EQ(logLineAfter("    ERROR : Failed on setting string property OfxPropShortLabel[0] to Core, host returned "
                           "status kOfxStatErrUnknown;"),
              "    Set string property OfxPropShortLabel[0] to be Core.");
}

// Many hosts give their version in two parts; the absent third is no error.
TEST_F(CoreTest, ATwoPartHostVersionOnlyWarns) {
    host_->description().setInts(kOfxPropVersion, {3, 1});
    ASSERT_EQ(effectPlugin().load(), kOfxStatOK);
    EXPECT_TRUE(
        logHas("    WARNING : Host does not have the optional int property OfxPropVersion[2] (status "
               "kOfxStatErrBadIndex); using the default."));
    for (const std::string& line : logLines()) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
}

TEST_F(CoreTest, DescribeLogFollowsTheLineFormat) {
    std::ofstream(logPath_) << "left over from an earlier run\n";
    tonemill::host::Plugin& plugin = effectPlugin();
    ASSERT_EQ(plugin.load(), kOfxStatOK);
    ASSERT_EQ(plugin.describe(), kOfxStatOK);

    const std::vector<std::string> lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), std::string(80, '*')) << "the file is truncated when first opened";
    const std::vector<std::string> expected = {
        std::string(80, '*'),
        "START mainEntry (OfxActionDescribe)",
        "    Set string property OfxPropLabel[0] to be Core Test.",
        "    Set string property OfxPropShortLabel[0] to be Core.",
        "    Set string property OfxPropLongLabel[0] to be Core Test Effect.",
        "    Set int property OfxImageEffectPropSupportsTiles[0] to be 1.",
        "STOP mainEntry (OfxActionDescribe)",
        "",
    };
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - expected.size(), lines.end()), expected);
}

TEST_F(CoreTest, WithoutTheVariableNoLogIsWritten) {
    tonemill::host::Bundle& bundle = open(false);
    EXPECT_EQ(bundle.rawPlugin(5), nullptr);
    EXPECT_EQ(bundle.plugin(0).load(), kOfxStatOK);
    EXPECT_EQ(bundle.plugin(0).describe(), kOfxStatOK);
    EXPECT_FALSE(fs::exists(logPath_));
}

}  // namespace
}  // namespace support_core
