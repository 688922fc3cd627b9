// The effect as a host sees it after describe and describe-in-context.

#include <algorithm>
#include <set>

#include "ofxGPURender.h"

#include "plugin_fixture.h"

namespace plugin_integration {
namespace {

class Description : public PluginTest {
 protected:
    Effect& contextDescriptor(const char* context) {
        EXPECT_EQ(plugin().describeInContext(context), kOfxStatOK);
        return *plugin().contextDescriptor(context);
    }
    PropertySet& param(Effect& descriptor, const std::string& name) {
        Param* found = descriptor.params().find(name);
        if (!found) throw std::out_of_range("no parameter " + name);
        return found->properties();
    }
};

TEST_F(Description, EffectPropertiesAreThoseHostsRelyOn) {
    PropertySet& props = plugin().descriptor()->properties();
    EXPECT_EQ(loaded->identifier(), "com.velmora.tonemill");
    EXPECT_EQ(loaded->record()->pluginVersionMajor, 2u);
    EXPECT_EQ(loaded->record()->pluginVersionMinor, 4u);
    for (const char* label : {kOfxPropLabel, kOfxPropShortLabel, kOfxPropLongLabel}) {
        EXPECT_EQ(props.getString(label), "Tonemill 2.4");
    }
    EXPECT_EQ(props.getString(kOfxImageEffectPluginPropGrouping), "Chromvale");
    EXPECT_EQ(props.getString(kOfxPropPluginDescription), "Advanced look development and colour management");
    EXPECT_EQ(props.getStrings(kOfxImageEffectPropSupportedContexts),
              (std::vector<std::string>{kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}));
    EXPECT_EQ(props.getStrings(kOfxImageEffectPropSupportedPixelDepths), std::vector<std::string>{kOfxBitDepthFloat});
    EXPECT_EQ(props.getString(kOfxImageEffectPluginRenderThreadSafety), kOfxImageEffectRenderUnsafe);
    const std::map<std::string, int> flags = {
        {kOfxImageEffectPluginPropSingleInstance, 0},     {kOfxImageEffectPluginPropHostFrameThreading, 0},
        {kOfxImageEffectPropSupportsMultiResolution, 0},  {kOfxImageEffectPropSupportsTiles, 1},
        {kOfxImageEffectPropTemporalClipAccess, 1},       {kOfxImageEffectPluginPropFieldRenderTwiceAlways, 0},
        {kOfxImageEffectPropSupportsMultipleClipPARs, 0}, {kOfxImageEffectPropSupportsMultipleClipDepths, 1},
    };
    for (const auto& [name, value] : flags) EXPECT_EQ(props.getInt(name), value) << name;
    EXPECT_EQ(props.getString(kOfxImageEffectPropOpenCLRenderSupported), "true");
    EXPECT_EQ(props.getString(kOfxImageEffectPropMetalRenderSupported), "false");
    // CUDA is offered only by builds that carry the kernel.
    EXPECT_TRUE(
        std::set<std::string>({"true", "false"}).count(props.getString(kOfxImageEffectPropCudaRenderSupported)));
}

TEST_F(Description, ClipsAcceptFloatRgbaInAndRgbaOrAlphaOut) {
    Effect& filter = contextDescriptor(kFilter);
    PropertySet& source = filter.clip(kOfxImageEffectSimpleSourceClipName)->properties();
    EXPECT_EQ(source.getStrings(kOfxImageEffectPropSupportedComponents),
              std::vector<std::string>{kOfxImageComponentRGBA});
    EXPECT_EQ(source.getInt(kOfxImageEffectPropTemporalClipAccess), 0);
    EXPECT_EQ(source.getInt(kOfxImageEffectPropSupportsTiles), 1);
    EXPECT_EQ(source.getInt(kOfxImageClipPropIsMask), 0);
    PropertySet& output = filter.clip(kOfxImageEffectOutputClipName)->properties();
    EXPECT_EQ(output.getStrings(kOfxImageEffectPropSupportedComponents),
              (std::vector<std::string>{kOfxImageComponentRGBA, kOfxImageComponentAlpha}));
    EXPECT_EQ(output.getInt(kOfxImageEffectPropSupportsTiles), 1);
}

TEST_F(Description, ThePageListsEveryParameterButThePostProcessingIntensity) {
    Effect& filter = contextDescriptor(kFilter);
    const auto children = param(filter, "Main").getStrings(kOfxParamPropPageChild);
    ASSERT_EQ(children.size(), 78u);
    std::vector<std::string> defined;
    for (const auto& p : filter.params().params()) {
        if (p->type() != kOfxParamTypePage && p->name() != "postProcessValue") defined.push_back(p->name());
    }
    EXPECT_EQ(children, defined) << "page children follow the definition order";
    EXPECT_EQ(children.front(), "profileGroup");
    EXPECT_EQ(children[std::find(children.begin(), children.end(), "testKorvoOverlayToggle") - children.begin() + 1],
              "outputProfileOptions");
    EXPECT_EQ(param(filter, "postProcessValue").getString(kOfxParamPropParent), "postProcessGroup");
}

TEST_F(Description, SlidersRangesAndTextsAreAsUsersKnowThem) {
    Effect& filter = contextDescriptor(kFilter);
    for (const char* gamut : {"gamutRAdjustValue", "gamutGAdjustValue", "gamutBAdjustValue"}) {
        PropertySet& p = param(filter, gamut);
        EXPECT_EQ(p.getDouble(kOfxParamPropMin), 100.0) << gamut;
        EXPECT_EQ(p.getDouble(kOfxParamPropMax), 0.0) << gamut;
        EXPECT_EQ(p.getDouble(kOfxParamPropDisplayMin), 100.0) << gamut;
        EXPECT_EQ(p.getDouble(kOfxParamPropDisplayMax), 0.0) << gamut;
        EXPECT_EQ(p.getDouble(kOfxParamPropDefault), 100.0) << gamut;
    }
    PropertySet& temperature = param(filter, "temperature");
    EXPECT_EQ(temperature.getString(kOfxPropLabel), "Temperature");
    EXPECT_EQ(temperature.getString(kOfxParamPropHint), "temperature");
    EXPECT_EQ(temperature.getDouble(kOfxParamPropMin), -1500.0);
    EXPECT_EQ(temperature.getDouble(kOfxParamPropIncrement), 0.1);
    EXPECT_EQ(temperature.getString(kOfxParamPropDoubleType), kOfxParamDoubleTypeScale);
    EXPECT_EQ(param(filter, "lift").getString(kOfxPropLongLabel), "Lift");
    EXPECT_EQ(param(filter, "lift").getString(kOfxParamPropHint), "Lift All");
    EXPECT_EQ(param(filter, "gamma").getDouble(kOfxParamPropMin), 0.1);
    EXPECT_EQ(param(filter, "versionButton").getString(kOfxPropLabel), "Version 2.4.2");
    EXPECT_EQ(param(filter, "versionButton").getString(kOfxParamPropHint), "Version 2.4.2");
    EXPECT_EQ(param(filter, "helpButton").getString(kOfxPropLabel), "Show help");
    EXPECT_EQ(param(filter, "helpButton").getString(kOfxParamPropHint), "Show Help");
    EXPECT_EQ(param(filter, "testKorvoOverlayToggle").getString(kOfxParamPropScriptName), "testKorvoOverlayToggle");
}

TEST_F(Description, ChoicesListTheirOptionsWithoutTouchingTheHint) {
    Effect& filter = contextDescriptor(kFilter);
    const std::map<std::string, size_t> counts = {{"idtProfile", 39},
                                                  {"outputProfileOptions", 21},
                                                  {"colorPaletteAOptions", 5},
                                                  {"colorPaletteNegativeSelections", 14},
                                                  {"colorPaletteNegativeGEN2Selections", 9},
                                                  {"colorPaletteMajorSelections", 11},
                                                  {"colorPaletteMinorSelections", 10},
                                                  {"contrastOptions", 13},
                                                  {"colorPaletteBOptions", 14},
                                                  {"postProcessOptions", 2}};
    for (const auto& [name, count] : counts) {
        PropertySet& p = param(filter, name);
        EXPECT_EQ(p.getStrings(kOfxParamPropChoiceOption).size(), count) << name;
        EXPECT_EQ(p.getString(kOfxParamPropHint), p.getString(kOfxPropLabel)) << name;
        EXPECT_EQ(p.getInt(kOfxParamPropDefault), name == "outputProfileOptions" ? 16 : 0) << name;
    }
    PropertySet& output = param(filter, "outputProfileOptions");
    EXPECT_EQ(output.getString(kOfxParamPropChoiceOption, 16), "REC709 ODT");
    EXPECT_EQ(output.getString(kOfxParamPropParent), "profileGroup");
    EXPECT_EQ(param(filter, "colorPaletteNegativeSelections").getString(kOfxParamPropChoiceOption, 2),
              "Fuji Eterna 8543  Vivid");
    EXPECT_EQ(param(filter, "contrastOptions").getString(kOfxParamPropChoiceOption, 12), "S3");
}

TEST_F(Description, DescribedStatesStartTheInterfaceAsReleased) {
    Effect& filter = contextDescriptor(kFilter);
    const std::map<std::string, int> enabled = {{"colorPaletteNegativeGEN2Selections", 0},
                                                {"colorPaletteNegativeSelections", 0},
                                                {"colorPaletteMajorSelections", 0},
                                                {"colorPaletteMinorSelections", 1},
                                                {"colorPaletteBOptions", 1},
                                                {"postProcessOptions", 1},
                                                {"export33LUTButton", 0},
                                                {"export65LUTButton", 0}};
    for (const auto& [name, value] : enabled)
        EXPECT_EQ(param(filter, name).getInt(kOfxParamPropEnabled), value) << name;
    EXPECT_EQ(param(filter, "profileGroup").getInt(kOfxParamPropGroupOpen), 1);
    EXPECT_EQ(param(filter, "saturationGroup").getInt(kOfxParamPropGroupOpen), 1);
    EXPECT_EQ(param(filter, "gamutGroup").getInt(kOfxParamPropGroupOpen), 0);
    EXPECT_EQ(param(filter, "postProcessGroup").getInt(kOfxParamPropGroupOpen), 0);
}

TEST_F(Description, FilterAndGeneralContextsAreIdentical) {
    Effect& filter = contextDescriptor(kFilter);
    Effect& general = contextDescriptor(kGeneral);
    ASSERT_EQ(filter.params().params().size(), general.params().params().size());
    for (size_t i = 0; i < filter.params().params().size(); ++i) {
        const Param& a = *filter.params().params()[i];
        const Param& b = *general.params().params()[i];
        ASSERT_EQ(a.name(), b.name());
        for (const auto& name : a.properties().names()) {
            const auto type = a.properties().typeOf(name);
            if (type == PropertyType::String) {
                EXPECT_EQ(a.properties().getStrings(name), b.properties().getStrings(name)) << a.name() << " " << name;
            } else if (type == PropertyType::Int) {
                EXPECT_EQ(a.properties().getInts(name), b.properties().getInts(name)) << a.name() << " " << name;
            } else if (type == PropertyType::Double) {
                EXPECT_EQ(a.properties().getDoubles(name), b.properties().getDoubles(name)) << a.name() << " " << name;
            }
        }
    }
    ASSERT_EQ(filter.clips().size(), general.clips().size());
}

}  // namespace
}  // namespace plugin_integration
