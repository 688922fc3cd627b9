// The bundle the build assembles, with its generated archive and test images.

#include <unistd.h>

#include "plugin_fixture.h"

namespace plugin_integration {
namespace {

TEST(BuiltBundle, RendersItsDefaultLookAndShowsItsTestImagesWithoutAnError) {
    const std::string log =
        (std::filesystem::temp_directory_path() / ("tonemill-built-bundle-" + std::to_string(::getpid()) + ".log"))
            .string();
    ::setenv("OFX_PLUGIN_LOGFILE", log.c_str(), 1);
    {
        Host host;
        Plugin& plugin = host.openBundle(TONEMILL_BUNDLE_DIR).plugin(0);
        ASSERT_EQ(plugin.load(), kOfxStatOK);
        ASSERT_EQ(plugin.describe(), kOfxStatOK);
        auto instance = plugin.createInstance(kFilter);
        ASSERT_TRUE(instance);
        auto source = HostImage::rgbaFloat({0, 0, 32, 16});
        source->fill([](int x, int y) { return RgbaPixel{0.03f * float(x), 0.06f * float(y), 0.4f, 1.0f}; });
        instance->setImage(kOfxImageEffectSimpleSourceClipName, source);

        const RenderResult graded = instance->render(renderOf({0, 0, 32, 16}));
        ASSERT_EQ(graded.status, kOfxStatOK);
        for (const char* toggle : {"testRampToggle", "testSatToggle", "testToneToggle", "testKorvoLUTToggle"}) {
            instance->setValue(toggle, true);
            const RenderResult view = instance->render(renderOf({0, 0, 32, 16}));
            instance->setValue(toggle, false);
            ASSERT_EQ(view.status, kOfxStatOK) << toggle;
            bool changed = false;
            for (int y = 0; y < 16 && !changed; ++y)
                for (int x = 0; x < 32 && !changed; ++x)
                    changed = view.output->pixel(x, y) != graded.output->pixel(x, y);
            EXPECT_TRUE(changed) << toggle << " shows nothing";
        }
        instance.reset();
        EXPECT_EQ(plugin.unload(), kOfxStatOK);
    }
    ::unsetenv("OFX_PLUGIN_LOGFILE");
    std::ifstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        // A clean life, on a machine with or without GPU drivers, leaves no error
        // line to send a user hunting for a fault.
        for (const char* failure : {"ERROR", "loading error", "decoder error", "test image", "Unable to load"}) {
            EXPECT_EQ(line.find(failure), std::string::npos) << line;
        }
    }
    std::filesystem::remove(log);
}

}  // namespace
}  // namespace plugin_integration
