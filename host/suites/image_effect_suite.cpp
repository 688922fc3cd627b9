#include <string>

#include "host/effect.h"
#include "host/host.h"
#include "host/suites/guard.h"
#include "host/suites/suites.h"
#include "ofxImageEffect.h"

namespace tonemill::host::suites {
namespace {

constexpr PropertyOptions readOnly{false, true};

OfxStatus getPropertySet(OfxImageEffectHandle handle, OfxPropertySetHandle* props) {
    if (auto status = planned("getPropertySet")) return *status;
    Effect* effect = Effect::fromHandle(handle);
    if (!effect || !props) return kOfxStatErrBadHandle;
    *props = effect->properties().handle();
    return kOfxStatOK;
}

OfxStatus getParamSet(OfxImageEffectHandle handle, OfxParamSetHandle* params) {
    if (auto status = planned("getParamSet")) return *status;
    Effect* effect = Effect::fromHandle(handle);
    if (!effect || !params) return kOfxStatErrBadHandle;
    *params = effect->params().handle();
    return kOfxStatOK;
}

OfxStatus clipDefine(OfxImageEffectHandle handle, const char* name, OfxPropertySetHandle* props) {
    if (auto status = planned("clipDefine")) return *status;
    Effect* effect = Effect::fromHandle(handle);
    if (!effect) return kOfxStatErrBadHandle;
    if (!name) return kOfxStatErrValue;
    return guarded([&] {
        Clip* clip = effect->defineClip(name);
        if (props) *props = clip->properties().handle();
        return kOfxStatOK;
    });
}

OfxStatus clipGetHandle(OfxImageEffectHandle handle, const char* name, OfxImageClipHandle* clipOut,
                        OfxPropertySetHandle* props) {
    if (auto status = planned("clipGetHandle")) return *status;
    Effect* effect = Effect::fromHandle(handle);
    if (!effect || !clipOut) return kOfxStatErrBadHandle;
    Clip* clip = name ? effect->clip(name) : nullptr;
    if (!clip) return kOfxStatErrUnknown;
    *clipOut = clip->handle();
    if (props) *props = clip->properties().handle();
    return kOfxStatOK;
}

OfxStatus clipGetPropertySet(OfxImageClipHandle handle, OfxPropertySetHandle* props) {
    if (auto status = planned("clipGetPropertySet")) return *status;
    Clip* clip = Clip::fromHandle(handle);
    if (!clip || !props) return kOfxStatErrBadHandle;
    *props = clip->properties().handle();
    return kOfxStatOK;
}

std::unique_ptr<PropertySet> imageProperties(Clip& clip, const HostImage& image, void* data, int rowBytes,
                                             const FaultPlan& faults) {
    auto p = std::make_unique<PropertySet>("image of clip '" + clip.name() + "'");
    const ImageFormat& format = image.format();
    const OfxRectI b = image.bounds();
    const OfxRectI rod = image.regionOfDefinition();
    p->defineString(kOfxPropType, {kOfxTypeImage}, readOnly);
    p->defineString(kOfxImageEffectPropPixelDepth, {faults.imageDepth.value_or(format.depth)}, readOnly);
    p->defineString(kOfxImageEffectPropComponents, {faults.imageComponents.value_or(format.components)}, readOnly);
    p->defineString(kOfxImageEffectPropPreMultiplication, {format.premultiplication}, readOnly);
    p->defineDouble(kOfxImageEffectPropRenderScale, {clip.effect().renderScale.x, clip.effect().renderScale.y},
                    readOnly);
    p->defineDouble(kOfxImagePropPixelAspectRatio, {format.pixelAspectRatio}, readOnly);
    p->definePointer(kOfxImagePropData, {data}, readOnly);
    p->defineInt(kOfxImagePropBounds, {b.x1, b.y1, b.x2, b.y2}, readOnly);
    p->defineInt(kOfxImagePropRegionOfDefinition, {rod.x1, rod.y1, rod.x2, rod.y2}, readOnly);
    p->defineInt(kOfxImagePropRowBytes, {rowBytes}, readOnly);
    p->defineString(kOfxImagePropField, {format.field}, readOnly);
    p->defineString(kOfxImagePropUniqueIdentifier, {image.uniqueIdentifier()}, readOnly);
    return p;
}

OfxStatus clipGetImage(OfxImageClipHandle handle, OfxTime, const OfxRectD*, OfxPropertySetHandle* imageOut) {
    if (auto status = planned("clipGetImage")) return *status;
    Host* host = Host::active();
    Clip* clip = Clip::fromHandle(handle);
    if (!host || !clip || !imageOut) return kOfxStatErrBadHandle;
    if (!clip->image) return kOfxStatFailed;
    return guarded([&] {
        ImageLedger::Entry entry;
        entry.image = clip->image;
        void* data = clip->image->data();
        int rowBytes = clip->image->rowBytes();
        if (DeviceImages* device = clip->effect().device) {
            entry.deviceBuffer = device->upload(*clip->image);
            entry.device = device;
            entry.copyBack = clip->name() == kOfxImageEffectOutputClipName;
            data = entry.deviceBuffer.handle;
            rowBytes = entry.deviceBuffer.rowBytes;
        }
        try {
            entry.properties = imageProperties(*clip, *clip->image, data, rowBytes, host->faults());
        } catch (...) {
            if (entry.device) entry.device->release(entry.deviceBuffer);
            throw;
        }
        *imageOut = host->images().issue(std::move(entry));
        return kOfxStatOK;
    });
}

OfxStatus clipReleaseImage(OfxPropertySetHandle image) {
    if (auto status = planned("clipReleaseImage")) return *status;
    Host* host = Host::active();
    if (!host || !image) return kOfxStatErrBadHandle;
    return host->images().release(image);
}

OfxStatus clipGetRegionOfDefinition(OfxImageClipHandle handle, OfxTime, OfxRectD* bounds) {
    if (auto status = planned("clipGetRegionOfDefinition")) return *status;
    Clip* clip = Clip::fromHandle(handle);
    if (!clip || !bounds) return kOfxStatErrBadHandle;
    if (clip->image) {
        const OfxRectI rod = clip->image->regionOfDefinition();
        *bounds = OfxRectD{double(rod.x1), double(rod.y1), double(rod.x2), double(rod.y2)};
        return kOfxStatOK;
    }
    // A clip without pixels covers the project.
    return guarded([&] {
        const PropertySet& effect = clip->effect().properties();
        const auto offset = effect.getDoubles(kOfxImageEffectPropProjectOffset);
        const auto extent = effect.getDoubles(kOfxImageEffectPropProjectExtent);
        *bounds = OfxRectD{offset.at(0), offset.at(1), offset.at(0) + extent.at(0), offset.at(1) + extent.at(1)};
        return kOfxStatOK;
    });
}

int abortRender(OfxImageEffectHandle handle) {
    if (auto status = planned("abort")) return *status;
    Effect* effect = Effect::fromHandle(handle);
    if (!effect) return 0;
    effect->abortCalls.fetch_add(1, std::memory_order_relaxed);
    return effect->abortRequested.load() ? 1 : 0;
}

bool allocationRefused(const Host& host, size_t bytes) {
    return host.faults().allocationLimit && bytes > *host.faults().allocationLimit;
}

OfxStatus imageMemoryAlloc(OfxImageEffectHandle, size_t bytes, OfxImageMemoryHandle* memory) {
    if (auto status = planned("imageMemoryAlloc")) return *status;
    Host* host = Host::active();
    if (!host || !memory) return kOfxStatErrBadHandle;
    if (allocationRefused(*host, bytes)) return kOfxStatErrMemory;
    void* handle = host->memory().allocateImageMemory(bytes);
    if (!handle) return kOfxStatErrMemory;
    *memory = static_cast<OfxImageMemoryHandle>(handle);
    return kOfxStatOK;
}

OfxStatus imageMemoryFree(OfxImageMemoryHandle memory) {
    if (auto status = planned("imageMemoryFree")) return *status;
    Host* host = Host::active();
    return host ? host->memory().freeImageMemory(memory) : kOfxStatErrBadHandle;
}

OfxStatus imageMemoryLock(OfxImageMemoryHandle memory, void** data) {
    if (auto status = planned("imageMemoryLock")) return *status;
    Host* host = Host::active();
    return host ? host->memory().lockImageMemory(memory, data) : kOfxStatErrBadHandle;
}

OfxStatus imageMemoryUnlock(OfxImageMemoryHandle memory) {
    if (auto status = planned("imageMemoryUnlock")) return *status;
    Host* host = Host::active();
    return host ? host->memory().unlockImageMemory(memory) : kOfxStatErrBadHandle;
}

const OfxImageEffectSuiteV1 table = {
    getPropertySet,     getParamSet,      clipDefine,       clipGetHandle,
    clipGetPropertySet, clipGetImage,     clipReleaseImage, clipGetRegionOfDefinition,
    abortRender,        imageMemoryAlloc, imageMemoryFree,  imageMemoryLock,
    imageMemoryUnlock,
};

}  // namespace

const OfxImageEffectSuiteV1& imageEffectSuite() {
    return table;
}

}  // namespace tonemill::host::suites
