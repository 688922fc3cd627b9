#pragma once

#include <array>
#include <string_view>

namespace tonemill::lutgen {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<double, 9>;  // row major

Mat3 multiply(const Mat3& a, const Mat3& b);
Vec3 applyMatrix(const Mat3& m, const Vec3& v);
Mat3 inverse(const Mat3& m);

struct Chromaticity {
    double x;
    double y;
};

// RGB primaries and white point of an encoding.
struct Gamut {
    Chromaticity red;
    Chromaticity green;
    Chromaticity blue;
    Chromaticity white;
};

Mat3 rgbToXyz(const Gamut& gamut);
// Linear RGB in one gamut to linear RGB in another; white points are matched
// with the Bradford adaptation so that (1, 1, 1) stays neutral.
Mat3 gamutToGamut(const Gamut& from, const Gamut& to);
// Named gamuts of data/lut_recipes.ini; null when the name is unknown.
const Gamut* findGamut(std::string_view name);
const Gamut& acesAp1();

// The working space: ACEScct encoding of AP1 linear values.
double acescctFromLinear(double linear);
double linearFromAcescct(double code);
inline constexpr double kMidGreyLinear = 0.18;
double midGreyAcescct();

// Luminance of AP1 linear RGB (the Y row of its RGB to XYZ matrix).
double ap1Luminance(const Vec3& linear);

}  // namespace tonemill::lutgen
