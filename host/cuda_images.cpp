#include "host/cuda_images.h"

#include <stdexcept>
#include <vector>

#include "host/runtime_library.h"
#include "ofxGPURender.h"

namespace tonemill::host {
namespace {

// The few driver API types used, with the driver's own layouts.
using CUresult = int;
using CUdevice = int;
using CUcontext = struct CUctx_st*;
using CUdeviceptr = unsigned long long;

}  // namespace

struct CudaImages::Driver {
    RuntimeLibrary library{"libcuda.so.1", "CUDA images"};
    CUresult (*init)(unsigned) = nullptr;
    CUresult (*deviceGet)(CUdevice*, int) = nullptr;
    CUresult (*deviceGetName)(char*, int, CUdevice) = nullptr;
    CUresult (*primaryCtxRetain)(CUcontext*, CUdevice) = nullptr;
    CUresult (*primaryCtxRelease)(CUdevice) = nullptr;
    CUresult (*ctxSetCurrent)(CUcontext) = nullptr;
    CUresult (*memAlloc)(CUdeviceptr*, size_t) = nullptr;
    CUresult (*memFree)(CUdeviceptr) = nullptr;
    CUresult (*memcpyHtoD)(CUdeviceptr, const void*, size_t) = nullptr;
    CUresult (*memcpyDtoH)(void*, CUdeviceptr, size_t) = nullptr;
    CUdevice device = 0;
    CUcontext context = nullptr;

    Driver() {
        library.bind(init, "cuInit");
        library.bind(deviceGet, "cuDeviceGet");
        library.bind(deviceGetName, "cuDeviceGetName");
        library.bind(primaryCtxRetain, "cuDevicePrimaryCtxRetain");
        library.bind(primaryCtxRelease, "cuDevicePrimaryCtxRelease_v2");
        library.bind(ctxSetCurrent, "cuCtxSetCurrent");
        library.bind(memAlloc, "cuMemAlloc_v2");
        library.bind(memFree, "cuMemFree_v2");
        library.bind(memcpyHtoD, "cuMemcpyHtoD_v2");
        library.bind(memcpyDtoH, "cuMemcpyDtoH_v2");
    }
    ~Driver() {
        if (context) primaryCtxRelease(device);
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
};

namespace {

void check(CUresult result, const char* what) {
    if (result != 0)
        throw std::runtime_error(std::string("CUDA images: ") + what + " failed with error " + std::to_string(result));
}

}  // namespace

std::unique_ptr<CudaImages> CudaImages::open(int deviceOrdinal) {
    auto driver = std::make_unique<Driver>();
    check(driver->init(0), "cuInit");
    check(driver->deviceGet(&driver->device, deviceOrdinal), "cuDeviceGet");
    check(driver->primaryCtxRetain(&driver->context, driver->device), "cuDevicePrimaryCtxRetain");
    return std::unique_ptr<CudaImages>(new CudaImages(std::move(driver)));
}

CudaImages::CudaImages(std::unique_ptr<Driver> driver) : driver_(std::move(driver)) {}

CudaImages::~CudaImages() = default;

// Contexts are current per thread; renders may come from any thread.
void CudaImages::makeCurrent() const {
    check(driver_->ctxSetCurrent(driver_->context), "cuCtxSetCurrent");
}

std::string CudaImages::deviceName() const {
    char name[256] = {};
    driver_->deviceGetName(name, sizeof name - 1, driver_->device);
    return name;
}

const char* CudaImages::enabledProperty() const {
    return kOfxImageEffectPropCudaEnabled;
}

DeviceBuffer CudaImages::upload(const HostImage& image) {
    makeCurrent();
    const std::vector<std::byte> rows = image.packedBottomUp();
    CUdeviceptr device = 0;
    check(driver_->memAlloc(&device, rows.empty() ? 1 : rows.size()), "cuMemAlloc");
    if (!rows.empty()) {
        if (CUresult result = driver_->memcpyHtoD(device, rows.data(), rows.size()); result != 0) {
            driver_->memFree(device);
            check(result, "cuMemcpyHtoD");
        }
    }
    return DeviceBuffer{reinterpret_cast<void*>(device), image.rowBytes() < 0 ? -image.rowBytes() : image.rowBytes()};
}

void CudaImages::download(const DeviceBuffer& buffer, HostImage& image) {
    std::vector<std::byte> rows(image.byteSize());
    if (rows.empty()) return;
    makeCurrent();
    check(driver_->memcpyDtoH(rows.data(), reinterpret_cast<CUdeviceptr>(buffer.handle), rows.size()), "cuMemcpyDtoH");
    image.unpackBottomUp(rows.data());
}

void CudaImages::release(const DeviceBuffer& buffer) noexcept {
    if (!buffer.handle) return;
    driver_->ctxSetCurrent(driver_->context);
    driver_->memFree(reinterpret_cast<CUdeviceptr>(buffer.handle));
}

}  // namespace tonemill::host
