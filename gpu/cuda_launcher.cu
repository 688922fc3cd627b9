#include <cuda_runtime.h>

#include "chromvale_cuda.cu"
#include "gpu/cuda_launcher.h"
#include "gpu/kernel_arguments.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2 {
namespace {

constexpr int kBlockWidth = 256;

// Copies every present table and image to the device in argument order and
// stops at the first failure. Whatever was allocated is left in `buffers` for
// the caller to free.
bool upload(const HostUploads& uploads, DeviceBuffers& buffers) {
    for (std::size_t slot = 0; slot < kUploadCount; ++slot) {
        const HostUpload& host = uploads[slot];
        if (!host.present()) continue;
        void* device = nullptr;
        if (cudaMalloc(&device, host.bytes) != cudaSuccess) return false;
        buffers[slot].handle = device;
        if (cudaMemcpy(device, host.data, host.bytes, cudaMemcpyHostToDevice) != cudaSuccess) {
            return false;
        }
    }
    return true;
}

}  // namespace

GpuOutcome launchCudaPipeline(int width, int height, const PipelineSettings& settings, const void* source,
                              void* destination, Diagnostics& diagnostics) {
    if (!haveImages(source, destination, "CUDA", diagnostics)) return GpuOutcome::Failed;
    const HostUploads uploads = hostUploads(settings);
    DeviceBuffers buffers{};
    if (upload(uploads, buffers) && width > 0 && height > 0) {
        const dim3 block(kBlockWidth, 1, 1);
        const dim3 grid((width + kBlockWidth - 1) / kBlockWidth, height, 1);
        forwardKernelArguments(settings, width, height, DeviceBuffer{source}, buffers, uploads,
                               DeviceBuffer{destination},
                               [&](auto... arguments) { applyEffectKernelCL<<<grid, block>>>(arguments...); });
    }
    for (const DeviceBuffer& buffer : buffers) {
        if (buffer.handle) cudaFree(const_cast<void*>(buffer.handle));
    }
    // The status of the final synchronisation says nothing the host could act on:
    // a failed render leaves the destination as the host gave it.
    (void)cudaDeviceSynchronize();
    return GpuOutcome::Done;
}

}  // namespace ChromvaleBeta2
