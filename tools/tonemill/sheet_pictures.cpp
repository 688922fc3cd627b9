#include "tools/tonemill/sheet_pictures.h"

#include <algorithm>
#include <utility>

#include "tools/testimages/bitmap_text.h"

namespace tonemill::cli {

using testimages::Picture;

namespace {

// About 16 MB of float RGBA: the rows read at once for a few thumbnail rows.
constexpr long long kBandPixels = 1 << 20;

// The source rows or columns, from 0, under the picture's row or column `index`.
std::pair<int, int> sourceSpan(int index, int sourceSize, int size) {
    const int first = static_cast<int>(static_cast<long long>(index) * sourceSize / size);
    return {first, std::max(first + 1, static_cast<int>(static_cast<long long>(index + 1) * sourceSize / size))};
}

// Row y of `picture`, from `source`, which holds the rows under it; `frame` is
// the whole source, of which `source` may be a band.
void shrinkRow(const host::HostImage& source, const OfxRectI& frame, host::HostImage& picture, int y) {
    const int frameWidth = frame.x2 - frame.x1, frameHeight = frame.y2 - frame.y1;
    const auto [y1, y2] = sourceSpan(y, frameHeight, picture.height());
    for (int x = 0; x < picture.width(); ++x) {
        const auto [x1, x2] = sourceSpan(x, frameWidth, picture.width());
        host::RgbaPixel sum{};
        for (int sy = frame.y1 + y1; sy < frame.y1 + y2; ++sy)
            for (int sx = frame.x1 + x1; sx < frame.x1 + x2; ++sx) {
                const host::RgbaPixel pixel = source.pixel(sx, sy);
                for (int c = 0; c < 4; ++c) sum[c] += pixel[c];
            }
        const float count = static_cast<float>((y2 - y1) * (x2 - x1));
        for (float& channel : sum) channel /= count;
        picture.setPixel(x, y, sum);
    }
}

}  // namespace

std::shared_ptr<host::HostImage> shrunk(const host::HostImage& source, int width, int height) {
    auto picture = host::HostImage::rgbaFloat({0, 0, width, height});
    for (int y = 0; y < height; ++y) shrinkRow(source, source.bounds(), *picture, y);
    return picture;
}

// Picture rows are taken down the frame, as many at once as a band holds (and
// never fewer than one picture row's source rows), so that the file is read in
// order, each row once where the picture is smaller, and the sums come out
// exactly as from the whole frame.
std::shared_ptr<host::HostImage> shrunk(ImageReader& source, int width, int height) {
    auto picture = host::HostImage::rgbaFloat({0, 0, width, height});
    const OfxRectI frame{0, 0, source.width(), source.height()};
    const long long bandRows = std::max(1LL, kBandPixels / source.width());
    for (int top = height - 1; top >= 0;) {
        const int end = sourceSpan(top, source.height(), height).second;
        int bottom = top;
        while (bottom > 0 && end - sourceSpan(bottom - 1, source.height(), height).first <= bandRows) --bottom;
        const int first = sourceSpan(bottom, source.height(), height).first;
        const auto band = source.readRows(source.height() - end, source.height() - first);
        for (int y = top; y >= bottom; --y) shrinkRow(*band, frame, *picture, y);
        top = bottom - 1;
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
