#include <gtest/gtest.h>

#include "host/param.h"
#include "ofxParam.h"
#include "suite_access.h"

using namespace tonemill::host;

namespace {

class ParameterSuite : public ::testing::Test {
 protected:
    Host host;
    const OfxParameterSuiteV1& suite = fetch<OfxParameterSuiteV1>(host, kOfxParameterSuite);
    const OfxPropertySuiteV1& props = fetch<OfxPropertySuiteV1>(host, kOfxPropertySuite);
    ParamSet descriptors;

    OfxPropertySetHandle define(const char* type, const char* name) {
        OfxPropertySetHandle p = nullptr;
        EXPECT_EQ(suite.paramDefine(descriptors.handle(), type, name, &p), kOfxStatOK);
        return p;
    }
    static OfxParamHandle handle(ParamSet& set, const char* name) {
        OfxParamHandle param = nullptr;
        OfxPropertySetHandle p = nullptr;
        EXPECT_EQ(fetch<OfxParameterSuiteV1>(*Host::active(), kOfxParameterSuite)
                      .paramGetHandle(set.handle(), name, &param, &p),
                  kOfxStatOK);
        return param;
    }
};

TEST_F(ParameterSuite, DefinitionsRefuseDuplicatesAndUnknownTypes) {
    define(kOfxParamTypeDouble, "x");
    OfxPropertySetHandle p;
    EXPECT_EQ(suite.paramDefine(descriptors.handle(), kOfxParamTypeBoolean, "x", &p), kOfxStatErrExists);
    EXPECT_EQ(suite.paramDefine(descriptors.handle(), "OfxParamTypeNothing", "y", &p), kOfxStatErrUnknown);
    OfxParamHandle param;
    EXPECT_EQ(suite.paramGetHandle(descriptors.handle(), "missing", &param, &p), kOfxStatErrUnknown);
    EXPECT_EQ(suite.paramDefine(nullptr, kOfxParamTypeDouble, "z", &p), kOfxStatErrBadHandle);
}

TEST_F(ParameterSuite, InstancesStartAtTheDefaultsTheDescriptorsWereGiven) {
    props.propSetDouble(define(kOfxParamTypeDouble, "gain"), kOfxParamPropDefault, 0, 2.5);
    props.propSetInt(define(kOfxParamTypeBoolean, "flag"), kOfxParamPropDefault, 0, 1);
    const double xy[2] = {0.25, 0.75};
    props.propSetDoubleN(define(kOfxParamTypeDouble2D, "point"), kOfxParamPropDefault, 2, xy);
    props.propSetString(define(kOfxParamTypeString, "text"), kOfxParamPropDefault, 0, "abc");
    OfxPropertySetHandle choice = define(kOfxParamTypeChoice, "choice");
    props.propSetString(choice, kOfxParamPropChoiceOption, 0, "one");
    props.propSetString(choice, kOfxParamPropChoiceOption, 1, "two");
    define(kOfxParamTypePushButton, "press");

    auto instance = descriptors.instantiate();
    double gain = 0;
    EXPECT_EQ(suite.paramGetValueAtTime(handle(*instance, "gain"), 3.0, &gain), kOfxStatOK);
    EXPECT_EQ(gain, 2.5);
    int flag = 0;
    EXPECT_EQ(suite.paramGetValue(handle(*instance, "flag"), &flag), kOfxStatOK);
    EXPECT_EQ(flag, 1);
    double x = 0, y = 0;
    EXPECT_EQ(suite.paramGetValueAtTime(handle(*instance, "point"), 0.0, &x, &y), kOfxStatOK);
    EXPECT_EQ(x, 0.25);
    EXPECT_EQ(y, 0.75);
    char* text = nullptr;
    EXPECT_EQ(suite.paramGetValue(handle(*instance, "text"), &text), kOfxStatOK);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(instance->find("choice")->properties().dimension(kOfxParamPropChoiceOption), 2);
    // A push button has no value to read.
    EXPECT_EQ(suite.paramGetValue(handle(*instance, "press"), &flag), kOfxStatErrUnsupported);
    // Instances are copies: changing one leaves the descriptor alone.
    instance->find("gain")->setValue(1.0);
    EXPECT_EQ(descriptors.find("gain")->valueAt(0).asDouble(), 0.0);
}

TEST_F(ParameterSuite, PlugInWritesReachTheValueAndTheOwner) {
    define(kOfxParamTypeInteger3D, "triple");
    define(kOfxParamTypeDouble, "level");
    define(kOfxParamTypeString, "name");
    std::vector<std::string> edited;
    descriptors.onPluginEdit = [&](Param& p) { edited.push_back(p.name()); };

    EXPECT_EQ(suite.paramSetValue(handle(descriptors, "triple"), 1, 2, 3), kOfxStatOK);
    EXPECT_EQ(suite.paramSetValue(handle(descriptors, "level"), 0.5), kOfxStatOK);
    EXPECT_EQ(suite.paramSetValue(handle(descriptors, "name"), "tonemill"), kOfxStatOK);
    EXPECT_EQ(descriptors.find("triple")->valueAt(0), ParamValue({1, 2, 3}));
    EXPECT_EQ(descriptors.find("level")->valueAt(0).asDouble(), 0.5);
    EXPECT_EQ(descriptors.find("name")->valueAt(0).text, "tonemill");
    EXPECT_EQ(edited, (std::vector<std::string>{"triple", "level", "name"}));
}

TEST_F(ParameterSuite, KeysInterpolateNumbersAndStepChoices) {
    define(kOfxParamTypeDouble, "ramp");
    define(kOfxParamTypeChoice, "pick");
    OfxParamHandle ramp = handle(descriptors, "ramp");
    OfxParamHandle pick = handle(descriptors, "pick");
    suite.paramSetValueAtTime(ramp, 0.0, 0.0);
    suite.paramSetValueAtTime(ramp, 10.0, 5.0);
    suite.paramSetValueAtTime(pick, 0.0, 1);
    suite.paramSetValueAtTime(pick, 10.0, 3);

    double value = 0;
    suite.paramGetValueAtTime(ramp, 4.0, &value);
    EXPECT_DOUBLE_EQ(value, 2.0);
    suite.paramGetValueAtTime(ramp, 20.0, &value);
    EXPECT_DOUBLE_EQ(value, 5.0);
    suite.paramGetDerivative(ramp, 4.0, &value);
    EXPECT_DOUBLE_EQ(value, 0.5);
    suite.paramGetIntegral(ramp, 0.0, 10.0, &value);
    EXPECT_DOUBLE_EQ(value, 25.0);
    int choice = 0;
    suite.paramGetValueAtTime(pick, 9.0, &choice);
    EXPECT_EQ(choice, 1);

    unsigned keys = 0;
    EXPECT_EQ(suite.paramGetNumKeys(ramp, &keys), kOfxStatOK);
    EXPECT_EQ(keys, 2u);
    int index = -1;
    EXPECT_EQ(suite.paramGetKeyIndex(ramp, 5.0, 1, &index), kOfxStatOK);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(suite.paramGetKeyIndex(ramp, 5.0, 0, &index), kOfxStatFailed);
    EXPECT_EQ(suite.paramDeleteKey(ramp, 5.0), kOfxStatErrBadIndex);
    EXPECT_EQ(suite.paramDeleteAllKeys(ramp), kOfxStatOK);
    EXPECT_EQ(suite.paramGetNumKeys(ramp, &keys), kOfxStatOK);
    EXPECT_EQ(keys, 0u);
}

TEST_F(ParameterSuite, PlannedFaultsAnswerForTheNamedCall) {
    define(kOfxParamTypeBoolean, "flag");
    host.faults().failSuiteCall("paramGetValueAtTime", kOfxStatErrMemory);
    int flag = 7;
    EXPECT_EQ(suite.paramGetValueAtTime(handle(descriptors, "flag"), 0.0, &flag), kOfxStatErrMemory);
    EXPECT_EQ(flag, 7);
    EXPECT_EQ(suite.paramGetValue(handle(descriptors, "flag"), &flag), kOfxStatOK);
}

}  // namespace
