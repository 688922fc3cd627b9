#pragma once

#include <string>

namespace tonemill::bench {

// Writes what a peer outside this process needs to run comparison A on the
// same data, as raw little-endian float32 files in `folder`: table0.f32 to
// table7.f32 (33^3 RGB entries each, red fastest), frame.f32 (the RGBA
// frame, rows from the top) and tonemill.f32 (the frame after the eight
// tables, rendered on one thread). Returns an empty string, or what failed.
std::string writeComparisonData(const std::string& folder);

}  // namespace tonemill::bench
