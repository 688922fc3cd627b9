#include "gpu/cuda_device_lines.h"

#include "ofx/support/ofxsLog.h"

namespace ChromvaleBeta2 {

double peakMemoryBandwidthGBs(int memoryClockRateKHz, int memoryBusWidthBits) {
    return 2.0 * memoryClockRateKHz * (memoryBusWidthBits / 8) / 1.0e6;
}

void logCudaDevice(int number, const CudaDeviceFigures& device) {
    OFX::Log::print("Device Number: %d", number);
    OFX::Log::print("  Device name: %s", device.name.c_str());
    OFX::Log::print("  Compute capability: %d.%d", device.major, device.minor);
    OFX::Log::print("  Memory Clock Rate (KHz): %d", device.memoryClockRateKHz);
    OFX::Log::print("  Memory Bus Width (bits): %d", device.memoryBusWidthBits);
    OFX::Log::print("  Peak Memory Bandwidth (GB/s): %f",
                    peakMemoryBandwidthGBs(device.memoryClockRateKHz, device.memoryBusWidthBits));
}

}  // namespace ChromvaleBeta2
