#include "pipeline/texture/texture_render.h"

#include <algorithm>

#include "film_texture.h"

namespace TonemillTexture {

namespace {

// Slice `index` of `count` equal slices of [begin, end).
std::pair<int, int> slice(int begin, int end, unsigned index, unsigned count) {
    const long long length = end - begin;
    return {begin + static_cast<int>(length * index / count), begin + static_cast<int>(length * (index + 1) / count)};
}

}  // namespace

namespace {

// A row's grain nodes, hashed once each: pixels a node spans reuse it, and
// the next cell's left nodes are this cell's right ones.
class GrainRow {
 public:
    GrainRow(const TextureSettings& s, int y) : m_s(s), m_iy(txLatticePoint(&s, 0, y).iy) {
        for (uint c = 0; c < 3U; ++c) {
            m_below[c] = txRowKey(s.grainKey, c, m_iy);
            m_above[c] = txRowKey(s.grainKey, c, m_iy + 1);
        }
    }

    void add(int x, int y, float* rgb) {
        const TxLatticePoint p = txLatticePoint(&m_s, x, y);
        if (p.ix != m_ix) moveTo(p.ix);
        txAddGrainFromNodes(&m_s, p.u, p.v, m_nodes, rgb);
    }

 private:
    void moveTo(int ix) {
        const bool next = ix == m_ix + 1 && m_valid;
        for (int c = 0; c < 3; ++c) {
            float* n = m_nodes + 4 * c;
            n[0] = next ? n[1] : txNodeNoise(m_below[c], ix);
            n[2] = next ? n[3] : txNodeNoise(m_above[c], ix);
            n[1] = txNodeNoise(m_below[c], ix + 1);
            n[3] = txNodeNoise(m_above[c], ix + 1);
        }
        m_ix = ix;
        m_valid = true;
    }

    const TextureSettings& m_s;
    int m_iy;
    int m_ix = 0;
    bool m_valid = false;
    uint m_below[3];
    uint m_above[3];
    float m_nodes[12] = {};
};

}  // namespace

void composeTexture(const TextureSettings& s, const PixelView& source, const PixelView& destination, const Rect& window,
                    const TextureWorkspace& workspace) {
    const bool grain = s.grainSigma[0] != 0.0f || s.grainSigma[1] != 0.0f || s.grainSigma[2] != 0.0f;
    const bool halation = workspace.halation.active();
    const bool bloom = workspace.bloom.active();
    for (int y = window.y1; y < window.y2; ++y) {
        GrainRow grainRow(s, y);
        for (int x = window.x1; x < window.x2; ++x) {
            const float* in = source.clampedPixel(x, y);
            float rgb[3] = {in[0], in[1], in[2]};
            const float alpha = in[3];
            if (halation || bloom) {
                txAddGlows(&s, halation ? workspace.halation.at(x, y) : 0u, bloom ? workspace.bloom.at(x, y) : 0u, rgb);
            }
            if (grain) grainRow.add(x, y, rgb);
            float* out = destination.pixel(x, y);
            out[0] = rgb[0];
            out[1] = rgb[1];
            out[2] = rgb[2];
            out[3] = alpha;
        }
    }
}

void runInOrder(unsigned count, const std::function<void(unsigned, unsigned)>& work) {
    for (unsigned i = 0; i < count; ++i) work(i, count);
}

void spreadGlows(const TextureSettings& settings, const PixelView& source, const Rect& window,
                 TextureWorkspace& workspace, unsigned threads, const ParallelRun& run) {
    threads = std::max(threads, 1u);
    workspace.halation.prepare(window, settings.halationBox, threads);
    workspace.bloom.prepare(window, settings.bloomBox, threads);

    struct Glow {
        GlowPlane& plane;
        float threshold;
    };
    const Glow glows[] = {{workspace.halation, settings.halationThreshold}, {workspace.bloom, settings.bloomThreshold}};
    if (workspace.halation.active() || workspace.bloom.active()) {
        run(threads, [&](unsigned index, unsigned count) {
            for (const Glow& glow : glows) {
                if (!glow.plane.active()) continue;
                const auto [begin, end] = slice(0, glow.plane.grownRows(), index, count);
                glow.plane.spreadRows(source, glow.threshold, begin, end, index);
            }
        });
        run(threads, [&](unsigned index, unsigned count) {
            for (const Glow& glow : glows) {
                if (!glow.plane.active()) continue;
                const auto [begin, end] = slice(0, glow.plane.columns(), index, count);
                glow.plane.spreadColumns(begin, end, index);
            }
        });
    }
}

void renderTexture(const TextureSettings& settings, const PixelView& source, const PixelView& destination,
                   const Rect& window, TextureWorkspace& workspace, unsigned threads, const ParallelRun& run) {
    if (isEmpty(window) || isEmpty(source.bounds)) return;
    spreadGlows(settings, source, window, workspace, threads, run);
    run(std::max(threads, 1u), [&](unsigned index, unsigned count) {
        const auto [begin, end] = slice(window.y1, window.y2, index, count);
        composeTexture(settings, source, destination, {window.x1, begin, window.x2, end}, workspace);
    });
}

}  // namespace TonemillTexture
