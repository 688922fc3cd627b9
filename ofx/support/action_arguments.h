#pragma once
// What the action handlers read from the host for an instance, as typed records, and
// the setters through which an instance hands results back.

#include <string>

#include "ofxCore.h"
#include "ofx/support/effect_enums.h"

namespace OFX {

class Clip;

enum InstanceChangeReason {
    eChangeUserEdit = 0,
    eChangePluginEdit,
    eChangeTime,
};

// An unknown reason text writes an error line naming it and raises
// std::invalid_argument.
InstanceChangeReason mapStrToInstanceChangeReason(const std::string& text);

struct RenderArguments {
    double time = 0;
    OfxPointD renderScale{1, 1};
    OfxRectI renderWindow{0, 0, 0, 0};
    FieldEnum fieldToRender = eFieldNone;
    bool isEnabledOpenCLRender = false;
    bool isEnabledCudaRender = false;
    bool isEnabledMetalRender = false;
    void* pOpenCLCmdQ = nullptr;
    void* pMetalCmdQ = nullptr;
    bool sequentialRenderStatus = false;
    bool interactiveRenderStatus = false;
};

struct BeginSequenceRenderArguments {
    OfxRangeD frameRange{0, 0};
    double frameStep = 1;
    bool interactive = false;
    OfxPointD renderScale{1, 1};
    bool isEnabledOpenCLRender = false;
    bool isEnabledCudaRender = false;
    bool isEnabledMetalRender = false;
    void* pOpenCLCmdQ = nullptr;
    void* pMetalCmdQ = nullptr;
    bool sequentialRenderStatus = false;
    bool interactiveRenderStatus = false;
};

struct EndSequenceRenderArguments {
    bool interactive = false;
    OfxPointD renderScale{1, 1};
    bool isEnabledOpenCLRender = false;
    bool isEnabledCudaRender = false;
    bool isEnabledMetalRender = false;
    void* pOpenCLCmdQ = nullptr;
    void* pMetalCmdQ = nullptr;
    bool sequentialRenderStatus = false;
    bool interactiveRenderStatus = false;
};

struct IsIdentityArguments {
    double time = 0;
    OfxPointD renderScale{1, 1};
    OfxRectI renderWindow{0, 0, 0, 0};
    FieldEnum fieldToRender = eFieldNone;
};

struct RegionOfDefinitionArguments {
    double time = 0;
    OfxPointD renderScale{1, 1};
};

struct RegionsOfInterestArguments {
    double time = 0;
    OfxPointD renderScale{1, 1};
    OfxRectD regionOfInterest{0, 0, 0, 0};
};

struct FramesNeededArguments {
    double time = 0;
};

struct InstanceChangedArgs {
    InstanceChangeReason reason = eChangeUserEdit;
    double time = 0;
    OfxPointD renderScale{1, 1};
};

class RegionOfInterestSetter {
 public:
    virtual void setRegionOfInterest(const Clip& clip, const OfxRectD& region) = 0;

 protected:
    ~RegionOfInterestSetter() = default;
};

class FramesNeededSetter {
 public:
    virtual void setFramesNeeded(const Clip& clip, const OfxRangeD& range) = 0;

 protected:
    ~FramesNeededSetter() = default;
};

}  // namespace OFX
