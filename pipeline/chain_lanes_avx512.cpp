// Built for AVX-512 through the target pragma below; the rest of the library
// stays at the x86-64 baseline, and cpuLaneWidth decides at run time whether
// this code may run.
#if defined(__x86_64__)
#pragma GCC target("avx512f,avx512vl,avx512dq,avx512bw,avx2,fma")

#include "pipeline/chain_lanes.h"

#include "pipeline/lanes_avx512.h"

#include "chromvale_cuda.cu"
#include "pipeline/lane_span.h"

namespace ChromvaleBeta2 {

void renderSpansSixteenLanes(const ChainSettings& settings, const SpanPiece* pieces, int count) {
    renderSpansOfLanes<Lanes16, Lanes8>(settings, pieces, count);
}

}  // namespace ChromvaleBeta2

#endif
