#pragma once

// The texture kernels' argument lists, in the order film_texture.cl declares
// them, and the sizes of the glows' buffers: written once for the OpenCL and
// the CUDA back-end, whose `Buffer` is a cl_mem or a device address.

#include <cstddef>

#include "pipeline/texture/pixel_view.h"
#include "pipeline/texture/texture_settings.h"

namespace TonemillTexture {

// A device buffer of float RGBA pixels, rows packed bottom-up, covering
// `bounds`: an OpenCL cl_mem or a CUDA device address.
struct DeviceImage {
    const void* buffer = nullptr;
    Rect bounds{};
};

// What one glow of box radius `box` works on for `window`: the window's
// columns, its rows grown by the three passes' reach, and the cells of the
// row phase's scratch lines (two grown rows per row).
struct GlowGeometry {
    int width = 0;
    int rows = 0;
    std::size_t cells = 0;
    std::size_t lineCells = 0;
};

inline GlowGeometry glowGeometry(const Rect& window, int box) {
    GlowGeometry g;
    g.width = window.x2 - window.x1;
    g.rows = window.y2 - window.y1 + 6 * box;
    g.cells = static_cast<std::size_t>(g.rows) * static_cast<std::size_t>(g.width);
    g.lineCells = static_cast<std::size_t>(g.rows) * 2 * static_cast<std::size_t>(g.width + 6 * box);
    return g;
}

template <typename Buffer, typename Call>
auto forwardGlowRowsArguments(Call&& call, Buffer source, const Rect& sourceBounds, const Rect& window,
                              const GlowGeometry& g, int box, float threshold, Buffer lines, Buffer across) {
    return call(source, sourceBounds.x1, sourceBounds.y1, sourceBounds.x2 - sourceBounds.x1,
                sourceBounds.y2 - sourceBounds.y1, window.x1, window.y1, g.width, g.rows, box, threshold, lines,
                across);
}

template <typename Buffer, typename Call>
auto forwardGlowColumnsArguments(Call&& call, Buffer across, Buffer down, const GlowGeometry& g, int box) {
    return call(across, down, g.width, g.rows, box);
}

// A glow that is off still takes a buffer argument, `absent`, which the
// kernel never reads.
template <typename Buffer, typename Call>
auto forwardComposeArguments(Call&& call, const TextureSettings& s, Buffer source, const Rect& sb, Buffer destination,
                             const Rect& db, const Rect& window, Buffer halation, int halationBox, Buffer bloom,
                             int bloomBox, Buffer absent) {
    return call(source, sb.x1, sb.y1, sb.x2 - sb.x1, sb.y2 - sb.y1, destination, db.x1, db.y1, db.x2 - db.x1, window.x1,
                window.y1, window.x2 - window.x1, window.y2 - window.y1, halation ? halation : absent, halationBox,
                bloom ? bloom : absent, bloomBox, s.grainSigma[0], s.grainSigma[1], s.grainSigma[2], s.grainInvCell,
                s.frameOriginX, s.frameOriginY, s.grainKey, s.halationGain[0], s.halationGain[1], s.halationGain[2],
                s.bloomGain);
}

}  // namespace TonemillTexture
