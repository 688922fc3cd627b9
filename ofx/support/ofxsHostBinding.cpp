// Load and unload: fetching the host suites and reading the host's description.

#include "ofx/support/ofxsHostBinding.h"

#include <memory>
#include <stdexcept>

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"
#include "ofx/support/ofxsProperty.h"
#include "ofxInteract.h"
#include "ofxMemory.h"
#include "ofxMessage.h"
#include "ofxProgress.h"
#include "ofxTimeLine.h"
#include "ofxGPURender.h"

namespace OFX {
namespace {

struct HostSuites {
    const OfxImageEffectSuiteV1* imageEffect = nullptr;
    const OfxPropertySuiteV1* property = nullptr;
    const OfxParameterSuiteV1* parameter = nullptr;
    const OfxMemorySuiteV1* memory = nullptr;
    const OfxMultiThreadSuiteV1* multiThread = nullptr;
    const OfxMessageSuiteV1* message = nullptr;
    const OfxProgressSuiteV1* progress = nullptr;
    const OfxTimeLineSuiteV1* timeLine = nullptr;
    const OfxInteractSuiteV1* interact = nullptr;
};

OfxHost* gHost = nullptr;
int gLoadCount = 0;
HostSuites gSuites;
std::unique_ptr<ImageEffectHostDescription> gHostDescription;

template <class Suite>
const Suite& require(const Suite* suite, const char* name) {
    if (!suite) throw Exception::HostInadequate(name);
    return *suite;
}

enum class Need { Mandatory, Optional };

template <class Suite>
void fetchSuite(const Suite*& slot, const char* name, Need need) {
    const void* suite = gHost->fetchSuite ? gHost->fetchSuite(gHost->host, name, 1) : nullptr;
    slot = static_cast<const Suite*>(suite);
    if (suite) return;
    if (need == Need::Optional) {
        Log::warning(true, "Could not fetch the optional suite '%s' version %d.", name, 1);
        return;
    }
    Log::error(true, "Could not fetch the mandatory suite '%s' version %d.", name, 1);
    throw Exception::HostInadequate(name);
}

bool readFlag(const PropertySet& host, const char* name) {
    return host.propGetInt(name) != 0;
}

// The GPU extension's switches: hosts without the extension lack them.
bool readTrueText(const PropertySet& host, const char* name) {
    return host.propGetOptionalString(name) == "true";
}

// Every entry of a list property, each mapped by `map`. A text the mapping rejects (a
// reader or writer context, say) is logged by the mapping and left out: it must not
// stop the plug-in from loading.
template <class Enum, class Map>
std::vector<Enum> readList(const PropertySet& host, const char* name, Map map) {
    std::vector<Enum> values;
    const int count = host.propGetDimension(name);
    for (int index = 0; index < count; ++index) {
        try {
            values.push_back(map(host.propGetString(name, index)));
        } catch (const std::invalid_argument&) {
        }
    }
    return values;
}

ImageEffectHostDescription readHostDescription(const PropertySet& host) {
    ImageEffectHostDescription d;
    d.APIVersionMajor = host.propGetInt(kOfxPropAPIVersion, 0, false);
    if (d.APIVersionMajor == 0) d.APIVersionMajor = 1;
    d.APIVersionMinor = host.propGetInt(kOfxPropAPIVersion, 1, false);
    d.hostName = host.propGetString(kOfxPropName);
    d.hostLabel = host.propGetString(kOfxPropLabel);
    d.versionMajor = host.propGetInt(kOfxPropVersion, 0, false);
    d.versionMinor = host.propGetInt(kOfxPropVersion, 1, false);
    // Many hosts give a two-part version.
    d.versionMicro = host.propGetOptionalInt(kOfxPropVersion, 2);
    d.versionLabel = host.propGetString(kOfxPropVersionLabel, false);
    d.hostIsBackground = readFlag(host, kOfxImageEffectHostPropIsBackground);
    d.supportsOverlays = readFlag(host, kOfxImageEffectPropSupportsOverlays);
    d.supportsMultiResolution = readFlag(host, kOfxImageEffectPropSupportsMultiResolution);
    d.supportsTiles = readFlag(host, kOfxImageEffectPropSupportsTiles);
    d.temporalClipAccess = readFlag(host, kOfxImageEffectPropTemporalClipAccess);
    d.supportsMultipleClipDepths = readFlag(host, kOfxImageEffectPropSupportsMultipleClipDepths);
    d.supportsMultipleClipPARs = readFlag(host, kOfxImageEffectPropSupportsMultipleClipPARs);
    d.supportsSetableFrameRate = readFlag(host, kOfxImageEffectPropSetableFrameRate);
    d.supportsSetableFielding = readFlag(host, kOfxImageEffectPropSetableFielding);
    d.sequentialRender = host.propGetInt(kOfxImageEffectInstancePropSequentialRender, 0, false);
    d.supportsStringAnimation = readFlag(host, kOfxParamHostPropSupportsStringAnimation);
    d.supportsCustomInteract = readFlag(host, kOfxParamHostPropSupportsCustomInteract);
    d.supportsChoiceAnimation = readFlag(host, kOfxParamHostPropSupportsChoiceAnimation);
    // String choices came with OpenFX 1.5; earlier hosts do not know the property.
    d.supportsStrChoiceAnimation = host.propGetOptionalInt(kOfxParamHostPropSupportsStrChoiceAnimation) != 0;
    d.supportsBooleanAnimation = readFlag(host, kOfxParamHostPropSupportsBooleanAnimation);
    d.supportsCustomAnimation = readFlag(host, kOfxParamHostPropSupportsCustomAnimation);
    d.osHandle = host.propGetPointer(kOfxPropHostOSHandle, 0, false);
    d.supportsParametricAnimation = host.propGetOptionalInt(kOfxParamHostPropSupportsParametricAnimation) != 0;
    d.supportsOpenCLRender = readTrueText(host, kOfxImageEffectPropOpenCLRenderSupported);
    d.supportsCudaRender = readTrueText(host, kOfxImageEffectPropCudaRenderSupported);
    d.supportsMetalRender = readTrueText(host, kOfxImageEffectPropMetalRenderSupported);
    d.maxParameters = host.propGetInt(kOfxParamHostPropMaxParameters);
    d.maxPages = host.propGetInt(kOfxParamHostPropMaxPages);
    d.pageRowCount = host.propGetInt(kOfxParamHostPropPageRowColumnCount, 0);
    d.pageColumnCount = host.propGetInt(kOfxParamHostPropPageRowColumnCount, 1);
    d.supportedComponents =
        readList<PixelComponentEnum>(host, kOfxImageEffectPropSupportedComponents, mapStrToPixelComponentEnum);
    d.supportedContexts = readList<ContextEnum>(host, kOfxImageEffectPropSupportedContexts, mapStrToContextEnum);
    d.supportedPixelDepths =
        readList<BitDepthEnum>(host, kOfxImageEffectPropSupportedPixelDepths, mapStrToBitDepthEnum);
    return d;
}

// The description stays as first read for the whole process.
void describeHost() {
    if (gHostDescription) {
        Log::error(true, "Tried to create host description when we already have one.");
        return;
    }
    gHostDescription = std::make_unique<ImageEffectHostDescription>(readHostDescription(PropertySet(gHost->host)));
}

void fetchSuitesAndDescribeHost() {
    fetchSuite(gSuites.imageEffect, kOfxImageEffectSuite, Need::Mandatory);
    fetchSuite(gSuites.property, kOfxPropertySuite, Need::Mandatory);
    fetchSuite(gSuites.parameter, kOfxParameterSuite, Need::Mandatory);
    fetchSuite(gSuites.memory, kOfxMemorySuite, Need::Mandatory);
    fetchSuite(gSuites.multiThread, kOfxMultiThreadSuite, Need::Mandatory);
    fetchSuite(gSuites.message, kOfxMessageSuite, Need::Mandatory);
    fetchSuite(gSuites.progress, kOfxProgressSuite, Need::Optional);
    fetchSuite(gSuites.timeLine, kOfxTimeLineSuite, Need::Optional);
    describeHost();
    if (gHostDescription->supportsOverlays || gHostDescription->supportsCustomInteract)
        fetchSuite(gSuites.interact, kOfxInteractSuite, Need::Mandatory);
}

}  // namespace

const OfxImageEffectSuiteV1& imageEffectSuite() {
    return require(gSuites.imageEffect, kOfxImageEffectSuite);
}
const OfxPropertySuiteV1& propertySuite() {
    return require(gSuites.property, kOfxPropertySuite);
}
const OfxParameterSuiteV1& parameterSuite() {
    return require(gSuites.parameter, kOfxParameterSuite);
}
const OfxMultiThreadSuiteV1& multiThreadSuite() {
    return require(gSuites.multiThread, kOfxMultiThreadSuite);
}

const ImageEffectHostDescription* getImageEffectHostDescription() {
    return gHostDescription.get();
}

namespace Private {

void setHost(OfxHost* host) {
    gHost = host;
}

void loadAction() {
    ++gLoadCount;
    try {
        if (!gHost) {
            Log::error(true, "Host pointer has not been set.");
            throwSuiteStatusException(kOfxStatErrBadHandle);
        }
        if (gLoadCount == 1) fetchSuitesAndDescribeHost();
    } catch (...) {
        if (--gLoadCount == 0) gSuites = HostSuites{};
        throw;
    }
}

bool unloadAction(const char* uid) {
    if (gLoadCount == 0) {
        Log::warning(true, "OFX Plugin '%s' is already unloaded.", uid);
        return false;
    }
    if (--gLoadCount == 0) gSuites = HostSuites{};
    return true;
}

}  // namespace Private
}  // namespace OFX
