// The instance actions: each finds the instance first, then reads its in-arguments in
// a fixed order, calls the instance and writes what it answered.

#include <map>
#include <stdexcept>
#include <vector>

#include "ofxGPURender.h"
#include "ofx/support/action_arguments.h"
#include "ofx/support/ofxsActions.h"
#include "ofx/support/ofxsImageEffect.h"
#include "ofx/support/ofxsLog.h"

namespace OFX {

InstanceChangeReason mapStrToInstanceChangeReason(const std::string& text) {
    if (text == kOfxChangeUserEdited) return eChangeUserEdit;
    if (text == kOfxChangePluginEdited) return eChangePluginEdit;
    if (text == kOfxChangeTime) return eChangeTime;
    Log::error(true, "Unknown instance changed reason '%s'", text.c_str());
    throw std::invalid_argument(text);
}

namespace Private {
namespace {

constexpr bool kMust = true;
constexpr bool kMay = false;

OfxPointD readRenderScale(const PropertySet& in) {
    return {in.propGetDouble(kOfxImageEffectPropRenderScale, 0), in.propGetDouble(kOfxImageEffectPropRenderScale, 1)};
}

OfxRectI readRenderWindow(const PropertySet& in) {
    return {in.propGetInt(kOfxImageEffectPropRenderWindow, 0), in.propGetInt(kOfxImageEffectPropRenderWindow, 1),
            in.propGetInt(kOfxImageEffectPropRenderWindow, 2), in.propGetInt(kOfxImageEffectPropRenderWindow, 3)};
}

FieldEnum readFieldToRender(const PropertySet& in) {
    const std::string text = in.propGetString(kOfxImageEffectPropFieldToRender);
    FieldEnum field = eFieldNone;
    if (!mapStrToFieldEnum(text, field)) Log::error(true, "Unknown field to render '%s'", text.c_str());
    return field;
}

bool readFlag(const PropertySet& in, const char* property, bool throwOnFailure) {
    return in.propGetInt(property, 0, throwOnFailure) != 0;
}

// The GPU paths the host enabled and their queues; hosts without a path do not know
// its properties, hence optional. A path whose support property the host refused at
// describe time stays off whatever the host says now.
template <class Record>
void readGpuArguments(const PropertySet& in, Record& args, const std::string& uid) {
    args.isEnabledOpenCLRender = in.propGetOptionalInt(kOfxImageEffectPropOpenCLEnabled) != 0;
    args.isEnabledCudaRender = in.propGetOptionalInt(kOfxImageEffectPropCudaEnabled) != 0;
    args.isEnabledMetalRender = in.propGetOptionalInt(kOfxImageEffectPropMetalEnabled) != 0;
    args.pOpenCLCmdQ = in.propGetOptionalPointer(kOfxImageEffectPropOpenCLCommandQueue);
    args.pMetalCmdQ = in.propGetOptionalPointer(kOfxImageEffectPropMetalCommandQueue);
    if (const ImageEffectDescriptor* described = findDescriptor(uid, eContextNone)) {
        const GpuRenderSupport accepted = described->acceptedGpuRender();
        args.isEnabledOpenCLRender = args.isEnabledOpenCLRender && accepted.openCL;
        args.isEnabledCudaRender = args.isEnabledCudaRender && accepted.cuda;
        args.isEnabledMetalRender = args.isEnabledMetalRender && accepted.metal;
    }
}

template <class Record>
void readRenderStatuses(const PropertySet& in, Record& args) {
    args.sequentialRenderStatus = readFlag(in, kOfxImageEffectPropSequentialRenderStatus, kMay);
    args.interactiveRenderStatus = readFlag(in, kOfxImageEffectPropInteractiveRenderStatus, kMay);
}

void writeRectD(PropertySet& out, const char* property, const OfxRectD& rect) {
    out.propSetDouble(property, rect.x1, 0);
    out.propSetDouble(property, rect.y1, 1);
    out.propSetDouble(property, rect.x2, 2);
    out.propSetDouble(property, rect.y2, 3);
}

// Stands in for the maps of a context the host never described: every clip is unknown.
const ClipPropertyNames kNoClips;

const ImageEffectDescriptor* descriptorOf(const ImageEffect& effect, const std::string& uid) {
    return findDescriptor(uid, effect.getContext());
}

class ActualROISetter : public RegionOfInterestSetter {
 public:
    ActualROISetter(PropertySet& outArgs, const ClipPropertyNames& roiPropNames)
        : _outArgs(outArgs), _roiPropNames(roiPropNames) {}

    void setRegionOfInterest(const Clip& clip, const OfxRectD& region) override {
        writeRectD(_outArgs, clipPropertyName(_roiPropNames, clip.getName()).c_str(), region);
        _doneSomething = true;
    }
    bool didSetAny() const { return _doneSomething; }

 private:
    PropertySet& _outArgs;
    bool _doneSomething = false;
    const ClipPropertyNames& _roiPropNames;
};

class ActualSetter : public FramesNeededSetter {
 public:
    ActualSetter(PropertySet& outArgs, const ClipPropertyNames& frameRangePropNames)
        : _outArgs(outArgs), _frameRangePropNames(frameRangePropNames) {}

    void setFramesNeeded(const Clip& clip, const OfxRangeD& range) override {
        _frames[clip.getName()].push_back(range);
    }

    // The host decides the output's own frames, so ranges set for it are dropped.
    bool write() {
        bool wroteAny = false;
        for (const auto& [clipName, ranges] : _frames) {
            if (clipName == kOfxImageEffectOutputClipName) continue;
            wroteAny = true;
            const char* property = clipPropertyName(_frameRangePropNames, clipName).c_str();
            for (std::size_t i = 0; i < ranges.size(); ++i) {
                _outArgs.propSetDouble(property, ranges[i].min, static_cast<int>(2 * i));
                _outArgs.propSetDouble(property, ranges[i].max, static_cast<int>(2 * i + 1));
            }
        }
        return wroteAny;
    }

 private:
    PropertySet& _outArgs;
    std::map<std::string, std::vector<OfxRangeD>> _frames;
    const ClipPropertyNames& _frameRangePropNames;
};

InstanceChangeReason readChangeReason(const PropertySet& in) {
    return mapStrToInstanceChangeReason(in.propGetString(kOfxPropChangeReason));
}

}  // namespace

void renderAction(OfxImageEffectHandle handle, const PropertySet& inArgs, const std::string& uid) {
    ImageEffect& effect = retrieveImageEffect(handle);
    RenderArguments args;
    args.time = inArgs.propGetDouble(kOfxPropTime);
    args.renderScale = readRenderScale(inArgs);
    args.renderWindow = readRenderWindow(inArgs);
    readGpuArguments(inArgs, args, uid);
    readRenderStatuses(inArgs, args);
    args.fieldToRender = readFieldToRender(inArgs);
    effect.render(args);
}

void beginSequenceRenderAction(OfxImageEffectHandle handle, const PropertySet& inArgs, const std::string& uid) {
    ImageEffect& effect = retrieveImageEffect(handle);
    BeginSequenceRenderArguments args;
    args.frameRange = {inArgs.propGetDouble(kOfxImageEffectPropFrameRange, 0),
                       inArgs.propGetDouble(kOfxImageEffectPropFrameRange, 1)};
    args.frameStep = inArgs.propGetDouble(kOfxImageEffectPropFrameStep);
    args.renderScale = readRenderScale(inArgs);
    readGpuArguments(inArgs, args, uid);
    args.interactive = readFlag(inArgs, kOfxPropIsInteractive, kMust);
    readRenderStatuses(inArgs, args);
    effect.beginSequenceRender(args);
}

void endSequenceRenderAction(OfxImageEffectHandle handle, const PropertySet& inArgs, const std::string& uid) {
    ImageEffect& effect = retrieveImageEffect(handle);
    EndSequenceRenderArguments args;
    args.renderScale = readRenderScale(inArgs);
    readGpuArguments(inArgs, args, uid);
    args.interactive = readFlag(inArgs, kOfxPropIsInteractive, kMust);
    readRenderStatuses(inArgs, args);
    effect.endSequenceRender(args);
}

bool isIdentityAction(OfxImageEffectHandle handle, const PropertySet& inArgs, PropertySet& outArgs) {
    ImageEffect& effect = retrieveImageEffect(handle);
    IsIdentityArguments args;
    args.time = inArgs.propGetDouble(kOfxPropTime);
    args.renderScale = readRenderScale(inArgs);
    args.renderWindow = readRenderWindow(inArgs);
    args.fieldToRender = readFieldToRender(inArgs);

    Clip* identityClip = nullptr;
    double identityTime = args.time;
    if (!effect.isIdentity(args, identityClip, identityTime) || identityClip == nullptr) return false;
    outArgs.propSetString(kOfxPropName, identityClip->getName());
    outArgs.propSetDouble(kOfxPropTime, identityTime);
    return true;
}

bool regionOfDefinitionAction(OfxImageEffectHandle handle, const PropertySet& inArgs, PropertySet& outArgs) {
    ImageEffect& effect = retrieveImageEffect(handle);
    RegionOfDefinitionArguments args;
    args.renderScale = readRenderScale(inArgs);
    args.time = inArgs.propGetDouble(kOfxPropTime);

    OfxRectD rod{0, 0, 0, 0};
    if (!effect.getRegionOfDefinition(args, rod)) return false;
    writeRectD(outArgs, kOfxImageEffectPropRegionOfDefinition, rod);
    return true;
}

bool regionsOfInterestAction(OfxImageEffectHandle handle, const PropertySet& inArgs, PropertySet& outArgs,
                             const std::string& uid) {
    ImageEffect& effect = retrieveImageEffect(handle);
    RegionsOfInterestArguments args;
    args.renderScale = readRenderScale(inArgs);
    args.regionOfInterest = {inArgs.propGetDouble(kOfxImageEffectPropRegionOfInterest, 0),
                             inArgs.propGetDouble(kOfxImageEffectPropRegionOfInterest, 1),
                             inArgs.propGetDouble(kOfxImageEffectPropRegionOfInterest, 2),
                             inArgs.propGetDouble(kOfxImageEffectPropRegionOfInterest, 3)};
    args.time = inArgs.propGetDouble(kOfxPropTime);

    const ImageEffectDescriptor* descriptor = descriptorOf(effect, uid);
    ActualROISetter setter(outArgs, descriptor != nullptr ? descriptor->getClipROIPropNames() : kNoClips);
    effect.getRegionsOfInterest(args, setter);
    return setter.didSetAny();
}

bool framesNeededAction(OfxImageEffectHandle handle, const PropertySet& inArgs, PropertySet& outArgs,
                        const std::string& uid) {
    ImageEffect& effect = retrieveImageEffect(handle);
    FramesNeededArguments args;
    args.time = inArgs.propGetDouble(kOfxPropTime);

    const ImageEffectDescriptor* descriptor = descriptorOf(effect, uid);
    ActualSetter setter(outArgs, descriptor != nullptr ? descriptor->getClipFrameRangePropNames() : kNoClips);
    effect.getFramesNeeded(args, setter);
    return setter.write();
}

bool clipPreferencesAction(OfxImageEffectHandle handle, PropertySet& outArgs, const std::string& uid) {
    ImageEffect& effect = retrieveImageEffect(handle);
    const ImageEffectDescriptor* descriptor = descriptorOf(effect, uid);
    ClipPreferencesSetter setter(outArgs, descriptor != nullptr ? descriptor->getClipDepthPropNames() : kNoClips,
                                 descriptor != nullptr ? descriptor->getClipComponentPropNames() : kNoClips,
                                 descriptor != nullptr ? descriptor->getClipPARPropNames() : kNoClips);
    effect.getClipPreferences(setter);
    return setter.didSetAny();
}

bool timeDomainAction(OfxImageEffectHandle handle, PropertySet& outArgs) {
    ImageEffect& effect = retrieveImageEffect(handle);
    Log::error(effect.getContext() != eContextGeneral,
               "Calling kOfxImageEffectActionGetTimeDomain on an effect that is not a general context effect.");
    OfxRangeD range{0, 0};
    if (!effect.getTimeDomain(range)) return false;
    outArgs.propSetDouble(kOfxImageEffectPropFrameRange, range.min, 0);
    outArgs.propSetDouble(kOfxImageEffectPropFrameRange, range.max, 1);
    return true;
}

void beginInstanceChangedAction(OfxImageEffectHandle handle, const PropertySet& inArgs) {
    ImageEffect& effect = retrieveImageEffect(handle);
    effect.beginChanged(readChangeReason(inArgs));
}

void instanceChangedAction(OfxImageEffectHandle handle, const PropertySet& inArgs) {
    ImageEffect& effect = retrieveImageEffect(handle);
    InstanceChangedArgs args;
    args.reason = readChangeReason(inArgs);
    args.time = inArgs.propGetDouble(kOfxPropTime);
    args.renderScale = readRenderScale(inArgs);
    const std::string type = inArgs.propGetString(kOfxPropType);
    const std::string name = inArgs.propGetString(kOfxPropName);

    if (type == kOfxTypeParameter)
        effect.changedParam(args, name);
    else if (type == kOfxTypeClip)
        effect.changedClip(args, name);
    else
        Log::error(true, "Instance Changed called with unknown type '%s' of object '%s'", type.c_str(), name.c_str());
}

void endInstanceChangedAction(OfxImageEffectHandle handle, const PropertySet& inArgs) {
    ImageEffect& effect = retrieveImageEffect(handle);
    effect.endChanged(readChangeReason(inArgs));
}

}  // namespace Private
}  // namespace OFX
