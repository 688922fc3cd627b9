#pragma once

// One glow over a render window: the light above a threshold, spread by three
// box passes across and three down, held in fixed point. Its buffers cover
// the window grown by the glow's reach, and are kept for the next render.

#include <cstdint>
#include <vector>

#include "pipeline/texture/pixel_view.h"

namespace TonemillTexture {

// The luma of the render window grown by the widest glow's reach, read once
// for every glow, the source's edges repeated where it is smaller.
class LumaPlane {
 public:
    // Sizes the plane for `window` grown by `margin`; buffers only ever grow.
    void prepare(const Rect& window, int margin);
    int rows() const { return m_grown.y2 - m_grown.y1; }
    // Fills grown rows [begin, end).
    void fill(const PixelView& source, int begin, int end);
    // Luma along frame row y, from column x on.
    const float* at(int x, int y) const {
        return &m_values[static_cast<std::size_t>(y - m_grown.y1) * m_width + static_cast<std::size_t>(x - m_grown.x1)];
    }

 private:
    Rect m_grown{};
    std::size_t m_width = 0;
    std::vector<float> m_values;
};

class GlowPlane {
 public:
    // Sizes the plane for `window` and a box radius (0: no glow) with scratch
    // lines for `threads` workers; buffers only ever grow.
    void prepare(const Rect& window, int boxRadius, unsigned threads);

    bool active() const { return m_box > 0; }
    // Rows of the grown window, which the row phase shares out.
    int grownRows() const { return m_rows; }
    int columns() const { return m_window.x2 - m_window.x1; }

    // Row phase: the light above `threshold` of grown rows [begin, end),
    // spread across. `luma` covers at least this plane's grown window. Worker
    // `thread` uses its own scratch.
    void spreadRows(const LumaPlane& luma, float threshold, int begin, int end, unsigned thread);
    // Column phase, after every row: window columns [begin, end) spread down.
    void spreadColumns(int begin, int end, unsigned thread);

    // The finished glow along window row y, from the window's left edge.
    const std::uint32_t* row(int y) const {
        return &m_down[static_cast<std::size_t>(y - m_window.y1 + 3 * m_box) * m_width];
    }

 private:
    Rect m_window{};
    int m_box = 0;
    int m_rows = 0;
    std::size_t m_width = 0;
    std::vector<std::uint32_t> m_across;  // grown rows x window columns
    std::vector<std::uint32_t> m_down;    // the same shape
    std::vector<std::vector<std::uint32_t>> m_scratch;
};

}  // namespace TonemillTexture
