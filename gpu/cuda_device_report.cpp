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
    int driverVersion = 0;
    if (cudaDriverGetVersion(&driverVersion) == cudaSuccess && driverVersion > 0) {
        report.note("CUDA driver version : %d", driverVersion);
    }
    int count = 0;
    const cudaError_t status = cudaGetDeviceCount(&count);
    // A machine without an NVIDIA driver, or without a CUDA device, is an
    // ordinary one: say so plainly rather than send the user hunting for a
    // driver update. Only a driver that is there and fails is an error.
    if (driverVersion == 0 || status == cudaErrorNoDevice) {
        report.note(driverVersion == 0 ? "No NVIDIA driver found: CUDA renders unavailable"
                                       : "No CUDA device found: CUDA renders unavailable");
        return;
    }
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
