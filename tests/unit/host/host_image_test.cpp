#include <gtest/gtest.h>

#include <cstdint>

#include "host/host_image.h"
#include "ofxImageEffect.h"

using namespace tonemill::host;

namespace {

std::ptrdiff_t distance(const void* from, const void* to) {
    return static_cast<const std::byte*>(to) - static_cast<const std::byte*>(from);
}

TEST(HostImage, RowBytesStepFromTheFirstRowInEitherOrder) {
    const OfxRectI bounds{-3, 10, 5, 14};  // 8 x 4, not at the origin
    for (RowOrder order : {RowOrder::BottomUp, RowOrder::TopDown}) {
        auto image = HostImage::rgbaFloat(bounds, order);
        ASSERT_EQ(std::abs(image->rowBytes()), 8 * 16);
        EXPECT_EQ(image->rowBytes() < 0, order == RowOrder::TopDown);
        EXPECT_EQ(image->data(), image->pixelAddress(-3, 10));
        // Every pixel lies inside the storage, where data + row bytes arithmetic says.
        for (int y = bounds.y1; y < bounds.y2; ++y)
            for (int x = bounds.x1; x < bounds.x2; ++x) {
                const std::ptrdiff_t expected =
                    std::ptrdiff_t(y - bounds.y1) * image->rowBytes() + (x - bounds.x1) * 16;
                ASSERT_EQ(distance(image->data(), image->pixelAddress(x, y)), expected);
                const std::ptrdiff_t offset = distance(image->storage(), image->pixelAddress(x, y));
                ASSERT_GE(offset, 0);
                ASSERT_LE(offset + 16, static_cast<std::ptrdiff_t>(image->byteSize()));
            }
        EXPECT_EQ(image->pixelAddress(bounds.x2, bounds.y1), nullptr);
        EXPECT_EQ(image->pixelAddress(bounds.x1, bounds.y2), nullptr);
    }
}

TEST(HostImage, TopDownRowsPutTheBottomRowLastInMemory) {
    auto image = HostImage::rgbaFloat({0, 0, 2, 3}, RowOrder::TopDown);
    image->setPixel(0, 0, {1, 2, 3, 4});
    EXPECT_EQ(distance(image->storage(), image->pixelAddress(0, 0)), 2 * 2 * 16);
    EXPECT_EQ(image->pixel(0, 0), (RgbaPixel{1, 2, 3, 4}));
    EXPECT_THROW(image->pixel(2, 0), std::out_of_range);
}

TEST(HostImage, LayoutFollowsDepthComponentsAndPadding) {
    ImageFormat shortRgb;
    shortRgb.depth = kOfxBitDepthShort;
    shortRgb.components = kOfxImageComponentRGB;
    shortRgb.rowPaddingBytes = 4;
    HostImage image({0, 0, 5, 2}, shortRgb);
    EXPECT_EQ(image.pixelBytes(), 6);
    EXPECT_EQ(image.rowBytes(), 5 * 6 + 4);
    EXPECT_THROW(image.pixel(0, 0), std::logic_error);

    ImageFormat unknown;
    unknown.depth = "OfxBitDepthHalfFloat";
    EXPECT_THROW(HostImage({0, 0, 1, 1}, unknown), std::invalid_argument);
    EXPECT_THROW(HostImage({0, 0, -1, 1}), std::invalid_argument);
    // An empty image still has a valid, if useless, data pointer.
    EXPECT_NE(HostImage({4, 4, 4, 4}).data(), nullptr);
}

}  // namespace
