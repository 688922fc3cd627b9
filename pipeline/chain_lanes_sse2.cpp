// The portable floor of the many-pixel chain: SSE2, part of every x86-64
// processor, so no run-time check is needed.
#if defined(__x86_64__)

#include "pipeline/chain_lanes.h"

#include "pipeline/lanes_sse2.h"

#include "chromvale_cuda.cu"
#include "pipeline/lane_span.h"

namespace ChromvaleBeta2 {

TM_FLATTEN void renderSpanFourLanes(const ChainSettings& settings, const float* in, float* out, int count) {
    renderSpanOfLanes<Lanes4>(settings, in, out, count);
}

}  // namespace ChromvaleBeta2

#endif
