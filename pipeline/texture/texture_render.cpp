#include "pipeline/texture/texture_render.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "film_texture.h"
#include "pipeline/texture/texture_rows.h"

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
    GrainBand(const TextureSettings& s, const Rect& band) : m_s(s) {
        const auto width = static_cast<std::size_t>(band.x2 - band.x1);
        m_node.reserve(width);
        m_t.reserve(width);
        m_norm.reserve(width);
        m_firstNode = txLatticeAxis(s.frameOriginX, s.grainInvCell, band.x1).node;
        for (int x = band.x1; x < band.x2; ++x) {
            const TxLatticeAxis column = txLatticeAxis(s.frameOriginX, s.grainInvCell, x);
            m_node.push_back(column.node - m_firstNode);
            m_t.push_back(column.t);
            m_norm.push_back(column.norm);
        }
        m_nodeCount = static_cast<std::size_t>(m_node.back() + 2);
        m_nodes.resize(7 * m_nodeCount);
        m_row.nodeCount = static_cast<int>(m_nodeCount);
        m_row.blended = &m_nodes[6 * m_nodeCount];
        m_row.node = m_node.data();
        m_row.t = m_t.data();
        m_row.norm = m_norm.data();
        for (std::size_t c = 0; c < 3; ++c) {
            m_below[c] = &m_nodes[(2 * c) * m_nodeCount];
            m_above[c] = &m_nodes[(2 * c + 1) * m_nodeCount];
        }
    }

    // Hashes the nodes of the two lattice rows around row y; moving up one
    // lattice row, the row above becomes the one below.
    const GrainRow& startRow(int y) {
        m_row.axis = txLatticeAxis(m_s.frameOriginY, m_s.grainInvCell, y);
        if (m_row.axis.node == m_hashedRow && m_hashed) return m_row;
        const bool nextRow = m_hashed && m_row.axis.node == m_hashedRow + 1;
        for (uint c = 0; c < 3U; ++c) {
            if (nextRow)
                std::swap(m_below[c], m_above[c]);
            else
                m_kernels.hashNodes(txRowKey(m_s.grainKey, c, m_row.axis.node), m_firstNode, m_below[c], m_nodeCount);
            m_kernels.hashNodes(txRowKey(m_s.grainKey, c, m_row.axis.node + 1), m_firstNode, m_above[c], m_nodeCount);
            m_row.below[c] = m_below[c];
            m_row.above[c] = m_above[c];
        }
        m_hashedRow = m_row.axis.node;
        m_hashed = true;
        return m_row;
    }

 private:
    const TextureSettings& m_s;
    const TextureRowKernels& m_kernels = textureRowKernels();
    std::vector<int> m_node;  // per column, from the band's first node
    std::vector<float> m_t;
    std::vector<float> m_norm;
    int m_firstNode = 0;
    std::size_t m_nodeCount = 0;
    std::vector<float> m_nodes;  // per layer: two lattice rows; then the blend of one
    float* m_below[3] = {};      // which of them is below the render row, which above
    float* m_above[3] = {};
    GrainRow m_row;
    int m_hashedRow = 0;
    bool m_hashed = false;
};

}  // namespace

void composeTexture(const TextureSettings& s, const PixelView& source, const PixelView& destination, const Rect& window,
                    const TextureWorkspace& workspace) {
    if (isEmpty(window)) return;
    const bool grain = s.grainSigma[0] != 0.0f || s.grainSigma[1] != 0.0f || s.grainSigma[2] != 0.0f;
    const bool halation = workspace.halation.active();
    const bool bloom = workspace.bloom.active();
    const auto width = static_cast<std::size_t>(window.x2 - window.x1);
    std::optional<GrainBand> grainBand;
    if (grain) grainBand.emplace(s, window);
    // A glow that is off beside one that is on adds nothing: it reads zeros.
    const std::vector<std::uint32_t> dark(halation != bloom ? width : 0, 0u);
    // Where the window reaches past the source, its rows are gathered with
    // the source's edges repeated; inside it, they are read in place.
    const Rect& from = source.bounds;
    const bool inside = window.x1 >= from.x1 && window.x2 <= from.x2;
    std::vector<float> clamped(inside ? 0 : 4 * width);
    std::vector<float> noise(grain ? 3 * width : 0);
    // Glows on cells above a pixel are interpolated a row at a time.
    std::vector<std::uint32_t> halationScratch(halation ? workspace.halation.rowScratch() : 0);
    std::vector<std::uint32_t> bloomScratch(bloom ? workspace.bloom.rowScratch() : 0);
    const TextureRowKernels& kernels = textureRowKernels();
    for (int y = window.y1; y < window.y2; ++y) {
        ComposeRow row;
        row.count = static_cast<int>(width);
        row.out = destination.pixel(window.x1, y);
        if (inside) {
            row.in = source.clampedPixel(window.x1, y);
        } else {
            for (int x = window.x1; x < window.x2; ++x)
                std::memcpy(&clamped[4 * static_cast<std::size_t>(x - window.x1)], source.clampedPixel(x, y),
                            4 * sizeof(float));
            row.in = clamped.data();
        }
        if (halation || bloom) {
            row.halation = halation ? workspace.halation.row(y, halationScratch.data()) : dark.data();
            row.bloom = bloom ? workspace.bloom.row(y, bloomScratch.data()) : dark.data();
        }
        if (grain) {
            row.grain = &grainBand->startRow(y);
            row.noise = noise.data();
        }
        kernels.compose(s, row);
    }
}

void runInOrder(unsigned count, const std::function<void(unsigned, unsigned)>& work) {
    for (unsigned i = 0; i < count; ++i) work(i, count);
}

void spreadGlows(const TextureSettings& settings, const PixelView& source, const Rect& window,
                 TextureWorkspace& workspace, unsigned threads, const ParallelRun& run) {
    threads = std::max(threads, 1u);
    workspace.halation.prepare(window, {settings.halationBox, settings.halationShift}, threads);
    workspace.bloom.prepare(window, {settings.bloomBox, settings.bloomShift}, threads);

    struct Glow {
        GlowPlane& plane;
        float threshold;
    };
    const Glow glows[] = {{workspace.halation, settings.halationThreshold}, {workspace.bloom, settings.bloomThreshold}};
    if (!workspace.halation.active() && !workspace.bloom.active()) return;
    // Every pixel either glow reads, luma taken once.
    Rect area{};
    for (const Glow& glow : glows) {
        if (!glow.plane.active()) continue;
        const Rect reads = glow.plane.reads();
        area = isEmpty(area) ? reads
                             : Rect{std::min(area.x1, reads.x1), std::min(area.y1, reads.y1),
                                    std::max(area.x2, reads.x2), std::max(area.y2, reads.y2)};
    }
    workspace.luma.prepare(area, threads);
    run(threads, [&](unsigned index, unsigned count) {
        const auto [begin, end] = slice(0, workspace.luma.blocks(), index, count);
        for (int block = begin; block < end; ++block) {
            const auto [y1, y2] = workspace.luma.fill(source, block, index);
            for (const Glow& glow : glows)
                if (glow.plane.active()) glow.plane.gatherLight(workspace.luma, glow.threshold, y1, y2, index);
        }
    });
    run(threads, [&](unsigned index, unsigned count) {
        for (const Glow& glow : glows) {
            if (!glow.plane.active()) continue;
            const auto [begin, end] = slice(0, glow.plane.lightRows(), index, count);
            glow.plane.spreadRows(begin, end, index);
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
