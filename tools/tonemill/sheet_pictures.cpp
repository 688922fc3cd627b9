#include "tools/tonemill/sheet_pictures.h"

#include <algorithm>

#include "tools/testimages/bitmap_text.h"

namespace tonemill::cli {

using testimages::Picture;

std::shared_ptr<host::HostImage> shrunk(const host::HostImage& source, int width, int height) {
    auto picture = host::HostImage::rgbaFloat({0, 0, width, height});
    const OfxRectI bounds = source.bounds();
    for (int y = 0; y < height; ++y) {
        const int y1 = bounds.y1 + static_cast<int>(static_cast<long long>(y) * source.height() / height);
        const int y2 =
            std::max(y1 + 1, bounds.y1 + static_cast<int>(static_cast<long long>(y + 1) * source.height() / height));
        for (int x = 0; x < width; ++x) {
            const int x1 = bounds.x1 + static_cast<int>(static_cast<long long>(x) * source.width() / width);
            const int x2 =
                std::max(x1 + 1, bounds.x1 + static_cast<int>(static_cast<long long>(x + 1) * source.width() / width));
            host::RgbaPixel sum{};
            for (int sy = y1; sy < y2; ++sy)
                for (int sx = x1; sx < x2; ++sx) {
                    const host::RgbaPixel pixel = source.pixel(sx, sy);
                    for (int c = 0; c < 4; ++c) sum[c] += pixel[c];
                }
            const float count = static_cast<float>((y2 - y1) * (x2 - x1));
            for (float& channel : sum) channel /= count;
            picture->setPixel(x, y, sum);
        }
    }
    return picture;
}

void paste(Picture& sheet, const host::HostImage& picture, int left, int top) {
    const OfxRectI bounds = picture.bounds();
    for (int row = 0; row < picture.height(); ++row)
        for (int x = 0; x < picture.width(); ++x) {
            // OpenFX rows count up from the bottom.
            const host::RgbaPixel pixel = picture.pixel(bounds.x1 + x, bounds.y2 - 1 - row);
            testimages::setPixel(sheet, static_cast<unsigned>(left + x), static_cast<unsigned>(top + row),
                                 testimages::toByte(pixel[0]), testimages::toByte(pixel[1]),
                                 testimages::toByte(pixel[2]));
        }
}

}  // namespace tonemill::cli
