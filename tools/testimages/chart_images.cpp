#include "tools/testimages/chart_images.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/lutgen/colour_space.h"

namespace tonemill::testimages {

namespace lg = tonemill::lutgen;

namespace {

using Bytes = std::array<int, 3>;

// The classic 24-patch colour checker in the sRGB values its maker
// publishes, row by row from dark skin to black.
constexpr Bytes kChecker[24] = {
    {115, 82, 68},   {194, 150, 130}, {98, 122, 157},  {87, 108, 67},   {133, 128, 177}, {103, 189, 170},
    {214, 126, 44},  {80, 91, 166},   {193, 90, 99},   {94, 60, 108},   {157, 188, 64},  {224, 163, 46},
    {56, 61, 150},   {70, 148, 73},   {175, 54, 60},   {231, 199, 31},  {187, 86, 149},  {8, 133, 161},
    {243, 243, 242}, {200, 200, 200}, {160, 160, 160}, {122, 122, 121}, {85, 85, 85},    {52, 52, 52},
};

double srgbToLinear(int byte) {
    const double v = byte / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

void fillRect(Picture& p, unsigned x0, unsigned y0, unsigned w, unsigned h, const lg::Vec3& working) {
    for (unsigned y = y0; y < y0 + h; ++y)
        for (unsigned x = x0; x < x0 + w; ++x) {
            uint8_t* px = p.at(x, y);
            for (int c = 0; c < 3; ++c) px[c] = toByte(working[c]);
        }
}

lg::Vec3 greyAtStops(double stops) {
    const double v = lg::acescctFromLinear(lg::kMidGreyLinear * std::exp2(stops));
    return {v, v, v};
}

}  // namespace

lg::Vec3 workingFromRec709(const lg::Vec3& linear) {
    static const lg::Mat3 toAp1 = lg::gamutToGamut(*lg::findGamut("Rec709"), lg::acesAp1());
    const lg::Vec3 ap1 = lg::applyMatrix(toAp1, linear);
    return {lg::acescctFromLinear(ap1[0]), lg::acescctFromLinear(ap1[1]), lg::acescctFromLinear(ap1[2])};
}

Picture toneChart() {
    Picture p(kTestWidth, kTestHeight, 3);
    fillRect(p, 0, 0, p.width, p.height, greyAtStops(-2.5));

    // Grey steps, -6 to +6 stops: 13 patches across the top.
    constexpr unsigned stepW = 136, stepH = 200, stepsX = (kTestWidth - 13 * stepW) / 2;
    for (int k = -6; k <= 6; ++k) fillRect(p, stepsX + unsigned(k + 6) * stepW, 40, stepW, stepH, greyAtStops(k));

    // Colour checker, 6 x 4 patches with gaps, centred.
    constexpr unsigned patch = 130, gap = 14, chartX = (kTestWidth - 6 * patch - 5 * gap) / 2, chartY = 280;
    for (unsigned i = 0; i < 24; ++i) {
        const Bytes& s = kChecker[i];
        fillRect(p, chartX + (i % 6) * (patch + gap), chartY + (i / 6) * (patch + gap), patch, patch,
                 workingFromRec709({srgbToLinear(s[0]), srgbToLinear(s[1]), srgbToLinear(s[2])}));
    }

    // Skin tones: reflectances from the chart's dark skin to its light skin
    // and a little beyond, in equal steps, so the row spans deep to fair skin.
    // The steps are equal ratios per channel: extrapolating differences would
    // run the deepest tones below zero and leave them grey.
    const lg::Vec3 dark{srgbToLinear(115), srgbToLinear(82), srgbToLinear(68)};
    const lg::Vec3 light{srgbToLinear(194), srgbToLinear(150), srgbToLinear(130)};
    constexpr unsigned skins = 10, skinW = 160, skinX = (kTestWidth - skins * skinW) / 2, skinY = 880;
    for (unsigned i = 0; i < skins; ++i) {
        const double t = -0.5 + 1.8 * i / (skins - 1);
        lg::Vec3 linear;
        for (int c = 0; c < 3; ++c) linear[c] = dark[c] * std::pow(light[c] / dark[c], t);
        fillRect(p, skinX + i * skinW, skinY, skinW, 160, workingFromRec709(linear));
    }
    return p;
}

Picture pluginIcon() {
    constexpr unsigned size = 128;
    Picture p(size, size, 4);
    const double centres[3][2] = {{64, 46}, {46, 78}, {82, 78}};
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x) {
            double rgb[3] = {0.18, 0.18, 0.2};
            for (int d = 0; d < 3; ++d) {
                const double dx = x + 0.5 - centres[d][0], dy = y + 0.5 - centres[d][1];
                const double cover = std::clamp(34.0 - std::sqrt(dx * dx + dy * dy), 0.0, 1.0);
                rgb[d] += cover * (0.95 - rgb[d] * 0.2);
            }
            uint8_t* px = p.at(x, y);
            const double dx = x + 0.5 - 64.0, dy = y + 0.5 - 64.0;
            const double ground = std::clamp(63.0 - std::sqrt(dx * dx + dy * dy), 0.0, 1.0);
            for (int c = 0; c < 3; ++c) px[c] = toByte(rgb[c]);
            px[3] = toByte(ground);
        }
    return p;
}

}  // namespace tonemill::testimages
