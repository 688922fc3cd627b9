#include <gtest/gtest.h>

#include "host/property_set.h"
#include "ofxImageEffect.h"
#include "suite_access.h"

using namespace tonemill::host;

namespace {

class PropertySuite : public ::testing::Test {
 protected:
    Host host;
    const OfxPropertySuiteV1& suite = fetch<OfxPropertySuiteV1>(host, kOfxPropertySuite);
    PropertySet set{"test set"};
    OfxPropertySetHandle h = set.handle();
};

TEST_F(PropertySuite, ValuesKeepTheirTypeAndIndex) {
    set.defineInt("i", {1, 2});
    set.defineDouble("d", {0.5});
    set.defineString("s", {"a", "b", "c"});
    set.definePointer("p", {nullptr});

    EXPECT_EQ(suite.propSetInt(h, "i", 1, 7), kOfxStatOK);
    int i = 0;
    EXPECT_EQ(suite.propGetInt(h, "i", 1, &i), kOfxStatOK);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(suite.propGetInt(h, "i", 2, &i), kOfxStatErrBadIndex);
    EXPECT_EQ(suite.propGetInt(h, "i", -1, &i), kOfxStatErrBadIndex);

    // A wrong type is refused in both directions, and leaves the value alone.
    double d = 0;
    EXPECT_EQ(suite.propGetDouble(h, "i", 0, &d), kOfxStatErrValue);
    EXPECT_EQ(suite.propSetInt(h, "d", 0, 3), kOfxStatErrValue);
    EXPECT_EQ(set.getDouble("d"), 0.5);

    char* text = nullptr;
    EXPECT_EQ(suite.propGetString(h, "s", 2, &text), kOfxStatOK);
    EXPECT_STREQ(text, "c");
    char* texts[3] = {};
    EXPECT_EQ(suite.propGetStringN(h, "s", 3, texts), kOfxStatOK);
    EXPECT_STREQ(texts[0], "a");
    EXPECT_EQ(suite.propGetStringN(h, "s", 4, texts), kOfxStatErrBadIndex);

    int marker = 0;
    EXPECT_EQ(suite.propSetPointer(h, "p", 0, &marker), kOfxStatOK);
    void* p = nullptr;
    EXPECT_EQ(suite.propGetPointer(h, "p", 0, &p), kOfxStatOK);
    EXPECT_EQ(p, &marker);

    int dimension = 0;
    EXPECT_EQ(suite.propGetDimension(h, "s", &dimension), kOfxStatOK);
    EXPECT_EQ(dimension, 3);
}

TEST_F(PropertySuite, StrictSetsRefuseUnknownNamesAndLooseOnesCreateThem) {
    int value = 0;
    EXPECT_EQ(suite.propSetInt(h, "OfxNoSuchProperty", 0, 1), kOfxStatErrUnknown);
    EXPECT_EQ(suite.propGetInt(h, "OfxNoSuchProperty", 0, &value), kOfxStatErrUnknown);
    EXPECT_FALSE(set.has("OfxNoSuchProperty"));

    PropertySet loose("loose", false);
    EXPECT_EQ(suite.propSetInt(loose.handle(), "x", 0, 4), kOfxStatOK);
    EXPECT_EQ(loose.getInt("x"), 4);
    EXPECT_EQ(suite.propSetInt(loose.handle(), "y", 3, 4), kOfxStatErrBadIndex);
}

TEST_F(PropertySuite, OnlyVariableDimensionsGrowAndReadOnlyPropertiesStayPut) {
    set.defineString("list", {"a", "b"}, PropertyOptions{true, false});
    set.defineDouble("pair", {1, 2});
    set.defineInt("fixed", {5}, PropertyOptions{false, true});

    EXPECT_EQ(suite.propSetString(h, "list", 2, "c"), kOfxStatOK);  // append at the dimension
    EXPECT_EQ(suite.propSetString(h, "list", 4, "e"), kOfxStatErrBadIndex);
    EXPECT_EQ(set.getStrings("list"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(suite.propSetDouble(h, "pair", 2, 3.0), kOfxStatErrBadIndex);

    const double three[3] = {7, 8, 9};
    EXPECT_EQ(suite.propSetDoubleN(h, "pair", 3, three), kOfxStatErrBadIndex);
    EXPECT_EQ(suite.propSetDoubleN(h, "pair", 1, three), kOfxStatOK);
    EXPECT_EQ(set.getDoubles("pair"), (std::vector<double>{7, 2}));
    const char* one[1] = {"z"};
    EXPECT_EQ(suite.propSetStringN(h, "list", 1, one), kOfxStatOK);
    EXPECT_EQ(set.dimension("list"), 1);

    EXPECT_EQ(suite.propSetInt(h, "fixed", 0, 6), kOfxStatErrValue);
    EXPECT_EQ(suite.propReset(h, "fixed"), kOfxStatErrValue);
    EXPECT_EQ(set.getInt("fixed"), 5);
    EXPECT_EQ(suite.propReset(h, "list"), kOfxStatOK);
    EXPECT_EQ(set.getStrings("list"), (std::vector<std::string>{"a", "b"}));
}

TEST_F(PropertySuite, BadHandlesAndNullArgumentsAreRefusedNotFollowed) {
    int value = 0;
    EXPECT_EQ(suite.propGetInt(nullptr, "i", 0, &value), kOfxStatErrBadHandle);
    int notASet[8] = {};
    EXPECT_EQ(suite.propGetInt(reinterpret_cast<OfxPropertySetHandle>(notASet), "i", 0, &value), kOfxStatErrBadHandle);
    set.defineInt("i", {1});
    EXPECT_EQ(suite.propGetInt(h, "i", 0, nullptr), kOfxStatErrBadHandle);
    EXPECT_EQ(suite.propGetInt(h, nullptr, 0, &value), kOfxStatErrUnknown);
    set.defineString("s", {""});
    EXPECT_EQ(suite.propSetString(h, "s", 0, nullptr), kOfxStatOK);
    EXPECT_EQ(set.getString("s"), "");
}

TEST_F(PropertySuite, PlannedFaultsAnswerInsteadOfTheSet) {
    set.defineInt(kOfxImageEffectPropSupportsTiles, {1});
    set.defineString(kOfxPropName, {"named"});
    host.faults().failPropertyGet(kOfxImageEffectPropSupportsTiles, kOfxStatErrUnknown);
    host.faults().failPropertySet(kOfxPropName, kOfxStatErrBadIndex);
    host.faults().nullStringProperties.insert(kOfxPropName);

    int value = 0;
    int dimension = 0;
    EXPECT_EQ(suite.propGetInt(h, kOfxImageEffectPropSupportsTiles, 0, &value), kOfxStatErrUnknown);
    EXPECT_EQ(suite.propGetDimension(h, kOfxImageEffectPropSupportsTiles, &dimension), kOfxStatErrUnknown);
    EXPECT_EQ(suite.propSetInt(h, kOfxImageEffectPropSupportsTiles, 0, 0), kOfxStatOK);
    EXPECT_EQ(suite.propSetString(h, kOfxPropName, 0, "other"), kOfxStatErrBadIndex);
    char* text = const_cast<char*>("not null");
    EXPECT_EQ(suite.propGetString(h, kOfxPropName, 0, &text), kOfxStatOK);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(set.getString(kOfxPropName), "named");
}

TEST(HostPropertySet, HostSideMisuseThrowsAndCopiesAreIndependent) {
    PropertySet set("host side");
    set.set("n", 3);
    set.set("n", 4, 1);
    EXPECT_THROW(set.set("n", 5, 3), std::logic_error);
    EXPECT_THROW(set.getDouble("n"), std::logic_error);
    EXPECT_THROW(set.getInt("missing"), std::logic_error);

    PropertySet copy = set;
    copy.set("n", 9);
    EXPECT_EQ(set.getInt("n"), 3);
    EXPECT_NE(PropertySet::fromHandle(copy.handle()), nullptr);
}

}  // namespace
