#include "gpu/cuda_render_context.h"

namespace ChromvaleBeta2 {

CudaRenderContext::~CudaRenderContext() {
    CUcontext popped = nullptr;
    if (pushed_) cu_.cuCtxPopCurrent(&popped);
}

bool CudaRenderContext::enter(const void* source, PrimaryContexts& primaries, Diagnostics& diagnostics) {
    CUcontext current = nullptr;
    if (!cudaCallSucceeded(cu_, cu_.cuCtxGetCurrent(&current), "cuCtxGetCurrent", diagnostics)) return false;
    if (current != nullptr) return true;
    int ordinal = 0;
    if (!cudaCallSucceeded(cu_,
                           cu_.cuPointerGetAttribute(&ordinal, kCudaPointerAttributeDeviceOrdinal,
                                                     reinterpret_cast<CUdeviceptr>(source)),
                           "cuPointerGetAttribute", diagnostics)) {
        return false;
    }
    CUdevice device = 0;
    if (!cudaCallSucceeded(cu_, cu_.cuDeviceGet(&device, ordinal), "cuDeviceGet", diagnostics)) return false;
    CUcontext& primary = primaries[device];
    if (primary == nullptr && !cudaCallSucceeded(cu_, cu_.cuDevicePrimaryCtxRetain(&primary, device),
                                                 "cuDevicePrimaryCtxRetain", diagnostics)) {
        primary = nullptr;
        return false;
    }
    pushed_ = cudaCallSucceeded(cu_, cu_.cuCtxPushCurrent(primary), "cuCtxPushCurrent", diagnostics);
    return pushed_;
}

bool currentCudaContextId(const CudaDriverApi& cu, unsigned long long& id, Diagnostics& diagnostics) {
    CUcontext context = nullptr;
    return cudaCallSucceeded(cu, cu.cuCtxGetCurrent(&context), "cuCtxGetCurrent", diagnostics) &&
           cudaCallSucceeded(cu, cu.cuCtxGetId(context, &id), "cuCtxGetId", diagnostics);
}

CUmodule loadCudaModule(const CudaDriverApi& cu, const CudaKernelBuild& build, const char* what,
                        Diagnostics& diagnostics) {
    CUdevice device = 0;
    int major = 0;
    int minor = 0;
    if (!cudaCallSucceeded(cu, cu.cuCtxGetDevice(&device), "cuCtxGetDevice", diagnostics) ||
        !readCudaDeviceAttribute(cu, device, kCudaAttributeComputeCapabilityMajor, major, diagnostics) ||
        !readCudaDeviceAttribute(cu, device, kCudaAttributeComputeCapabilityMinor, minor, diagnostics)) {
        return nullptr;
    }
    const CudaKernelImage* image = chooseCudaKernelImage(build.images, major, minor);
    if (image == nullptr) {
        diagnostics.error("This plug-in carries no CUDA %s for compute capability %d.%d", what, major, minor);
        return nullptr;
    }
    CUmodule module = nullptr;
    if (!cudaCallSucceeded(cu, cu.cuModuleLoadData(&module, image->data), "cuModuleLoadData", diagnostics)) {
        diagnostics.error("Could not load the CUDA %s's %s on a device of compute capability %d.%d", what,
                          describeCudaKernelImage(*image).c_str(), major, minor);
        return nullptr;
    }
    return module;
}

}  // namespace ChromvaleBeta2
