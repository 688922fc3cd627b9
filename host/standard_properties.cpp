#include "host/standard_properties.h"

#include "host/param.h"
#include "ofxGPURender.h"
#include "ofxImageEffect.h"

namespace tonemill::host {
namespace {

constexpr PropertyOptions readOnly{false, true};
constexpr PropertyOptions variable{true, false};

// Whether a plug-in may render on each back-end: descriptors and the host description
// of a host with the GPU extension carry these.
constexpr const char* kGpuRenderSupport[] = {
    kOfxImageEffectPropOpenCLRenderSupported, kOfxImageEffectPropCudaRenderSupported,
    kOfxImageEffectPropMetalRenderSupported, kOfxImageEffectPropOpenGLRenderSupported};

}  // namespace

void trimToProfile(PropertySet& hostDescription, const HostProfile& profile) {
    if (!profile.openFx15Properties) hostDescription.remove(kOfxParamHostPropSupportsStrChoiceAnimation);
    if (!profile.gpuRenderExtension)
        for (const char* gpu : kGpuRenderSupport) hostDescription.remove(gpu);
}

PropertySet hostDescriptionProperties() {
    PropertySet p("host description");
    p.defineString(kOfxPropType, {kOfxTypeImageEffectHost}, readOnly);
    p.defineInt(kOfxPropAPIVersion, {1, 4}, readOnly);
    p.defineString(kOfxPropName, {"com.tonemill.host"}, readOnly);
    p.defineString(kOfxPropLabel, {"Tonemill test host"}, readOnly);
    p.defineInt(kOfxPropVersion, {1, 0, 0}, readOnly);
    p.defineString(kOfxPropVersionLabel, {"1.0"}, readOnly);
    p.definePointer(kOfxPropHostOSHandle, {nullptr}, readOnly);
    for (const char* flag : {kOfxImageEffectHostPropIsBackground, kOfxImageEffectPropSupportsOverlays,
                             kOfxImageEffectPropSupportsMultipleClipDepths, kOfxImageEffectPropSupportsMultipleClipPARs,
                             kOfxImageEffectPropSetableFrameRate, kOfxImageEffectPropSetableFielding,
                             kOfxImageEffectInstancePropSequentialRender, kOfxParamHostPropSupportsStringAnimation,
                             kOfxParamHostPropSupportsCustomInteract, kOfxParamHostPropSupportsChoiceAnimation,
                             kOfxParamHostPropSupportsStrChoiceAnimation, kOfxParamHostPropSupportsBooleanAnimation,
                             kOfxParamHostPropSupportsCustomAnimation, kOfxParamHostPropSupportsParametricAnimation})
        p.defineInt(flag, {0}, readOnly);
    for (const char* flag : {kOfxImageEffectPropSupportsMultiResolution, kOfxImageEffectPropSupportsTiles,
                             kOfxImageEffectPropTemporalClipAccess})
        p.defineInt(flag, {1}, readOnly);
    for (const char* gpu : kGpuRenderSupport) p.defineString(gpu, {"false"}, readOnly);
    p.defineInt(kOfxParamHostPropMaxParameters, {-1}, readOnly);
    p.defineInt(kOfxParamHostPropMaxPages, {0}, readOnly);
    p.defineInt(kOfxParamHostPropPageRowColumnCount, {0, 0}, readOnly);
    p.defineString(kOfxImageEffectPropSupportedComponents, {kOfxImageComponentRGBA, kOfxImageComponentAlpha}, readOnly);
    p.defineString(kOfxImageEffectPropSupportedContexts,
                   {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral, kOfxImageEffectContextGenerator},
                   readOnly);
    p.defineString(kOfxImageEffectPropSupportedPixelDepths, {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat},
                   readOnly);
    return p;
}

PropertySet effectDescriptorProperties(const std::string& bundlePath, const HostProfile& profile) {
    PropertySet p("effect descriptor");
    p.defineString(kOfxPropType, {kOfxTypeImageEffect}, readOnly);
    p.defineString(kOfxPluginPropFilePath, {bundlePath}, readOnly);
    for (const char* text : {kOfxPropLabel, kOfxPropShortLabel, kOfxPropLongLabel, kOfxPropVersionLabel,
                             kOfxPropPluginDescription, kOfxImageEffectPluginPropGrouping})
        p.defineString(text, {""});
    p.defineInt(kOfxPropVersion, {}, variable);
    p.defineString(kOfxPropIcon, {"", ""});
    p.defineString(kOfxImageEffectPropSupportedContexts, {}, variable);
    p.defineString(kOfxImageEffectPropSupportedPixelDepths, {}, variable);
    p.defineString(kOfxImageEffectPropClipPreferencesSlaveParam, {}, variable);
    p.defineInt(kOfxImageEffectPluginPropSingleInstance, {0});
    p.defineString(kOfxImageEffectPluginRenderThreadSafety, {kOfxImageEffectRenderInstanceSafe});
    p.defineInt(kOfxImageEffectPluginPropHostFrameThreading, {1});
    p.definePointer(kOfxImageEffectPluginPropOverlayInteractV1, {nullptr});
    p.defineInt(kOfxImageEffectPropSupportsMultiResolution, {1});
    p.defineInt(kOfxImageEffectPropSupportsTiles, {1});
    p.defineInt(kOfxImageEffectPropTemporalClipAccess, {0});
    p.defineInt(kOfxImageEffectPluginPropFieldRenderTwiceAlways, {1});
    p.defineInt(kOfxImageEffectPropSupportsMultipleClipDepths, {0});
    p.defineInt(kOfxImageEffectPropSupportsMultipleClipPARs, {0});
    if (profile.gpuRenderExtension) {
        for (const char* gpu : kGpuRenderSupport) p.defineString(gpu, {"false"});
        for (const char* gpu : {kOfxImageEffectPropCudaStreamSupported, kOfxImageEffectPropOpenCLSupported})
            p.defineString(gpu, {"false"});
    }
    return p;
}

void addEffectInstanceProperties(PropertySet& p, const std::string& context) {
    p.defineString(kOfxPropType, {kOfxTypeImageEffectInstance}, readOnly);
    p.defineString(kOfxImageEffectPropContext, {context}, readOnly);
    p.definePointer(kOfxPropInstanceData, {nullptr});
    p.defineDouble(kOfxImageEffectPropProjectSize, {1920, 1080}, readOnly);
    p.defineDouble(kOfxImageEffectPropProjectOffset, {0, 0}, readOnly);
    p.defineDouble(kOfxImageEffectPropProjectExtent, {1920, 1080}, readOnly);
    p.defineDouble(kOfxImageEffectPropProjectPixelAspectRatio, {1.0}, readOnly);
    p.defineDouble(kOfxImageEffectInstancePropEffectDuration, {100}, readOnly);
    p.defineInt(kOfxImageEffectInstancePropSequentialRender, {0});
    p.defineDouble(kOfxImageEffectPropFrameRate, {25}, readOnly);
    p.defineInt(kOfxPropIsInteractive, {0}, readOnly);
}

PropertySet clipDescriptorProperties(const std::string& name) {
    PropertySet p("clip '" + name + "'");
    p.defineString(kOfxPropType, {kOfxTypeClip}, readOnly);
    p.defineString(kOfxPropName, {name}, readOnly);
    p.defineString(kOfxPropLabel, {name});
    p.defineString(kOfxPropShortLabel, {name});
    p.defineString(kOfxPropLongLabel, {name});
    p.defineString(kOfxImageEffectPropSupportedComponents, {}, variable);
    p.defineInt(kOfxImageEffectPropTemporalClipAccess, {0});
    p.defineInt(kOfxImageClipPropOptional, {0});
    p.defineString(kOfxImageClipPropFieldExtraction, {kOfxImageFieldDoubled});
    p.defineInt(kOfxImageClipPropIsMask, {0});
    p.defineInt(kOfxImageEffectPropSupportsTiles, {1});
    return p;
}

void addClipInstanceProperties(PropertySet& p) {
    p.defineString(kOfxImageEffectPropPixelDepth, {kOfxBitDepthFloat}, readOnly);
    p.defineString(kOfxImageEffectPropComponents, {kOfxImageComponentRGBA}, readOnly);
    p.defineString(kOfxImageClipPropUnmappedPixelDepth, {kOfxBitDepthFloat}, readOnly);
    p.defineString(kOfxImageClipPropUnmappedComponents, {kOfxImageComponentRGBA}, readOnly);
    p.defineString(kOfxImageEffectPropPreMultiplication, {kOfxImageOpaque}, readOnly);
    p.defineDouble(kOfxImagePropPixelAspectRatio, {1.0}, readOnly);
    p.defineDouble(kOfxImageEffectPropFrameRate, {25}, readOnly);
    p.defineDouble(kOfxImageEffectPropFrameRange, {0, 100}, readOnly);
    p.defineString(kOfxImageClipPropFieldOrder, {kOfxImageFieldNone}, readOnly);
    p.defineInt(kOfxImageClipPropConnected, {0}, readOnly);
    p.defineDouble(kOfxImageEffectPropUnmappedFrameRange, {0, 100}, readOnly);
    p.defineDouble(kOfxImageEffectPropUnmappedFrameRate, {25}, readOnly);
    p.defineInt(kOfxImageClipPropContinuousSamples, {0}, readOnly);
}

PropertySet paramDescriptorProperties(const std::string& type, const std::string& name) {
    PropertySet p("parameter '" + name + "'");
    p.defineString(kOfxPropType, {kOfxTypeParameter}, readOnly);
    p.defineString(kOfxPropName, {name}, readOnly);
    p.defineString(kOfxParamPropType, {type}, readOnly);
    for (const char* text : {kOfxPropLabel, kOfxPropShortLabel, kOfxPropLongLabel}) p.defineString(text, {name});
    p.defineString(kOfxPropIcon, {"", ""});
    p.defineString(kOfxParamPropHint, {""});
    p.defineString(kOfxParamPropScriptName, {name});
    p.defineString(kOfxParamPropParent, {""});
    p.defineInt(kOfxParamPropSecret, {0});
    p.defineInt(kOfxParamPropEnabled, {1});
    p.definePointer(kOfxParamPropDataPtr, {nullptr});
    p.definePointer(kOfxParamPropInteractV1, {nullptr});
    p.defineDouble(kOfxParamPropInteractSize, {0, 0});
    p.defineDouble(kOfxParamPropInteractSizeAspect, {1.0});
    p.defineInt(kOfxParamPropInteractMinimumSize, {10, 10});
    p.defineInt(kOfxParamPropInteractPreferedSize, {10, 10});
    const ParamKindInfo kind = paramKindOf(type);
    const auto dimension = static_cast<size_t>(kind.dimension > 0 ? kind.dimension : 0);
    if (kind.kind != ParamValueKind::None) {
        p.defineInt(kOfxParamPropAnimates, {1});
        p.defineInt(kOfxParamPropIsAnimating, {0}, readOnly);
        p.defineInt(kOfxParamPropIsAutoKeying, {0}, readOnly);
        p.defineInt(kOfxParamPropPersistant, {1});
        p.defineInt(kOfxParamPropEvaluateOnChange, {1});
        p.defineInt(kOfxParamPropPluginMayWrite, {0});
        p.defineString(kOfxParamPropCacheInvalidation, {kOfxParamInvalidateValueChange});
    }
    if (kind.kind == ParamValueKind::Int) {
        p.defineInt(kOfxParamPropDefault, std::vector<int>(dimension, 0));
        if (type != kOfxParamTypeBoolean && type != kOfxParamTypeChoice) {
            p.defineInt(kOfxParamPropMin, std::vector<int>(dimension, kOfxFlagInfiniteMin));
            p.defineInt(kOfxParamPropMax, std::vector<int>(dimension, kOfxFlagInfiniteMax));
            p.defineInt(kOfxParamPropDisplayMin, std::vector<int>(dimension, kOfxFlagInfiniteMin));
            p.defineInt(kOfxParamPropDisplayMax, std::vector<int>(dimension, kOfxFlagInfiniteMax));
        }
    }
    if (kind.kind == ParamValueKind::Double) {
        p.defineDouble(kOfxParamPropDefault, std::vector<double>(dimension, 0.0));
        p.defineDouble(kOfxParamPropMin, std::vector<double>(dimension, -1.7976931348623157e308));
        p.defineDouble(kOfxParamPropMax, std::vector<double>(dimension, 1.7976931348623157e308));
        p.defineDouble(kOfxParamPropDisplayMin, std::vector<double>(dimension, -1.7976931348623157e308));
        p.defineDouble(kOfxParamPropDisplayMax, std::vector<double>(dimension, 1.7976931348623157e308));
        p.defineDouble(kOfxParamPropIncrement, {1.0});
        p.defineInt(kOfxParamPropDigits, {2});
        p.defineString(kOfxParamPropDoubleType, {kOfxParamDoubleTypePlain});
        p.defineString(kOfxParamPropDefaultCoordinateSystem, {kOfxParamCoordinatesCanonical});
        p.defineInt(kOfxParamPropShowTimeMarker, {0});
    }
    if (dimension > 1) p.defineString(kOfxParamPropDimensionLabel, std::vector<std::string>(dimension, ""));
    if (type == kOfxParamTypeChoice || type == kOfxParamTypeStrChoice) {
        p.defineString(kOfxParamPropChoiceOption, {}, variable);
        p.defineInt(kOfxParamPropChoiceOrder, {}, variable);
    }
    if (kind.kind == ParamValueKind::String) {
        p.defineString(kOfxParamPropDefault, {""});
        p.defineString(kOfxParamPropStringMode, {kOfxParamStringIsSingleLine});
        p.defineInt(kOfxParamPropStringFilePathExists, {1});
    }
    if (type == kOfxParamTypeGroup) p.defineInt(kOfxParamPropGroupOpen, {1});
    if (type == kOfxParamTypePage) p.defineString(kOfxParamPropPageChild, {}, variable);
    return p;
}

}  // namespace tonemill::host
