#include "tools/testimages/legend_image.h"

#include <string>

namespace tonemill::testimages {

namespace {

// 3 x 5 pixel glyphs, one row per string, '#' set.
const char* glyph(char c)
{
    switch (c) {
    case '0': return "###" "#.#" "#.#" "#.#" "###";
    case '1': return ".#." "##." ".#." ".#." "###";
    case '2': return "###" "..#" "###" "#.." "###";
    case '3': return "###" "..#" "###" "..#" "###";
    case '4': return "#.#" "#.#" "###" "..#" "..#";
    case '5': return "###" "#.." "###" "..#" "###";
    case '6': return "###" "#.." "###" "#.#" "###";
    case '7': return "###" "..#" "..#" "..#" "..#";
    case '8': return "###" "#.#" "###" "#.#" "###";
    case '9': return "###" "#.#" "###" "..#" "###";
    case '+': return "..." ".#." "###" ".#." "...";
    case '-': return "..." "..." "###" "..." "...";
    default: return "..." "..." "..." "..." "...";
    }
}

void setPixel(Picture& p, unsigned x, unsigned y, uint8_t r, uint8_t g, uint8_t b)
{
    uint8_t* px = p.at(x, y);
    px[0] = r;
    px[1] = g;
    px[2] = b;
    px[3] = 255;
}

void drawText(Picture& p, const std::string& text, unsigned x0, unsigned y0, unsigned scale, uint8_t level)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char* g = glyph(text[i]);
        for (unsigned gy = 0; gy < 5 * scale; ++gy)
            for (unsigned gx = 0; gx < 3 * scale; ++gx)
                if (g[(gy / scale) * 3 + gx / scale] == '#')
                    setPixel(p, x0 + unsigned(i) * 4 * scale + gx, y0 + gy, level, level, level);
    }
}

std::string stopLabel(int stops)
{
    return stops > 0 ? "+" + std::to_string(stops) : std::to_string(stops);
}

}  // namespace

Picture zoneLegend(const lutgen::ZoneChart& chart)
{
    Picture p(kTestWidth, kTestHeight, 4);  // zero-filled: transparent
    constexpr unsigned swatchW = 112, swatchH = 64, frame = 4, scale = 5;
    const unsigned count = static_cast<unsigned>(chart.displayColours.size());
    const unsigned legendW = count * swatchW + 2 * frame;
    const unsigned x0 = (kTestWidth - legendW) / 2, y0 = kTestHeight - swatchH - 2 * frame - 24;
    for (unsigned y = y0; y < y0 + swatchH + 2 * frame; ++y)
        for (unsigned x = x0; x < x0 + legendW; ++x)
            setPixel(p, x, y, 24, 24, 24);
    for (unsigned i = 0; i < count; ++i) {
        const auto& c = chart.displayColours[i];
        const unsigned sx = x0 + frame + i * swatchW;
        for (unsigned y = y0 + frame; y < y0 + frame + swatchH; ++y)
            for (unsigned x = sx; x < sx + swatchW; ++x)
                setPixel(p, x, y, toByte(c[0]), toByte(c[1]), toByte(c[2]));
        const std::string label = stopLabel(chart.firstStop + int(i));
        const unsigned textW = unsigned(label.size()) * 4 * scale - scale;
        const bool lightSwatch = 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2] > 0.5;
        drawText(p, label, sx + (swatchW - textW) / 2, y0 + frame + (swatchH - 5 * scale) / 2, scale,
                 lightSwatch ? 16 : 240);
    }
    return p;
}

}  // namespace tonemill::testimages
