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

// Pixels per span: each step runs over the whole span before the next, so
// its table is fetched into cache once for all of them. On a Zen 4 a row of
// 3840 pixels was too short to repay the fetch: the eight-table render ran
// a tenth faster on four such rows at a time, whose state (about 430 KiB)
// shares the 1 MiB second-level cache with a 33-point table; five rows were
// no faster, eight slower again.
constexpr int kSpanPixels = 4 * 3840;

// `count` contiguous RGBA float pixels, read from `in` and written to `out`,
// which may be the same row.
struct SpanPiece {
    const float* in = nullptr;
    float* out = nullptr;
    int count = 0;
};

// The chain without the test views on every pixel of `count` pieces, several
// pixels at a time; the caller checks that the processor runs them first.
// Each step of the chain runs over the pixels of many pieces before the
// next, so a table is fetched into cache once for all of them.
void renderSpansSixteenLanes(const ChainSettings& settings, const SpanPiece* pieces, int count);
void renderSpansEightLanes(const ChainSettings& settings, const SpanPiece* pieces, int count);
void renderSpansFourLanes(const ChainSettings& settings, const SpanPiece* pieces, int count);

// The same on one piece.
inline void renderSpanSixteenLanes(const ChainSettings& settings, const float* in, float* out, int count) {
    const SpanPiece piece{in, out, count};
    renderSpansSixteenLanes(settings, &piece, 1);
}
inline void renderSpanEightLanes(const ChainSettings& settings, const float* in, float* out, int count) {
    const SpanPiece piece{in, out, count};
    renderSpansEightLanes(settings, &piece, 1);
}
inline void renderSpanFourLanes(const ChainSettings& settings, const float* in, float* out, int count) {
    const SpanPiece piece{in, out, count};
    renderSpansFourLanes(settings, &piece, 1);
}

}  // namespace ChromvaleBeta2
