#pragma once

#include "host/host_image.h"

namespace tonemill::host {

// A GPU back-end through which the host hands images to a render as device memory
// instead of CPU pointers. The render's in-arguments carry enabledProperty() = 1 and,
// where the API has one, the queue; every image fetched during the render is copied
// to the device, and output images are copied back when the plug-in releases them.
class DeviceImages {
 public:
  virtual ~DeviceImages() = default;
  // The render flag property that enables this back-end ("OfxImageEffectPropOpenCLEnabled").
  virtual const char *enabledProperty() const = 0;
  // The queue property and its value, or null when the back-end passes none.
  virtual const char *queueProperty() const = 0;
  virtual void *queue() = 0;
  // Device memory holding a copy of the image; the handle goes into "OfxImagePropData".
  // Throws std::runtime_error when the device refuses.
  virtual void *upload(const HostImage &image) = 0;
  virtual void download(void *device, HostImage &image) = 0;
  virtual void release(void *device) noexcept = 0;
};

}  // namespace tonemill::host
