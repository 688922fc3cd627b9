#pragma once

// One glow over a render window: the light above a threshold, gathered into
// cells (pixels, for a narrow glow), spread by three box passes across and
// three down, held in fixed point. Its buffers cover the cells the window
// needs grown by the glow's reach, and are kept for the next render.

#include <cstdint>
#include <vector>

#include "pipeline/texture/glow_cells.h"
#include "pipeline/texture/pixel_view.h"
#include "pipeline/texture/texture_settings.h"

namespace TonemillTexture {

// The luma of every pixel a render's glows read, read once for all of them,
// the source's edges repeated where it is smaller.
class LumaPlane {
 public:
    // Sizes the plane for `area`; buffers only ever grow.
    void prepare(const Rect& area);
    int rows() const { return m_area.y2 - m_area.y1; }
    // Fills rows [begin, end) of the area.
    void fill(const PixelView& source, int begin, int end);
    // Luma along frame row y, from column x on.
    const float* at(int x, int y) const {
        return &m_values[static_cast<std::size_t>(y - m_area.y1) * m_width + static_cast<std::size_t>(x - m_area.x1)];
    }

 private:
    Rect m_area{};
    std::size_t m_width = 0;
    std::vector<float> m_values;
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

    // Row phase: the light above `threshold` of light rows [begin, end),
    // gathered into cells and spread across. `luma` covers at least reads().
    // Worker `thread` uses its own scratch.
    void spreadRows(const LumaPlane& luma, float threshold, int begin, int end, unsigned thread);
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
    std::size_t m_width = 0;              // columns()
    std::vector<std::uint32_t> m_across;  // light rows x finished columns
    std::vector<std::uint32_t> m_down;    // the same shape
    std::vector<std::vector<std::uint32_t>> m_scratch;
};

}  // namespace TonemillTexture
