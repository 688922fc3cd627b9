#pragma once

#include <map>

#include "gpu/cuda_driver_api.h"
#include "gpu/cuda_kernel_images.h"

namespace ChromvaleBeta2 {

// The primary contexts retained for renders that come without a current
// context, one per device, kept for the life of the process.
using PrimaryContexts = std::map<CUdevice, CUcontext>;

// Makes a render's context current for the life of this object: the one the
// host made current, else the primary context of the device that holds the
// source image, which is popped again so the host's thread is left as it was.
class CudaRenderContext {
 public:
    explicit CudaRenderContext(const CudaDriverApi& cu) : cu_(cu) {}
    CudaRenderContext(const CudaRenderContext&) = delete;
    CudaRenderContext& operator=(const CudaRenderContext&) = delete;
    ~CudaRenderContext();

    // False after noting what failed. `primaries` must be guarded by the
    // caller's lock.
    bool enter(const void* source, PrimaryContexts& primaries, Diagnostics& diagnostics);

 private:
    const CudaDriverApi& cu_;
    bool pushed_ = false;
};

// The driver's id of the current context, which unlike a context's address is
// never reused; false after noting a failure.
bool currentCudaContextId(const CudaDriverApi& cu, unsigned long long& id, Diagnostics& diagnostics);

// Loads the image of `build` that suits the current context's device; null
// after noting why there is none.
CUmodule loadCudaModule(const CudaDriverApi& cu, const CudaKernelBuild& build, const char* what,
                        Diagnostics& diagnostics);

}  // namespace ChromvaleBeta2
