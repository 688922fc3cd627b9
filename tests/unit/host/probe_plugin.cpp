// A minimal plug-in written straight against the C API, so the host library can be
// tested the way a real plug-in uses it, without the support layer.
#include <cstring>
#include <stdexcept>
#include <string>

#include "ofxImageEffect.h"
#include "ofxMultiThread.h"
#include "ofxParam.h"
#include "ofxProperty.h"

namespace {

OfxHost* gHost = nullptr;
const OfxPropertySuiteV1* gProps = nullptr;
const OfxParameterSuiteV1* gParams = nullptr;
const OfxImageEffectSuiteV1* gEffects = nullptr;
const OfxMultiThreadSuiteV1* gThreads = nullptr;

bool is(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

OfxStatus load() {
    if (!gHost) return kOfxStatErrBadHandle;
    gEffects = static_cast<const OfxImageEffectSuiteV1*>(gHost->fetchSuite(gHost->host, kOfxImageEffectSuite, 1));
    gProps = static_cast<const OfxPropertySuiteV1*>(gHost->fetchSuite(gHost->host, kOfxPropertySuite, 1));
    gParams = static_cast<const OfxParameterSuiteV1*>(gHost->fetchSuite(gHost->host, kOfxParameterSuite, 1));
    gThreads = static_cast<const OfxMultiThreadSuiteV1*>(gHost->fetchSuite(gHost->host, kOfxMultiThreadSuite, 1));
    return gEffects && gProps && gParams && gThreads ? kOfxStatOK : kOfxStatErrMissingHostFeature;
}

OfxStatus describe(OfxImageEffectHandle effect) {
    OfxPropertySetHandle props;
    if (OfxStatus s = gEffects->getPropertySet(effect, &props); s != kOfxStatOK) return s;
    gProps->propSetString(props, kOfxPropLabel, 0, "Probe");
    // Appending at index == dimension grows a list property.
    gProps->propSetString(props, kOfxImageEffectPropSupportedContexts, 0, kOfxImageEffectContextFilter);
    gProps->propSetString(props, kOfxImageEffectPropSupportedContexts, 1, kOfxImageEffectContextGeneral);
    return gProps->propSetString(props, kOfxImageEffectPropSupportedPixelDepths, 0, kOfxBitDepthFloat);
}

OfxStatus describeInContext(OfxImageEffectHandle effect) {
    OfxPropertySetHandle clip;
    gEffects->clipDefine(effect, kOfxImageEffectSimpleSourceClipName, &clip);
    gProps->propSetString(clip, kOfxImageEffectPropSupportedComponents, 0, kOfxImageComponentRGBA);
    gEffects->clipDefine(effect, kOfxImageEffectOutputClipName, &clip);
    OfxParamSetHandle params;
    gEffects->getParamSet(effect, &params);
    OfxPropertySetHandle p;
    gParams->paramDefine(params, kOfxParamTypeDouble, "gain", &p);
    gProps->propSetDouble(p, kOfxParamPropDefault, 0, 1.0);
    gParams->paramDefine(params, kOfxParamTypeBoolean, "enable", &p);
    gProps->propSetInt(p, kOfxParamPropDefault, 0, 1);
    gParams->paramDefine(params, kOfxParamTypeChoice, "mode", &p);
    gProps->propSetString(p, kOfxParamPropChoiceOption, 0, "first");
    gProps->propSetString(p, kOfxParamPropChoiceOption, 1, "second");
    gParams->paramDefine(params, kOfxParamTypeDouble2D, "offset", &p);
    const double offset[2] = {0.5, 0.25};
    gProps->propSetDoubleN(p, kOfxParamPropDefault, 2, offset);
    gParams->paramDefine(params, kOfxParamTypeString, "note", &p);
    gProps->propSetString(p, kOfxParamPropDefault, 0, "hello");
    gParams->paramDefine(params, kOfxParamTypePushButton, "button", &p);
    return gParams->paramDefine(params, kOfxParamTypePage, "page", &p);
}

struct Band {
    OfxImageEffectHandle effect;
    const char* src;
    char* dst;
    int srcRowBytes, dstRowBytes, srcX1, srcY1, dstX1, dstY1;
    OfxRectI window;
    float gain;
};

void renderBand(unsigned index, unsigned count, void* arg) {
    auto* b = static_cast<Band*>(arg);
    const int rows = b->window.y2 - b->window.y1;
    for (int y = b->window.y1 + static_cast<int>(index); y < b->window.y1 + rows; y += static_cast<int>(count)) {
        if (gEffects->abort(b->effect)) return;
        for (int x = b->window.x1; x < b->window.x2; ++x) {
            const auto* in = reinterpret_cast<const float*>(b->src + std::ptrdiff_t(y - b->srcY1) * b->srcRowBytes +
                                                            std::ptrdiff_t(x - b->srcX1) * 16);
            auto* out = reinterpret_cast<float*>(b->dst + std::ptrdiff_t(y - b->dstY1) * b->dstRowBytes +
                                                 std::ptrdiff_t(x - b->dstX1) * 16);
            for (int c = 0; c < 3; ++c) out[c] = in[c] * b->gain;
            out[3] = in[3];
        }
    }
}

OfxStatus fetchImage(OfxImageEffectHandle effect, const char* name, OfxTime time, OfxPropertySetHandle* image,
                     void** data, int* rowBytes, int* x1, int* y1) {
    OfxImageClipHandle clip;
    if (OfxStatus s = gEffects->clipGetHandle(effect, name, &clip, nullptr); s != kOfxStatOK) return s;
    if (OfxStatus s = gEffects->clipGetImage(clip, time, nullptr, image); s != kOfxStatOK) return s;
    int bounds[4];
    gProps->propGetIntN(*image, kOfxImagePropBounds, 4, bounds);
    *x1 = bounds[0];
    *y1 = bounds[1];
    gProps->propGetInt(*image, kOfxImagePropRowBytes, 0, rowBytes);
    return gProps->propGetPointer(*image, kOfxImagePropData, 0, data);
}

OfxStatus render(OfxImageEffectHandle effect, OfxPropertySetHandle in) {
    Band band{};
    band.effect = effect;
    OfxTime time = 0;
    gProps->propGetDouble(in, kOfxPropTime, 0, &time);
    gProps->propGetIntN(in, kOfxImageEffectPropRenderWindow, 4, &band.window.x1);
    OfxParamSetHandle params;
    gEffects->getParamSet(effect, &params);
    OfxParamHandle gain;
    gParams->paramGetHandle(params, "gain", &gain, nullptr);
    double gainValue = 0;
    gParams->paramGetValueAtTime(gain, time, &gainValue);
    band.gain = static_cast<float>(gainValue);
    OfxPropertySetHandle src, dst;
    void *srcData, *dstData;
    if (OfxStatus s = fetchImage(effect, kOfxImageEffectSimpleSourceClipName, time, &src, &srcData, &band.srcRowBytes,
                                 &band.srcX1, &band.srcY1);
        s != kOfxStatOK)
        return s;
    OfxStatus s = fetchImage(effect, kOfxImageEffectOutputClipName, time, &dst, &dstData, &band.dstRowBytes,
                             &band.dstX1, &band.dstY1);
    if (s == kOfxStatOK) {
        band.src = static_cast<const char*>(srcData);
        band.dst = static_cast<char*>(dstData);
        unsigned cpus = 1;
        gThreads->multiThreadNumCPUs(&cpus);
        s = gThreads->multiThread(renderBand, cpus, &band);
        gEffects->clipReleaseImage(dst);
    }
    gEffects->clipReleaseImage(src);
    return s;
}

// A button press switches "enable" off from inside the action.
OfxStatus instanceChanged(OfxImageEffectHandle effect, OfxPropertySetHandle in) {
    char* name = nullptr;
    gProps->propGetString(in, kOfxPropName, 0, &name);
    if (!name || !is(name, "button")) return kOfxStatReplyDefault;
    OfxParamSetHandle params;
    gEffects->getParamSet(effect, &params);
    OfxParamHandle enable;
    gParams->paramGetHandle(params, "enable", &enable, nullptr);
    return gParams->paramSetValue(enable, 0);
}

// Identity while the gain is 1: the source at the same time.
OfxStatus isIdentity(OfxImageEffectHandle effect, OfxPropertySetHandle in, OfxPropertySetHandle out) {
    OfxTime time = 0;
    gProps->propGetDouble(in, kOfxPropTime, 0, &time);
    OfxParamSetHandle params;
    gEffects->getParamSet(effect, &params);
    OfxParamHandle gain;
    gParams->paramGetHandle(params, "gain", &gain, nullptr);
    double value = 0;
    gParams->paramGetValueAtTime(gain, time, &value);
    if (value != 1.0) return kOfxStatReplyDefault;
    gProps->propSetString(out, kOfxPropName, 0, kOfxImageEffectSimpleSourceClipName);
    return gProps->propSetDouble(out, kOfxPropTime, 0, time);
}

// The source is needed one pixel around the region asked for, one frame either side.
OfxStatus regionsOfInterest(OfxPropertySetHandle in, OfxPropertySetHandle out) {
    double roi[4];
    gProps->propGetDoubleN(in, kOfxImageEffectPropRegionOfInterest, 4, roi);
    const double grown[4] = {roi[0] - 1, roi[1] - 1, roi[2] + 1, roi[3] + 1};
    return gProps->propSetDoubleN(out, "OfxImageClipPropRoI_Source", 4, grown);
}

OfxStatus framesNeeded(OfxPropertySetHandle in, OfxPropertySetHandle out) {
    OfxTime t = 0;
    gProps->propGetDouble(in, kOfxPropTime, 0, &t);
    const double ranges[4] = {t - 1, t - 1, t + 1, t + 1};
    return gProps->propSetDoubleN(out, "OfxImageClipPropFrameRange_Source", 4, ranges);
}

OfxStatus fixedRectangle(OfxPropertySetHandle out, const char* property, int count) {
    const double values[4] = {1, 2, 3, 4};
    return gProps->propSetDoubleN(out, property, count, values);
}

// An action of its own: doubles the int "value" of the in-arguments into the out-arguments.
OfxStatus echo(OfxPropertySetHandle in, OfxPropertySetHandle out) {
    int value = 0;
    if (OfxStatus s = gProps->propGetInt(in, "value", 0, &value); s != kOfxStatOK) return s;
    return gProps->propSetInt(out, "value", 0, value * 2);
}

OfxStatus mainEntry(const char* action, const void* handle, OfxPropertySetHandle in, OfxPropertySetHandle out) {
    auto effect = static_cast<OfxImageEffectHandle>(const_cast<void*>(handle));
    if (is(action, kOfxActionLoad)) return load();
    if (is(action, kOfxActionDescribe)) return describe(effect);
    if (is(action, kOfxImageEffectActionDescribeInContext)) return describeInContext(effect);
    if (is(action, kOfxActionCreateInstance) || is(action, kOfxActionDestroyInstance)) return kOfxStatOK;
    if (is(action, kOfxImageEffectActionRender)) return render(effect, in);
    if (is(action, kOfxActionInstanceChanged)) return instanceChanged(effect, in);
    if (is(action, kOfxImageEffectActionIsIdentity)) return isIdentity(effect, in, out);
    if (is(action, kOfxImageEffectActionGetRegionsOfInterest)) return regionsOfInterest(in, out);
    if (is(action, kOfxImageEffectActionGetFramesNeeded)) return framesNeeded(in, out);
    if (is(action, kOfxImageEffectActionGetRegionOfDefinition))
        return fixedRectangle(out, kOfxImageEffectPropRegionOfDefinition, 4);
    if (is(action, kOfxImageEffectActionGetTimeDomain)) return fixedRectangle(out, kOfxImageEffectPropFrameRange, 2);
    if (is(action, "ProbeEcho")) return echo(in, out);
    if (is(action, "ProbeThrow")) throw std::runtime_error("escaped on purpose");
    return kOfxStatReplyDefault;
}

void setHost(OfxHost* host) {
    gHost = host;
}

OfxPlugin probe = {kOfxImageEffectPluginApi, 1, "com.tonemill.probe", 1, 0, setHost, mainEntry};

}  // namespace

OfxExport int OfxGetNumberOfPlugins(void) {
    return 1;
}
OfxExport OfxPlugin* OfxGetPlugin(int nth) {
    return nth == 0 ? &probe : nullptr;
}
