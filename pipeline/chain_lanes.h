#pragma once

#include "lut_cuda.h"

namespace ChromvaleBeta2 {

// Whether this processor runs the eight-pixel chain (AVX2 with FMA).
bool cpuRunsEightLanes();

// The chain without the test views on `count` contiguous RGBA float pixels,
// eight at a time; the caller checks cpuRunsEightLanes first. `in` and `out`
// may be the same row.
void renderSpanEightLanes(const ChainSettings& settings, const float* in, float* out, int count);

}  // namespace ChromvaleBeta2
