#include "ofx/support/ofxsImageEffect.h"

#include <cstddef>

#include "ofxGPURender.h"

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"

namespace OFX {
namespace {

PropertySet effectProperties(OfxImageEffectHandle handle) {
    OfxPropertySetHandle props = nullptr;
    throwSuiteStatusException(imageEffectSuite().getPropertySet(handle, &props));
    return PropertySet(props);
}

OfxParamSetHandle effectParamSet(OfxImageEffectHandle handle) {
    OfxParamSetHandle paramSet = nullptr;
    throwSuiteStatusException(imageEffectSuite().getParamSet(handle, &paramSet));
    return paramSet;
}

const char* boolText(bool value) {
    return value ? "true" : "false";
}

void appendIfNamed(PropertySet& props, const char* property, const char* text) {
    if (text != nullptr) props.propAppendString(property, text);
}

OfxRectI readRectI(const PropertySet& props, const char* property) {
    return {props.propGetInt(property, 0), props.propGetInt(property, 1), props.propGetInt(property, 2),
            props.propGetInt(property, 3)};
}

}  // namespace

const std::string& clipPropertyName(const ClipPropertyNames& names, const std::string& clipName) {
    const auto found = names.find(clipName);
    if (found == names.end()) throw Exception::PropertyUnknownToHost(clipName);
    return found->second;
}

// ----------------------------------------------------------------------- clip descriptor

ClipDescriptor::ClipDescriptor(const std::string& name, OfxPropertySetHandle props)
    : _clipName(name), _clipProps(props) {}

void ClipDescriptor::addSupportedComponent(PixelComponentEnum components) {
    appendIfNamed(_clipProps, kOfxImageEffectPropSupportedComponents, mapPixelComponentEnumToStr(components));
}

void ClipDescriptor::setTemporalClipAccess(bool enabled) {
    _clipProps.propSetInt(kOfxImageEffectPropTemporalClipAccess, enabled ? 1 : 0);
}

void ClipDescriptor::setSupportsTiles(bool enabled) {
    _clipProps.propSetInt(kOfxImageEffectPropSupportsTiles, enabled ? 1 : 0);
}

void ClipDescriptor::setIsMask(bool isMask) {
    _clipProps.propSetInt(kOfxImageClipPropIsMask, isMask ? 1 : 0);
}

// --------------------------------------------------------------------- effect descriptor

ImageEffectDescriptor::ImageEffectDescriptor(OfxImageEffectHandle handle)
    : _effectHandle(handle), _effectProps(effectProperties(handle)) {
    setParamSetHandle(effectParamSet(handle));
}

ImageEffectDescriptor::~ImageEffectDescriptor() = default;

void ImageEffectDescriptor::setOverlayInteractDescriptor(OverlayInteractDescriptor* descriptor) {
    _overlayDescriptor.reset(descriptor);
    const ImageEffectHostDescription* host = getImageEffectHostDescription();
    if (descriptor == nullptr || host == nullptr || !host->supportsOverlays) return;
    if (OfxPluginEntryPoint* entry = descriptor->getMainEntry())
        _effectProps.propSetPointer(kOfxImageEffectPluginPropOverlayInteractV1, reinterpret_cast<void*>(entry));
}

void ImageEffectDescriptor::setLabels(const std::string& label, const std::string& shortLabel,
                                      const std::string& longLabel) {
    _effectProps.propSetString(kOfxPropLabel, label);
    _effectProps.propSetString(kOfxPropShortLabel, shortLabel, 0, false);
    _effectProps.propSetString(kOfxPropLongLabel, longLabel, 0, false);
}

void ImageEffectDescriptor::setPluginGrouping(const std::string& grouping) {
    _effectProps.propSetString(kOfxImageEffectPluginPropGrouping, grouping);
}

void ImageEffectDescriptor::setPluginDescription(const std::string& description) {
    _effectProps.propSetString(kOfxPropPluginDescription, description, 0, false);
}

void ImageEffectDescriptor::addSupportedContext(ContextEnum context) {
    appendIfNamed(_effectProps, kOfxImageEffectPropSupportedContexts, mapContextEnumToStr(context));
}

void ImageEffectDescriptor::addSupportedBitDepth(BitDepthEnum depth) {
    appendIfNamed(_effectProps, kOfxImageEffectPropSupportedPixelDepths, mapBitDepthEnumToStr(depth));
}

void ImageEffectDescriptor::setSingleInstance(bool enabled) {
    _effectProps.propSetInt(kOfxImageEffectPluginPropSingleInstance, enabled ? 1 : 0);
}

void ImageEffectDescriptor::setHostFrameThreading(bool enabled) {
    _effectProps.propSetInt(kOfxImageEffectPluginPropHostFrameThreading, enabled ? 1 : 0);
}

void ImageEffectDescriptor::setSupportsMultiResolution(bool enabled) {
    _effectProps.propSetInt(kOfxImageEffectPropSupportsMultiResolution, enabled ? 1 : 0);
}

void ImageEffectDescriptor::setSupportsTiles(bool enabled) {
    _effectProps.propSetInt(kOfxImageEffectPropSupportsTiles, enabled ? 1 : 0);
}

void ImageEffectDescriptor::setTemporalClipAccess(bool enabled) {
    _effectProps.propSetInt(kOfxImageEffectPropTemporalClipAccess, enabled ? 1 : 0);
}

void ImageEffectDescriptor::setRenderTwiceAlways(bool enabled) {
    _effectProps.propSetInt(kOfxImageEffectPluginPropFieldRenderTwiceAlways, enabled ? 1 : 0);
}

void ImageEffectDescriptor::setSupportsMultipleClipPARs(bool enabled) {
    _effectProps.propSetInt(kOfxImageEffectPropSupportsMultipleClipPARs, enabled ? 1 : 0);
}

void ImageEffectDescriptor::setSupportsMultipleClipDepths(bool enabled) {
    _effectProps.propSetInt(kOfxImageEffectPropSupportsMultipleClipDepths, enabled ? 1 : 0);
}

void ImageEffectDescriptor::setRenderThreadSafety(RenderSafetyEnum safety) {
    if (const char* text = mapRenderSafetyEnumToStr(safety))
        _effectProps.propSetString(kOfxImageEffectPluginRenderThreadSafety, text);
}

void ImageEffectDescriptor::setSupportsOpenCLRender(bool enabled) {
    _acceptedGpuRender.openCL =
        _effectProps.propTrySetString(kOfxImageEffectPropOpenCLRenderSupported, boolText(enabled));
}

void ImageEffectDescriptor::setSupportsCudaRender(bool enabled) {
    _acceptedGpuRender.cuda = _effectProps.propTrySetString(kOfxImageEffectPropCudaRenderSupported, boolText(enabled));
}

void ImageEffectDescriptor::setSupportsMetalRender(bool enabled) {
    _acceptedGpuRender.metal =
        _effectProps.propTrySetString(kOfxImageEffectPropMetalRenderSupported, boolText(enabled));
}

ClipDescriptor* ImageEffectDescriptor::defineClip(const std::string& name) {
    if (auto found = _definedClips.find(name); found != _definedClips.end()) return found->second.get();

    // A refusal leaves the descriptor with whatever handle the host gave; the host
    // reports the clip as missing later if it matters.
    OfxPropertySetHandle props = nullptr;
    imageEffectSuite().clipDefine(_effectHandle, name.c_str(), &props);
    ClipDescriptor* clip =
        _definedClips.emplace(name, std::make_unique<ClipDescriptor>(name, props)).first->second.get();

    _clipComponentsPropNames[name] = "OfxImageClipPropComponents_" + name;
    _clipDepthPropNames[name] = "OfxImageClipPropDepth_" + name;
    _clipPARPropNames[name] = "OfxImageClipPropPAR_" + name;
    _clipROIPropNames[name] = "OfxImageClipPropRoI_" + name;
    _clipFrameRangePropNames[name] = "OfxImageClipPropFrameRange_" + name;
    return clip;
}

// ------------------------------------------------------------------------------- images

ImageBase::ImageBase(OfxPropertySetHandle props) : _imageHandle(props), _imageProps(props) {
    _rowBytes = _imageProps.propGetInt(kOfxImagePropRowBytes);
    _pixelAspectRatio = _imageProps.propGetDouble(kOfxImagePropPixelAspectRatio);
    _pixelComponents = mapStrToPixelComponentEnum(_imageProps.propGetString(kOfxImageEffectPropComponents));
    _pixelComponentCount = componentCount(_pixelComponents);
    _pixelDepth = mapStrToBitDepthEnum(_imageProps.propGetString(kOfxImageEffectPropPixelDepth));
    _pixelBytes = _pixelComponentCount * bytesPerComponent(_pixelDepth);
    _preMultiplication = mapStrToPreMultiplicationEnum(_imageProps.propGetString(kOfxImageEffectPropPreMultiplication));
    _regionOfDefinition = readRectI(_imageProps, kOfxImagePropRegionOfDefinition);
    _bounds = readRectI(_imageProps, kOfxImagePropBounds);

    const std::string field = _imageProps.propGetString(kOfxImagePropField);
    if (!mapStrToFieldEnum(field, _field)) {
        Log::error(true, "Unknown field state '%s' reported on an image", field.c_str());
        _field = eFieldNone;
    }
    _uniqueID = _imageProps.propGetString(kOfxImagePropUniqueIdentifier);
    _renderScale = {_imageProps.propGetDouble(kOfxImageEffectPropRenderScale, 0),
                    _imageProps.propGetDouble(kOfxImageEffectPropRenderScale, 1)};
}

ImageBase::~ImageBase() = default;

Image::Image(OfxPropertySetHandle props) : ImageBase(props) {
    _pixelData = _imageProps.propGetPointer(kOfxImagePropData);
}

Image::~Image() {
    // Destructors must not throw; without the suite there is no host left to give it to.
    try {
        imageEffectSuite().clipReleaseImage(_imageHandle);
    } catch (const Exception::HostInadequate&) {
    }
}

void* Image::getPixelAddress(int x, int y) const {
    if (x < _bounds.x1 || x >= _bounds.x2 || y < _bounds.y1 || y >= _bounds.y2 || _pixelBytes == 0 ||
        _pixelData == nullptr)
        return nullptr;
    // In pointer-sized arithmetic: row bytes may be negative and rows many.
    const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(y - _bounds.y1) * _rowBytes +
                                  static_cast<std::ptrdiff_t>(x - _bounds.x1) * _pixelBytes;
    return static_cast<char*>(_pixelData) + offset;
}

// -------------------------------------------------------------------------------- clips

Clip::Clip(ImageEffect* effect, const std::string& name, OfxImageClipHandle handle, OfxPropertySetHandle props)
    : _clipName(name), _clipProps(props), _clipHandle(handle), _effect(effect) {}

std::unique_ptr<Image> Clip::fetchImage(double time) {
    OfxPropertySetHandle imageHandle = nullptr;
    const OfxStatus status = imageEffectSuite().clipGetImage(_clipHandle, time, nullptr, &imageHandle);
    if (status == kOfxStatFailed) return nullptr;
    throwSuiteStatusException(status);
    if (imageHandle == nullptr) return nullptr;
    try {
        return std::make_unique<Image>(imageHandle);
    } catch (...) {
        // The image was never handed out, so nobody else would give it back.
        imageEffectSuite().clipReleaseImage(imageHandle);
        throw;
    }
}

BitDepthEnum Clip::getPixelDepth() {
    const BitDepthEnum depth = mapStrToBitDepthEnum(_clipProps.propGetString(kOfxImageEffectPropPixelDepth));
    if (depth == eBitDepthNone && _clipProps.propGetInt(kOfxImageClipPropConnected) != 0)
        Log::error(true, "Clip %s is connected and has no pixel depth.", _clipName.c_str());
    return depth;
}

PixelComponentEnum Clip::getPixelComponents() {
    const PixelComponentEnum components =
        mapStrToPixelComponentEnum(_clipProps.propGetString(kOfxImageEffectPropComponents));
    if (components == ePixelComponentNone && _clipProps.propGetInt(kOfxImageClipPropConnected) != 0)
        Log::error(true, "Clip %s is connected and has no pixel component type!", _clipName.c_str());
    return components;
}

// ---------------------------------------------------------------------- clip preferences

void ClipPreferencesSetter::setClipComponents(const Clip& clip, PixelComponentEnum components) {
    if (const char* text = mapPixelComponentEnumToStr(components)) {
        _outArgs.propSetString(clipPropertyName(_componentPropNames, clip.getName()).c_str(), text);
        _doneSomething = true;
    }
}

void ClipPreferencesSetter::setClipBitDepth(const Clip& clip, BitDepthEnum depth) {
    if (const char* text = mapBitDepthEnumToStr(depth)) {
        _outArgs.propSetString(clipPropertyName(_depthPropNames, clip.getName()).c_str(), text);
        _doneSomething = true;
    }
}

void ClipPreferencesSetter::setPixelAspectRatio(const Clip& clip, double par) {
    _outArgs.propSetDouble(clipPropertyName(_parPropNames, clip.getName()).c_str(), par);
    _doneSomething = true;
}

void ClipPreferencesSetter::setOutputFrameVarying(bool varying) {
    _outArgs.propSetInt(kOfxImageEffectFrameVarying, varying ? 1 : 0);
    _doneSomething = true;
}

std::unique_ptr<Image> fetchRequiredImage(Clip& clip, double time) {
    std::unique_ptr<Image> image = clip.fetchImage(time);
    if (!image) {
        Log::error(true, "Clip %s delivered no image at time %g", clip.name().c_str(), time);
        throwSuiteStatusException(kOfxStatFailed);
    }
    return image;
}

// ------------------------------------------------------------------------------- effect

ImageEffect::ImageEffect(OfxImageEffectHandle handle) : _effectHandle(handle), _effectProps(effectProperties(handle)) {
    _effectProps.propSetPointer(kOfxPropInstanceData, this);
    try {
        _context = mapStrToContextEnum(_effectProps.propGetString(kOfxImageEffectPropContext));
        setParamSetHandle(effectParamSet(handle));
    } catch (...) {
        // No destructor runs for a half-built effect: take back the pointer the host
        // would otherwise hand to later actions.
        _effectProps.propSetPointer(kOfxPropInstanceData, nullptr, 0, false);
        throw;
    }
}

ImageEffect::~ImageEffect() {
    // A refusal is only logged; an instance outliving the host's suites has nowhere to
    // unregister, and a destructor must not throw.
    try {
        _effectProps.propSetPointer(kOfxPropInstanceData, nullptr, 0, false);
    } catch (const Exception::HostInadequate&) {
    }
    _fetchedClips.clear();
}

bool ImageEffect::isIdentity(const IsIdentityArguments& /*args*/, Clip*& /*identityClip*/, double& /*identityTime*/) {
    return false;
}

bool ImageEffect::getRegionOfDefinition(const RegionOfDefinitionArguments& /*args*/, OfxRectD& /*rod*/) {
    return false;
}

bool ImageEffect::getTimeDomain(OfxRangeD& /*range*/) {
    return false;
}

Clip* ImageEffect::fetchClip(const std::string& name) {
    if (auto found = _fetchedClips.find(name); found != _fetchedClips.end()) return found->second.get();

    OfxImageClipHandle clipHandle = nullptr;
    OfxPropertySetHandle props = nullptr;
    throwSuiteStatusException(imageEffectSuite().clipGetHandle(_effectHandle, name.c_str(), &clipHandle, &props));
    auto clip = std::make_unique<Clip>(this, name, clipHandle, props);
    return _fetchedClips.emplace(name, std::move(clip)).first->second.get();
}

bool ImageEffect::abort() const {
    return imageEffectSuite().abort(_effectHandle) != 0;
}

}  // namespace OFX
