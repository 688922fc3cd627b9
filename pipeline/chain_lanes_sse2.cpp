// The portable floor of the many-pixel chain: SSE2, part of every x86-64
// processor, so no run-time check is needed.
#if defined(__x86_64__)

#include "pipeline/chain_lanes.h"

#include "pipeline/lanes_sse2.h"

#include "chromvale_cuda.cu"
#include "pipeline/lane_span.h"

namespace ChromvaleBeta2 {

void renderSpansFourLanes(const ChainSettings& settings, const SpanPiece* pieces, int count) {
    renderSpansOfLanes<Lanes4>(settings, pieces, count);
}

}  // namespace ChromvaleBeta2

#endif
