#include "pipeline/cpu_chain.h"

#include <algorithm>

#include "chromvale_cuda.cu"
#include "pipeline/chain_lanes.h"
#include "pipeline/flatten.h"

namespace ChromvaleBeta2 {

float4 processColour(const PipelineSettings& settings, float4 source) {
    const ChainConstants k = deriveChainConstants(&settings);
    return runChain(&settings, &k, source, 0, 0, 0);
}

float4 processColourAt(const PipelineSettings& settings, float4 source, int x, int y) {
    const ChainConstants k = deriveChainConstants(&settings);
    return runChain(&settings, &k, source, x, y, 1);
}

namespace {

// The test views need each pixel's position, which the eight-pixel lanes do
// not carry; renders that show them take the one-pixel chain.
bool showsTestViews(const ChainSettings& s) {
    return s.testImageSize != 0u || s.zoneLutSize != 0u || s.zoneOverlaySize != 0u;
}

void fillTransparent(float* destination, int count) {
    std::fill(destination, destination + 4 * std::max(count, 0), 0.0f);
}

}  // namespace

TM_FLATTEN void renderRow(const PipelineSettings& settings, const SourceRow& source, int x1, int x2,
                          float* destination) {
    if (x2 <= x1) return;
    if (source.pixels == nullptr) {
        fillTransparent(destination, x2 - x1);
        return;
    }
    const int from = std::clamp(source.x1, x1, x2);
    const int to = std::clamp(source.x2, from, x2);
    fillTransparent(destination, from - x1);
    fillTransparent(destination + 4 * (to - x1), x2 - to);

    float* out = destination + 4 * (from - x1);
    const float* in = source.pixels + 4 * (from - source.x1);
#if defined(__x86_64__)
    if (!showsTestViews(settings)) {
        switch (cpuLanePath()) {
            case LanePath::kSixteen: renderSpanSixteenLanes(settings, in, out, to - from); return;
            case LanePath::kEight: renderSpanEightLanes(settings, in, out, to - from); return;
            case LanePath::kFour: renderSpanFourLanes(settings, in, out, to - from); return;
        }
    }
#endif

    // A local copy tells the compiler that stores to the row cannot change
    // the settings, so nothing is re-read per pixel.
    const ChainSettings s = settings;
    const ChainConstants k = deriveChainConstants(&s);
    for (int x = from; x < to; ++x, in += 4, out += 4) {
        const float4 pixel = runChain(&s, &k, make_float4(in[0], in[1], in[2], in[3]), x - source.x1, source.y, 1);
        out[0] = pixel.x;
        out[1] = pixel.y;
        out[2] = pixel.z;
        out[3] = pixel.w;
    }
}

}  // namespace ChromvaleBeta2
