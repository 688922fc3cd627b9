#pragma once

#include <string>

#include "gpu/diagnostics.h"

namespace ChromvaleBeta2 {

// What the CUDA report says about one device.
struct CudaDeviceFigures {
    std::string name;
    int major = 0;
    int minor = 0;
    int memoryClockRateKHz = 0;
    int memoryBusWidthBits = 0;
};

// Bytes move on both clock edges; a bus width that is not a whole number of
// bytes is rounded down.
double peakMemoryBandwidthGBs(int memoryClockRateKHz, int memoryBusWidthBits);

// The report's block for device `number`.
void reportCudaDevice(Diagnostics& report, int number, const CudaDeviceFigures& device);

}  // namespace ChromvaleBeta2
