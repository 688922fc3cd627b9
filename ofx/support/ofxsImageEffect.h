#pragma once
// The effect as the plug-in sees it: the descriptor the describe actions fill in, the
// instance base class, its clips and the images fetched from them.

#include <map>
#include <memory>
#include <string>

#include "ofxCore.h"
#include "ofxImageEffect.h"
#include "ofx/support/action_arguments.h"
#include "ofx/support/effect_enums.h"
#include "ofx/support/ofxsParams.h"
#include "ofx/support/ofxsProperty.h"

namespace OFX {

class ImageEffect;
class Image;

// Clip name -> name of the per-clip property an action's out-arguments carry for it.
using ClipPropertyNames = std::map<std::string, std::string>;

// The property named for `clipName`; a clip the descriptor never defined raises
// Exception::PropertyUnknownToHost carrying the clip name.
const std::string& clipPropertyName(const ClipPropertyNames& names, const std::string& clipName);

// Describes an overlay interact: all the effect descriptor needs is its entry point.
class OverlayInteractDescriptor {
 public:
    virtual ~OverlayInteractDescriptor() = default;
    virtual OfxPluginEntryPoint* getMainEntry() const = 0;
};

class ClipDescriptor {
 public:
    ClipDescriptor(const std::string& name, OfxPropertySetHandle props);

    const std::string& getName() const { return _clipName; }
    PropertySet& getPropertySet() { return _clipProps; }

    void addSupportedComponent(PixelComponentEnum components);
    void setTemporalClipAccess(bool enabled);
    void setSupportsTiles(bool enabled);
    void setIsMask(bool isMask);

 private:
    std::string _clipName;
    PropertySet _clipProps;
};

// The GPU back-ends whose support property the host took at describe time.
struct GpuRenderSupport {
    bool openCL = true;
    bool cuda = true;
    bool metal = true;
};

class ImageEffectDescriptor : public ParamSetDescriptor {
 public:
    explicit ImageEffectDescriptor(OfxImageEffectHandle handle);
    ~ImageEffectDescriptor() override;

    // Takes ownership; the host learns the entry point only when it supports overlays.
    virtual void setOverlayInteractDescriptor(OverlayInteractDescriptor* descriptor);

    OfxImageEffectHandle getHandle() const { return _effectHandle; }
    PropertySet& getPropertySet() { return _effectProps; }

    void setLabels(const std::string& label, const std::string& shortLabel, const std::string& longLabel);
    void setPluginGrouping(const std::string& grouping);
    void setPluginDescription(const std::string& description);
    void addSupportedContext(ContextEnum context);
    void addSupportedBitDepth(BitDepthEnum depth);
    void setSingleInstance(bool enabled);
    void setHostFrameThreading(bool enabled);
    void setSupportsMultiResolution(bool enabled);
    void setSupportsTiles(bool enabled);
    void setTemporalClipAccess(bool enabled);
    void setRenderTwiceAlways(bool enabled);
    void setSupportsMultipleClipPARs(bool enabled);
    void setSupportsMultipleClipDepths(bool enabled);
    void setRenderThreadSafety(RenderSafetyEnum safety);
    // The GPU extension is optional: a host without it declines these, which leaves a
    // warning and keeps that back-end off for every instance.
    void setSupportsOpenCLRender(bool enabled);
    void setSupportsCudaRender(bool enabled);
    void setSupportsMetalRender(bool enabled);
    GpuRenderSupport acceptedGpuRender() const { return _acceptedGpuRender; }

    ClipDescriptor* defineClip(const std::string& name);

    const ClipPropertyNames& getClipComponentPropNames() const { return _clipComponentsPropNames; }
    const ClipPropertyNames& getClipDepthPropNames() const { return _clipDepthPropNames; }
    const ClipPropertyNames& getClipPARPropNames() const { return _clipPARPropNames; }
    const ClipPropertyNames& getClipROIPropNames() const { return _clipROIPropNames; }
    const ClipPropertyNames& getClipFrameRangePropNames() const { return _clipFrameRangePropNames; }

 private:
    OfxImageEffectHandle _effectHandle;
    PropertySet _effectProps;
    std::map<std::string, std::unique_ptr<ClipDescriptor>> _definedClips;
    ClipPropertyNames _clipComponentsPropNames;
    ClipPropertyNames _clipDepthPropNames;
    ClipPropertyNames _clipPARPropNames;
    ClipPropertyNames _clipROIPropNames;
    ClipPropertyNames _clipFrameRangePropNames;
    std::unique_ptr<OverlayInteractDescriptor> _overlayDescriptor;
    GpuRenderSupport _acceptedGpuRender;
};

// Fields of a host image, read once when it is fetched.
class ImageBase {
 public:
    explicit ImageBase(OfxPropertySetHandle props);
    virtual ~ImageBase();

    PropertySet& getPropertySet() { return _imageProps; }
    OfxPropertySetHandle getHandle() const { return _imageHandle; }

    int getRowBytes() const { return _rowBytes; }
    double getPixelAspectRatio() const { return _pixelAspectRatio; }
    PixelComponentEnum getPixelComponents() const { return _pixelComponents; }
    int getPixelComponentCount() const { return _pixelComponentCount; }
    BitDepthEnum getPixelDepth() const { return _pixelDepth; }
    int getPixelBytes() const { return _pixelBytes; }
    PreMultiplicationEnum getPreMultiplication() const { return _preMultiplication; }
    const OfxRectI& getRegionOfDefinition() const { return _regionOfDefinition; }
    const OfxRectI& getBounds() const { return _bounds; }
    FieldEnum getField() const { return _field; }
    const std::string& getUniqueIdentifier() const { return _uniqueID; }
    const OfxPointD& getRenderScale() const { return _renderScale; }

 protected:
    OfxPropertySetHandle _imageHandle;
    PropertySet _imageProps;
    int _rowBytes = 0;
    double _pixelAspectRatio = 1;
    PixelComponentEnum _pixelComponents = ePixelComponentNone;
    int _pixelComponentCount = 0;
    BitDepthEnum _pixelDepth = eBitDepthNone;
    int _pixelBytes = 0;
    PreMultiplicationEnum _preMultiplication = eImageOpaque;
    OfxRectI _regionOfDefinition{0, 0, 0, 0};
    OfxRectI _bounds{0, 0, 0, 0};
    FieldEnum _field = eFieldNone;
    std::string _uniqueID;
    OfxPointD _renderScale{1, 1};
};

// A fetched image; deleting it hands the image back to the host.
class Image : public ImageBase {
 public:
    explicit Image(OfxPropertySetHandle props);
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image() override;

    void* getPixelData() const { return _pixelData; }
    // Address of pixel (x, y), or null outside the bounds or for an unknown pixel size.
    void* getPixelAddress(int x, int y) const;

 private:
    void* _pixelData = nullptr;
};

class Clip;

// The clip's image at `time`; a host without one fails the action (after an
// error line naming the clip), since rendering would go through a null image.
std::unique_ptr<Image> fetchRequiredImage(Clip& clip, double time);

class Clip {
 public:
    Clip(ImageEffect* effect, const std::string& name, OfxImageClipHandle handle, OfxPropertySetHandle props);

    const std::string& name() const { return _clipName; }
    const std::string& getName() const { return _clipName; }
    OfxImageClipHandle getHandle() const { return _clipHandle; }
    PropertySet& getPropertySet() { return _clipProps; }
    ImageEffect* getEffect() const { return _effect; }

    // Null when the host has no image at that time.
    std::unique_ptr<Image> fetchImage(double time);
    BitDepthEnum getPixelDepth();
    PixelComponentEnum getPixelComponents();

 private:
    std::string _clipName;
    PropertySet _clipProps;
    OfxImageClipHandle _clipHandle;
    ImageEffect* _effect;
};

// Written by an instance that sets clip preferences.
class ClipPreferencesSetter {
 public:
    ClipPreferencesSetter(PropertySet outArgs, const ClipPropertyNames& depthPropNames,
                          const ClipPropertyNames& componentPropNames, const ClipPropertyNames& parPropNames)
        : _outArgs(outArgs),
          _depthPropNames(depthPropNames),
          _componentPropNames(componentPropNames),
          _parPropNames(parPropNames) {}

    void setClipComponents(const Clip& clip, PixelComponentEnum components);
    void setClipBitDepth(const Clip& clip, BitDepthEnum depth);
    void setPixelAspectRatio(const Clip& clip, double par);
    // Tells the host the output changes from frame to frame even where the inputs do not.
    void setOutputFrameVarying(bool varying);
    bool didSetAny() const { return _doneSomething; }

 private:
    PropertySet _outArgs;
    bool _doneSomething = false;
    const ClipPropertyNames& _depthPropNames;
    const ClipPropertyNames& _componentPropNames;
    const ClipPropertyNames& _parPropNames;
};

class ImageEffect : public ParamSet {
 public:
    explicit ImageEffect(OfxImageEffectHandle handle);
    ~ImageEffect() override;

    virtual void purgeCaches() {}
    virtual void syncPrivateData() {}
    virtual void render(const RenderArguments& args) = 0;
    virtual void beginSequenceRender(const BeginSequenceRenderArguments& /*args*/) {}
    virtual void endSequenceRender(const EndSequenceRenderArguments& /*args*/) {}
    virtual bool isIdentity(const IsIdentityArguments& args, Clip*& identityClip, double& identityTime);
    virtual bool getRegionOfDefinition(const RegionOfDefinitionArguments& args, OfxRectD& rod);
    virtual void getRegionsOfInterest(const RegionsOfInterestArguments& /*args*/, RegionOfInterestSetter& /*rois*/) {}
    virtual void getFramesNeeded(const FramesNeededArguments& /*args*/, FramesNeededSetter& /*frames*/) {}
    virtual void getClipPreferences(ClipPreferencesSetter& /*preferences*/) {}
    virtual void beginEdit() {}
    virtual void endEdit() {}
    virtual void beginChanged(InstanceChangeReason /*reason*/) {}
    virtual void changedParam(const InstanceChangedArgs& /*args*/, const std::string& /*paramName*/) {}
    virtual void changedClip(const InstanceChangedArgs& /*args*/, const std::string& /*clipName*/) {}
    virtual void endChanged(InstanceChangeReason /*reason*/) {}
    virtual std::string getParamName(const Param& param) const { return param.getName(); }
    virtual bool getTimeDomain(OfxRangeD& range);
    // An action of the plug-in's own, named after its identifier
    // ("com.example.effect.doThing"); false leaves it unanswered. Failures are
    // thrown, as from any action.
    virtual bool privateAction(const std::string& /*action*/, PropertySet& /*inArgs*/, PropertySet& /*outArgs*/) {
        return false;
    }

    OfxImageEffectHandle getHandle() const { return _effectHandle; }
    PropertySet& getPropertySet() { return _effectProps; }
    ContextEnum getContext() const { return _context; }

    // The clip of that name, fetched from the host on first request; owned by the effect.
    Clip* fetchClip(const std::string& name);
    // True when the host wants the current render stopped; callable from any thread.
    bool abort() const;

 private:
    OfxImageEffectHandle _effectHandle;
    PropertySet _effectProps;
    ContextEnum _context = eContextNone;
    std::map<std::string, std::unique_ptr<Clip>> _fetchedClips;
};

}  // namespace OFX
