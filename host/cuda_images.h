#pragma once

#include <memory>
#include <string>

#include "host/device_images.h"

namespace tonemill::host {

// Images as CUDA device pointers in the primary context of one device, the context
// the CUDA runtime inside a plug-in uses too. The driver (libcuda.so.1) is opened at
// run time, so the host library builds and runs on machines without one. No stream
// is passed: copies are synchronous, and the render sees the default stream.
class CudaImages : public DeviceImages {
 public:
    // Throws std::runtime_error when there is no driver or no such device.
    static std::unique_ptr<CudaImages> open(int deviceOrdinal = 0);
    ~CudaImages() override;

    std::string deviceName() const;

    const char* enabledProperty() const override;
    const char* queueProperty() const override { return nullptr; }
    void* queue() override { return nullptr; }
    DeviceBuffer upload(const HostImage& image) override;
    void download(const DeviceBuffer& buffer, HostImage& image) override;
    void release(const DeviceBuffer& buffer) noexcept override;

    struct Driver;

 private:
    explicit CudaImages(std::unique_ptr<Driver> driver);
    void makeCurrent() const;
    std::unique_ptr<Driver> driver_;
};

}  // namespace tonemill::host
