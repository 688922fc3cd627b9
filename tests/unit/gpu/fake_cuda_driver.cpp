#include "tests/unit/gpu/fake_cuda_driver.h"

#include <cstring>
#include <utility>

using namespace ChromvaleBeta2;
using ChromvaleBeta2::testing::FakeCudaDriver;

namespace {

FakeCudaDriver& fake() {
    return *fakeCudaDriver();
}

CUresult answer(const char* call) {
    return fake().failingCall == call ? fake().failure : kCudaSuccess;
}

CUcontext const kHostContext = reinterpret_cast<CUcontext>(0x100);
CUcontext const kPrimaryContext = reinterpret_cast<CUcontext>(0x200);
CUdeviceptr nextAddress = 0x10000;

}  // namespace

extern "C" {
#define FAKE_EXPORT __attribute__((visibility("default")))

FAKE_EXPORT FakeCudaDriver* fakeCudaDriver() {
    static FakeCudaDriver state;
    return &state;
}

FAKE_EXPORT CUresult cuInit(unsigned int) {
    return answer("cuInit");
}
FAKE_EXPORT CUresult cuDriverGetVersion(int* version) {
    *version = 12080;
    return answer("cuDriverGetVersion");
}
FAKE_EXPORT CUresult cuGetErrorName(CUresult result, const char** name) {
    *name = result == 2     ? "CUDA_ERROR_OUT_OF_MEMORY"
            : result == 200 ? "CUDA_ERROR_INVALID_IMAGE"
                            : "CUDA_ERROR_UNKNOWN";
    return kCudaSuccess;
}
FAKE_EXPORT CUresult cuDeviceGetCount(int* count) {
    *count = 1;
    return answer("cuDeviceGetCount");
}
FAKE_EXPORT CUresult cuDeviceGet(CUdevice* device, int ordinal) {
    *device = ordinal;
    return answer("cuDeviceGet");
}
FAKE_EXPORT CUresult cuDeviceGetName(char* name, int length, CUdevice) {
    std::strncpy(name, "Fake GPU", static_cast<std::size_t>(length));
    return answer("cuDeviceGetName");
}
FAKE_EXPORT CUresult cuDeviceGetAttribute(int* value, int attribute, CUdevice) {
    *value = attribute == kCudaAttributeComputeCapabilityMajor   ? fake().major
             : attribute == kCudaAttributeComputeCapabilityMinor ? fake().minor
                                                                 : 1000;
    return answer("cuDeviceGetAttribute");
}
FAKE_EXPORT CUresult cuDevicePrimaryCtxRetain(CUcontext* context, CUdevice device) {
    fake().retainedPrimaryContexts.push_back(device);
    *context = kPrimaryContext;
    return answer("cuDevicePrimaryCtxRetain");
}
FAKE_EXPORT CUresult cuCtxGetCurrent(CUcontext* context) {
    *context = fake().pushes > fake().pops ? kPrimaryContext : fake().hostContextCurrent ? kHostContext : nullptr;
    return answer("cuCtxGetCurrent");
}
FAKE_EXPORT CUresult cuCtxGetDevice(CUdevice* device) {
    *device = 0;
    return answer("cuCtxGetDevice");
}
FAKE_EXPORT CUresult cuCtxGetId(CUcontext context, unsigned long long* id) {
    *id = context == kHostContext ? fake().hostContextId : 1000;
    return answer("cuCtxGetId");
}
FAKE_EXPORT CUresult cuCtxPushCurrent_v2(CUcontext) {
    ++fake().pushes;
    return answer("cuCtxPushCurrent_v2");
}
FAKE_EXPORT CUresult cuCtxPopCurrent_v2(CUcontext* context) {
    ++fake().pops;
    *context = kPrimaryContext;
    return answer("cuCtxPopCurrent_v2");
}
FAKE_EXPORT CUresult cuCtxSynchronize() {
    ++fake().synchronisations;
    return answer("cuCtxSynchronize");
}
FAKE_EXPORT CUresult cuPointerGetAttribute(void* data, int, CUdeviceptr) {
    *static_cast<int*>(data) = fake().imageDeviceOrdinal;
    return answer("cuPointerGetAttribute");
}
FAKE_EXPORT CUresult cuModuleLoadData(CUmodule* module, const void* image) {
    ++fake().moduleLoads;
    fake().loadedImage = image;
    *module = reinterpret_cast<CUmodule>(0x300);
    return answer("cuModuleLoadData");
}
FAKE_EXPORT CUresult cuModuleGetFunction(CUfunction* function, CUmodule, const char* name) {
    fake().functionName = name;
    fake().functionNames.emplace_back(name);
    *function = reinterpret_cast<CUfunction>(0x400 + fake().functionNames.size() - 1);
    return answer("cuModuleGetFunction");
}
FAKE_EXPORT CUresult cuMemAlloc_v2(CUdeviceptr* address, std::size_t bytes) {
    if (const CUresult result = answer("cuMemAlloc_v2")) return result;
    *address = nextAddress;
    nextAddress += bytes + 0x100;
    fake().allocations[*address];
    return kCudaSuccess;
}
FAKE_EXPORT CUresult cuMemFree_v2(CUdeviceptr address) {
    const auto allocation = fake().allocations.find(address);
    if (allocation == fake().allocations.end()) return 1;  // CUDA_ERROR_INVALID_VALUE
    fake().freed[address] = std::move(allocation->second);
    fake().allocations.erase(allocation);
    return answer("cuMemFree_v2");
}
FAKE_EXPORT CUresult cuMemcpyHtoD_v2(CUdeviceptr address, const void* data, std::size_t bytes) {
    if (const CUresult result = answer("cuMemcpyHtoD_v2")) return result;
    const auto* bytesIn = static_cast<const unsigned char*>(data);
    fake().allocations.at(address).assign(bytesIn, bytesIn + bytes);
    return kCudaSuccess;
}
FAKE_EXPORT CUresult cuLaunchKernel(CUfunction function, unsigned int gridX, unsigned int gridY, unsigned int gridZ,
                                    unsigned int blockX, unsigned int blockY, unsigned int blockZ, unsigned int,
                                    CUstream, void** parameters, void**) {
    FakeCudaDriver& state = fake();
    ++state.launches;
    const unsigned int grid[3] = {gridX, gridY, gridZ};
    const unsigned int block[3] = {blockX, blockY, blockZ};
    std::memcpy(state.grid, grid, sizeof grid);
    std::memcpy(state.block, block, sizeof block);
    const auto index = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(function) - 0x400);
    const std::string name = index < state.functionNames.size() ? state.functionNames[index] : std::string();
    state.launchedFunctions.push_back(name);
    const auto own = state.argumentSizesByFunction.find(name);
    const std::vector<std::size_t>& sizes =
        own != state.argumentSizesByFunction.end() ? own->second : state.argumentSizes;
    std::vector<std::uint64_t> arguments(sizes.size(), 0);
    for (std::size_t i = 0; i < sizes.size(); ++i) std::memcpy(&arguments[i], parameters[i], sizes[i]);
    state.argumentsByFunction[name] = arguments;
    state.arguments = std::move(arguments);
    return answer("cuLaunchKernel");
}
}
