// Property access: one suite call per operation, an error line for every refusal,
// then the optional conversion to an exception, then the success line.

#include "ofx/support/ofxsProperty.h"

#include <cassert>

#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsLog.h"

namespace OFX {
namespace {

// Shown in log lines for a text the host handed over as null.
const char* printable(const char* text) { return text ? text : "(null)"; }

void raiseIfRequested(OfxStatus status, const char* name, bool throwOnFailure) {
  if (throwOnFailure) throwPropertyException(status, name);
}

// One read: the suite call, the error line for a refusal, then the optional raise. A
// refused read keeps the starting value even if the host wrote something first.
template <class T, class SuiteCall>
T fetch(SuiteCall call, const char* kind, const char* name, int index, bool throwOnFailure) {
  T value{};
  const OfxStatus status = call(&value);
  if (status != kOfxStatOK) value = T{};
  Log::error(status != kOfxStatOK, "Failed on getting %s property %s[%d], host returned status %s;", kind,
             name, index, mapStatusToString(status));
  raiseIfRequested(status, name, throwOnFailure);
  return value;
}

}  // namespace

void throwPropertyException(OfxStatus status, const std::string& propertyName) {
  switch (status) {
    case kOfxStatErrUnknown:
    case kOfxStatErrUnsupported:
      throw Exception::PropertyUnknownToHost(propertyName);
    case kOfxStatErrValue:
      throw Exception::PropertyValueIllegalToHost(propertyName);
    default:
      throwSuiteStatusException(status);
  }
}

int PropertySet::propGetInt(const char* name, int index, bool throwOnFailure) const {
  assert(_propHandle != 0);
  const int value = fetch<int>(
      [&](int* out) { return propertySuite().propGetInt(_propHandle, name, index, out); }, "int", name, index,
      throwOnFailure);
  Log::print("Retrieved int property %s[%d], was given %d.", name, index, value);
  return value;
}

double PropertySet::propGetDouble(const char* name, int index, bool throwOnFailure) const {
  assert(_propHandle != 0);
  const double value = fetch<double>(
      [&](double* out) { return propertySuite().propGetDouble(_propHandle, name, index, out); }, "double", name,
      index, throwOnFailure);
  Log::print("Retrieved double property %s[%d], was given %lf.", name, index, value);
  return value;
}

void* PropertySet::propGetPointer(const char* name, int index, bool throwOnFailure) const {
  assert(_propHandle != 0);
  void* const value = fetch<void*>(
      [&](void** out) { return propertySuite().propGetPointer(_propHandle, name, index, out); }, "pointer", name,
      index, throwOnFailure);
  Log::print("Retrieved pointer property %s[%d], was given %p.", name, index, value);
  return value;
}

std::string PropertySet::propGetString(const char* name, int index, bool throwOnFailure) const {
  assert(_propHandle != 0);
  const char* const text = fetch<char*>(
      [&](char** out) { return propertySuite().propGetString(_propHandle, name, index, out); }, "string", name,
      index, throwOnFailure);
  Log::print("Retrieved string property %s[%d], was given %s.", name, index, printable(text));
  return text ? std::string(text) : std::string();
}

int PropertySet::propGetDimension(const char* name, bool throwOnFailure) const {
  assert(_propHandle != 0);
  int count = 0;
  OfxStatus status = propertySuite().propGetDimension(_propHandle, name, &count);
  if (status != kOfxStatOK) count = 0;
  Log::error(status != kOfxStatOK, "Failed on fetching dimension for property %s, host returned status %s.",
             name, mapStatusToString(status));
  raiseIfRequested(status, name, throwOnFailure);
  Log::print("Fetched dimension of property %s, returned %d.", name, count);
  return count;
}

void PropertySet::propSetInt(const char* name, int value, int index, bool throwOnFailure) {
  assert(_propHandle != 0);
  OfxStatus status = propertySuite().propSetInt(_propHandle, name, index, value);
  Log::error(status != kOfxStatOK, "Failed on setting int property %s[%d] to %d, host returned status %s (%d);",
             name, index, value, mapStatusToString(status), status);
  raiseIfRequested(status, name, throwOnFailure);
  Log::print("Set int property %s[%d] to be %d.", name, index, value);
}

void PropertySet::propSetDouble(const char* name, double value, int index, bool throwOnFailure) {
  assert(_propHandle != 0);
  OfxStatus status = propertySuite().propSetDouble(_propHandle, name, index, value);
  Log::error(status != kOfxStatOK, "Failed on setting double property %s[%d] to %lf, host returned status %s;",
             name, index, value, mapStatusToString(status));
  raiseIfRequested(status, name, throwOnFailure);
  Log::print("Set double property %s[%d] to be %lf.", name, index, value);
}

void PropertySet::propSetPointer(const char* name, void* value, int index, bool throwOnFailure) {
  assert(_propHandle != 0);
  OfxStatus status = propertySuite().propSetPointer(_propHandle, name, index, value);
  Log::error(status != kOfxStatOK, "Failed on setting pointer property %s[%d] to %p, host returned status %s;",
             name, index, value, mapStatusToString(status));
  raiseIfRequested(status, name, throwOnFailure);
  Log::print("Set pointer property %s[%d] to be %p.", name, index, value);
}

void PropertySet::propSetString(const char* name, const std::string& value, int index, bool throwOnFailure) {
  assert(_propHandle != 0);
  OfxStatus status = propertySuite().propSetString(_propHandle, name, index, value.c_str());
  Log::error(status != kOfxStatOK, "Failed on setting string property %s[%d] to %s, host returned status %s;",
             name, index, value.c_str(), mapStatusToString(status));
  raiseIfRequested(status, name, throwOnFailure);
  Log::print("Set string property %s[%d] to be %s.", name, index, value.c_str());
}

void PropertySet::propAppendString(const char* name, const std::string& value) {
  propSetString(name, value, propGetDimension(name));
}

}  // namespace OFX
