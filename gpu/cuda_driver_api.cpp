#include "gpu/cuda_driver_api.h"

#include "gpu/runtime_library.h"

namespace ChromvaleBeta2 {

CudaDriver loadCudaDriver(const char* libraryName, CudaDriverApi& api) {
    void* library = openRuntimeLibrary(libraryName);
    if (!library) return {};
    CudaDriverApi loaded;
    const char* missing = nullptr;
#define TONEMILL_CUDA_RESOLVE(name, symbol, signature) \
    if (!missing && !resolveRuntimeSymbol(library, symbol, loaded.name)) missing = symbol;
    TONEMILL_CUDA_ENTRY_POINTS(TONEMILL_CUDA_RESOLVE)
#undef TONEMILL_CUDA_RESOLVE
    if (missing) {
        closeRuntimeLibrary(library);
        return {nullptr, missing};
    }
    api = loaded;
    return {&api, nullptr};
}

const CudaDriver& cudaDriver() {
    static CudaDriverApi api;
    static const CudaDriver driver = loadCudaDriver(kCudaDriverName, api);
    return driver;
}

std::string unusableDriverText(const CudaDriver& driver) {
    if (driver.missingEntryPoint == nullptr) return "No NVIDIA driver found: CUDA renders unavailable";
    return std::string("The NVIDIA driver (") + kCudaDriverName + ") lacks " + driver.missingEntryPoint +
           ": CUDA renders need driver R525 or newer";
}

bool cudaCallSucceeded(const CudaDriverApi& cu, CUresult result, const char* call, Diagnostics& diagnostics) {
    if (result == kCudaSuccess) return true;
    const char* name = nullptr;
    if (cu.cuGetErrorName(result, &name) != kCudaSuccess || name == nullptr) name = "an unknown error";
    diagnostics.error("%s failed: %s (%d)", call, name, result);
    return false;
}

bool readCudaDeviceAttribute(const CudaDriverApi& cu, CUdevice device, int attribute, int& value,
                             Diagnostics& diagnostics) {
    return cudaCallSucceeded(cu, cu.cuDeviceGetAttribute(&value, attribute, device), "cuDeviceGetAttribute",
                             diagnostics);
}

}  // namespace ChromvaleBeta2
