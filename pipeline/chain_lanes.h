#pragma once

#include "lut_cuda.h"

namespace ChromvaleBeta2 {

// The chains over several pixels at once, one per instruction set.
enum class LanePath { kFour, kEight, kSixteen };

// Pixels per lane of each path, and the name a benchmark or log prints.
int lanesOf(LanePath path);
const char* lanePathName(LanePath path);

// Whether this processor runs a path: four lanes (SSE2) on every x86-64,
// eight with AVX2 and FMA, sixteen with AVX-512 F, VL, DQ and BW.
bool cpuRuns(LanePath path);

// The path for a request ("sse2", "avx2" or "avx512"; anything else or null
// asks for the widest): the one named where this processor runs it, else the
// widest narrower one it runs. A path the processor lacks is never returned.
LanePath lanePathFor(const char* requested);

// The path every render takes: lanePathFor the environment variable
// TONEMILL_SIMD, read once. Tests and benchmarks set it to compare the paths.
LanePath cpuLanePath();

// The chain without the test views on `count` contiguous RGBA float pixels,
// several at a time; the caller checks that the processor runs them first.
// `in` and `out` may be the same row.
void renderSpanSixteenLanes(const ChainSettings& settings, const float* in, float* out, int count);
void renderSpanEightLanes(const ChainSettings& settings, const float* in, float* out, int count);
void renderSpanFourLanes(const ChainSettings& settings, const float* in, float* out, int count);

}  // namespace ChromvaleBeta2
