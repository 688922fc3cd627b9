#include "plugin/chromvale_factory.h"

#include "gpu/cuda_launcher.h"
#include "gpu/device_report.h"
#include "ofx/support/ofxsLog.h"
#include "plugin/ChromvaleNG.h"
#include "plugin/bundle_path.h"
#include "plugin/describe_params.h"
#include "plugin/shared/engine_diagnostics.h"

namespace ChromvaleBeta2 {

namespace {
constexpr const char* kEffectLabel = "Tonemill 2.4";
}

ChromvaleFactory::ChromvaleFactory()
    : OFX::PluginFactoryHelper<ChromvaleFactory>(kPluginIdentifier, kPluginVersionMajor, kPluginVersionMinor) {}

void ChromvaleFactory::describe(OFX::ImageEffectDescriptor& desc) {
    desc.setLabels(kEffectLabel, kEffectLabel, kEffectLabel);
    desc.setPluginGrouping("Chromvale");
    desc.setPluginDescription("Advanced look development and colour management");
    desc.addSupportedContext(OFX::eContextFilter);
    desc.addSupportedContext(OFX::eContextGeneral);
    desc.addSupportedBitDepth(OFX::eBitDepthFloat);
    desc.setSingleInstance(false);
    desc.setRenderThreadSafety(OFX::eRenderUnsafe);
    desc.setHostFrameThreading(false);
    desc.setSupportsMultiResolution(false);
    desc.setSupportsTiles(true);
    desc.setTemporalClipAccess(true);
    desc.setRenderTwiceAlways(false);
    desc.setSupportsMultipleClipPARs(false);
    desc.setSupportsMultipleClipDepths(true);
    desc.setSupportsOpenCLRender(true);
    // A build without the CUDA kernel must not invite hosts to ask for it.
    desc.setSupportsCudaRender(cudaBackendBuilt());
    desc.setSupportsMetalRender(false);

    // Asking for devices starts the GPU drivers (an OpenCL platform may bring a
    // whole compiler), which only the log reads: without one, describing stays cheap
    // and no driver can take the host down before anything renders.
    if (OFX::Log::active()) {
        std::call_once(m_deviceReport, [] {
            Diagnostics devices;
            reportCudaDevices(devices);
            reportOpenClDevices(devices);
            logDiagnostics(devices);
        });
    }

    // Hosts describe again with the same path; leave the text alone then, as
    // instances may be reading it.
    if (std::string path = desc.getPropertySet().propGetString(kOfxPluginPropFilePath); path != bundlePath) {
        bundlePath = std::move(path);
    }
}

void ChromvaleFactory::describeInContext(OFX::ImageEffectDescriptor& desc, OFX::ContextEnum /*context*/) {
    OFX::ClipDescriptor* source = desc.defineClip(kOfxImageEffectSimpleSourceClipName);
    source->addSupportedComponent(OFX::ePixelComponentRGBA);
    source->setTemporalClipAccess(false);
    source->setSupportsTiles(true);
    source->setIsMask(false);

    OFX::ClipDescriptor* output = desc.defineClip(kOfxImageEffectOutputClipName);
    output->addSupportedComponent(OFX::ePixelComponentRGBA);
    output->addSupportedComponent(OFX::ePixelComponentAlpha);
    output->setSupportsTiles(true);

    describeParams(desc);
}

OFX::ImageEffect* ChromvaleFactory::createInstance(OfxImageEffectHandle handle, OFX::ContextEnum /*context*/) {
    return new ChromvaleNG(handle);
}

}  // namespace ChromvaleBeta2
