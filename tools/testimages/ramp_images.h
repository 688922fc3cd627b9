#pragma once

#include "tools/testimages/png_file.h"

namespace tonemill::testimages {

// Working-space grey from black to white, left to right: continuous in the
// top half, in 32 flat steps in the bottom half.
Picture lightnessRamp();

// Hue left to right (red, yellow, green, cyan, blue, magenta, red) against
// saturation bottom (grey) to top (the edge of the working-space cube), at a
// constant working-space intensity a little above mid grey.
Picture saturationRamp();

}  // namespace tonemill::testimages
