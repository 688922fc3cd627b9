// The CUDA entry points of a build made without NVRTC. Describe declares CUDA
// unsupported in such a build, so a host reaching the launcher is misbehaving.
#include "gpu/cuda_kernel_images.h"
#include "gpu/cuda_launcher.h"
#include "gpu/device_report.h"

namespace ChromvaleBeta2 {
namespace {
constexpr const char* kNotBuilt = "CUDA support was not built into this plug-in";
}

GpuOutcome launchCudaPipeline(int, int, const PipelineSettings&, const void*, void*, Diagnostics& diagnostics) {
    diagnostics.error("%s", kNotBuilt);
    return GpuOutcome::Unsupported;
}

void reportCudaDevices(Diagnostics& report) {
    report.note("%s", kNotBuilt);
}

const CudaKernelBuild& cudaKernelBuild() {
    static const CudaKernelBuild nothing;
    return nothing;
}

}  // namespace ChromvaleBeta2
