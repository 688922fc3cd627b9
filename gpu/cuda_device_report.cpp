#include "gpu/cuda_device_lines.h"
#include "gpu/cuda_driver_api.h"
#include "gpu/cuda_kernel_images.h"
#include "gpu/device_report.h"

namespace ChromvaleBeta2 {
namespace {

// False after noting what failed; the device's block is then left out.
bool readDevice(const CudaDriverApi& cu, int number, CudaDeviceFigures& figures, Diagnostics& report) {
    CUdevice device = 0;
    char name[256] = {};
    if (!cudaCallSucceeded(cu, cu.cuDeviceGet(&device, number), "cuDeviceGet", report) ||
        !cudaCallSucceeded(cu, cu.cuDeviceGetName(name, sizeof name - 1, device), "cuDeviceGetName", report)) {
        return false;
    }
    figures.name = name;
    return readCudaDeviceAttribute(cu, device, kCudaAttributeComputeCapabilityMajor, figures.major, report) &&
           readCudaDeviceAttribute(cu, device, kCudaAttributeComputeCapabilityMinor, figures.minor, report) &&
           readCudaDeviceAttribute(cu, device, kCudaAttributeMemoryClockRate, figures.memoryClockRateKHz, report) &&
           readCudaDeviceAttribute(cu, device, kCudaAttributeMemoryBusWidth, figures.memoryBusWidthBits, report);
}

}  // namespace

void reportCudaDevices(Diagnostics& report) {
    report.note("CUDA compile time version : %d", cudaKernelBuild().compilerVersion);
    const CudaDriver& driver = cudaDriver();
    // A machine without an NVIDIA driver, or without a CUDA device, is an
    // ordinary one: say so plainly rather than send the user hunting for a
    // driver update. Only a driver that is there and fails is an error.
    if (driver.api == nullptr) {
        if (driver.missingEntryPoint == nullptr) {
            report.note("%s", unusableDriverText(driver).c_str());
        } else {
            report.error("%s", unusableDriverText(driver).c_str());
        }
        return;
    }
    const CudaDriverApi& cu = *driver.api;
    int driverVersion = 0;
    if (cudaCallSucceeded(cu, cu.cuDriverGetVersion(&driverVersion), "cuDriverGetVersion", report)) {
        report.note("CUDA driver version : %d", driverVersion);
    }
    const CUresult initialised = cu.cuInit(0);
    if (initialised == kCudaErrorNoDevice) {
        report.note("No CUDA device found: CUDA renders unavailable");
        return;
    }
    int count = 0;
    if (!cudaCallSucceeded(cu, initialised, "cuInit", report) ||
        !cudaCallSucceeded(cu, cu.cuDeviceGetCount(&count), "cuDeviceGetCount", report)) {
        return;
    }
    for (int number = 0; number < count; ++number) {
        CudaDeviceFigures figures;
        if (readDevice(cu, number, figures, report)) reportCudaDevice(report, number, figures);
    }
}

}  // namespace ChromvaleBeta2
