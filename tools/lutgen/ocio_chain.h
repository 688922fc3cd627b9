#pragma once

#include <string>
#include <vector>

#include "tools/lutgen/lattice.h"

namespace tonemill::lutgen {

// One built-in transform of OpenColorIO, by its registry name, run forward or
// inverted. "DISPLAY - CIE-XYZ-D65_to_DisplayP3" is added here: CIE XYZ to
// P3-D65 primaries with the sRGB piecewise curve, which the registry lacks.
struct OcioStep {
    std::string builtin;
    bool inverse = false;
};

// The chain as one OpenColorIO processor, evaluated losslessly in float.
// Throws std::runtime_error when OpenColorIO rejects a name.
LatticeTransform ocioChain(const std::vector<OcioStep>& steps);

// Steps that take ACEScct to ACES2065-1 (forward) or back (inverse).
OcioStep acescctToAces(bool inverse);

}  // namespace tonemill::lutgen
