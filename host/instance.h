#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/device_images.h"
#include "host/effect.h"
#include "host/host_image.h"
#include "host/param.h"
#include "host/property_set.h"
#include "ofxImageEffect.h"

namespace tonemill::host {

class Plugin;

// Lets a test change or drop in-arguments just before an action is sent.
using ArgumentEditor = std::function<void(PropertySet& inArgs)>;

struct RenderRequest {
    double time = 0.0;
    // Pixels to render; empty means the whole output image.
    OfxRectI window{0, 0, 0, 0};
    OfxPointD renderScale{1.0, 1.0};
    std::string field = "OfxFieldNone";
    // Bounds of the output image; empty means the source image's bounds, or the
    // window when there is no source image.
    OfxRectI outputBounds{0, 0, 0, 0};
    RowOrder outputRowOrder = RowOrder::BottomUp;
    bool sequentialRenderStatus = false;
    bool interactiveRenderStatus = false;
    // Hands every image to the render as device memory of this back-end.
    DeviceImages* device = nullptr;
    // An image to render into instead of a fresh, cleared one, as a host that
    // pools its buffers hands out last frame's; it keeps its old pixels
    // outside the window. Its bounds and layout must be the output's.
    std::shared_ptr<HostImage> reuseOutput;
    ArgumentEditor editInArgs;
};

struct RenderResult {
    OfxStatus status = kOfxStatFailed;
    std::shared_ptr<HostImage> output;  // the image the plug-in rendered into
};

struct IdentityResult {
    OfxStatus status = kOfxStatFailed;
    std::string clip;  // "OfxPropName" of the out-arguments
    double time = 0.0;
};

struct RegionResult {
    OfxStatus status = kOfxStatFailed;
    OfxRectD region{0, 0, 0, 0};
};

struct RegionsOfInterestResult {
    OfxStatus status = kOfxStatFailed;
    std::map<std::string, OfxRectD> regions;  // by input clip name
};

struct FramesNeededResult {
    OfxStatus status = kOfxStatFailed;
    std::map<std::string, std::vector<OfxRangeD>> ranges;  // by input clip name
};

struct TimeDomainResult {
    OfxStatus status = kOfxStatFailed;
    OfxRangeD range{0.0, 0.0};
};

struct ActionResult {
    OfxStatus status = kOfxStatFailed;
    PropertySet outArgs;
};

// One effect instance of a plug-in, driven as a host drives it. Destroying it sends
// the destroy-instance action.
//
// Values the plug-in sets through the parameter suite during an action are
// reported back to it with begin / instance-changed / end actions (reason
// "OfxChangePluginEdited") once that action has returned, never from inside it.
class Instance {
 public:
    Instance(Plugin& plugin, std::unique_ptr<Effect> effect, std::string context);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // Sends the create-instance action (Plugin::createInstance does this).
    OfxStatus create();

    Plugin& plugin() { return plugin_; }
    Effect& effect() { return *effect_; }
    PropertySet& properties() { return effect_->properties(); }
    const std::string& context() const { return context_; }

    // Parameters. param() throws std::out_of_range for an unknown name.
    Param& param(const std::string& name);
    ParamValue value(const std::string& name, double time = 0.0);
    bool enabled(const std::string& name);
    // Changes a value without telling the plug-in.
    void setValue(const std::string& name, const ParamValue& value);
    // Changes a value as a user would: the value, then begin / instance-changed / end.
    OfxStatus changeParam(const std::string& name, const ParamValue& value,
                          const std::string& reason = kOfxChangeUserEdited, double time = 0.0);
    // A push button press: the instance-changed actions without a value.
    OfxStatus pressButton(const std::string& name, double time = 0.0);
    // Names the plug-in changed through paramSetValue, in order.
    std::vector<std::string> pluginEdits() const;
    // Names the plug-in tried to set during render, identity and sequence-render
    // actions, which must only read values; refused or not, in order.
    std::vector<std::string> writesWhileRendering() const;

    // Clips. clip() throws std::out_of_range for an unknown name.
    Clip& clip(const std::string& name);
    // Gives a clip its pixels (connected) or takes them away (null: disconnected).
    void setImage(const std::string& clip, std::shared_ptr<HostImage> image);

    RenderResult render(const RenderRequest& request);
    OfxStatus beginSequenceRender(double first, double last, const RenderRequest& request = {});
    OfxStatus endSequenceRender(const RenderRequest& request = {});
    IdentityResult isIdentity(const RenderRequest& request);
    RegionResult regionOfDefinition(double time, OfxPointD renderScale = {1.0, 1.0});
    RegionsOfInterestResult regionsOfInterest(double time, OfxRectD region, OfxPointD renderScale = {1.0, 1.0});
    FramesNeededResult framesNeeded(double time);
    ActionResult clipPreferences();
    TimeDomainResult timeDomain();
    OfxStatus beginInstanceChanged(const std::string& reason);
    OfxStatus instanceChanged(const std::string& type, const std::string& name, const std::string& reason,
                              double time = 0.0, OfxPointD renderScale = {1.0, 1.0});
    OfxStatus endInstanceChanged(const std::string& reason);
    OfxStatus purgeCaches();
    OfxStatus syncPrivateData();
    OfxStatus beginInstanceEdit();
    OfxStatus endInstanceEdit();
    // Any action with this instance's handle; null arguments are sent as null.
    OfxStatus action(const char* name, PropertySet* inArgs, PropertySet* outArgs);

    // What abort() answers during renders, and how often the plug-in asked.
    void requestAbort(bool abort) { effect_->abortRequested = abort; }
    std::uint64_t abortCalls() const { return effect_->abortCalls.load(); }

 private:
    OfxStatus send(const char* name, PropertySet* inArgs, PropertySet* outArgs);
    OfxStatus notifyChange(const std::string& type, const std::string& name, const std::string& reason, double time);
    void deliverPluginEdits();
    // The status a value write by the plug-in gets, given the actions in progress.
    OfxStatus vetValueWrite(Param& param);
    OfxRectI outputBoundsFor(const RenderRequest& request) const;
    std::shared_ptr<HostImage> outputImageFor(const RenderRequest& request, const ImageFormat& format) const;

    Plugin& plugin_;
    std::unique_ptr<Effect> effect_;
    std::string context_;
    bool created_ = false;
    std::atomic<int> actionDepth_{0};     // actions of this instance in progress
    std::atomic<int> changingDepth_{0};   // of those, instance-changed actions
    std::atomic<int> renderingDepth_{0};  // of those, actions that must only read values
    bool delivering_ = false;             // plug-in edits are being reported
    mutable std::mutex editsMutex_;
    std::vector<std::string> pendingEdits_;
    std::vector<std::string> pluginEdits_;
    std::vector<std::string> writesWhileRendering_;
};

}  // namespace tonemill::host
