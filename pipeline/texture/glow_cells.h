#pragma once

// Which glow cells a render window needs, and which pixels those cells
// cover: one answer for the CPU planes and the device launchers, so every
// back-end reads the same source and computes the same cells.

#include "pipeline/texture/pixel_view.h"

namespace TonemillTexture {

// The cells whose finished glow the pixels of `window` are interpolated
// from, each pixel's cell and the next; at shift 0, the window itself.
Rect glowCells(const Rect& window, int shift);

// The cells whose light those read: `cells` grown by three passes of `box`.
Rect lightCells(const Rect& cells, int box);

// The render pixels that `cells` cover.
Rect cellPixels(const Rect& cells, int shift);

}  // namespace TonemillTexture
