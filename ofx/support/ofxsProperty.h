#pragma once
// The one way the layer and the plug-in read and write OpenFX properties. Every call
// is logged; a refused call leaves an error line (a warning for properties a host may
// lack), and with throwOnFailure the refusal becomes an exception that mainEntry turns
// into the action's status.

#include <string>

#include "ofxCore.h"
#include "ofxProperty.h"

namespace OFX {

class PropertySet {
 public:
    explicit PropertySet(OfxPropertySetHandle handle = nullptr) : _propHandle(handle) {}
    virtual ~PropertySet() = default;
    PropertySet(const PropertySet&) = default;
    PropertySet& operator=(const PropertySet&) = default;

    void propSetHandle(OfxPropertySetHandle handle) { _propHandle = handle; }
    OfxPropertySetHandle propSetHandle() const { return _propHandle; }

    // A failed read that does not raise returns 0, null or an empty string.
    int propGetInt(const char* name, int index = 0, bool throwOnFailure = true) const;
    double propGetDouble(const char* name, int index = 0, bool throwOnFailure = true) const;
    void* propGetPointer(const char* name, int index = 0, bool throwOnFailure = true) const;
    std::string propGetString(const char* name, int index = 0, bool throwOnFailure = true) const;
    std::string propGetString(const char* name, bool throwOnFailure) const {
        return propGetString(name, 0, throwOnFailure);
    }
    int propGetDimension(const char* name, bool throwOnFailure = true) const;

    // Reads of properties a host may lack altogether (later API versions, the GPU
    // extension). A host that does not know the name leaves a warning line, any other
    // refusal an error line; nothing raises, and a refusal returns 0, null or empty.
    int propGetOptionalInt(const char* name, int index = 0) const;
    void* propGetOptionalPointer(const char* name, int index = 0) const;
    std::string propGetOptionalString(const char* name, int index = 0) const;

    void propSetInt(const char* name, int value, int index = 0, bool throwOnFailure = true);
    void propSetDouble(const char* name, double value, int index = 0, bool throwOnFailure = true);
    void propSetPointer(const char* name, void* value, int index = 0, bool throwOnFailure = true);
    void propSetString(const char* name, const std::string& value, int index = 0, bool throwOnFailure = true);

    // A write the host may decline: any refusal is a warning line and the answer is
    // false; nothing raises.
    bool propTrySetString(const char* name, const std::string& value, int index = 0);

    // Appends to a list property: writes index n of a property whose dimension is n.
    // Both calls must succeed.
    void propAppendString(const char* name, const std::string& value);

 protected:
    OfxPropertySetHandle _propHandle;
};

// Turns a property call's status into the layer's exception: unknown or unsupported
// properties raise Exception::PropertyUnknownToHost, illegal values
// Exception::PropertyValueIllegalToHost, memory std::bad_alloc, other errors
// Exception::Suite. Success and the reply statuses return normally.
void throwPropertyException(OfxStatus status, const std::string& propertyName);

}  // namespace OFX
