#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "host/device_images.h"
#include "host/host_image.h"
#include "host/property_set.h"

namespace tonemill::host {

class Clip;

struct ImageCounts {
    std::uint64_t fetched = 0;
    std::uint64_t released = 0;
    std::uint64_t outstanding() const { return fetched - released; }
};

// Images handed out by clipGetImage, until clipReleaseImage takes them back.
// A handle not in the ledger (never issued, or already released) is refused
// instead of being touched, so a double release cannot corrupt the host.
// Images a plug-in never releases stay counted as outstanding; their device
// buffers are left alone, since the back-end that made them may be gone.
class ImageLedger {
 public:
    struct Entry {
        std::unique_ptr<PropertySet> properties;
        std::shared_ptr<HostImage> image;
        DeviceImages* device = nullptr;
        DeviceBuffer deviceBuffer;
        bool copyBack = false;  // an output image: device pixels return to the host image on release
    };
    OfxPropertySetHandle issue(Entry entry);
    OfxStatus release(OfxPropertySetHandle handle);
    ImageCounts counts() const;

 private:
    mutable std::mutex mutex_;
    std::map<OfxPropertySetHandle, Entry> live_;
    ImageCounts counts_;
};

// Blocks of the memory and image memory suites.
class MemoryLedger {
 public:
    ~MemoryLedger();
    void* allocate(size_t bytes);  // null when out of memory
    bool free(void* block);        // false for a pointer that was not allocated here
    size_t liveBlocks() const;

    // Image memory: allocated blocks with a lock count.
    void* allocateImageMemory(size_t bytes);  // the handle, null when out of memory
    OfxStatus freeImageMemory(void* handle);
    OfxStatus lockImageMemory(void* handle, void** data);
    OfxStatus unlockImageMemory(void* handle);

 private:
    struct ImageBlock {
        void* data = nullptr;
        int locks = 0;
    };
    mutable std::mutex mutex_;
    std::map<void*, size_t> blocks_;
    std::map<void*, ImageBlock> imageBlocks_;
};

}  // namespace tonemill::host
