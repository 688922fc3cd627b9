#pragma once

#include "tools/lutgen/colour_space.h"

namespace tonemill::lutgen {

// The power curve of the ACES reference gamut compression: a distance from
// the achromatic axis up to the threshold passes unchanged, beyond it the
// excess is compressed so that it approaches threshold + scale and never
// reaches it. Continuous in value and slope at the threshold.
double compressDistance(double distance, double threshold, double scale, double power);

// Working-space colour (ACEScct) made safe for a table the chain reads
// before it clamps: linear AP1 values outside the gamut are drawn inside it
// with the reference thresholds and power (cyan 0.815, magenta 0.803,
// yellow 0.880, power 1.2), their distances approaching the gamut boundary
// asymptotically so that no colour, however far out, lands beyond it; then
// the result is limited to the working range 0 to 1. Out-of-gamut colours
// would otherwise decode far below 0, and the interpolation inside a cell
// would run through values the chain cuts away.
Vec3 boundedWorkingColour(const Vec3& acescct);

}  // namespace tonemill::lutgen
