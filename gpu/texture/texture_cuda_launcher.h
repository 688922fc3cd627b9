#pragma once

#include "gpu/diagnostics.h"
#include "gpu/texture/texture_kernel_arguments.h"

namespace TonemillTexture {

// Whether this build carries the texture's CUDA kernels. Without NVRTC at
// build time the effect declares CUDA rendering unsupported.
bool textureCudaBuilt();

// Renders the texture of `window` from `source` into `destination`, both CUDA
// device memory, in the context the host made current (else the primary
// context of the source's device), and waits for the device, so the host may
// read the destination as soon as the call returns. The kernels are loaded
// once per context and the glows' buffers kept for it, reused by its next
// render and grown when that needs more. Unsupported without a driver or a
// kernel for the device, Failed without both images; other failures are
// noted and leave the destination as the host gave it.
ChromvaleBeta2::GpuOutcome launchCudaTexture(const TextureSettings& settings, const DeviceImage& source,
                                             const DeviceImage& destination, const Rect& window,
                                             ChromvaleBeta2::Diagnostics& diagnostics);

}  // namespace TonemillTexture
