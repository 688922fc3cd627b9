#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace ChromvaleBeta2 {

// One compiled form of the colour chain kernel, as NVRTC made it at build time:
// machine code (a cubin) for compute capability major.minor, or PTX written for
// it, which the driver compiles for that capability and any later one.
struct CudaKernelImage {
    int major = 0;
    int minor = 0;
    bool isPtx = false;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// What the build embedded: its images, the kernel's symbol in them, and the
// NVRTC version that compiled them (1000 * major + 10 * minor, as CUDA counts).
struct CudaKernelBuild {
    std::span<const CudaKernelImage> images;
    const char* kernelSymbol = nullptr;
    int compilerVersion = 0;
};

// Generated at build time from kernels/chromvale_cuda.cu.
const CudaKernelBuild& cudaKernelBuild();

// The image a device of compute capability major.minor runs, as the driver
// would pick from a fat binary: machine code of the same major version built
// for the highest minor version not above the device's, else the newest PTX
// not above the device's capability; null when none fits.
const CudaKernelImage* chooseCudaKernelImage(std::span<const CudaKernelImage> images, int major, int minor);

// "sm_86 machine code" or "compute_90 PTX", for log lines.
std::string describeCudaKernelImage(const CudaKernelImage& image);

}  // namespace ChromvaleBeta2
