#include <gtest/gtest.h>
#include <lodepng.h>

#include <fstream>

#include "plugin/bundle_path.h"
#include "plugin/test_image_store.h"
#include "scratch_bundle.h"

namespace ChromvaleBeta2 {
namespace {

using testing::ScratchBundle;

constexpr unsigned W = kTestImageWidth, H = kTestImageHeight;

// Red in the top PNG row, blue in the bottom one, grey between.
std::vector<unsigned char> topRedBottomBlue() {
    std::vector<unsigned char> rgba(size_t(W) * H * 4, 128);
    for (unsigned x = 0; x < W; ++x) {
        unsigned char* top = &rgba[size_t(x) * 4];
        unsigned char* bottom = &rgba[(size_t(H - 1) * W + x) * 4];
        top[0] = 255, top[1] = 0, top[2] = 0, top[3] = 255;
        bottom[0] = 0, bottom[1] = 0, bottom[2] = 255, bottom[3] = 255;
    }
    return rgba;
}

class TestImageLoading : public ::testing::Test {
 protected:
    std::string path(const std::string& file) const { return (bundle.resources() / file).string(); }
    ScratchBundle bundle{"unit"};
    std::vector<unsigned char> buffer{1, 2, 3};  // stands for what the store held before
};

TEST_F(TestImageLoading, RowsAreKeptBottomUpSoTheImageIsUpright) {
    bundle.writePng("upright.png", W, H, topRedBottomBlue());
    ASSERT_TRUE(loadTestImage(buffer, path("upright.png")));
    ASSERT_EQ(buffer.size(), size_t(W) * H * 4);
    // Row 0 of an OpenFX image is the bottom of the frame.
    EXPECT_EQ(buffer[2], 255) << "bottom row should be blue";
    EXPECT_EQ(buffer[0], 0);
    const size_t lastRow = size_t(H - 1) * W * 4;
    EXPECT_EQ(buffer[lastRow + 0], 255) << "top row should be red";
    EXPECT_EQ(buffer[lastRow + 2], 0);
}

TEST_F(TestImageLoading, AGreyscalePngDecodesToRgba) {
    std::vector<unsigned char> grey(size_t(W) * H, 77);
    ASSERT_EQ(lodepng::encode(path("grey.png"), grey, W, H, LCT_GREY, 8), 0u);
    ASSERT_TRUE(loadTestImage(buffer, path("grey.png")));
    ASSERT_EQ(buffer.size(), size_t(W) * H * 4);
    EXPECT_EQ((std::vector<unsigned char>(buffer.begin(), buffer.begin() + 4)),
              (std::vector<unsigned char>{77, 77, 77, 255}));
}

TEST_F(TestImageLoading, FailuresLeaveTheBufferAsItWas) {
    bundle.writePng("small.png", 64, 32, std::vector<unsigned char>(64 * 32 * 4, 9));
    std::ofstream(path("garbage.png")) << "not a png";
    for (const char* file : {"missing.png", "garbage.png", "small.png"}) {
        EXPECT_FALSE(loadTestImage(buffer, path(file))) << file;
        EXPECT_EQ(buffer, (std::vector<unsigned char>{1, 2, 3})) << file;
    }
}

// The store is process-wide; this is the only test that fills it.
TEST(TestImageStore, ImagesLoadOnceAndStayPutWhileMissingOnesAreRetried) {
    ScratchBundle bundle{"unit"};
    bundlePath = bundle.root().string();
    const auto picture = topRedBottomBlue();
    for (auto id : {TestImageId::LightnessRamp, TestImageId::SaturationRamp, TestImageId::ZoneGuide}) {
        bundle.writePng(testImageFile(id), W, H, picture);
    }
    loadTestImages();
    const TestImageBytes ramp = testImageBytes(TestImageId::LightnessRamp);
    EXPECT_EQ(ramp.size, 8'294'400u);
    EXPECT_EQ(testImageBytes(TestImageId::ToneMap).size, 0u);

    // A render may still read the first buffer: a second instance must not
    // replace it, even when the file changed on disk.
    bundle.writePng(testImageFile(TestImageId::LightnessRamp), W, H, std::vector<unsigned char>(W * H * 4, 1));
    bundle.writePng(testImageFile(TestImageId::ToneMap), W, H, picture);
    loadTestImages();
    const TestImageBytes again = testImageBytes(TestImageId::LightnessRamp);
    EXPECT_EQ(again.data, ramp.data);
    EXPECT_EQ(again.size, 8'294'400u);
    EXPECT_EQ(again.data[2], 255);
    EXPECT_EQ(testImageBytes(TestImageId::ToneMap).size, 8'294'400u);
}

}  // namespace
}  // namespace ChromvaleBeta2
