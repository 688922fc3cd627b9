#include "tools/lutgen/gamut_compression.h"

#include <algorithm>
#include <cmath>

namespace tonemill::lutgen {

double compressDistance(double distance, double threshold, double scale, double power) {
    if (distance <= threshold) return distance;
    const double over = (distance - threshold) / scale;
    return threshold + scale * over / std::pow(1.0 + std::pow(over, power), 1.0 / power);
}

namespace {

constexpr double kPower = 1.2;

// The ACES 1.3 reference thresholds (cyan, magenta, yellow distances), with
// the asymptote on the gamut boundary: the film renderings were tuned with it.
Vec3 compressedAsRendered(Vec3 linear, double achromatic) {
    constexpr double thresholds[3] = {0.815, 0.803, 0.880};
    for (int c = 0; c < 3; ++c) {
        const double distance = (achromatic - linear[c]) / achromatic;
        linear[c] = achromatic * (1.0 - compressDistance(distance, thresholds[c], 1.0 - thresholds[c], kPower));
    }
    return linear;
}

// Where an input's compression starts, as a distance from the achromatic
// axis: at the gamut boundary (1: a channel at zero) through the brightness of
// any scene a camera exposes normally, so nothing inside AP1 moves there.
// Above it, in speculars, the published camera decodes turn so steeply at the
// boundary that a code value's step would jump; there the compression reaches
// in to the reference threshold, gradually over four stops. A display signal's
// brightest colours are the inverse of an output transform, which must give
// them back: for those the threshold stays at the boundary.
double inputThreshold(double achromatic, WorkingSource source) {
    if (source == WorkingSource::Display) return 1.0;
    constexpr double kFirstCompressedStop = 0.0;  // linear 1, two and a half stops over mid grey
    constexpr double kFullyCompressedStop = 4.0;
    constexpr double kSpecularThreshold = 0.8;
    const double t = std::clamp(
        (std::log2(achromatic) - kFirstCompressedStop) / (kFullyCompressedStop - kFirstCompressedStop), 0.0, 1.0);
    const double blend = t * t * (3.0 - 2.0 * t);
    return 1.0 - (1.0 - kSpecularThreshold) * blend;
}

// Beyond the threshold the excess rolls off towards kOutOfGamutReach past the
// boundary, a few hundredths below zero, which ACEScct holds near black and
// the clamp cuts only a little of elsewhere.
Vec3 compressedAsInput(Vec3 linear, double achromatic, WorkingSource source) {
    constexpr double kOutOfGamutReach = 0.05;
    const double threshold = inputThreshold(achromatic, source);
    const double scale = std::max(1.0 + kOutOfGamutReach - threshold, kOutOfGamutReach);
    for (double& channel : linear) {
        const double distance = (achromatic - channel) / achromatic;
        channel = achromatic * (1.0 - compressDistance(distance, threshold, scale, kPower));
    }
    return linear;
}

}  // namespace

Vec3 boundedWorkingColour(const Vec3& acescct, WorkingSource source) {
    Vec3 linear{linearFromAcescct(acescct[0]), linearFromAcescct(acescct[1]), linearFromAcescct(acescct[2])};
    const double achromatic = std::max({linear[0], linear[1], linear[2]});
    if (achromatic > 0.0)
        linear = source == WorkingSource::Rendered ? compressedAsRendered(linear, achromatic)
                                                   : compressedAsInput(linear, achromatic, source);
    Vec3 out;
    for (int c = 0; c < 3; ++c) out[c] = std::clamp(acescctFromLinear(linear[c]), 0.0, 1.0);
    return out;
}

}  // namespace tonemill::lutgen
