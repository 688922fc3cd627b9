#pragma once

#include "lut_cuda.h"

namespace ChromvaleBeta2 {

// Whether this processor runs the eight-pixel chain (AVX2 with FMA).
bool cpuRunsEightLanes();
// Whether the four-pixel chain exists in this build (SSE2: every x86-64).
bool cpuRunsFourLanes();

// The chain without the test views on `count` contiguous RGBA float pixels,
// several at a time; the caller checks that the processor runs them first.
// `in` and `out` may be the same row.
void renderSpanEightLanes(const ChainSettings& settings, const float* in, float* out, int count);
void renderSpanFourLanes(const ChainSettings& settings, const float* in, float* out, int count);

}  // namespace ChromvaleBeta2
