#include <cuda_runtime_api.h>

#include "gpu/cuda_device_lines.h"
#include "gpu/device_report.h"

namespace ChromvaleBeta2 {

void reportCudaDevices(Diagnostics& report) {
    report.note("CUDA compile time version : %d", CUDART_VERSION);
    int version = 0;
    if (cudaRuntimeGetVersion(&version) == cudaSuccess) {
        report.note("CUDA runtime version : %d", version);
    }
    if (cudaDriverGetVersion(&version) == cudaSuccess) {
        report.note("CUDA driver version : %d", version);
    }
    int count = 0;
    const cudaError_t status = cudaGetDeviceCount(&count);
    if (status != cudaSuccess) {
        report.error("%s", cudaGetErrorString(status));
        return;
    }
    for (int device = 0; device < count; ++device) {
        cudaDeviceProp properties{};
        cudaGetDeviceProperties(&properties, device);
        CudaDeviceFigures figures;
        figures.name = properties.name;
        figures.major = properties.major;
        figures.minor = properties.minor;
        figures.memoryBusWidthBits = properties.memoryBusWidth;
        // The memory clock left cudaDeviceProp in CUDA 13; the attribute
        // query answers the same figure on every runtime version.
        cudaDeviceGetAttribute(&figures.memoryClockRateKHz, cudaDevAttrMemoryClockRate, device);
        reportCudaDevice(report, device, figures);
    }
}

}  // namespace ChromvaleBeta2
