#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ChromvaleBeta2 {

// One parsed .cube file. A 3D table holds m_dims^3 entries ordered red
// fastest, then green, then blue (the line order of a .cube file), so entry
// (r, g, b) starts at float 3 * ((b * N + g) * N + r). A 1D table holds m_dims
// entries, each the output of the red, green and blue channel. Lattice index i
// on an axis stands for the input i / (N - 1).
struct LutTable {
    static constexpr int32_t kKind3D = 0;
    static constexpr int32_t kKind1D = 1;

    std::vector<float> data;  // three floats per entry: R, G, B
    uint32_t m_dims = 0;      // points per axis (3D) or entry count (1D); 0 while empty
    int32_t kind = kKind3D;
    std::string name;  // archive entry the table was loaded from

    bool is3D() const { return kind == kKind3D; }
    bool is1D() const { return kind == kKind1D; }
};

}  // namespace ChromvaleBeta2
