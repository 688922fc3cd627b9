#include "pipeline/texture/texture_render.h"

#include <algorithm>
#include <optional>
#include <vector>

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

// The grain of one band of rows: where each column falls on the lattice,
// worked out once, and each row's nodes hashed once each into arrays that
// the row's pixels index.
class GrainBand {
 public:
    GrainBand(const TextureSettings& s, const Rect& band) : m_s(s), m_x1(band.x1) {
        m_columns.reserve(static_cast<std::size_t>(band.x2 - band.x1));
        for (int x = band.x1; x < band.x2; ++x) m_columns.push_back(txLatticeAxis(s.frameOriginX, s.grainInvCell, x));
        m_firstNode = m_columns.front().node;
        m_nodeCount = static_cast<std::size_t>(m_columns.back().node - m_firstNode + 2);
        m_nodes.resize(6 * m_nodeCount);
    }

    // Hashes the nodes of the two lattice rows around row y.
    void startRow(int y) {
        m_row = txLatticeAxis(m_s.frameOriginY, m_s.grainInvCell, y);
        if (m_row.node == m_hashedRow && m_hashed) return;
        for (uint c = 0; c < 3U; ++c) {
            const uint below = txRowKey(m_s.grainKey, c, m_row.node);
            const uint above = txRowKey(m_s.grainKey, c, m_row.node + 1);
            float* b = &m_nodes[(2 * c) * m_nodeCount];
            float* a = &m_nodes[(2 * c + 1) * m_nodeCount];
            for (std::size_t k = 0; k < m_nodeCount; ++k) {
                b[k] = txNodeNoise(below, m_firstNode + static_cast<int>(k));
                a[k] = txNodeNoise(above, m_firstNode + static_cast<int>(k));
            }
        }
        m_hashedRow = m_row.node;
        m_hashed = true;
    }

    void add(int x, float* rgb) const {
        const TxLatticeAxis& column = m_columns[static_cast<std::size_t>(x - m_x1)];
        const auto k = static_cast<std::size_t>(column.node - m_firstNode);
        for (std::size_t c = 0; c < 3; ++c) {
            const float* b = &m_nodes[(2 * c) * m_nodeCount + k];
            const float* a = &m_nodes[(2 * c + 1) * m_nodeCount + k];
            const float n = txGrainBetween(b[0], b[1], a[0], a[1], &column, &m_row);
            rgb[c] = txAddGrainLayer(rgb[c], m_s.grainSigma[c], n);
        }
    }

 private:
    const TextureSettings& m_s;
    int m_x1;
    std::vector<TxLatticeAxis> m_columns;
    int m_firstNode = 0;
    std::size_t m_nodeCount = 0;
    std::vector<float> m_nodes;  // per layer: the row below, the row above
    TxLatticeAxis m_row{};
    int m_hashedRow = 0;
    bool m_hashed = false;
};

}  // namespace

void composeTexture(const TextureSettings& s, const PixelView& source, const PixelView& destination, const Rect& window,
                    const TextureWorkspace& workspace) {
    const bool grain = s.grainSigma[0] != 0.0f || s.grainSigma[1] != 0.0f || s.grainSigma[2] != 0.0f;
    const bool halation = workspace.halation.active();
    const bool bloom = workspace.bloom.active();
    if (isEmpty(window)) return;
    std::optional<GrainBand> grainBand;
    if (grain) grainBand.emplace(s, window);
    const Rect& from = source.bounds;
    for (int y = window.y1; y < window.y2; ++y) {
        if (grain) grainBand->startRow(y);
        const float* sourceRow = source.clampedPixel(from.x1, y);
        const std::uint32_t* halationRow = halation ? workspace.halation.row(y) : nullptr;
        const std::uint32_t* bloomRow = bloom ? workspace.bloom.row(y) : nullptr;
        float* out = destination.pixel(window.x1, y);
        for (int x = window.x1; x < window.x2; ++x, out += 4) {
            const float* in = sourceRow + 4 * (std::clamp(x, from.x1, from.x2 - 1) - from.x1);
            float rgb[3] = {in[0], in[1], in[2]};
            const float alpha = in[3];
            const auto i = static_cast<std::size_t>(x - window.x1);
            if (halation || bloom) txAddGlows(&s, halation ? halationRow[i] : 0u, bloom ? bloomRow[i] : 0u, rgb);
            if (grain) grainBand->add(x, rgb);
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
    if (!workspace.halation.active() && !workspace.bloom.active()) return;
    workspace.luma.prepare(window, 3 * std::max(settings.halationBox, settings.bloomBox));
    run(threads, [&](unsigned index, unsigned count) {
        const auto [begin, end] = slice(0, workspace.luma.rows(), index, count);
        workspace.luma.fill(source, begin, end);
    });
    run(threads, [&](unsigned index, unsigned count) {
        for (const Glow& glow : glows) {
            if (!glow.plane.active()) continue;
            const auto [begin, end] = slice(0, glow.plane.grownRows(), index, count);
            glow.plane.spreadRows(workspace.luma, glow.threshold, begin, end, index);
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
