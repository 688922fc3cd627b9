#include "host/ledgers.h"

#include <cstdlib>

namespace tonemill::host {

OfxPropertySetHandle ImageLedger::issue(Entry entry) {
    OfxPropertySetHandle handle = entry.properties->handle();
    std::lock_guard lock(mutex_);
    live_.emplace(handle, std::move(entry));
    ++counts_.fetched;
    return handle;
}

OfxStatus ImageLedger::release(OfxPropertySetHandle handle) {
    Entry entry;
    {
        std::lock_guard lock(mutex_);
        auto it = live_.find(handle);
        if (it == live_.end()) return kOfxStatErrBadHandle;
        entry = std::move(it->second);
        live_.erase(it);
        ++counts_.released;
    }
    OfxStatus status = kOfxStatOK;
    if (entry.device) {
        if (entry.copyBack) {
            try {
                entry.device->download(entry.deviceBuffer, *entry.image);
            } catch (const std::exception&) {
                status = kOfxStatFailed;
            }
        }
        entry.device->release(entry.deviceBuffer);
    }
    return status;
}

ImageCounts ImageLedger::counts() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

MemoryLedger::~MemoryLedger() {
    for (auto& [block, size] : blocks_) std::free(block);
    for (auto& [handle, block] : imageBlocks_) std::free(block.data);
}

void* MemoryLedger::allocate(size_t bytes) {
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (!block) return nullptr;
    std::lock_guard lock(mutex_);
    blocks_[block] = bytes;
    return block;
}

bool MemoryLedger::free(void* block) {
    std::lock_guard lock(mutex_);
    auto it = blocks_.find(block);
    if (it == blocks_.end()) return false;
    std::free(block);
    blocks_.erase(it);
    return true;
}

size_t MemoryLedger::liveBlocks() const {
    std::lock_guard lock(mutex_);
    return blocks_.size() + imageBlocks_.size();
}

void* MemoryLedger::allocateImageMemory(size_t bytes) {
    void* data = std::malloc(bytes == 0 ? 1 : bytes);
    if (!data) return nullptr;
    // The handle is a separate small allocation, so a plug-in cannot mistake it for the pixels.
    void* handle = std::malloc(1);
    if (!handle) {
        std::free(data);
        return nullptr;
    }
    std::lock_guard lock(mutex_);
    imageBlocks_[handle] = ImageBlock{data, 0};
    return handle;
}

OfxStatus MemoryLedger::freeImageMemory(void* handle) {
    std::lock_guard lock(mutex_);
    auto it = imageBlocks_.find(handle);
    if (it == imageBlocks_.end()) return kOfxStatErrBadHandle;
    std::free(it->second.data);
    std::free(handle);
    imageBlocks_.erase(it);
    return kOfxStatOK;
}

OfxStatus MemoryLedger::lockImageMemory(void* handle, void** data) {
    std::lock_guard lock(mutex_);
    auto it = imageBlocks_.find(handle);
    if (it == imageBlocks_.end() || !data) return kOfxStatErrBadHandle;
    ++it->second.locks;
    *data = it->second.data;
    return kOfxStatOK;
}

OfxStatus MemoryLedger::unlockImageMemory(void* handle) {
    std::lock_guard lock(mutex_);
    auto it = imageBlocks_.find(handle);
    if (it == imageBlocks_.end()) return kOfxStatErrBadHandle;
    if (it->second.locks > 0) --it->second.locks;
    return kOfxStatOK;
}

}  // namespace tonemill::host
