#include "gpu/cuda_launcher.h"

#include <map>
#include <mutex>
#include <tuple>
#include <type_traits>

#include "gpu/cuda_driver_api.h"
#include "gpu/cuda_kernel_images.h"
#include "gpu/cuda_render_context.h"
#include "gpu/kernel_arguments.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2 {
namespace {

constexpr unsigned int kBlockWidth = 256;

// Loaded kernels live as long as the process: hosts keep their contexts, and
// loading PTX costs a compile. They are keyed by the driver's context id. The
// primary contexts retained for renders that come without a current context
// are kept as long.
struct ModuleCache {
    std::mutex moduleCacheMutex;
    std::map<unsigned long long, CUfunction> kernelByContextId;
    PrimaryContexts primaryContextByDevice;
};

ModuleCache& moduleCache() {
    static ModuleCache cache;
    return cache;
}

// The kernel of the current context, loaded on its first render there. A
// failed load is not remembered, so every render names the cause again.
CUfunction contextKernel(const CudaDriverApi& cu, ModuleCache& cache, Diagnostics& diagnostics) {
    unsigned long long id = 0;
    if (!currentCudaContextId(cu, id, diagnostics)) return nullptr;
    const auto cached = cache.kernelByContextId.find(id);
    if (cached != cache.kernelByContextId.end()) return cached->second;
    const CudaKernelBuild& build = cudaKernelBuild();
    const CUmodule module = loadCudaModule(cu, build, "kernel", diagnostics);
    CUfunction kernel = nullptr;
    if (module == nullptr || !cudaCallSucceeded(cu, cu.cuModuleGetFunction(&kernel, module, build.kernelSymbol),
                                                "cuModuleGetFunction", diagnostics)) {
        return nullptr;
    }
    cache.kernelByContextId.emplace(id, kernel);
    return kernel;
}

// The render's copies of the tables and images, freed when the render is done.
class RenderBuffers {
 public:
    explicit RenderBuffers(const CudaDriverApi& cu) : cu_(cu) {}
    RenderBuffers(const RenderBuffers&) = delete;
    RenderBuffers& operator=(const RenderBuffers&) = delete;
    ~RenderBuffers() {
        for (const DeviceBuffer& buffer : buffers_) {
            if (buffer.handle) cu_.cuMemFree(reinterpret_cast<CUdeviceptr>(buffer.handle));
        }
    }

    // False after noting the first table or image that could not be copied.
    bool upload(const HostUploads& uploads, Diagnostics& diagnostics) {
        for (std::size_t slot = 0; slot < kUploadCount; ++slot) {
            const HostUpload& upload = uploads[slot];
            if (!upload.present()) continue;
            CUdeviceptr device = 0;
            if (!cudaCallSucceeded(cu_, cu_.cuMemAlloc(&device, upload.bytes), "cuMemAlloc", diagnostics)) {
                return false;
            }
            buffers_[slot].handle = reinterpret_cast<const void*>(device);
            if (!cudaCallSucceeded(cu_, cu_.cuMemcpyHtoD(device, upload.data, upload.bytes), "cuMemcpyHtoD",
                                   diagnostics)) {
                return false;
            }
        }
        return true;
    }

    const DeviceBuffers& buffers() const { return buffers_; }

 private:
    const CudaDriverApi& cu_;
    DeviceBuffers buffers_{};
};

// A kernel argument as cuLaunchKernel reads it: a device address for a buffer,
// the value itself for a number.
template <typename Value>
auto launchValue(const Value& value) {
    if constexpr (std::is_same_v<Value, DeviceBuffer>) {
        return reinterpret_cast<CUdeviceptr>(value.handle);
    } else {
        static_assert(std::is_arithmetic_v<Value> && sizeof(Value) == 4, "kernel numbers travel as 4-byte values");
        return value;
    }
}

void launch(const CudaDriverApi& cu, CUfunction kernel, int width, int height, const PipelineSettings& settings,
            const void* source, void* destination, const DeviceBuffers& buffers, const HostUploads& uploads,
            Diagnostics& diagnostics) {
    const unsigned int columns = (static_cast<unsigned int>(width) + kBlockWidth - 1) / kBlockWidth;
    const CUresult result = forwardKernelArguments(
        settings, width, height, DeviceBuffer{source}, buffers, uploads, DeviceBuffer{destination},
        [&](const auto&... arguments) {
            auto values = std::make_tuple(launchValue(arguments)...);
            return std::apply(
                [&](auto&... value) {
                    void* parameters[] = {&value...};
                    return cu.cuLaunchKernel(kernel, columns, static_cast<unsigned int>(height), 1, kBlockWidth, 1, 1,
                                             0, nullptr, parameters, nullptr);
                },
                values);
        });
    if (cudaCallSucceeded(cu, result, "cuLaunchKernel", diagnostics)) {
        cudaCallSucceeded(cu, cu.cuCtxSynchronize(), "cuCtxSynchronize", diagnostics);
    }
}

}  // namespace

GpuOutcome launchCudaPipeline(int width, int height, const PipelineSettings& settings, const void* source,
                              void* destination, Diagnostics& diagnostics) {
    if (!haveImages(source, destination, "CUDA", diagnostics)) return GpuOutcome::Failed;
    const CudaDriver& driver = cudaDriver();
    if (driver.api == nullptr) {
        // The host handed CUDA images, so even a machine without the driver is an error here.
        diagnostics.error("%s", unusableDriverText(driver).c_str());
        return GpuOutcome::Unsupported;
    }
    const CudaDriverApi& cu = *driver.api;
    if (!cudaCallSucceeded(cu, cu.cuInit(0), "cuInit", diagnostics)) return GpuOutcome::Unsupported;

    CudaRenderContext context(cu);
    CUfunction kernel = nullptr;
    {
        ModuleCache& cache = moduleCache();
        const std::lock_guard<std::mutex> lock(cache.moduleCacheMutex);
        if (context.enter(source, cache.primaryContextByDevice, diagnostics))
            kernel = contextKernel(cu, cache, diagnostics);
    }
    if (kernel == nullptr) {
        diagnostics.error("Skipping CUDA processing: no kernel could be loaded");
        return GpuOutcome::Unsupported;
    }
    if (width <= 0 || height <= 0) return GpuOutcome::Done;

    const HostUploads uploads = hostUploads(settings);
    RenderBuffers buffers(cu);
    if (buffers.upload(uploads, diagnostics)) {
        launch(cu, kernel, width, height, settings, source, destination, buffers.buffers(), uploads, diagnostics);
    }
    return GpuOutcome::Done;
}

}  // namespace ChromvaleBeta2
