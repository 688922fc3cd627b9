#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gpu/diagnostics.h"
#include "lut_cuda.h"

namespace ChromvaleBeta2 {

struct PipelineSettings;

// The tables and images a render copies to the device, in kernel argument order:
// the tables in the order of the LUT stages, then the two pictures.
enum UploadSlot : std::size_t {
    kIdtUpload,
    kContrastUpload,
    kPaletteUpload,
    kPrintUpload,
    kOdtUpload,
    kGamutRedUpload,
    kGamutGreenUpload,
    kGamutBlueUpload,
    kPostProcessUpload,
    kZoneUpload,
    kTestImageUpload,
    kZoneOverlayUpload,
    kUploadCount
};

// One table or image as the kernel sees it: the host bytes to copy and the
// size argument that goes with them. An absent one has no data, no bytes and
// a size argument of 0, so the kernel skips its stage.
struct HostUpload {
    const void* data = nullptr;
    std::size_t bytes = 0;
    std::uint32_t sizeArgument = 0;

    bool present() const { return data != nullptr; }
};

using HostUploads = std::array<HostUpload, kUploadCount>;

// The kernel reads test images and the zone overlay as whole 1920 x 1080 RGBA
// pictures whatever their size member says, so a shorter one must never reach it.
inline constexpr std::size_t kDeviceImageBytes = 1920u * 1080u * 4u;

// What to copy for each slot. A slot counts as present only with both a
// non-zero size and data; an image shorter than kDeviceImageBytes counts as absent.
HostUploads hostUploads(const PipelineSettings& settings);

// The kernel dereferences both pixel buffers unconditionally; a render the host
// hands without one is refused (false, after an error line naming `backEnd`)
// instead of faulting on the device.
bool haveImages(const void* source, const void* destination, const char* backEnd, Diagnostics& diagnostics);

// A device-side buffer handle in one kernel argument: a CUDA device pointer or
// an OpenCL cl_mem, null for an absent table or image. It converts to whatever
// pointer type the CUDA kernel declares for that argument.
struct DeviceBuffer {
    const void* handle = nullptr;

    template <typename T>
    operator T*() const {
        return static_cast<T*>(const_cast<void*>(handle));
    }
};

using DeviceBuffers = std::array<DeviceBuffer, kUploadCount>;

// Calls `kernel` with the kernel's arguments in their fixed order: source, width,
// height, the list of kernels/lut_cuda.h (each table and picture as its device
// buffer and size, each number from the settings), destination. Both back-ends go
// through here.
template <typename Settings, typename Kernel>
decltype(auto) forwardKernelArguments(const Settings& s, int width, int height, DeviceBuffer source,
                                      const DeviceBuffers& buffer, const HostUploads& upload, DeviceBuffer destination,
                                      Kernel&& kernel) {
#define TM_FORWARD_TABLE(element, pointer, size, member, sizeMember, slot) \
    buffer[k##slot##Upload], upload[k##slot##Upload].sizeArgument,
#define TM_FORWARD_VALUE(type, name, member) s.member,
    return kernel(source, width, height, TM_KERNEL_ARGUMENTS(TM_FORWARD_TABLE, TM_FORWARD_VALUE) destination);
#undef TM_FORWARD_TABLE
#undef TM_FORWARD_VALUE
}

}  // namespace ChromvaleBeta2
