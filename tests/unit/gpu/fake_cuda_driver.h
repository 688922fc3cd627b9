#pragma once

// A stand-in for NVIDIA's driver, built as libcuda.so.1 for the launcher's
// tests: it answers as a machine with one chosen GPU would, records what the
// launcher asked of it, and fails the one call a test names.

#include <dlfcn.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gpu/cuda_driver_api.h"

namespace ChromvaleBeta2::testing {

struct FakeCudaDriver {
    // The machine.
    int major = 8;
    int minor = 6;
    bool hostContextCurrent = true;  // else no context is current on the render's thread
    unsigned long long hostContextId = 1;
    int imageDeviceOrdinal = 0;
    std::string failingCall;  // the exported name of the call that fails
    CUresult failure = 0;

    // What the launcher did.
    int moduleLoads = 0;
    const void* loadedImage = nullptr;
    std::string functionName;                // the last one asked for
    std::vector<std::string> functionNames;  // every one, each its own handle
    std::vector<CUdevice> retainedPrimaryContexts;
    int pushes = 0;
    int pops = 0;
    std::map<CUdeviceptr, std::vector<unsigned char>> allocations;  // live ones, with what was copied in
    std::map<CUdeviceptr, std::vector<unsigned char>> freed;
    int launches = 0;
    unsigned int grid[3] = {};
    unsigned int block[3] = {};
    std::vector<std::uint64_t> arguments;  // each parameter's bytes, as wide as `argumentSizes` says
    std::vector<std::size_t> argumentSizes;
    // Kernels of other widths, by name: their launches in order, and the
    // arguments of each one's last launch.
    std::map<std::string, std::vector<std::size_t>> argumentSizesByFunction;
    std::vector<std::string> launchedFunctions;
    std::map<std::string, std::vector<std::uint64_t>> argumentsByFunction;
    int synchronisations = 0;
};

}  // namespace ChromvaleBeta2::testing

// The fake's state; the tests find it with dlsym, so that a real driver
// shadowing the fake is noticed rather than called.
extern "C" __attribute__((visibility("default"))) ChromvaleBeta2::testing::FakeCudaDriver* fakeCudaDriver();
using FakeCudaDriverAccess = ChromvaleBeta2::testing::FakeCudaDriver* (*)();

namespace ChromvaleBeta2::testing {

// The fake that the launchers will open, reset; null when a real driver
// shadows it. Test programs open libcuda.so.1 as the launchers do.
inline FakeCudaDriver* resetFakeCudaDriver() {
    void* library = ::dlopen("libcuda.so.1", RTLD_NOW | RTLD_LOCAL);
    const auto access = library ? reinterpret_cast<FakeCudaDriverAccess>(::dlsym(library, "fakeCudaDriver")) : nullptr;
    if (access == nullptr) return nullptr;
    FakeCudaDriver* driver = access();
    *driver = FakeCudaDriver{};
    return driver;
}

}  // namespace ChromvaleBeta2::testing
