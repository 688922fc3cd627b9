#pragma once

// One glow over a render window: the light above a threshold, gathered into
// cells (pixels, for a narrow glow), spread by three box passes across and
// three down, held in fixed point. Its buffers cover the cells the window
// needs grown by the glow's reach, and are kept for the next render.

#include <cstdint>
#include <utility>
#include <vector>

#include "pipeline/texture/glow_cells.h"
#include "pipeline/texture/pixel_view.h"
#include "pipeline/texture/texture_settings.h"

namespace TonemillTexture {

// The luma of the pixels a render's glows read, a block of kMaxCellSize
// frame rows at a time per worker: blocks start at multiples of
// kMaxCellSize, so each holds whole rows of cells of every size and the
// glows gather their cells' light from it while it is in cache.
class LumaBlocks {
 public:
    // Sizes the blocks for `area` and `threads` workers; buffers only ever grow.
    void prepare(const Rect& area, unsigned threads);
    int blocks() const { return m_blocks; }
    // Worker `thread` reads block `index` from `source`, its edges repeated
    // where it is smaller; returns the block's first and end rows within
    // the area.
    std::pair<int, int> fill(const PixelView& source, int index, unsigned thread);
    // Luma along frame row y, from column x on, in the block the worker
    // filled last.
    const float* at(int x, int y, unsigned thread) const {
        return &m_rows[thread][rowStart(y) + static_cast<std::size_t>(x - m_area.x1)];
    }

 private:
    static constexpr int kBlockRows = 8;  // kMaxCellSize
    std::size_t rowStart(int y) const { return static_cast<std::size_t>(y & (kBlockRows - 1)) * m_width; }
    Rect m_area{};
    int m_firstBlock = 0;
    int m_blocks = 0;
    std::size_t m_width = 0;
    std::vector<std::vector<float>> m_rows;
};

class GlowPlane {
 public:
    // Sizes the plane for `window` and a glow on `grid` (box 0: no glow) with
    // scratch for `threads` workers; buffers only ever grow.
    void prepare(const Rect& window, const GlowGrid& grid, unsigned threads);

    bool active() const { return m_box > 0; }
    // The render pixels whose luma the glow reads.
    Rect reads() const { return cellPixels(m_light, m_shift); }
    // Rows of light cells, which the row phase shares out.
    int lightRows() const { return m_light.y2 - m_light.y1; }
    // Columns of finished cells, which the column phase shares out.
    int columns() const { return m_cells.x2 - m_cells.x1; }

    // Light phase: the light above `threshold` of the cells whose pixels lie
    // in frame rows [y1, y2) of the block worker `thread` filled last, which
    // hold whole cell rows.
    void gatherLight(const LumaBlocks& luma, float threshold, int y1, int y2, unsigned thread);
    // Row phase, after the light phase: light rows [begin, end) spread
    // across. Worker `thread` uses its own scratch.
    void spreadRows(int begin, int end, unsigned thread);
    // Column phase, after every row: columns [begin, end) spread down.
    void spreadColumns(int begin, int end, unsigned thread);

    // Values of scratch row() needs for a window row.
    std::size_t rowScratch() const;
    // The finished glow along window row y, from the window's left edge: the
    // cells themselves at shift 0, else interpolated into `scratch`.
    const std::uint32_t* row(int y, std::uint32_t* scratch) const;

 private:
    Rect m_window{};
    Rect m_cells{};  // finished cells
    Rect m_light{};  // light cells: m_cells grown by the passes' reach
    int m_box = 0;
    int m_shift = 0;
    std::size_t m_width = 0;                  // columns()
    std::vector<std::uint32_t> m_lightCells;  // light rows x light columns
    std::vector<std::uint32_t> m_across;      // light rows x finished columns
    std::vector<std::uint32_t> m_down;        // the same shape
    std::vector<std::vector<std::uint32_t>> m_scratch;
};

}  // namespace TonemillTexture
