#include "tools/testimages/legend_image.h"

#include "tools/testimages/bitmap_text.h"

#include <string>

namespace tonemill::testimages {

namespace {

std::string stopLabel(int stops) {
    std::string label = std::to_string(stops);
    if (stops > 0) label.insert(label.begin(), '+');
    return label;
}

}  // namespace

Picture zoneLegend(const lutgen::ZoneChart& chart) {
    Picture p(kTestWidth, kTestHeight, 4);  // zero-filled: transparent
    constexpr unsigned swatchW = 112, swatchH = 64, frame = 4, scale = 5;
    const unsigned count = static_cast<unsigned>(chart.displayColours.size());
    const unsigned legendW = count * swatchW + 2 * frame;
    const unsigned x0 = (kTestWidth - legendW) / 2, y0 = kTestHeight - swatchH - 2 * frame - 24;
    for (unsigned y = y0; y < y0 + swatchH + 2 * frame; ++y)
        for (unsigned x = x0; x < x0 + legendW; ++x) setPixel(p, x, y, 24, 24, 24);
    for (unsigned i = 0; i < count; ++i) {
        const auto& c = chart.displayColours[i];
        const unsigned sx = x0 + frame + i * swatchW;
        for (unsigned y = y0 + frame; y < y0 + frame + swatchH; ++y)
            for (unsigned x = sx; x < sx + swatchW; ++x) setPixel(p, x, y, toByte(c[0]), toByte(c[1]), toByte(c[2]));
        const std::string label = stopLabel(chart.firstStop + int(i));
        const unsigned textW = textWidth(label, scale);
        const bool lightSwatch = 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2] > 0.5;
        drawText(p, label, sx + (swatchW - textW) / 2, y0 + frame + (swatchH - 5 * scale) / 2, scale,
                 lightSwatch ? 16 : 240);
    }
    return p;
}

}  // namespace tonemill::testimages
