// The texture's CUDA entry points of a build made without NVRTC. Describe
// declares CUDA unsupported in such a build, so a host reaching the launcher
// is misbehaving.
#include "gpu/texture/texture_cuda_launcher.h"

namespace TonemillTexture {

bool textureCudaBuilt() {
    return false;
}

ChromvaleBeta2::GpuOutcome launchCudaTexture(const TextureSettings&, const DeviceImage&, const DeviceImage&,
                                             const Rect&, ChromvaleBeta2::Diagnostics& diagnostics) {
    diagnostics.error("CUDA support was not built into this plug-in");
    return ChromvaleBeta2::GpuOutcome::Unsupported;
}

}  // namespace TonemillTexture
