#include "tools/lutgen/colour_space.h"

#include <cmath>
#include <string>
#include <utility>

namespace tonemill::lutgen {

Mat3 multiply(const Mat3& a, const Mat3& b) {
    Mat3 out{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[r * 3 + c] = a[r * 3] * b[c] + a[r * 3 + 1] * b[3 + c] + a[r * 3 + 2] * b[6 + c];
    return out;
}

Vec3 applyMatrix(const Mat3& m, const Vec3& v) {
    return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
            m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}

Mat3 inverse(const Mat3& m) {
    const double c00 = m[4] * m[8] - m[5] * m[7];
    const double c01 = m[5] * m[6] - m[3] * m[8];
    const double c02 = m[3] * m[7] - m[4] * m[6];
    const double det = m[0] * c00 + m[1] * c01 + m[2] * c02;
    const double k = 1.0 / det;
    return {c00 * k, (m[2] * m[7] - m[1] * m[8]) * k, (m[1] * m[5] - m[2] * m[4]) * k,
            c01 * k, (m[0] * m[8] - m[2] * m[6]) * k, (m[2] * m[3] - m[0] * m[5]) * k,
            c02 * k, (m[1] * m[6] - m[0] * m[7]) * k, (m[0] * m[4] - m[1] * m[3]) * k};
}

namespace {

Vec3 xyzOf(Chromaticity c) {
    return {c.x / c.y, 1.0, (1.0 - c.x - c.y) / c.y};
}

Mat3 bradford(Chromaticity from, Chromaticity to) {
    static constexpr Mat3 cone{0.8951, 0.2664, -0.1614, -0.7502, 1.7135, 0.0367, 0.0389, -0.0685, 1.0296};
    const Vec3 a = applyMatrix(cone, xyzOf(from));
    const Vec3 b = applyMatrix(cone, xyzOf(to));
    const Mat3 scale{b[0] / a[0], 0, 0, 0, b[1] / a[1], 0, 0, 0, b[2] / a[2]};
    return multiply(inverse(cone), multiply(scale, cone));
}

constexpr Chromaticity kD65{0.3127, 0.3290};
constexpr Chromaticity kAcesWhite{0.32168, 0.33767};

const std::pair<std::string_view, Gamut> kGamuts[] = {
    {"AP0", {{0.7347, 0.2653}, {0.0, 1.0}, {0.0001, -0.0770}, kAcesWhite}},
    {"AP1", {{0.713, 0.293}, {0.165, 0.830}, {0.128, 0.044}, kAcesWhite}},
    {"Rec709", {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}, kD65}},
    {"Rec2020", {{0.708, 0.292}, {0.170, 0.797}, {0.131, 0.046}, kD65}},
    {"P3-D65", {{0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, kD65}},
    {"P3-DCI", {{0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, {0.314, 0.351}}},
    {"BlackmagicWideGamut",
     {{0.7177215, 0.3171181}, {0.2280410, 0.8615690}, {0.1005841, -0.0820452}, {0.3127170, 0.3290312}}},
    {"DaVinciWideGamut", {{0.8000, 0.3130}, {0.1682, 0.9877}, {0.0790, -0.1155}, kD65}},
    {"DRAGONcolor2",
     {{0.758656214177604, 0.330355835762678},
      {0.294923887732982, 0.708053363192126},
      {0.144168726866337, 0.050357384587121},
      kD65}},
    {"DJI-DGamut", {{0.71, 0.31}, {0.21, 0.88}, {0.09, -0.08}, kD65}},
    {"ProtuneNative",
     {{0.698480461493841, 0.193026445370121},
      {0.329555378387345, 1.024596624134644},
      {0.108442631407675, -0.034678569754016},
      kD65}},
    {"S-Gamut", {{0.730, 0.280}, {0.140, 0.855}, {0.100, -0.050}, kD65}},
    {"S-Gamut3.Cine", {{0.766, 0.275}, {0.225, 0.800}, {0.089, -0.087}, kD65}},
    {"CinemaGamut", {{0.740, 0.270}, {0.170, 1.140}, {0.080, -0.100}, kD65}},
    {"ALEXA-WideGamut", {{0.6840, 0.3130}, {0.2210, 0.8480}, {0.0861, -0.1020}, kD65}},
};

}  // namespace

Mat3 rgbToXyz(const Gamut& g) {
    const Vec3 r = xyzOf(g.red), gr = xyzOf(g.green), b = xyzOf(g.blue);
    const Mat3 primaries{r[0], gr[0], b[0], r[1], gr[1], b[1], r[2], gr[2], b[2]};
    const Vec3 s = applyMatrix(inverse(primaries), xyzOf(g.white));
    return multiply(primaries, Mat3{s[0], 0, 0, 0, s[1], 0, 0, 0, s[2]});
}

Mat3 gamutToGamut(const Gamut& from, const Gamut& to) {
    return multiply(inverse(rgbToXyz(to)), multiply(bradford(from.white, to.white), rgbToXyz(from)));
}

const Gamut* findGamut(std::string_view name) {
    for (const auto& [key, gamut] : kGamuts)
        if (key == name) return &gamut;
    return nullptr;
}

const Gamut& acesAp1() {
    return kGamuts[1].second;
}

namespace {
constexpr double kCctSlope = 10.5402377416545;
constexpr double kCctOffset = 0.0729055341958355;
constexpr double kCctLinearBreak = 0.0078125;
constexpr double kCctCodeBreak = 0.155251141552511;
constexpr double kHalfMax = 65504.0;
}  // namespace

double acescctFromLinear(double linear) {
    if (linear <= kCctLinearBreak) return kCctSlope * linear + kCctOffset;
    return (std::log2(linear) + 9.72) / 17.52;
}

double linearFromAcescct(double code) {
    if (code <= kCctCodeBreak) return (code - kCctOffset) / kCctSlope;
    const double top = (std::log2(kHalfMax) + 9.72) / 17.52;
    return code < top ? std::exp2(code * 17.52 - 9.72) : kHalfMax;
}

double midGreyAcescct() {
    return acescctFromLinear(kMidGreyLinear);
}

double ap1Luminance(const Vec3& v) {
    static const Mat3 toXyz = rgbToXyz(acesAp1());
    return toXyz[3] * v[0] + toXyz[4] * v[1] + toXyz[5] * v[2];
}

}  // namespace tonemill::lutgen
