#pragma once

#include "tools/lutgen/colour_space.h"

namespace tonemill::lutgen {

// The power curve of the ACES reference gamut compression: a distance from
// the achromatic axis up to the threshold passes unchanged, beyond it the
// excess is compressed so that it approaches threshold + scale and never
// reaches it. Continuous in value and slope at the threshold.
double compressDistance(double distance, double threshold, double scale, double power);

// What a table's colours stand for: a scene a camera recorded, a display
// signal read back through an output's inverse, or a film rendering of the
// working space.
enum class WorkingSource { Scene, Display, Rendered };

// Working-space colour (ACEScct) made safe for a table the chain reads
// before it clamps, then limited to the working range 0 to 1. Out-of-gamut
// colours would otherwise decode far below 0, and the interpolation inside a
// cell would run through values the chain cuts away. Linear AP1 distances
// from the achromatic axis beyond a threshold are compressed with the power
// curve of the reference gamut compression. Inputs keep every colour inside
// AP1 where it is (scene colours far brighter than a normal exposure are drawn
// in as speculars, so no camera code step jumps) and let the excess approach a
// point just beyond the boundary; film renderings use the reference
// thresholds with the asymptote on the boundary, and then roll off what they
// push beyond a Rec.709 display's gamut, as a print's dyes do.
Vec3 boundedWorkingColour(const Vec3& acescct, WorkingSource source);

}  // namespace tonemill::lutgen
