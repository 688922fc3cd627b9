#pragma once

#include <memory>
#include <string>

#include "host/device_images.h"

namespace tonemill::host {

// Images as OpenCL buffers (cl_mem) on one device, with the command queue a render
// receives. The OpenCL ICD loader is opened at run time, so the host library needs
// no OpenCL at link time and fails softly on machines without it.
class OpenClImages : public DeviceImages {
 public:
    // A context and queue on the first device of the first platform whose name
    // contains platformName (any platform when empty), preferring GPUs. Throws
    // std::runtime_error saying what is missing.
    static std::unique_ptr<OpenClImages> open(const std::string& platformName = {});
    ~OpenClImages() override;

    // Another queue on the same device and context.
    std::unique_ptr<OpenClImages> withNewQueue() const;
    std::string deviceName() const;

    const char* enabledProperty() const override;
    const char* queueProperty() const override;
    void* queue() override;
    DeviceBuffer upload(const HostImage& image) override;
    void download(const DeviceBuffer& buffer, HostImage& image) override;
    void release(const DeviceBuffer& buffer) noexcept override;

    struct Api;
    struct State;

 private:
    explicit OpenClImages(std::shared_ptr<State> state, void* queue);
    std::shared_ptr<State> state_;
    void* queue_ = nullptr;
};

}  // namespace tonemill::host
