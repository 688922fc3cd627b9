#include "pipeline/texture/glow_cells.h"

#include "film_texture.h"

namespace TonemillTexture {

Rect glowCells(const Rect& window, int shift) {
    if (shift == 0) return window;
    // The last pixel's cell has a neighbour after it; at shift 0 its weight
    // is 0 and it is never read.
    return {txGlowCell(window.x1, shift).cell, txGlowCell(window.y1, shift).cell,
            txGlowCell(window.x2 - 1, shift).cell + 2, txGlowCell(window.y2 - 1, shift).cell + 2};
}

Rect lightCells(const Rect& cells, int box) {
    const int reach = 3 * box;
    return {cells.x1 - reach, cells.y1 - reach, cells.x2 + reach, cells.y2 + reach};
}

Rect cellPixels(const Rect& cells, int shift) {
    const int size = 1 << shift;
    return {cells.x1 * size, cells.y1 * size, cells.x2 * size, cells.y2 * size};
}

}  // namespace TonemillTexture
