#include "host/instance.h"

#include <stdexcept>

#include "host/bundle.h"
#include "host/host.h"
#include "ofxGPURender.h"

namespace tonemill::host {
namespace {

constexpr PropertyOptions readOnly{false, true};

bool isEmpty(const OfxRectI& r) {
    return r.x1 >= r.x2 || r.y1 >= r.y2;
}

// Statuses that mean the plug-in had nothing to object to.
bool succeeded(OfxStatus status) {
    return status == kOfxStatOK || status == kOfxStatReplyDefault;
}

PropertySet arguments(const std::string& label) {
    return PropertySet(label, false);
}

PropertySet results(const std::string& label) {
    return PropertySet(label, true);
}

void addScale(PropertySet& args, OfxPointD scale) {
    args.defineDouble(kOfxImageEffectPropRenderScale, {scale.x, scale.y}, readOnly);
}

// The actions in which the API lets a plug-in set parameter values.
bool allowsValueWrites(std::string_view action) {
    return action == kOfxActionBeginInstanceChanged || action == kOfxActionInstanceChanged ||
           action == kOfxActionEndInstanceChanged;
}

// The actions that must only read parameter values.
bool readsValuesOnly(std::string_view action) {
    return action == kOfxImageEffectActionRender || action == kOfxImageEffectActionIsIdentity ||
           action == kOfxImageEffectActionBeginSequenceRender || action == kOfxImageEffectActionEndSequenceRender;
}

// The GPU and status flags shared by the render and sequence-render actions; a host
// without the GPU extension knows none of the GPU ones.
void addRenderFlags(PropertySet& args, const RenderRequest& request, bool gpuExtension) {
    addScale(args, request.renderScale);
    args.defineInt(kOfxImageEffectPropSequentialRenderStatus, {request.sequentialRenderStatus ? 1 : 0}, readOnly);
    args.defineInt(kOfxImageEffectPropInteractiveRenderStatus, {request.interactiveRenderStatus ? 1 : 0}, readOnly);
    args.defineInt(kOfxImageEffectPropRenderQualityDraft, {0}, readOnly);
    if (!gpuExtension) return;
    for (const char* flag :
         {kOfxImageEffectPropOpenCLEnabled, kOfxImageEffectPropCudaEnabled, kOfxImageEffectPropMetalEnabled}) {
        const bool on = request.device && std::string_view(request.device->enabledProperty()) == flag;
        args.defineInt(flag, {on ? 1 : 0}, readOnly);
    }
    for (const char* queue :
         {kOfxImageEffectPropOpenCLCommandQueue, kOfxImageEffectPropCudaStream, kOfxImageEffectPropMetalCommandQueue}) {
        const bool ours = request.device && request.device->queueProperty() &&
                          std::string_view(request.device->queueProperty()) == queue;
        args.definePointer(queue, {ours ? request.device->queue() : nullptr}, readOnly);
    }
}

}  // namespace

Instance::Instance(Plugin& plugin, std::unique_ptr<Effect> effect, std::string context)
    : plugin_(plugin), effect_(std::move(effect)), context_(std::move(context)) {
    effect_->instance = this;
    effect_->params().onPluginEdit = [this](Param& param) {
        std::lock_guard lock(editsMutex_);
        pluginEdits_.push_back(param.name());
        pendingEdits_.push_back(param.name());
    };
    effect_->params().vetPluginEdit = [this](Param& param) { return vetValueWrite(param); };
}

Instance::~Instance() {
    if (created_) send(kOfxActionDestroyInstance, nullptr, nullptr);
    effect_->params().onPluginEdit = nullptr;
    effect_->params().vetPluginEdit = nullptr;
    effect_->instance = nullptr;
}

OfxStatus Instance::create() {
    const OfxStatus status = send(kOfxActionCreateInstance, nullptr, nullptr);
    created_ = status == kOfxStatOK;
    return status;
}

OfxStatus Instance::send(const char* name, PropertySet* inArgs, PropertySet* outArgs) {
    ++actionDepth_;
    std::atomic<int>* scope = allowsValueWrites(name) ? &changingDepth_
                              : readsValuesOnly(name) ? &renderingDepth_
                                                      : nullptr;
    if (scope) ++*scope;
    const OfxStatus status = plugin_.action(name, effect_->handle(), inArgs, outArgs);
    if (scope) --*scope;
    if (--actionDepth_ == 0) deliverPluginEdits();
    return status;
}

OfxStatus Instance::vetValueWrite(Param& param) {
    if (renderingDepth_.load() > 0) {
        std::lock_guard lock(editsMutex_);
        writesWhileRendering_.push_back(param.name());
    }
    const bool strict = plugin_.host().profile().strictParamWrites;
    return strict && changingDepth_.load() == 0 ? kOfxStatFailed : kOfxStatOK;
}

std::vector<std::string> Instance::writesWhileRendering() const {
    std::lock_guard lock(editsMutex_);
    return writesWhileRendering_;
}

void Instance::deliverPluginEdits() {
    if (delivering_) return;
    delivering_ = true;
    // A plug-in that answers every change with another edit would never settle; a
    // bounded number of rounds keeps the host responsive.
    for (int round = 0; round < 16; ++round) {
        std::vector<std::string> edits;
        {
            std::lock_guard lock(editsMutex_);
            edits.swap(pendingEdits_);
        }
        if (edits.empty()) break;
        for (const auto& name : edits)
            notifyChange(kOfxTypeParameter, name, kOfxChangePluginEdited, plugin_.host().time());
    }
    delivering_ = false;
}

std::vector<std::string> Instance::pluginEdits() const {
    std::lock_guard lock(editsMutex_);
    return pluginEdits_;
}

Param& Instance::param(const std::string& name) {
    Param* param = effect_->params().find(name);
    if (!param) throw std::out_of_range("instance has no parameter '" + name + "'");
    return *param;
}

ParamValue Instance::value(const std::string& name, double time) {
    return param(name).valueAt(time);
}

bool Instance::enabled(const std::string& name) {
    return param(name).properties().getInt(kOfxParamPropEnabled) != 0;
}

void Instance::setValue(const std::string& name, const ParamValue& value) {
    param(name).setValue(value);
}

OfxStatus Instance::changeParam(const std::string& name, const ParamValue& value, const std::string& reason,
                                double time) {
    setValue(name, value);
    return notifyChange(kOfxTypeParameter, name, reason, time);
}

OfxStatus Instance::pressButton(const std::string& name, double time) {
    param(name);
    return notifyChange(kOfxTypeParameter, name, kOfxChangeUserEdited, time);
}

OfxStatus Instance::notifyChange(const std::string& type, const std::string& name, const std::string& reason,
                                 double time) {
    const OfxStatus begin = beginInstanceChanged(reason);
    const OfxStatus changed = instanceChanged(type, name, reason, time);
    const OfxStatus end = endInstanceChanged(reason);
    for (OfxStatus status : {begin, changed, end})
        if (!succeeded(status)) return status;
    return changed;
}

Clip& Instance::clip(const std::string& name) {
    Clip* clip = effect_->clip(name);
    if (!clip) throw std::out_of_range("instance has no clip '" + name + "'");
    return *clip;
}

void Instance::setImage(const std::string& name, std::shared_ptr<HostImage> image) {
    Clip& target = clip(name);
    PropertySet& p = target.properties();
    p.set(kOfxImageClipPropConnected, image ? 1 : 0);
    if (image) {
        const ImageFormat& format = image->format();
        p.set(kOfxImageEffectPropPixelDepth, format.depth);
        p.set(kOfxImageClipPropUnmappedPixelDepth, format.depth);
        p.set(kOfxImageEffectPropComponents, format.components);
        p.set(kOfxImageClipPropUnmappedComponents, format.components);
        p.set(kOfxImageEffectPropPreMultiplication, format.premultiplication);
        p.set(kOfxImagePropPixelAspectRatio, format.pixelAspectRatio);
    }
    target.image = std::move(image);
}

OfxRectI Instance::outputBoundsFor(const RenderRequest& request) const {
    if (!isEmpty(request.outputBounds)) return request.outputBounds;
    if (Clip* source = effect_->clip(kOfxImageEffectSimpleSourceClipName); source && source->image)
        return source->image->bounds();
    if (!isEmpty(request.window)) return request.window;
    const auto extent = effect_->properties().getDoubles(kOfxImageEffectPropProjectExtent);
    return OfxRectI{0, 0, static_cast<int>(extent.at(0)), static_cast<int>(extent.at(1))};
}

std::shared_ptr<HostImage> Instance::outputImageFor(const RenderRequest& request, const ImageFormat& format) const {
    const OfxRectI bounds = outputBoundsFor(request);
    if (!request.reuseOutput) return std::make_shared<HostImage>(bounds, format);
    const HostImage& image = *request.reuseOutput;
    const OfxRectI& b = image.bounds();
    if (b.x1 != bounds.x1 || b.y1 != bounds.y1 || b.x2 != bounds.x2 || b.y2 != bounds.y2)
        throw std::invalid_argument("the output image to reuse has other bounds than the render's output");
    if (image.format().depth != format.depth || image.format().components != format.components ||
        image.format().rowOrder != format.rowOrder)
        throw std::invalid_argument("the output image to reuse is not laid out as the output clip: " +
                                    image.format().depth + ", " + image.format().components);
    return request.reuseOutput;
}

RenderResult Instance::render(const RenderRequest& request) {
    RenderResult result;
    Clip& output = clip(kOfxImageEffectOutputClipName);
    ImageFormat format;
    format.depth = output.properties().getString(kOfxImageEffectPropPixelDepth);
    format.components = output.properties().getString(kOfxImageEffectPropComponents);
    format.rowOrder = request.outputRowOrder;
    result.output = outputImageFor(request, format);
    output.image = result.output;
    output.properties().set(kOfxImageClipPropConnected, 1);

    const OfxRectI window = isEmpty(request.window) ? result.output->bounds() : request.window;
    PropertySet in = arguments("render arguments");
    in.defineDouble(kOfxPropTime, {request.time}, readOnly);
    in.defineString(kOfxImageEffectPropFieldToRender, {request.field}, readOnly);
    in.defineInt(kOfxImageEffectPropRenderWindow, {window.x1, window.y1, window.x2, window.y2}, readOnly);
    addRenderFlags(in, request, plugin_.host().profile().gpuRenderExtension);
    if (request.editInArgs) request.editInArgs(in);

    effect_->renderScale = request.renderScale;
    effect_->device = request.device;
    result.status = send(kOfxImageEffectActionRender, &in, nullptr);
    effect_->device = nullptr;
    return result;
}

OfxStatus Instance::beginSequenceRender(double first, double last, const RenderRequest& request) {
    PropertySet in = arguments("begin sequence render arguments");
    in.defineDouble(kOfxImageEffectPropFrameRange, {first, last}, readOnly);
    in.defineDouble(kOfxImageEffectPropFrameStep, {1.0}, readOnly);
    in.defineInt(kOfxPropIsInteractive, {request.interactiveRenderStatus ? 1 : 0}, readOnly);
    addRenderFlags(in, request, plugin_.host().profile().gpuRenderExtension);
    if (request.editInArgs) request.editInArgs(in);
    return send(kOfxImageEffectActionBeginSequenceRender, &in, nullptr);
}

OfxStatus Instance::endSequenceRender(const RenderRequest& request) {
    PropertySet in = arguments("end sequence render arguments");
    in.defineInt(kOfxPropIsInteractive, {request.interactiveRenderStatus ? 1 : 0}, readOnly);
    addRenderFlags(in, request, plugin_.host().profile().gpuRenderExtension);
    if (request.editInArgs) request.editInArgs(in);
    return send(kOfxImageEffectActionEndSequenceRender, &in, nullptr);
}

IdentityResult Instance::isIdentity(const RenderRequest& request) {
    const OfxRectI window = request.window;
    PropertySet in = arguments("identity arguments");
    in.defineDouble(kOfxPropTime, {request.time}, readOnly);
    in.defineString(kOfxImageEffectPropFieldToRender, {request.field}, readOnly);
    in.defineInt(kOfxImageEffectPropRenderWindow, {window.x1, window.y1, window.x2, window.y2}, readOnly);
    addScale(in, request.renderScale);
    if (request.editInArgs) request.editInArgs(in);
    PropertySet out = results("identity results");
    out.defineString(kOfxPropName, {""});
    out.defineDouble(kOfxPropTime, {request.time});
    IdentityResult result;
    result.status = send(kOfxImageEffectActionIsIdentity, &in, &out);
    result.clip = out.getString(kOfxPropName);
    result.time = out.getDouble(kOfxPropTime);
    return result;
}

RegionResult Instance::regionOfDefinition(double time, OfxPointD renderScale) {
    PropertySet in = arguments("region of definition arguments");
    in.defineDouble(kOfxPropTime, {time}, readOnly);
    addScale(in, renderScale);
    PropertySet out = results("region of definition results");
    out.defineDouble(kOfxImageEffectPropRegionOfDefinition, {0, 0, 0, 0});
    RegionResult result;
    result.status = send(kOfxImageEffectActionGetRegionOfDefinition, &in, &out);
    const auto r = out.getDoubles(kOfxImageEffectPropRegionOfDefinition);
    result.region = OfxRectD{r.at(0), r.at(1), r.at(2), r.at(3)};
    return result;
}

RegionsOfInterestResult Instance::regionsOfInterest(double time, OfxRectD region, OfxPointD renderScale) {
    PropertySet in = arguments("regions of interest arguments");
    in.defineDouble(kOfxPropTime, {time}, readOnly);
    in.defineDouble(kOfxImageEffectPropRegionOfInterest, {region.x1, region.y1, region.x2, region.y2}, readOnly);
    addScale(in, renderScale);
    PropertySet out = results("regions of interest results");
    for (const auto& c : effect_->clips())
        if (c->name() != kOfxImageEffectOutputClipName)
            out.defineDouble("OfxImageClipPropRoI_" + c->name(), {region.x1, region.y1, region.x2, region.y2});
    RegionsOfInterestResult result;
    result.status = send(kOfxImageEffectActionGetRegionsOfInterest, &in, &out);
    for (const auto& c : effect_->clips())
        if (c->name() != kOfxImageEffectOutputClipName) {
            const auto r = out.getDoubles("OfxImageClipPropRoI_" + c->name());
            result.regions[c->name()] = OfxRectD{r.at(0), r.at(1), r.at(2), r.at(3)};
        }
    return result;
}

FramesNeededResult Instance::framesNeeded(double time) {
    PropertySet in = arguments("frames needed arguments");
    in.defineDouble(kOfxPropTime, {time}, readOnly);
    PropertySet out = results("frames needed results");
    for (const auto& c : effect_->clips())
        if (c->name() != kOfxImageEffectOutputClipName)
            out.defineDouble("OfxImageClipPropFrameRange_" + c->name(), {time, time}, PropertyOptions{true, false});
    FramesNeededResult result;
    result.status = send(kOfxImageEffectActionGetFramesNeeded, &in, &out);
    for (const auto& c : effect_->clips())
        if (c->name() != kOfxImageEffectOutputClipName) {
            const auto values = out.getDoubles("OfxImageClipPropFrameRange_" + c->name());
            auto& ranges = result.ranges[c->name()];
            for (size_t i = 0; i + 1 < values.size(); i += 2) ranges.push_back(OfxRangeD{values[i], values[i + 1]});
        }
    return result;
}

ActionResult Instance::clipPreferences() {
    ActionResult result{kOfxStatFailed, results("clip preferences results")};
    PropertySet& out = result.outArgs;
    for (const auto& c : effect_->clips()) {
        const PropertySet& p = c->properties();
        out.defineString("OfxImageClipPropComponents_" + c->name(), {p.getString(kOfxImageEffectPropComponents)});
        out.defineString("OfxImageClipPropDepth_" + c->name(), {p.getString(kOfxImageEffectPropPixelDepth)});
        out.defineDouble("OfxImageClipPropPAR_" + c->name(), {p.getDouble(kOfxImagePropPixelAspectRatio)});
    }
    out.defineDouble(kOfxImageEffectPropFrameRate, {effect_->properties().getDouble(kOfxImageEffectPropFrameRate)});
    out.defineString(kOfxImageClipPropFieldOrder, {kOfxImageFieldNone});
    out.defineString(kOfxImageEffectPropPreMultiplication, {kOfxImageOpaque});
    out.defineInt(kOfxImageClipPropContinuousSamples, {0});
    out.defineInt(kOfxImageEffectFrameVarying, {0});
    result.status = send(kOfxImageEffectActionGetClipPreferences, nullptr, &out);
    return result;
}

TimeDomainResult Instance::timeDomain() {
    PropertySet out = results("time domain results");
    const OfxRangeD bounds = plugin_.host().timeBounds();
    out.defineDouble(kOfxImageEffectPropFrameRange, {bounds.min, bounds.max});
    TimeDomainResult result;
    result.status = send(kOfxImageEffectActionGetTimeDomain, nullptr, &out);
    const auto range = out.getDoubles(kOfxImageEffectPropFrameRange);
    result.range = OfxRangeD{range.at(0), range.at(1)};
    return result;
}

OfxStatus Instance::beginInstanceChanged(const std::string& reason) {
    PropertySet in = arguments("begin instance changed arguments");
    in.defineString(kOfxPropChangeReason, {reason}, readOnly);
    return send(kOfxActionBeginInstanceChanged, &in, nullptr);
}

OfxStatus Instance::instanceChanged(const std::string& type, const std::string& name, const std::string& reason,
                                    double time, OfxPointD renderScale) {
    PropertySet in = arguments("instance changed arguments");
    in.defineString(kOfxPropType, {type}, readOnly);
    in.defineString(kOfxPropName, {name}, readOnly);
    in.defineString(kOfxPropChangeReason, {reason}, readOnly);
    in.defineDouble(kOfxPropTime, {time}, readOnly);
    addScale(in, renderScale);
    return send(kOfxActionInstanceChanged, &in, nullptr);
}

OfxStatus Instance::endInstanceChanged(const std::string& reason) {
    PropertySet in = arguments("end instance changed arguments");
    in.defineString(kOfxPropChangeReason, {reason}, readOnly);
    return send(kOfxActionEndInstanceChanged, &in, nullptr);
}

OfxStatus Instance::purgeCaches() {
    return send(kOfxActionPurgeCaches, nullptr, nullptr);
}
OfxStatus Instance::syncPrivateData() {
    return send(kOfxActionSyncPrivateData, nullptr, nullptr);
}
OfxStatus Instance::beginInstanceEdit() {
    return send(kOfxActionBeginInstanceEdit, nullptr, nullptr);
}
OfxStatus Instance::endInstanceEdit() {
    return send(kOfxActionEndInstanceEdit, nullptr, nullptr);
}

OfxStatus Instance::action(const char* name, PropertySet* inArgs, PropertySet* outArgs) {
    return send(name, inArgs, outArgs);
}

}  // namespace tonemill::host
