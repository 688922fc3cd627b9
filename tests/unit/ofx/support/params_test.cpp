// Parameters defined while describing and fetched inside an instance, against the
// host library's parameter suite.

#include <new>

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsParams.h"
#include "tests/unit/ofx/support/hosted_layer.h"

namespace support_wrap {
namespace {

class ParamsTest : public HostedTest {
 protected:
    ParamsTest() { descriptor.setParamSetHandle(hostDescriptor->params().handle()); }

    hst::PropertySet& hostProps(const std::string& name) { return hostDescriptor->params().find(name)->properties(); }

    // An instance parameter set holding what the descriptor defined so far, at defaults.
    OFX::ParamSet& instanceSet() {
        hostInstance = hostDescriptor->instantiate("OfxImageEffectContextFilter");
        instance.setParamSetHandle(hostInstance->params().handle());
        return instance;
    }

    std::unique_ptr<hst::Effect> hostDescriptor = newDescriptor();
    std::unique_ptr<hst::Effect> hostInstance;
    OFX::ParamSetDescriptor descriptor;
    OFX::ParamSet instance;
};

TEST_F(ParamsTest, DefiningANameAgainReturnsTheFirstDescriptorOrNullForAnotherType) {
    OFX::DoubleParamDescriptor* first = descriptor.defineDoubleParam("x");
    ASSERT_NE(first, nullptr);
    // The host refuses a second definition of a name, so this also shows it was not asked.
    EXPECT_EQ(descriptor.defineDoubleParam("x"), first);
    EXPECT_EQ(descriptor.defineBooleanParam("x"), nullptr);
    EXPECT_EQ(hostDescriptor->params().params().size(), 1u);
    EXPECT_EQ(hostDescriptor->params().find("x")->type(), kOfxParamTypeDouble);
}

TEST_F(ParamsTest, SettersWriteTheirPropertiesAndOnlyRequiredOnesRaiseOnRefusal) {
    OFX::GroupParamDescriptor* group = descriptor.defineGroupParam("grp");
    OFX::DoubleParamDescriptor* gain = descriptor.defineDoubleParam("gain");
    OFX::BooleanParamDescriptor* bypass = descriptor.defineBooleanParam("bypass");
    OFX::PageParamDescriptor* page = descriptor.definePageParam("page");
    gain->setDoubleType(OFX::eDoubleTypeScale);
    gain->setParent(*group);
    page->addChild(*gain);
    page->addChild(*bypass);

    EXPECT_EQ(hostProps("gain").getString(kOfxParamPropDoubleType), "OfxParamDoubleTypeScale");
    EXPECT_EQ(hostProps("gain").getString(kOfxParamPropParent), "grp");
    EXPECT_EQ(hostProps("page").getStrings(kOfxParamPropPageChild), (std::vector<std::string>{"gain", "bypass"}));

    host().faults().failPropertySet(kOfxParamPropHint, kOfxStatErrUnknown);
    host().faults().failPropertySet(kOfxPropLabel, kOfxStatErrUnknown);
    EXPECT_NO_THROW(gain->setHint("ignored"));
    EXPECT_THROW(gain->setLabel("Gain"), OFX::Exception::PropertyUnknownToHost);
}

TEST_F(ParamsTest, LabelledOptionsAreListedInTheHintAfterAnEmptyLine) {
    OFX::ChoiceParamDescriptor* withHint = descriptor.defineChoiceParam("withHint");
    withHint->setHint("Pick one.");
    withHint->appendOption("a", "first");
    withHint->appendOption("b", "second");
    EXPECT_EQ(hostProps("withHint").getString(kOfxParamPropHint), "Pick one.\n\na: first\nb: second");
    EXPECT_EQ(hostProps("withHint").getStrings(kOfxParamPropChoiceOption), (std::vector<std::string>{"a", "b"}));

    OFX::ChoiceParamDescriptor* bare = descriptor.defineChoiceParam("bare");
    bare->appendOption("a", "first");
    EXPECT_EQ(hostProps("bare").getString(kOfxParamPropHint), "a: first");

    OFX::ChoiceParamDescriptor* unlabelled = descriptor.defineChoiceParam("unlabelled");
    unlabelled->setHint("Kept as it is.");
    unlabelled->appendOption("a", "");
    EXPECT_EQ(hostProps("unlabelled").getString(kOfxParamPropHint), "Kept as it is.");
    EXPECT_EQ(hostProps("unlabelled").dimension(kOfxParamPropChoiceOption), 1);
}

TEST_F(ParamsTest, FetchingChecksTheTypeWithTheHostAndAgainstEarlierFetches) {
    descriptor.defineBooleanParam("flag");
    descriptor.defineDoubleParam("amount");
    OFX::ParamSet& set = instanceSet();

    try {
        set.fetchDoubleParam("flag");
        FAIL() << "a boolean fetched as a double";
    } catch (const OFX::Exception::TypeRequest& e) {
        EXPECT_STREQ(e.what(), "Parameter exists but is of the wrong type");
    }

    OFX::DoubleParam* amount = set.fetchDoubleParam("amount");
    host().faults().failSuiteCall("paramGetHandle", kOfxStatErrFatal);
    EXPECT_EQ(set.fetchDoubleParam("amount"), amount);
    try {
        set.fetchChoiceParam("amount");
        FAIL() << "a double fetched as a choice";
    } catch (const OFX::Exception::TypeRequest& e) {
        EXPECT_STREQ(e.what(), "Fetching param and attempting to return the wrong type");
    }

    try {
        set.fetchBooleanParam("missing");
        FAIL() << "a parameter the host refused";
    } catch (const OFX::Exception::Suite& e) {
        EXPECT_EQ(e.status(), kOfxStatErrFatal);
    }
}

TEST_F(ParamsTest, ValuesAreReadAtATimeAndWrittenBack) {
    descriptor.defineBooleanParam("flag");
    descriptor.defineChoiceParam("choice");
    descriptor.defineDoubleParam("amount");
    OFX::ParamSet& set = instanceSet();
    hostInstance->params().find("flag")->setValue(hst::ParamValue(2));
    hostInstance->params().find("choice")->setValue(hst::ParamValue(3));
    hostInstance->params().find("amount")->setValueAt(0, 1.0);
    hostInstance->params().find("amount")->setValueAt(10, 2.0);

    bool flag = false;
    set.fetchBooleanParam("flag")->getValueAtTime(0, flag);
    EXPECT_TRUE(flag);
    int choice = 0;
    set.fetchChoiceParam("choice")->getValueAtTime(0, choice);
    EXPECT_EQ(choice, 3);
    double amount = 0;
    set.fetchDoubleParam("amount")->getValueAtTime(5, amount);
    EXPECT_DOUBLE_EQ(amount, 1.5);

    set.fetchBooleanParam("flag")->setValue(false);
    EXPECT_EQ(hostInstance->params().find("flag")->valueAt(0).asInt(), 0);
    set.fetchDoubleParam("amount")->setEnabled(false);
    EXPECT_EQ(hostInstance->params().find("amount")->properties().getInt(kOfxParamPropEnabled), 0);

    host().faults().failSuiteCall("paramGetValueAtTime", kOfxStatErrMemory);
    EXPECT_THROW(set.fetchDoubleParam("amount")->getValueAtTime(0, amount), std::bad_alloc);
}

}  // namespace
}  // namespace support_wrap
