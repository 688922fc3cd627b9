#include "host/host.h"
#include "host/suites/guard.h"
#include "host/suites/suites.h"
#include "ofxProperty.h"

namespace tonemill::host::suites {
namespace {

// A fault planned for this property, if any.
std::optional<OfxStatus> plannedGet(const char* property) {
    const Host* host = Host::active();
    if (!host || !property) return std::nullopt;
    return host->faults().propertyGet(property);
}

std::optional<OfxStatus> plannedSet(const char* property) {
    const Host* host = Host::active();
    if (!host || !property) return std::nullopt;
    return host->faults().propertySet(property);
}

bool nullText(const char* property) {
    const Host* host = Host::active();
    return host && property && host->faults().nullStringProperties.count(std::string_view(property));
}

// Runs a set through the fault plan and the handle check.
template <class Fn>
OfxStatus setting(OfxPropertySetHandle handle, const char* property, Fn&& apply) {
    if (auto status = plannedSet(property)) return *status;
    PropertySet* set = PropertySet::fromHandle(handle);
    return set ? guarded([&] { return apply(*set); }) : kOfxStatErrBadHandle;
}

template <class Fn>
OfxStatus getting(OfxPropertySetHandle handle, const char* property, Fn&& apply) {
    if (auto status = plannedGet(property)) return *status;
    PropertySet* set = PropertySet::fromHandle(handle);
    return set ? guarded([&] { return apply(*set); }) : kOfxStatErrBadHandle;
}

OfxStatus propSetPointer(OfxPropertySetHandle h, const char* p, int index, void* value) {
    return setting(h, p, [&](PropertySet& s) { return s.suiteSetPointer(p, index, value); });
}
OfxStatus propSetString(OfxPropertySetHandle h, const char* p, int index, const char* value) {
    return setting(h, p, [&](PropertySet& s) { return s.suiteSetString(p, index, value); });
}
OfxStatus propSetDouble(OfxPropertySetHandle h, const char* p, int index, double value) {
    return setting(h, p, [&](PropertySet& s) { return s.suiteSetDouble(p, index, value); });
}
OfxStatus propSetInt(OfxPropertySetHandle h, const char* p, int index, int value) {
    return setting(h, p, [&](PropertySet& s) { return s.suiteSetInt(p, index, value); });
}
OfxStatus propSetPointerN(OfxPropertySetHandle h, const char* p, int count, void* const* values) {
    return setting(h, p, [&](PropertySet& s) { return s.suiteSetPointerN(p, count, values); });
}
OfxStatus propSetStringN(OfxPropertySetHandle h, const char* p, int count, const char* const* values) {
    return setting(h, p, [&](PropertySet& s) { return s.suiteSetStringN(p, count, values); });
}
OfxStatus propSetDoubleN(OfxPropertySetHandle h, const char* p, int count, const double* values) {
    return setting(h, p, [&](PropertySet& s) { return s.suiteSetDoubleN(p, count, values); });
}
OfxStatus propSetIntN(OfxPropertySetHandle h, const char* p, int count, const int* values) {
    return setting(h, p, [&](PropertySet& s) { return s.suiteSetIntN(p, count, values); });
}
OfxStatus propGetPointer(OfxPropertySetHandle h, const char* p, int index, void** value) {
    return getting(h, p, [&](PropertySet& s) { return s.suiteGetPointer(p, index, value); });
}
OfxStatus propGetString(OfxPropertySetHandle h, const char* p, int index, char** value) {
    return getting(h, p, [&](PropertySet& s) {
        OfxStatus status = s.suiteGetString(p, index, value);
        if (status == kOfxStatOK && nullText(p)) *value = nullptr;
        return status;
    });
}
OfxStatus propGetDouble(OfxPropertySetHandle h, const char* p, int index, double* value) {
    return getting(h, p, [&](PropertySet& s) { return s.suiteGetDouble(p, index, value); });
}
OfxStatus propGetInt(OfxPropertySetHandle h, const char* p, int index, int* value) {
    return getting(h, p, [&](PropertySet& s) { return s.suiteGetInt(p, index, value); });
}
OfxStatus propGetPointerN(OfxPropertySetHandle h, const char* p, int count, void** values) {
    return getting(h, p, [&](PropertySet& s) { return s.suiteGetPointerN(p, count, values); });
}
OfxStatus propGetStringN(OfxPropertySetHandle h, const char* p, int count, char** values) {
    return getting(h, p, [&](PropertySet& s) {
        OfxStatus status = s.suiteGetStringN(p, count, values);
        if (status == kOfxStatOK && nullText(p))
            for (int i = 0; i < count; ++i) values[i] = nullptr;
        return status;
    });
}
OfxStatus propGetDoubleN(OfxPropertySetHandle h, const char* p, int count, double* values) {
    return getting(h, p, [&](PropertySet& s) { return s.suiteGetDoubleN(p, count, values); });
}
OfxStatus propGetIntN(OfxPropertySetHandle h, const char* p, int count, int* values) {
    return getting(h, p, [&](PropertySet& s) { return s.suiteGetIntN(p, count, values); });
}
OfxStatus propReset(OfxPropertySetHandle h, const char* p) {
    return setting(h, p, [&](PropertySet& s) { return s.suiteReset(p); });
}
OfxStatus propGetDimension(OfxPropertySetHandle h, const char* p, int* count) {
    return getting(h, p, [&](PropertySet& s) { return s.suiteDimension(p, count); });
}

const OfxPropertySuiteV1 table = {
    propSetPointer,  propSetString,  propSetDouble,  propSetInt,    propSetPointerN, propSetStringN,
    propSetDoubleN,  propSetIntN,    propGetPointer, propGetString, propGetDouble,   propGetInt,
    propGetPointerN, propGetStringN, propGetDoubleN, propGetIntN,   propReset,       propGetDimension,
};

}  // namespace

const OfxPropertySuiteV1& propertySuite() {
    return table;
}

}  // namespace tonemill::host::suites
