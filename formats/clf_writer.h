#pragma once

// The Common LUT Format (Academy/ASC CLF 3, SMPTE ST 2136-1) as this project
// writes it: a ProcessList of the few operators a look needs, all in 32-bit
// float, so that OpenColorIO and other CLF readers apply each one exactly as
// written rather than resampled.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ChromvaleBeta2 {

// out = m * in + offset, the 3 x 4 matrix of CLF written row by row.
struct ClfMatrix {
    std::array<double, 9> m{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::array<double, 3> offset{0, 0, 0};
};

// The clamping Range: [minIn, maxIn] mapped linearly onto [minOut, maxOut],
// everything beyond clamped to the ends.
struct ClfRange {
    double minIn = 0, maxIn = 1, minOut = 0, maxOut = 1;
};

// out = pow(max(0, in), exponent), per channel ("basicFwd").
struct ClfExponent {
    std::array<double, 3> exponent{1, 1, 1};
};

// Linear interpolation of `size` entries of three columns spread over [0, 1].
struct ClfLut1D {
    uint32_t size = 0;
    std::vector<float> rgb;  // entry i at 3 * i
};

// Tetrahedral interpolation of a size^3 lattice over [0, 1]^3, stored red
// fastest as in a .cube file; the writer reorders it to CLF's blue fastest.
struct ClfLut3D {
    uint32_t size = 0;
    std::vector<float> rgb;  // entry (r, g, b) at 3 * ((b * size + g) * size + r)
};

struct ClfOperator {
    std::string description;  // what the step is, for a reader of the file
    std::variant<ClfMatrix, ClfRange, ClfExponent, ClfLut1D, ClfLut3D> op;
};

struct ClfProcessList {
    std::string id;
    std::string name;
    std::vector<std::string> descriptions;  // one Description element each
    std::string inputDescriptor;
    std::string outputDescriptor;
    std::vector<ClfOperator> operators;
};

// The XML text of the process list, handed to `write` in pieces. Numbers are
// written with enough digits to read back the same float (tables) or double
// (parameters); text is escaped for XML.
void writeClfText(const ClfProcessList& list, const std::function<void(std::string_view)>& write);

}  // namespace ChromvaleBeta2
