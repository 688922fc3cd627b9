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

int width(const Rect& r) {
    return r.x2 - r.x1;
}

}  // namespace

void GlowPlane::prepare(const Rect& window, const GlowGrid& grid, unsigned threads) {
    m_window = window;
    m_box = grid.box;
    m_shift = grid.shift;
    if (m_box <= 0) return;
    m_cells = glowCells(window, m_shift);
    m_light = lightCells(m_cells, m_box);
    m_width = static_cast<std::size_t>(columns());
    const std::size_t cells = static_cast<std::size_t>(lightRows()) * m_width;
    growTo(m_lightCells, static_cast<std::size_t>(lightRows()) * static_cast<std::size_t>(width(m_light)));
    growTo(m_across, cells);
    growTo(m_down, cells);
    if (m_scratch.size() < threads) m_scratch.resize(threads);
    // Two interleaved blocks of light rows, which the row phase ping-pongs
    // between, and its running sums; the light phase keeps the light of one
    // cell row's pixels, the column phase its sums, at the start.
    const auto lightWidth = static_cast<std::size_t>(width(m_light));
    const std::size_t scratch =
        std::max(2 * lightWidth * kRowBlock + kRowBlock, std::max(lightWidth << m_shift, m_width));
    for (auto& lines : m_scratch) growTo(lines, scratch);
}

void LumaBlocks::prepare(const Rect& area, unsigned threads) {
    static_assert(kBlockRows == kMaxCellSize);
    m_area = area;
    m_width = static_cast<std::size_t>(width(area));
    m_firstBlock = area.y1 >> 3;  // floor, for rows below 0 too
    m_blocks = ((area.y2 - 1) >> 3) - m_firstBlock + 1;
    if (m_rows.size() < threads) m_rows.resize(threads);
    for (auto& rows : m_rows) growTo(rows, m_width * kBlockRows);
}

std::pair<int, int> LumaBlocks::fill(const PixelView& source, int index, unsigned thread) {
    const int first = std::max(m_area.y1, (m_firstBlock + index) * kBlockRows);
    const int end = std::min(m_area.y2, (m_firstBlock + index + 1) * kBlockRows);
    // Columns left and right of the source repeat its edge pixels' luma; the
    // columns between read the row in order.
    const Rect& from = source.bounds;
    const int inside1 = std::clamp(from.x1, m_area.x1, m_area.x2);
    const int inside2 = std::clamp(from.x2, inside1, m_area.x2);
    for (int y = first; y < end; ++y) {
        const float* row = source.clampedPixel(from.x1, y);
        const float* last = row + 4 * (from.x2 - 1 - from.x1);
        float* target = &m_rows[thread][rowStart(y)];
        const float left = txLuma(row[0], row[1], row[2]);
        const float right = txLuma(last[0], last[1], last[2]);
        for (int x = m_area.x1; x < inside1; ++x) *target++ = left;
        for (const float* p = row + 4 * (inside1 - from.x1); p < row + 4 * (inside2 - from.x1); p += 4)
            *target++ = txLuma(p[0], p[1], p[2]);
        for (int x = inside2; x < m_area.x2; ++x) *target++ = right;
    }
    return {first, end};
}

void GlowPlane::gatherLight(const LumaBlocks& luma, float threshold, int y1, int y2, unsigned thread) {
    const Rect pixels = reads();
    const int size = 1 << m_shift;
    const auto n = static_cast<std::size_t>(width(m_light));
    std::uint32_t* pixelLight = m_scratch[thread].data();
    // Both ends are multiples of the cell's size: the area's rows and the
    // blocks' are.
    for (int top = std::max(y1, pixels.y1); top < std::min(y2, pixels.y2); top += size) {
        const float* rows[kMaxCellSize];
        for (int k = 0; k < size; ++k) rows[k] = luma.at(pixels.x1, top + k, thread);
        const int cellRow = (top - pixels.y1) >> m_shift;
        textureRowKernels().gatherCells(rows, m_shift, threshold, pixelLight,
                                        &m_lightCells[static_cast<std::size_t>(cellRow) * n], 1, n);
    }
}

void GlowPlane::spreadRows(int begin, int end, unsigned thread) {
    // Rows go through the passes kRowBlock at a time, interleaved, so the
    // running sums of the block advance together as one column-wise pass.
    const int b = m_box;
    const int n = width(m_light);
    std::uint32_t* line = m_scratch[thread].data();
    std::uint32_t* other = line + static_cast<std::size_t>(n) * kRowBlock;
    std::uint32_t* sums = other + static_cast<std::size_t>(n) * kRowBlock;
    for (int first = begin; first < end; first += kRowBlock) {
        const int count = std::min(kRowBlock, end - first);
        // A short last block repeats its last row; only real rows are kept.
        const std::uint32_t* rows[kRowBlock];
        for (int r = 0; r < kRowBlock; ++r)
            rows[r] = &m_lightCells[static_cast<std::size_t>(first + std::min(r, count - 1)) * n];
        textureRowKernels().interleaveCells(rows, line, static_cast<std::size_t>(n));
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
    const int rows = lightRows();
    boxDown(m_across.data(), m_down.data(), rows, w, begin, end, b, sums);
    boxDown(m_down.data() + b * w, m_across.data() + b * w, rows - 2 * b, w, begin, end, b, sums);
    boxDown(m_across.data() + 2 * b * w, m_down.data() + 2 * b * w, rows - 4 * b, w, begin, end, b, sums);
}

std::size_t GlowPlane::rowScratch() const {
    return m_shift > 0 ? m_width + (m_width << m_shift) : 0;
}

const std::uint32_t* GlowPlane::row(int y, std::uint32_t* scratch) const {
    const auto at = [&](int cellRow) { return &m_down[static_cast<std::size_t>(cellRow - m_light.y1) * m_width]; };
    if (m_shift == 0) return at(y);
    const TxGlowCell cell = txGlowCell(y, m_shift);
    return textureRowKernels().interpolateCells(at(cell.cell), at(cell.cell + 1), cell.weight, m_shift, m_cells.x1,
                                                m_window.x1, m_width, scratch, scratch + m_width);
}

}  // namespace TonemillTexture
