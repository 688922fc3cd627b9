// The files the portability check writes on one platform and reads on another,
// and the comparison that decides whether two renders agree.

#include "tests/portability/frame_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

namespace tonemill::portability {
namespace {

namespace fs = std::filesystem;

class FrameFilesTest : public ::testing::Test {
 protected:
    FrameFilesTest()
        : folder(fs::temp_directory_path() /
                 ("tonemill-frame-files-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))) {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    ~FrameFilesTest() override { fs::remove_all(folder); }

    fs::path folder;
};

TEST_F(FrameFilesTest, FloatsComeBackBitForBitAndBrokenFilesAreNamed) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> values = {0.0f, -0.125f, 1.0e-30f, 3.4e38f, nan, -0.0f};
    writeFloats(folder / "frame.rgba", values);
    const std::vector<float> back = readFloats(folder / "frame.rgba");
    ASSERT_EQ(back.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(std::signbit(back[i]), std::signbit(values[i])) << i;
    EXPECT_TRUE(std::isnan(back[4]));
    EXPECT_EQ(compareFloats(values, back).largest, 0.0);

    std::ofstream(folder / "torn.rgba", std::ios::binary) << "abcdef";
    try {
        readFloats(folder / "torn.rgba");
        ADD_FAILURE() << "a file of 6 bytes was read as floats";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("torn.rgba"), std::string::npos) << error.what();
    }
    EXPECT_THROW(readFloats(folder / "missing.rgba"), std::runtime_error);
}

TEST_F(FrameFilesTest, AFailedWriteLeavesNoFileAndSaysWhere) {
    const fs::path target = folder / "no-such-folder" / "frame.rgba";
    EXPECT_THROW(writeFloats(target, {1.0f}), std::runtime_error);
    EXPECT_FALSE(fs::exists(target));
}

TEST(CompareFloats, ReportsTheLargestGapAndWhereItIs) {
    const Difference difference = compareFloats({0.5f, 0.25f, 1.0f, 2.0f}, {0.5f, 0.2500001f, 0.9f, 2.0f});
    EXPECT_TRUE(difference.comparable);
    EXPECT_NEAR(difference.largest, 0.1, 1e-6);
    EXPECT_EQ(difference.index, 2u);
}

TEST(CompareFloats, NanOnOneSideIsNeverWithinAnyTolerance) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(std::isinf(compareFloats({1.0f, nan}, {1.0f, 0.0f}).largest));
    EXPECT_TRUE(std::isinf(compareFloats({1.0f, 0.0f}, {1.0f, nan}).largest));
    EXPECT_EQ(compareFloats({nan, infinity}, {nan, infinity}).largest, 0.0);
    EXPECT_TRUE(std::isinf(compareFloats({infinity}, {3.0f}).largest));
}

TEST(CompareFloats, RendersOfDifferentSizesAreNotComparable) {
    EXPECT_FALSE(compareFloats({1.0f, 2.0f}, {1.0f}).comparable);
    EXPECT_TRUE(compareFloats({}, {}).comparable);
}

}  // namespace
}  // namespace tonemill::portability
