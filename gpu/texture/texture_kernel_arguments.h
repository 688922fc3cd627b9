#pragma once

// The texture kernels' argument lists, in the order film_texture.cl declares
// them, and the sizes of the glows' buffers: written once for the OpenCL and
// the CUDA back-end, whose `Buffer` is a cl_mem or a device address.

#include <cstddef>

#include "pipeline/texture/glow_cells.h"
#include "pipeline/texture/pixel_view.h"
#include "pipeline/texture/texture_settings.h"

namespace TonemillTexture {

// A device buffer of float RGBA pixels, rows packed bottom-up, covering
// `bounds`: an OpenCL cl_mem or a CUDA device address.
struct DeviceImage {
    const void* buffer = nullptr;
    Rect bounds{};
};

// What one glow's kernels work on for a window: the finished cells the
// window's pixels read, the light cells those are spread from (rows of the
// row phase), and the sizes of its buffers.
struct GlowGeometry {
    GlowGrid grid;
    Rect cells{};
    Rect light{};
    int width = 0;              // finished cells per row
    int lightWidth = 0;         // light cells per row
    int rows = 0;               // light rows
    std::size_t area = 0;       // cells of the across and down buffers
    std::size_t lineCells = 0;  // the row phase's scratch: two light rows per row
};

inline GlowGeometry glowGeometry(const Rect& window, const GlowGrid& grid) {
    GlowGeometry g;
    g.grid = grid;
    g.cells = glowCells(window, grid.shift);
    g.light = lightCells(g.cells, grid.box);
    g.width = g.cells.x2 - g.cells.x1;
    g.lightWidth = g.light.x2 - g.light.x1;
    g.rows = g.light.y2 - g.light.y1;
    g.area = static_cast<std::size_t>(g.rows) * static_cast<std::size_t>(g.width);
    g.lineCells = static_cast<std::size_t>(g.rows) * 2 * static_cast<std::size_t>(g.lightWidth);
    return g;
}

// One glow's finished cells on a device: `cells` empty (null, 0) when the
// glow is off or could not be spread.
template <typename Buffer>
struct DeviceGlow {
    Buffer cells{};
    GlowGeometry geometry;
};

template <typename Buffer, typename Call>
auto forwardGlowRowsArguments(Call&& call, Buffer source, const Rect& sb, const GlowGeometry& g, float threshold,
                              Buffer lines, Buffer across) {
    return call(source, sb.x1, sb.y1, sb.x2 - sb.x1, sb.y2 - sb.y1, g.light.x1, g.light.y1, g.lightWidth, g.rows,
                g.grid.box, g.grid.shift, threshold, lines, across);
}

template <typename Buffer, typename Call>
auto forwardGlowColumnsArguments(Call&& call, Buffer across, Buffer down, const GlowGeometry& g) {
    return call(across, down, g.width, g.rows, g.grid.box);
}

// A glow that is off still takes a buffer argument, `absent`, which the
// kernel never reads.
template <typename Buffer, typename Call>
auto forwardComposeArguments(Call&& call, const TextureSettings& s, Buffer source, const Rect& sb, Buffer destination,
                             const Rect& db, const Rect& window, const DeviceGlow<Buffer>& halation,
                             const DeviceGlow<Buffer>& bloom, Buffer absent) {
    const GlowGeometry& h = halation.geometry;
    const GlowGeometry& b = bloom.geometry;
    return call(source, sb.x1, sb.y1, sb.x2 - sb.x1, sb.y2 - sb.y1, destination, db.x1, db.y1, db.x2 - db.x1, window.x1,
                window.y1, window.x2 - window.x1, window.y2 - window.y1, halation.cells ? halation.cells : absent,
                h.grid.box, h.grid.shift, h.cells.x1, h.cells.y1, h.width, bloom.cells ? bloom.cells : absent,
                b.grid.box, b.grid.shift, b.cells.x1, b.cells.y1, b.width, s.grainSigma[0], s.grainSigma[1],
                s.grainSigma[2], s.grainInvCell, s.frameOriginX, s.frameOriginY, s.grainKey, s.halationGain[0],
                s.halationGain[1], s.halationGain[2], s.bloomGain);
}

}  // namespace TonemillTexture
