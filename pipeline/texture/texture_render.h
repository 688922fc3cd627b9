#pragma once

// The CPU render of the texture effect: the glows' row and column phases,
// then grain and glows composed onto each pixel. Every phase splits into
// slices that may run at once on different threads; the result is the same
// whatever the slices.

#include <functional>

#include "pipeline/texture/glow_plane.h"
#include "pipeline/texture/pixel_view.h"
#include "pipeline/texture/texture_settings.h"

namespace TonemillTexture {

// Runs work(index, count) for every index below count, possibly at once, and
// returns when all have finished.
using ParallelRun = std::function<void(unsigned count, const std::function<void(unsigned, unsigned)>& work)>;

// Runs the slices one after another on the calling thread.
void runInOrder(unsigned count, const std::function<void(unsigned, unsigned)>& work);

// The buffers of one instance's renders, kept between them.
struct TextureWorkspace {
    LumaBlocks luma;
    GlowPlane halation;
    GlowPlane bloom;
};

// The glows' two phases for `window`, `threads` slices each: the light of the
// window grown by the glows' reach, read from `source` clamped to its edges.
void spreadGlows(const TextureSettings& settings, const PixelView& source, const Rect& window,
                 TextureWorkspace& workspace, unsigned threads, const ParallelRun& run);

// Grain and the spread glows onto rows `band` of the window, after spreadGlows.
void composeTexture(const TextureSettings& settings, const PixelView& source, const PixelView& destination,
                    const Rect& band, const TextureWorkspace& workspace);

// Both, for `window` of `destination` from `source`.
void renderTexture(const TextureSettings& settings, const PixelView& source, const PixelView& destination,
                   const Rect& window, TextureWorkspace& workspace, unsigned threads, const ParallelRun& run);

}  // namespace TonemillTexture
