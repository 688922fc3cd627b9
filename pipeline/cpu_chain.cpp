#include "pipeline/cpu_chain.h"

#include <algorithm>
#include <vector>

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

// Makes the columns of [x1, x2) outside the source transparent black and
// returns the rest, empty where the row has no source.
SpanPiece sourcedColumns(const SourceRow& source, int x1, int x2, float* destination) {
    if (x2 <= x1) return {};
    if (source.pixels == nullptr) {
        fillTransparent(destination, x2 - x1);
        return {};
    }
    const int from = std::clamp(source.x1, x1, x2);
    const int to = std::clamp(source.x2, from, x2);
    fillTransparent(destination, from - x1);
    fillTransparent(destination + 4 * (to - x1), x2 - to);
    return {source.pixels + 4 * (from - source.x1), destination + 4 * (from - x1), to - from};
}

// The pieces on the widest lanes the processor runs; false where lanes
// cannot draw the test views or the build has none.
bool renderOnLanes(const PipelineSettings& settings, const SpanPiece* pieces, int count) {
#if defined(__x86_64__)
    if (!showsTestViews(settings)) {
        switch (cpuLanePath()) {
            case LanePath::kSixteen: renderSpansSixteenLanes(settings, pieces, count); return true;
            case LanePath::kEight: renderSpansEightLanes(settings, pieces, count); return true;
            case LanePath::kFour: renderSpansFourLanes(settings, pieces, count); return true;
        }
    }
#endif
    return false;
}

}  // namespace

TM_FLATTEN void renderRow(const PipelineSettings& settings, const SourceRow& source, int x1, int x2,
                          float* destination) {
    const SpanPiece piece = sourcedColumns(source, x1, x2, destination);
    if (piece.count <= 0 || renderOnLanes(settings, &piece, 1)) return;

    // A local copy tells the compiler that stores to the row cannot change
    // the settings, so nothing is re-read per pixel.
    const ChainSettings s = settings;
    const ChainConstants k = deriveChainConstants(&s);
    const float* in = piece.in;
    float* out = piece.out;
    const int first = static_cast<int>((piece.in - source.pixels) / 4);
    for (int x = first; x < first + piece.count; ++x, in += 4, out += 4) {
        const float4 pixel = runChain(&s, &k, make_float4(in[0], in[1], in[2], in[3]), x, source.y, 1);
        out[0] = pixel.x;
        out[1] = pixel.y;
        out[2] = pixel.z;
        out[3] = pixel.w;
    }
}

TM_FLATTEN void renderRows(const PipelineSettings& settings, const SourceRow* sources, float* const* destinations,
                           int rows, int x1, int x2) {
    std::vector<SpanPiece> pieces;
    pieces.reserve(static_cast<size_t>(std::max(rows, 0)));
    for (int i = 0; i < rows; ++i) pieces.push_back(sourcedColumns(sources[i], x1, x2, destinations[i]));
    if (renderOnLanes(settings, pieces.data(), static_cast<int>(pieces.size()))) return;
    for (int i = 0; i < rows; ++i) renderRow(settings, sources[i], x1, x2, destinations[i]);
}

int rowsRenderedTogether(int width) {
    return width <= 0 ? 1 : std::max(1, kSpanPixels / width);
}

}  // namespace ChromvaleBeta2
