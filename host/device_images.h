#pragma once

#include "host/host_image.h"

namespace tonemill::host {

// Device memory holding one image: rows bottom-up (row y1 first), each |row bytes|
// of the host image long, so the row bytes a plug-in sees are always positive.
struct DeviceBuffer {
    void* handle = nullptr;  // what "OfxImagePropData" carries: a cl_mem, a CUDA device pointer
    int rowBytes = 0;
};

// A GPU back-end through which the host hands images to a render as device memory
// instead of CPU pointers. The render's in-arguments carry enabledProperty() = 1 and,
// where the API has one, the queue; every image fetched during the render is copied
// to the device, and output images are copied back when the plug-in releases them.
class DeviceImages {
 public:
    virtual ~DeviceImages() = default;
    // The render flag property that enables this back-end ("OfxImageEffectPropOpenCLEnabled").
    virtual const char* enabledProperty() const = 0;
    // The queue property this back-end fills, or null when it passes none.
    virtual const char* queueProperty() const = 0;
    virtual void* queue() = 0;
    // Throw std::runtime_error when the device refuses.
    virtual DeviceBuffer upload(const HostImage& image) = 0;
    virtual void download(const DeviceBuffer& buffer, HostImage& image) = 0;
    virtual void release(const DeviceBuffer& buffer) noexcept = 0;
};

}  // namespace tonemill::host
