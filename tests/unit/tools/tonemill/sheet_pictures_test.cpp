// The thumbnails a contact sheet renders on: the same pixels whether the frame
// is held whole or read from its file a band at a time.
#include "tools/tonemill/sheet_pictures.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "tools/tonemill/image_files.h"

namespace {

using namespace tonemill;

TEST(SheetPictures, ShrinkingWhileReadingGivesThePicturesOfTheWholeFrame) {
    // Several bands tall (a band is 699 rows at this width).
    auto frame = host::HostImage::rgbaFloat({0, 0, 1500, 2100});
    frame->fill([](int x, int y) -> host::RgbaPixel {
        return {std::sin(0.01f * x) * 2.0f, (y % 97) / 96.0f, 0.001f * (x + y), (x * 7 + y) % 5 / 4.0f};
    });
    const std::filesystem::path path =
        std::filesystem::path(::testing::TempDir()) / ("sheet-source-" + std::to_string(::getpid()) + ".exr");
    cli::writeImage(*frame, path.string());
    const auto whole = cli::readImage(path.string());
    // Smaller, with rows that do not divide the frame's; one row whose source
    // is taller than a band; larger, where rows of the frame repeat.
    for (const auto& [width, height] : {std::pair{320, 180}, std::pair{7, 1}, std::pair{1700, 2400}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        cli::ImageReader reader(path.string());
        const auto banded = cli::shrunk(reader, width, height);
        const auto expected = cli::shrunk(*whole, width, height);
        ASSERT_EQ(banded->bounds().y2, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(banded->pixel(x, y), expected->pixel(x, y)) << "at " << x << "," << y;
    }
    std::filesystem::remove(path);
}

}  // namespace
