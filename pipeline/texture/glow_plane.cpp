#include "pipeline/texture/glow_plane.h"

#include <algorithm>
#include <cstring>

#include "film_texture.h"
#include "pipeline/texture/texture_rows.h"

namespace TonemillTexture {

namespace {

constexpr int kRowBlock = kLightRows;

template <typename T>
void growTo(std::vector<T>& buffer, std::size_t size) {
    if (buffer.size() < size) buffer.resize(size);
}

// One box pass down rows [radius, rows - radius) of columns [begin, end), a
// running sum per column: the same sums as txBoxLine, taken across a row at
// a time so that the memory is read in order.
void boxDown(const std::uint32_t* in, std::uint32_t* out, int rows, std::size_t width, int begin, int end, int radius,
             std::uint32_t* sums) {
    textureRowKernels().boxDown(in + begin, out + begin, rows, width, static_cast<std::size_t>(end - begin), radius,
                                sums);
}

}  // namespace

void GlowPlane::prepare(const Rect& window, int boxRadius, unsigned threads) {
    m_window = window;
    m_box = boxRadius;
    if (m_box <= 0) return;
    m_width = static_cast<std::size_t>(window.x2 - window.x1);
    m_rows = window.y2 - window.y1 + 6 * m_box;
    const std::size_t cells = static_cast<std::size_t>(m_rows) * m_width;
    growTo(m_across, cells);
    growTo(m_down, cells);
    if (m_scratch.size() < threads) m_scratch.resize(threads);
    // Two interleaved blocks of grown rows, which the row phase ping-pongs
    // between, and running sums; the column phase keeps its sums at the start.
    const std::size_t grownWidth = m_width + 6 * static_cast<std::size_t>(m_box);
    for (auto& lines : m_scratch) growTo(lines, 2 * grownWidth * kRowBlock + std::max<std::size_t>(kRowBlock, m_width));
}

void LumaPlane::prepare(const Rect& window, int margin) {
    m_grown = Rect{window.x1 - margin, window.y1 - margin, window.x2 + margin, window.y2 + margin};
    m_width = static_cast<std::size_t>(m_grown.x2 - m_grown.x1);
    growTo(m_values, m_width * static_cast<std::size_t>(rows()));
}

void LumaPlane::fill(const PixelView& source, int begin, int end) {
    // Columns left and right of the source repeat its edge pixels' luma; the
    // columns between read the row in order.
    const Rect& from = source.bounds;
    const int inside1 = std::clamp(from.x1, m_grown.x1, m_grown.x2);
    const int inside2 = std::clamp(from.x2, inside1, m_grown.x2);
    for (int r = begin; r < end; ++r) {
        const float* row = source.clampedPixel(from.x1, m_grown.y1 + r);
        const float* last = row + 4 * (from.x2 - 1 - from.x1);
        float* target = &m_values[static_cast<std::size_t>(r) * m_width];
        const float left = txLuma(row[0], row[1], row[2]);
        const float right = txLuma(last[0], last[1], last[2]);
        for (int x = m_grown.x1; x < inside1; ++x) *target++ = left;
        for (const float* p = row + 4 * (inside1 - from.x1); p < row + 4 * (inside2 - from.x1); p += 4)
            *target++ = txLuma(p[0], p[1], p[2]);
        for (int x = inside2; x < m_grown.x2; ++x) *target++ = right;
    }
}

void GlowPlane::spreadRows(const LumaPlane& luma, float threshold, int begin, int end, unsigned thread) {
    // Rows go through the passes kRowBlock at a time, interleaved, so the
    // running sums of the block advance together as one column-wise pass.
    const int b = m_box;
    const int n = static_cast<int>(m_width) + 6 * b;
    std::uint32_t* line = m_scratch[thread].data();
    std::uint32_t* other = line + static_cast<std::size_t>(n) * kRowBlock;
    std::uint32_t* sums = other + static_cast<std::size_t>(n) * kRowBlock;
    const int left = m_window.x1 - 3 * b;
    for (int first = begin; first < end; first += kRowBlock) {
        const int count = std::min(kRowBlock, end - first);
        const float* rows[kRowBlock];
        // A short last block repeats its last row; only real rows are kept.
        for (int r = 0; r < kRowBlock; ++r)
            rows[r] = luma.at(left, m_window.y1 - 3 * b + first + std::min(r, count - 1));
        textureRowKernels().interleaveLight(rows, threshold, line, static_cast<std::size_t>(n));
        boxDown(line, other, n, kRowBlock, 0, kRowBlock, b, sums);
        boxDown(other + b * kRowBlock, line + b * kRowBlock, n - 2 * b, kRowBlock, 0, kRowBlock, b, sums);
        boxDown(line + 2 * b * kRowBlock, other + 2 * b * kRowBlock, n - 4 * b, kRowBlock, 0, kRowBlock, b, sums);
        for (int r = 0; r < count; ++r) {
            std::uint32_t* target = &m_across[static_cast<std::size_t>(first + r) * m_width];
            const std::uint32_t* spread = other + static_cast<std::size_t>(3 * b) * kRowBlock + r;
            for (std::size_t j = 0; j < m_width; ++j) target[j] = spread[j * kRowBlock];
        }
    }
}

void GlowPlane::spreadColumns(int begin, int end, unsigned thread) {
    if (begin >= end) return;
    const int b = m_box;
    std::uint32_t* sums = m_scratch[thread].data();
    const std::size_t w = m_width;
    boxDown(m_across.data(), m_down.data(), m_rows, w, begin, end, b, sums);
    boxDown(m_down.data() + b * w, m_across.data() + b * w, m_rows - 2 * b, w, begin, end, b, sums);
    boxDown(m_across.data() + 2 * b * w, m_down.data() + 2 * b * w, m_rows - 4 * b, w, begin, end, b, sums);
}

}  // namespace TonemillTexture
