#include "gpu/cuda_device_lines.h"

namespace ChromvaleBeta2 {

double peakMemoryBandwidthGBs(int memoryClockRateKHz, int memoryBusWidthBits) {
    return 2.0 * memoryClockRateKHz * (memoryBusWidthBits / 8) / 1.0e6;
}

void reportCudaDevice(Diagnostics& report, int number, const CudaDeviceFigures& device) {
    report.note("Device Number: %d", number);
    report.note("  Device name: %s", device.name.c_str());
    report.note("  Compute capability: %d.%d", device.major, device.minor);
    report.note("  Memory Clock Rate (KHz): %d", device.memoryClockRateKHz);
    report.note("  Memory Bus Width (bits): %d", device.memoryBusWidthBits);
    report.note("  Peak Memory Bandwidth (GB/s): %f",
                peakMemoryBandwidthGBs(device.memoryClockRateKHz, device.memoryBusWidthBits));
}

}  // namespace ChromvaleBeta2
