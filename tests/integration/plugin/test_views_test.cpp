// The test images, the zone chart and its guide on the CPU render.

#include <filesystem>

#include "look_tables.h"
#include "plugin_fixture.h"

namespace plugin_integration {
namespace {

namespace fs = std::filesystem;

constexpr unsigned W = 1920, H = 1080;
// Blue bytes that tell the three test images apart.
constexpr unsigned char kRampBlue = 10, kSatBlue = 20, kToneBlue = 30;

// PNG rows run top first: row r of the file is frame row H - 1 - r.
std::vector<unsigned char> pictureWithBlue(unsigned char blue) {
    std::vector<unsigned char> rgba(size_t(W) * H * 4);
    for (unsigned row = 0; row < H; ++row)
        for (unsigned col = 0; col < W; ++col) {
            unsigned char* p = &rgba[(size_t(row) * W + col) * 4];
            p[0] = static_cast<unsigned char>(col % 251), p[1] = static_cast<unsigned char>(row % 241);
            p[2] = blue, p[3] = 255;
        }
    return rgba;
}

// Opaque only in the top-left 8 x 4 pixels; transparent pixels carry colour
// that must not show.
std::vector<unsigned char> guidePicture() {
    std::vector<unsigned char> rgba(size_t(W) * H * 4, 9);
    for (unsigned row = 0; row < H; ++row)
        for (unsigned col = 0; col < W; ++col) {
            unsigned char* p = &rgba[(size_t(row) * W + col) * 4];
            const bool opaque = col < 8 && row < 4;
            p[0] = 200, p[1] = 100, p[2] = 50, p[3] = opaque ? 255 : 0;
        }
    return rgba;
}

// The four PNGs, encoded once for the whole run.
const fs::path& encodedImages() {
    static const ScratchBundle images("test images");
    static const bool written = [] {
        images.writePng("LightnesRamp.png", W, H, pictureWithBlue(kRampBlue));
        images.writePng("SaturationRamp.png", W, H, pictureWithBlue(kSatBlue));
        images.writePng("tonemap.png", W, H, pictureWithBlue(kToneBlue));
        images.writePng("korvozones.png", W, H, guidePicture());
        return true;
    }();
    static const fs::path folder = written ? images.resources() : fs::path();
    return folder;
}

class TestViews : public PluginTest {
 protected:
    void SetUp() override {
        bundle.writeArchive(lookTables());
        for (const auto& file : fs::directory_iterator(encodedImages())) {
            if (file.path().extension() == ".png" && file.path().filename() != skippedImage) {
                fs::copy_file(file.path(), bundle.resources() / file.path().filename());
            }
        }
    }

    // A neutral look on a frame larger than the test images.
    std::unique_ptr<Instance> neutralInstance() {
        auto instance = create();
        instance->setValue("outputProfileOptions", 0);
        instance->setImage(kOfxImageEffectSimpleSourceClipName, HostImage::rgbaFloat(frame));
        return instance;
    }

    static RgbaPixel imageColour(int x, int y, unsigned char blue) {
        const unsigned col = unsigned(x) % W, row = H - 1 - unsigned(y) % H;
        return {float(col % 251) / 255.0f, float(row % 241) / 255.0f, float(blue) / 255.0f, 0.0f};
    }

    static void expectColour(const RgbaPixel& actual, const RgbaPixel& wanted, int x, int y) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual[c], wanted[c], 1e-5) << "(" << x << ", " << y << ") " << c;
    }

    // Every pixel of `window` against the colour expected there.
    template <class Expected>
    void expectWindow(Instance& instance, OfxRectI window, Expected colourAt) {
        const RenderResult result = instance.render(renderOf(window));
        ASSERT_EQ(result.status, kOfxStatOK);
        for (int y = window.y1; y < window.y2; ++y)
            for (int x = window.x1; x < window.x2; ++x) expectColour(result.output->pixel(x, y), colourAt(x, y), x, y);
    }

    std::string skippedImage;
    const OfxRectI frame{0, 0, 1930, 1090};
    // Straddles the right and top edges of the first tile.
    const OfxRectI seam{1915, 1075, 1925, 1085};
};

TEST_F(TestViews, TestImagesTileUprightAndFollowTheirPriority) {
    auto instance = neutralInstance();
    instance->setValue("testToneToggle", true);
    expectWindow(*instance, seam, [](int x, int y) { return imageColour(x, y, kToneBlue); });

    instance->setValue("testSatToggle", true);
    expectWindow(*instance, seam, [](int x, int y) { return imageColour(x, y, kSatBlue); });

    instance->setValue("testRampToggle", true);
    expectWindow(*instance, {0, 0, 6, 6}, [](int x, int y) { return imageColour(x, y, kRampBlue); });
}

TEST_F(TestViews, TheZoneChartReplacesTheLookAndItsGuideLiesOnTop) {
    auto instance = neutralInstance();
    instance->setValue("testKorvoLUTToggle", true);
    const RgbaPixel zone{0.25f, 0.5f, 0.75f, 0.0f};
    expectWindow(*instance, seam, [&](int, int) { return zone; });

    instance->setValue("testKorvoOverlayToggle", true);
    // The opaque corner of the guide is the top-left of every tile.
    expectWindow(*instance, {0, 1074, 10, 1084}, [&](int x, int y) {
        const bool guide = x < 8 && y % int(H) >= int(H) - 4;
        return guide ? RgbaPixel{200 / 255.0f, 100 / 255.0f, 50 / 255.0f, 0.0f} : zone;
    });
}

class MissingToneMap : public TestViews {
 protected:
    MissingToneMap() { skippedImage = "tonemap.png"; }
};

TEST_F(MissingToneMap, LeavesThePictureAloneAndIsReportedAtEveryCreation) {
    auto first = neutralInstance();
    auto instance = neutralInstance();
    EXPECT_EQ(logCount("ERROR : loading error"), 2);

    auto source = HostImage::rgbaFloat(frame);
    source->fill([](int x, int y) { return RgbaPixel{0.001f * float(x % 500), 0.3f, 0.0005f * float(y), 1.0f}; });
    instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
    instance->setValue("testToneToggle", true);
    expectWindow(*instance, seam, [&](int x, int y) { return source->pixel(x, y); });
}

}  // namespace
}  // namespace plugin_integration
