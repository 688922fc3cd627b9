// Property access: one suite call per operation, an error line for every refusal,
// then the optional conversion to an exception, then the success line.

#include "ofx/support/ofxsProperty.h"

#include <cassert>

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"

namespace OFX {
namespace {

// Shown in log lines for a text the host handed over as null.
const char* printable(const char* text) {
    return text ? text : "(null)";
}

// What a refused read does: raise, leave an error line, or (for a property the host
// may lack) leave a warning when the host does not have it.
enum class OnRefusal { Raise, LogError, WarnIfAbsent };

OnRefusal refusalFor(bool throwOnFailure) {
    return throwOnFailure ? OnRefusal::Raise : OnRefusal::LogError;
}

// A name the host does not know, or an element past the ones it gives: hosts
// differ in how many parts of some properties they fill (a two-part version).
bool isAbsentFromHost(OfxStatus status) {
    return status == kOfxStatErrUnknown || status == kOfxStatErrUnsupported || status == kOfxStatErrBadIndex;
}

void raiseIfRequested(OfxStatus status, const char* name, bool throwOnFailure) {
    if (throwOnFailure) throwPropertyException(status, name);
}

// One read: the suite call, the refusal line, then the optional raise. A refused read
// keeps the starting value even if the host wrote something first.
template <class T, class SuiteCall>
T fetch(SuiteCall call, const char* kind, const char* name, int index, OnRefusal onRefusal) {
    T value{};
    const OfxStatus status = call(&value);
    if (status == kOfxStatOK) return value;
    if (onRefusal == OnRefusal::WarnIfAbsent && isAbsentFromHost(status)) {
        Log::warning(true, "Host does not have the optional %s property %s[%d] (status %s); using the default.", kind,
                     name, index, mapStatusToString(status));
    } else {
        Log::error(true, "Failed on getting %s property %s[%d], host returned status %s;", kind, name, index,
                   mapStatusToString(status));
    }
    raiseIfRequested(status, name, onRefusal == OnRefusal::Raise);
    return T{};
}

int fetchInt(OfxPropertySetHandle handle, const char* name, int index, OnRefusal onRefusal) {
    const int value = fetch<int>([&](int* out) { return propertySuite().propGetInt(handle, name, index, out); }, "int",
                                 name, index, onRefusal);
    Log::print("Retrieved int property %s[%d], was given %d.", name, index, value);
    return value;
}

void* fetchPointer(OfxPropertySetHandle handle, const char* name, int index, OnRefusal onRefusal) {
    void* const value =
        fetch<void*>([&](void** out) { return propertySuite().propGetPointer(handle, name, index, out); }, "pointer",
                     name, index, onRefusal);
    Log::print("Retrieved pointer property %s[%d], was given %p.", name, index, value);
    return value;
}

std::string fetchString(OfxPropertySetHandle handle, const char* name, int index, OnRefusal onRefusal) {
    const char* const text =
        fetch<char*>([&](char** out) { return propertySuite().propGetString(handle, name, index, out); }, "string",
                     name, index, onRefusal);
    Log::print("Retrieved string property %s[%d], was given %s.", name, index, printable(text));
    return text ? std::string(text) : std::string();
}

}  // namespace

void throwPropertyException(OfxStatus status, const std::string& propertyName) {
    switch (status) {
        case kOfxStatErrUnknown:
        case kOfxStatErrUnsupported: throw Exception::PropertyUnknownToHost(propertyName);
        case kOfxStatErrValue: throw Exception::PropertyValueIllegalToHost(propertyName);
        default: throwSuiteStatusException(status);
    }
}

int PropertySet::propGetInt(const char* name, int index, bool throwOnFailure) const {
    assert(_propHandle != 0);
    return fetchInt(_propHandle, name, index, refusalFor(throwOnFailure));
}

double PropertySet::propGetDouble(const char* name, int index, bool throwOnFailure) const {
    assert(_propHandle != 0);
    const double value =
        fetch<double>([&](double* out) { return propertySuite().propGetDouble(_propHandle, name, index, out); },
                      "double", name, index, refusalFor(throwOnFailure));
    Log::print("Retrieved double property %s[%d], was given %lf.", name, index, value);
    return value;
}

void* PropertySet::propGetPointer(const char* name, int index, bool throwOnFailure) const {
    assert(_propHandle != 0);
    return fetchPointer(_propHandle, name, index, refusalFor(throwOnFailure));
}

std::string PropertySet::propGetString(const char* name, int index, bool throwOnFailure) const {
    assert(_propHandle != 0);
    return fetchString(_propHandle, name, index, refusalFor(throwOnFailure));
}

int PropertySet::propGetOptionalInt(const char* name, int index) const {
    assert(_propHandle != 0);
    return fetchInt(_propHandle, name, index, OnRefusal::WarnIfAbsent);
}

void* PropertySet::propGetOptionalPointer(const char* name, int index) const {
    assert(_propHandle != 0);
    return fetchPointer(_propHandle, name, index, OnRefusal::WarnIfAbsent);
}

std::string PropertySet::propGetOptionalString(const char* name, int index) const {
    assert(_propHandle != 0);
    return fetchString(_propHandle, name, index, OnRefusal::WarnIfAbsent);
}

int PropertySet::propGetDimension(const char* name, bool throwOnFailure) const {
    assert(_propHandle != 0);
    int count = 0;
    OfxStatus status = propertySuite().propGetDimension(_propHandle, name, &count);
    if (status != kOfxStatOK) count = 0;
    Log::error(status != kOfxStatOK, "Failed on fetching dimension for property %s, host returned status %s.", name,
               mapStatusToString(status));
    raiseIfRequested(status, name, throwOnFailure);
    Log::print("Fetched dimension of property %s, returned %d.", name, count);
    return count;
}

void PropertySet::propSetInt(const char* name, int value, int index, bool throwOnFailure) {
    assert(_propHandle != 0);
    OfxStatus status = propertySuite().propSetInt(_propHandle, name, index, value);
    Log::error(status != kOfxStatOK, "Failed on setting int property %s[%d] to %d, host returned status %s (%d);", name,
               index, value, mapStatusToString(status), status);
    raiseIfRequested(status, name, throwOnFailure);
    Log::print("Set int property %s[%d] to be %d.", name, index, value);
}

void PropertySet::propSetDouble(const char* name, double value, int index, bool throwOnFailure) {
    assert(_propHandle != 0);
    OfxStatus status = propertySuite().propSetDouble(_propHandle, name, index, value);
    Log::error(status != kOfxStatOK, "Failed on setting double property %s[%d] to %lf, host returned status %s;", name,
               index, value, mapStatusToString(status));
    raiseIfRequested(status, name, throwOnFailure);
    Log::print("Set double property %s[%d] to be %lf.", name, index, value);
}

void PropertySet::propSetPointer(const char* name, void* value, int index, bool throwOnFailure) {
    assert(_propHandle != 0);
    OfxStatus status = propertySuite().propSetPointer(_propHandle, name, index, value);
    Log::error(status != kOfxStatOK, "Failed on setting pointer property %s[%d] to %p, host returned status %s;", name,
               index, value, mapStatusToString(status));
    raiseIfRequested(status, name, throwOnFailure);
    Log::print("Set pointer property %s[%d] to be %p.", name, index, value);
}

void PropertySet::propSetString(const char* name, const std::string& value, int index, bool throwOnFailure) {
    assert(_propHandle != 0);
    OfxStatus status = propertySuite().propSetString(_propHandle, name, index, value.c_str());
    Log::error(status != kOfxStatOK, "Failed on setting string property %s[%d] to %s, host returned status %s;", name,
               index, value.c_str(), mapStatusToString(status));
    raiseIfRequested(status, name, throwOnFailure);
    Log::print("Set string property %s[%d] to be %s.", name, index, value.c_str());
}

bool PropertySet::propTrySetString(const char* name, const std::string& value, int index) {
    assert(_propHandle != 0);
    const OfxStatus status = propertySuite().propSetString(_propHandle, name, index, value.c_str());
    if (status != kOfxStatOK) {
        Log::warning(true, "Host declined string property %s[%d] = %s (status %s).", name, index, value.c_str(),
                     mapStatusToString(status));
        return false;
    }
    Log::print("Set string property %s[%d] to be %s.", name, index, value.c_str());
    return true;
}

void PropertySet::propAppendString(const char* name, const std::string& value) {
    propSetString(name, value, propGetDimension(name));
}

}  // namespace OFX
