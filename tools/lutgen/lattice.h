#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tonemill::lutgen {

// The values of one table, three per entry, in .cube order (red fastest).
// Built as the identity on [0, 1] and then transformed in place.
struct Lattice {
    bool oneDimensional = false;
    uint32_t size = 0;
    std::vector<double> rgb;
};

inline constexpr uint32_t kCubeSize = 33;
inline constexpr uint32_t kCurveSize = 4096;

Lattice identityLattice(bool oneDimensional, uint32_t size);

// The whole lattice is handed over at once, so transforms backed by
// OpenColorIO process it in one call.
using LatticeTransform = std::function<void(std::vector<double>& rgb)>;

// .cube text: a title, the size line, the domain and one line per entry.
// Each value is the shortest decimal that reads back as the same float, so
// the file carries full float precision and the same values always give the
// same bytes. Throws std::runtime_error on a NaN or infinite value.
std::string cubeText(const Lattice& lattice, const std::string& title);

}  // namespace tonemill::lutgen
