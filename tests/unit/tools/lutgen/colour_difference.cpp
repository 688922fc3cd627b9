#include "tests/unit/tools/lutgen/colour_difference.h"

#include <cmath>
#include <numbers>

namespace tonemill::lookdata_test {

namespace {

double labCompand(double t) {
    constexpr double epsilon = 216.0 / 24389.0, kappa = 24389.0 / 27.0;
    return t > epsilon ? std::cbrt(t) : (kappa * t + 16.0) / 116.0;
}

double degrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

double hueAngle(double b, double a) {
    if (a == 0.0 && b == 0.0) return 0.0;
    const double h = degrees(std::atan2(b, a));
    return h < 0.0 ? h + 360.0 : h;
}

}  // namespace

Lab labFromXyz(const Xyz& xyz, const Xyz& white) {
    const double fx = labCompand(xyz[0] / white[0]);
    const double fy = labCompand(xyz[1] / white[1]);
    const double fz = labCompand(xyz[2] / white[2]);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

// Sharma, Wu and Dalal's statement of the formula, including their notes on
// the mean hue and the hue difference when one chroma is zero.
double deltaE2000(const Lab& p, const Lab& q) {
    const double c1 = std::hypot(p[1], p[2]), c2 = std::hypot(q[1], q[2]);
    const double cMean7 = std::pow((c1 + c2) / 2.0, 7.0);
    const double g = 0.5 * (1.0 - std::sqrt(cMean7 / (cMean7 + std::pow(25.0, 7.0))));
    const double a1 = (1.0 + g) * p[1], a2 = (1.0 + g) * q[1];
    const double cp1 = std::hypot(a1, p[2]), cp2 = std::hypot(a2, q[2]);
    const double h1 = hueAngle(p[2], a1), h2 = hueAngle(q[2], a2);

    const double dL = q[0] - p[0];
    const double dC = cp2 - cp1;
    double dh = 0.0;
    if (cp1 * cp2 != 0.0) {
        dh = h2 - h1;
        if (dh > 180.0)
            dh -= 360.0;
        else if (dh < -180.0)
            dh += 360.0;
    }
    const double dH = 2.0 * std::sqrt(cp1 * cp2) * std::sin(radians(dh / 2.0));

    const double lMean = (p[0] + q[0]) / 2.0;
    const double cpMean = (cp1 + cp2) / 2.0;
    double hMean = h1 + h2;
    if (cp1 * cp2 != 0.0) {
        if (std::abs(h1 - h2) <= 180.0)
            hMean /= 2.0;
        else
            hMean = hMean < 360.0 ? (hMean + 360.0) / 2.0 : (hMean - 360.0) / 2.0;
    }
    const double t = 1.0 - 0.17 * std::cos(radians(hMean - 30.0)) + 0.24 * std::cos(radians(2.0 * hMean)) +
                     0.32 * std::cos(radians(3.0 * hMean + 6.0)) - 0.20 * std::cos(radians(4.0 * hMean - 63.0));
    const double dTheta = 30.0 * std::exp(-std::pow((hMean - 275.0) / 25.0, 2.0));
    const double cpMean7 = std::pow(cpMean, 7.0);
    const double rc = 2.0 * std::sqrt(cpMean7 / (cpMean7 + std::pow(25.0, 7.0)));
    const double l50 = (lMean - 50.0) * (lMean - 50.0);
    const double sl = 1.0 + 0.015 * l50 / std::sqrt(20.0 + l50);
    const double sc = 1.0 + 0.045 * cpMean;
    const double sh = 1.0 + 0.015 * cpMean * t;
    const double rt = -std::sin(radians(2.0 * dTheta)) * rc;
    return std::sqrt(std::pow(dL / sl, 2.0) + std::pow(dC / sc, 2.0) + std::pow(dH / sh, 2.0) +
                     rt * (dC / sc) * (dH / sh));
}

}  // namespace tonemill::lookdata_test
