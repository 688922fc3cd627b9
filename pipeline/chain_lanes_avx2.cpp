// Built for AVX2 and FMA through the target pragma below; the rest of the
// library stays at the x86-64 baseline, and cpuLanePath decides at run
// time whether this code may run.
#if defined(__x86_64__)
#pragma GCC target("avx2,fma")

#include "pipeline/chain_lanes.h"

#include "pipeline/lanes_avx2.h"

#include "chromvale_cuda.cu"
#include "pipeline/lane_span.h"

namespace ChromvaleBeta2 {

void renderSpansEightLanes(const ChainSettings& settings, const SpanPiece* pieces, int count) {
    renderSpansOfLanes<Lanes8>(settings, pieces, count);
}

}  // namespace ChromvaleBeta2

#endif
