// The CUDA entry points of a build made without nvcc. Describe declares CUDA
// unsupported in such a build, so a host reaching the launcher is misbehaving.
#include "gpu/cuda_launcher.h"
#include "gpu/device_report.h"
#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "ofxCore.h"
#include "ofxImageEffect.h"

namespace ChromvaleBeta2 {
namespace {
constexpr const char* kNotBuilt = "CUDA support was not built into this plug-in";
}

int launchCudaPipeline(int, int, const PipelineSettings&, const void*, void*) {
    OFX::Log::error(true, "%s", kNotBuilt);
    OFX::throwSuiteStatusException(kOfxStatErrUnsupported);
    return kOfxStatErrUnsupported;  // not reached: the status above always raises
}

void logCudaDevices() { OFX::Log::print("%s", kNotBuilt); }

}  // namespace ChromvaleBeta2
