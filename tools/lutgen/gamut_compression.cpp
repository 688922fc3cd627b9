#include "tools/lutgen/gamut_compression.h"

#include <algorithm>
#include <cmath>

namespace tonemill::lutgen {

double compressDistance(double distance, double threshold, double scale, double power) {
    if (distance <= threshold) return distance;
    const double over = (distance - threshold) / scale;
    return threshold + scale * over / std::pow(1.0 + std::pow(over, power), 1.0 / power);
}

Vec3 boundedWorkingColour(const Vec3& acescct) {
    constexpr double thresholds[3] = {0.815, 0.803, 0.880};
    constexpr double power = 1.2;
    Vec3 linear{linearFromAcescct(acescct[0]), linearFromAcescct(acescct[1]), linearFromAcescct(acescct[2])};
    const double achromatic = std::max({linear[0], linear[1], linear[2]});
    if (achromatic > 0.0)
        for (int c = 0; c < 3; ++c) {
            const double distance = (achromatic - linear[c]) / achromatic;
            // A scale of 1 - threshold puts the asymptote on the boundary.
            const double compressed = compressDistance(distance, thresholds[c], 1.0 - thresholds[c], power);
            linear[c] = achromatic * (1.0 - compressed);
        }
    Vec3 out;
    for (int c = 0; c < 3; ++c) out[c] = std::clamp(acescctFromLinear(linear[c]), 0.0, 1.0);
    return out;
}

}  // namespace tonemill::lutgen
