#pragma once
// What every piece of the support layer shares: the exceptions that carry a failure to
// mainEntry, the status names, the host suites fetched at load and the host's
// description of itself.

#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "ofx/support/effect_enums.h"
#include "ofxCore.h"
#include "ofxImageEffect.h"
#include "ofxMultiThread.h"
#include "ofxParam.h"
#include "ofxProperty.h"

namespace OFX {

namespace Exception {

// A suite call failed with a status that ends the action with that same status.
class Suite : public std::exception {
 public:
    explicit Suite(OfxStatus status) : _status(status) {}
    OfxStatus status() const { return _status; }
    // The status name, e.g. "kOfxStatErrBadHandle".
    const char* what() const noexcept override;

 private:
    OfxStatus _status;
};

// Base of the exceptions that carry a text naming what was wrong.
class Named : public std::exception {
 public:
    explicit Named(std::string text) : _text(std::move(text)) {}
    const char* what() const noexcept override { return _text.c_str(); }

 private:
    std::string _text;
};

// The host lacks a mandatory suite; carries the suite name.
class HostInadequate : public Named {
 public:
    using Named::Named;
};

// The host does not know a property the layer must read or write; carries the
// property name (or the clip name of a per-clip output property).
class PropertyUnknownToHost : public Named {
 public:
    using Named::Named;
};

// The host refused a property value; carries the property name.
class PropertyValueIllegalToHost : public Named {
 public:
    using Named::Named;
};

// A parameter was asked for as a type it does not have; carries the message.
class TypeRequest : public Named {
 public:
    using Named::Named;
};

}  // namespace Exception

// "kOfxStatOK", "kOfxStatFailed", ...; "UNKNOWN STATUS CODE" for any other value.
const char* mapStatusToString(OfxStatus status);

// Returns for kOfxStatOK and the reply statuses, raises std::bad_alloc for
// kOfxStatErrMemory and Exception::Suite carrying the status for anything else.
void throwSuiteStatusException(OfxStatus status);

// The suites the layer calls. Each raises Exception::HostInadequate naming the suite
// when it is not fetched: before the first load, after the last unload, or when the
// load that should have fetched it failed.
const OfxImageEffectSuiteV1& imageEffectSuite();
const OfxPropertySuiteV1& propertySuite();
const OfxParameterSuiteV1& parameterSuite();
const OfxMultiThreadSuiteV1& multiThreadSuite();

// What the host said about itself on the first load of the process.
struct ImageEffectHostDescription {
    int APIVersionMajor = 1;
    int APIVersionMinor = 0;
    std::string hostName;
    std::string hostLabel;
    int versionMajor = 0;
    int versionMinor = 0;
    int versionMicro = 0;
    std::string versionLabel;
    bool hostIsBackground = false;
    bool supportsOverlays = false;
    bool supportsMultiResolution = false;
    bool supportsTiles = false;
    bool temporalClipAccess = false;
    bool supportsMultipleClipDepths = false;
    bool supportsMultipleClipPARs = false;
    bool supportsSetableFrameRate = false;
    bool supportsSetableFielding = false;
    int sequentialRender = 0;
    bool supportsStringAnimation = false;
    bool supportsCustomInteract = false;
    bool supportsChoiceAnimation = false;
    bool supportsStrChoiceAnimation = false;
    bool supportsBooleanAnimation = false;
    bool supportsCustomAnimation = false;
    void* osHandle = nullptr;
    bool supportsParametricAnimation = false;
    bool supportsOpenCLRender = false;
    bool supportsCudaRender = false;
    bool supportsMetalRender = false;
    int maxParameters = 0;
    int maxPages = 0;
    int pageRowCount = 0;
    int pageColumnCount = 0;
    std::vector<PixelComponentEnum> supportedComponents;
    std::vector<ContextEnum> supportedContexts;
    std::vector<BitDepthEnum> supportedPixelDepths;
};

// Null until the first successful reading; never re-read afterwards.
const ImageEffectHostDescription* getImageEffectHostDescription();

}  // namespace OFX
