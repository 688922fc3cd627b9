#pragma once

#include "gpu/diagnostics.h"
#include "gpu/texture/texture_kernel_arguments.h"

namespace TonemillTexture {

// Enqueues the texture of `window` on the host's command queue: the glows'
// row and column phases, then the composition into `destination`. The
// kernels are built once per queue and kept for the life of the process, as
// are the glows' buffers, reused by the queue's next render and grown when
// it needs more. Returns without waiting; the host
// synchronises its queue. Unsupported without a loader or a usable kernel,
// Failed without both images; other failures are noted.
ChromvaleBeta2::GpuOutcome launchOpenClTexture(void* queue, const TextureSettings& settings, const DeviceImage& source,
                                               const DeviceImage& destination, const Rect& window,
                                               ChromvaleBeta2::Diagnostics& diagnostics);

}  // namespace TonemillTexture
