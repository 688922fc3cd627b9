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

// A print's dyes saturate gradually; a film rendering that pushes a colour
// past what a Rec.709 display shows would instead meet the output's hard clip
// at full speed, and a smooth hue sweep would break into bands there. So its
// distances from the achromatic axis in Rec.709 roll off from just inside
// that boundary towards a little beyond it, which leaves every colour the
// display shows well inside its gamut where the film put it.
Vec3 rolledOffAtThePrintGamut(const Vec3& ap1Linear) {
    static const Mat3 toRec709 = gamutToGamut(acesAp1(), *findGamut("Rec709"));
    static const Mat3 fromRec709 = inverse(toRec709);
    constexpr double kThreshold = 0.8;
    constexpr double kReach = 0.15;
    Vec3 rec709 = applyMatrix(toRec709, ap1Linear);
    const double achromatic = std::max({rec709[0], rec709[1], rec709[2]});
    if (achromatic <= 0.0) return ap1Linear;
    for (double& channel : rec709) {
        const double distance = (achromatic - channel) / achromatic;
        channel = achromatic * (1.0 - compressDistance(distance, kThreshold, 1.0 + kReach - kThreshold, kPower));
    }
    return applyMatrix(fromRec709, rec709);
}

// The ACES 1.3 reference thresholds (cyan, magenta, yellow distances), with
// the asymptote on the AP1 boundary: the film renderings were tuned with it.
Vec3 compressedAsRendered(Vec3 linear, double achromatic) {
    constexpr double thresholds[3] = {0.815, 0.803, 0.880};
    for (int c = 0; c < 3; ++c) {
        const double distance = (achromatic - linear[c]) / achromatic;
        linear[c] = achromatic * (1.0 - compressDistance(distance, thresholds[c], 1.0 - thresholds[c], kPower));
    }
    return rolledOffAtThePrintGamut(linear);
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
