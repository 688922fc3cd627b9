// The instance's reactions: enabled states, the identity answer, the help
// button and the buttons that do nothing.

#include <chrono>
#include <filesystem>
#include <thread>

#include "look_tables.h"
#include "plugin_fixture.h"

namespace plugin_integration {
namespace {

const std::vector<std::string> kDependentParams = {"colorPaletteAIntensity",
                                                   "colorPaletteBIntensity",
                                                   "colorPaletteNegativeSelections",
                                                   "colorPaletteNegativeGEN2Selections",
                                                   "colorPaletteMajorSelections",
                                                   "colorPaletteMinorSelections",
                                                   "contrastIntensity"};

class InstanceBehaviour : public PluginTest {
 protected:
    void SetUp() override { bundle.writeArchive(lookTables()); }

    // Runs a gathering of the values, as every identity test does.
    IdentityResult identity(Instance& instance, double time = 0) {
        RenderRequest request = renderOf({0, 0, 8, 8});
        request.time = time;
        return instance.isIdentity(request);
    }

    std::map<std::string, bool> enabledStates(Instance& instance) {
        std::map<std::string, bool> states;
        for (const auto& p : instance.effect().params().params()) {
            if (p->properties().has(kOfxParamPropEnabled)) states[p->name()] = instance.enabled(p->name());
        }
        return states;
    }
};

TEST_F(InstanceBehaviour, ANewInstanceEnablesOnlyWhatItsChoicesDrive) {
    auto instance = create();
    for (const auto& name : kDependentParams) EXPECT_FALSE(instance->enabled(name)) << name;
    EXPECT_TRUE(instance->enabled("export33LUTButton"));
    EXPECT_TRUE(instance->enabled("export65LUTButton"));
}

TEST_F(InstanceBehaviour, ThePaletteOptionEnablesItsOneStockList) {
    auto instance = create(kGeneral);
    instance->changeParam("colorPaletteAOptions", 3);
    EXPECT_TRUE(instance->enabled("colorPaletteMajorSelections"));
    EXPECT_TRUE(instance->enabled("colorPaletteAIntensity"));
    instance->setValue("colorPaletteMajorSelections", 5);

    instance->changeParam("colorPaletteAOptions", 4);
    EXPECT_FALSE(instance->enabled("colorPaletteMajorSelections"));
    EXPECT_TRUE(instance->enabled("colorPaletteMinorSelections"));
    EXPECT_EQ(instance->value("colorPaletteMajorSelections").asInt(), 5);

    instance->setValue("printToggle", true);
    instance->changeParam("contrastOptions", 2);
    EXPECT_TRUE(instance->enabled("contrastIntensity")) << "a bypassed print stage keeps its contrast slider";
    instance->changeParam("colorPaletteBOptions", 1);
    EXPECT_TRUE(instance->enabled("colorPaletteBIntensity"));
}

TEST_F(InstanceBehaviour, TheVersionButtonChangesNothing) {
    auto instance = create();
    const auto before = enabledStates(*instance);
    EXPECT_EQ(instance->pressButton("versionButton"), kOfxStatReplyDefault);
    EXPECT_EQ(enabledStates(*instance), before);
    EXPECT_TRUE(instance->pluginEdits().empty());
}

TEST_F(InstanceBehaviour, IdentityIgnoresTheStagesOutsideItsList) {
    auto instance = create();
    EXPECT_EQ(identity(*instance).status, kOfxStatReplyDefault) << "the default output profile grades";

    instance->setValue("outputProfileOptions", 0);
    instance->setValue("CMYAmount", 1.3);
    instance->setValue("PushPullLight", 0.5);
    instance->setValue("testToneToggle", true);
    const IdentityResult neutral = identity(*instance, 12);
    EXPECT_EQ(neutral.status, kOfxStatOK);
    EXPECT_EQ(neutral.clip, kOfxImageEffectSimpleSourceClipName);
    EXPECT_EQ(neutral.time, 12);

    instance->setValue("liftB", 0.01);
    EXPECT_EQ(identity(*instance).status, kOfxStatReplyDefault);
}

TEST_F(InstanceBehaviour, TestTogglesExcludeEachOtherThroughTheirEnabledStates) {
    auto instance = create();
    instance->changeParam("testRampToggle", true);
    instance->changeParam("testSatToggle", true);
    EXPECT_TRUE(instance->enabled("testRampToggle"));
    for (const char* other : {"testSatToggle", "testToneToggle", "testKorvoLUTToggle", "testKorvoOverlayToggle"}) {
        EXPECT_FALSE(instance->enabled(other)) << other;
    }
    EXPECT_TRUE(instance->value("testSatToggle").asBool()) << "values already on stay on";
}

TEST_F(InstanceBehaviour, TheGuideNeedsTheZoneChartAndTheZoneChartLocksExport) {
    auto instance = create();
    EXPECT_FALSE(instance->enabled("testKorvoOverlayToggle"));
    instance->changeParam("testKorvoOverlayToggle", true);
    EXPECT_FALSE(instance->enabled("testKorvoOverlayToggle"));
    EXPECT_FALSE(instance->value("testKorvoOverlayToggle").asBool());
    EXPECT_EQ(instance->pluginEdits(), std::vector<std::string>{"testKorvoOverlayToggle"});

    instance->changeParam("testKorvoLUTToggle", true);
    EXPECT_TRUE(instance->enabled("testKorvoOverlayToggle"));
    EXPECT_FALSE(instance->enabled("testRampToggle"));
    EXPECT_FALSE(instance->enabled("export33LUTButton"));
    EXPECT_FALSE(instance->enabled("export65LUTButton"));

    instance->changeParam("testKorvoLUTToggle", false);
    EXPECT_TRUE(instance->enabled("export33LUTButton"));
    EXPECT_TRUE(instance->enabled("export65LUTButton"));
    EXPECT_TRUE(instance->enabled("testRampToggle"));
}

TEST_F(InstanceBehaviour, RendersAndIdentityChangeNeitherValuesNorEnabledStates) {
    auto instance = create();
    // Set quietly, as a project file restores them: no instance-changed follows.
    instance->setValue("testKorvoOverlayToggle", true);
    instance->setValue("testKorvoLUTToggle", true);
    const auto before = enabledStates(*instance);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, HostImage::rgbaFloat({0, 0, 8, 8}));
    EXPECT_EQ(identity(*instance).status, kOfxStatReplyDefault);
    EXPECT_EQ(instance->render(renderOf({0, 0, 8, 8})).status, kOfxStatOK);
    instance->setValue("testKorvoLUTToggle", false);
    EXPECT_EQ(instance->render(renderOf({0, 0, 8, 8})).status, kOfxStatOK);
    EXPECT_EQ(enabledStates(*instance), before);
    EXPECT_TRUE(instance->value("testKorvoOverlayToggle").asBool());
    EXPECT_TRUE(instance->writesWhileRendering().empty());
    EXPECT_TRUE(instance->pluginEdits().empty());
}

TEST_F(InstanceBehaviour, HelpOpensTheBundledPageWithoutAShell) {
    // A stand-in for the desktop's opener records the arguments it was given.
    const std::filesystem::path bin = bundle.root().parent_path() / "bin";
    const std::filesystem::path record = bin / "opened.txt";
    std::filesystem::create_directories(bin);
    {
        std::ofstream script(bin / "xdg-open");
        script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"" << record.string() << ".part\"\n"
               << "mv \"" << record.string() << ".part\" \"" << record.string() << "\"\n";
    }
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (bin.string() + ":" + path).c_str(), 1);

    auto instance = create();
    const OfxStatus status = instance->pressButton("helpButton");
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(status, kOfxStatReplyDefault);

    for (int waited = 0; waited < 100 && !std::filesystem::exists(record); ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream opened(record);
    std::string count, page;
    std::getline(opened, count);
    std::getline(opened, page);
    EXPECT_EQ(count, "1") << "the page path, spaces and all, is one argument";
    EXPECT_EQ(page, (bundle.resources() / "help.html").string());
}

}  // namespace
}  // namespace plugin_integration
