#pragma once

#include "tools/lutgen/colour_space.h"
#include "tools/lutgen/recipe_book.h"

namespace tonemill::lutgen {

// The house display renderings: scene-linear AP1 is tone mapped with a
// Naka-Rushton curve (contrast, grey level, peak) plus flare compensation,
// either per channel (hues skew towards the primaries as they brighten, as on
// film) or on the largest channel (hues hold), blended by hue_preserve; then
// display saturation, conversion to the display primaries and white, a clip
// to the display range, and the display's inverse EOTF.
struct HouseRendering {
    double exposure = 0.0;  // stops
    double contrast = 1.3;
    double greyOut = 0.1;  // display-linear level of the grey card
    double peak = 1.0;     // display-linear asymptote
    double flare = 0.005;  // display-linear toe compression
    double huePreserve = 0.0;
    double saturation = 1.0;
    Mat3 ap1ToDisplay{};
    enum class Eotf { Bt1886, Gamma26, Srgb } eotf = Eotf::Bt1886;
};

HouseRendering houseRenderingFromRecipe(const Recipe& recipe);
Vec3 renderHouse(const HouseRendering& house, const Vec3& acescct);

}  // namespace tonemill::lutgen
