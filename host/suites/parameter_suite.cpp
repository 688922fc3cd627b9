#include <cstdarg>

#include "host/host.h"
#include "host/param.h"
#include "host/suites/guard.h"
#include "host/suites/suites.h"
#include "ofxParam.h"

namespace tonemill::host::suites {
namespace {

double currentTime() {
    const Host* host = Host::active();
    return host ? host->time() : 0.0;
}

// Writes a value through the pointers of a get call, one per dimension.
OfxStatus writeValue(Param& param, const ParamValue& value, va_list args) {
    const ParamKindInfo kind = param.kind();
    switch (kind.kind) {
        case ParamValueKind::Int:
            for (int i = 0; i < kind.dimension; ++i) {
                int* out = va_arg(args, int*);
                if (!out) return kOfxStatErrBadHandle;
                *out = value.asInt(i);
            }
            return kOfxStatOK;
        case ParamValueKind::Double:
            for (int i = 0; i < kind.dimension; ++i) {
                double* out = va_arg(args, double*);
                if (!out) return kOfxStatErrBadHandle;
                *out = value.asDouble(i);
            }
            return kOfxStatOK;
        case ParamValueKind::String: {
            char** out = va_arg(args, char**);
            if (!out) return kOfxStatErrBadHandle;
            param.textBuffer() = value.text;
            *out = param.textBuffer().data();
            return kOfxStatOK;
        }
        case ParamValueKind::None: break;
    }
    return kOfxStatErrUnsupported;
}

// Reads the values of a set call, one per dimension.
OfxStatus readValue(Param& param, ParamValue& value, va_list args) {
    const ParamKindInfo kind = param.kind();
    switch (kind.kind) {
        case ParamValueKind::Int:
            for (int i = 0; i < kind.dimension; ++i) value.numbers.push_back(va_arg(args, int));
            return kOfxStatOK;
        case ParamValueKind::Double:
            for (int i = 0; i < kind.dimension; ++i) value.numbers.push_back(va_arg(args, double));
            return kOfxStatOK;
        case ParamValueKind::String: {
            const char* text = va_arg(args, const char*);
            value.text = text ? text : "";
            return kOfxStatOK;
        }
        case ParamValueKind::None: break;
    }
    return kOfxStatErrUnsupported;
}

OfxStatus paramDefine(OfxParamSetHandle handle, const char* type, const char* name, OfxPropertySetHandle* props) {
    if (auto status = planned("paramDefine")) return *status;
    ParamSet* set = ParamSet::fromHandle(handle);
    if (!set) return kOfxStatErrBadHandle;
    if (!type || !name) return kOfxStatErrValue;
    if (paramKindOf(type).dimension < 0) return kOfxStatErrUnknown;
    return guarded([&] {
        Param* param = set->define(type, name);
        if (!param) return kOfxStatErrExists;
        if (props) *props = param->properties().handle();
        return kOfxStatOK;
    });
}

OfxStatus paramGetHandle(OfxParamSetHandle handle, const char* name, OfxParamHandle* paramOut,
                         OfxPropertySetHandle* props) {
    if (auto status = planned("paramGetHandle")) return *status;
    ParamSet* set = ParamSet::fromHandle(handle);
    if (!set || !paramOut) return kOfxStatErrBadHandle;
    Param* param = name ? set->find(name) : nullptr;
    if (!param) return kOfxStatErrUnknown;
    *paramOut = param->handle();
    if (props) *props = param->properties().handle();
    return kOfxStatOK;
}

OfxStatus paramSetGetPropertySet(OfxParamSetHandle handle, OfxPropertySetHandle* props) {
    if (auto status = planned("paramSetGetPropertySet")) return *status;
    ParamSet* set = ParamSet::fromHandle(handle);
    if (!set || !props) return kOfxStatErrBadHandle;
    *props = set->properties().handle();
    return kOfxStatOK;
}

OfxStatus paramGetPropertySet(OfxParamHandle handle, OfxPropertySetHandle* props) {
    if (auto status = planned("paramGetPropertySet")) return *status;
    Param* param = Param::fromHandle(handle);
    if (!param || !props) return kOfxStatErrBadHandle;
    *props = param->properties().handle();
    return kOfxStatOK;
}

OfxStatus getAt(const char* function, OfxParamHandle handle, va_list args,
                ParamValue (*evaluate)(const Param&, double, double), double t1, double t2) {
    if (auto status = planned(function)) return *status;
    Param* param = Param::fromHandle(handle);
    if (!param) return kOfxStatErrBadHandle;
    if (param->kind().kind == ParamValueKind::None) return kOfxStatErrUnsupported;
    return guarded([&] { return writeValue(*param, evaluate(*param, t1, t2), args); });
}

ParamValue valueAt(const Param& p, double t, double) {
    return p.valueAt(t);
}
ParamValue derivativeAt(const Param& p, double t, double) {
    return p.derivativeAt(t);
}
ParamValue integralOver(const Param& p, double t1, double t2) {
    return p.integral(t1, t2);
}

OfxStatus paramGetValue(OfxParamHandle handle, ...) {
    va_list args;
    va_start(args, handle);
    const double now = currentTime();
    OfxStatus status = getAt("paramGetValue", handle, args, valueAt, now, now);
    va_end(args);
    return status;
}

OfxStatus paramGetValueAtTime(OfxParamHandle handle, OfxTime time, ...) {
    va_list args;
    va_start(args, time);
    OfxStatus status = getAt("paramGetValueAtTime", handle, args, valueAt, time, time);
    va_end(args);
    return status;
}

OfxStatus paramGetDerivative(OfxParamHandle handle, OfxTime time, ...) {
    va_list args;
    va_start(args, time);
    OfxStatus status = getAt("paramGetDerivative", handle, args, derivativeAt, time, time);
    va_end(args);
    return status;
}

OfxStatus paramGetIntegral(OfxParamHandle handle, OfxTime time1, OfxTime time2, ...) {
    va_list args;
    va_start(args, time2);
    OfxStatus status = getAt("paramGetIntegral", handle, args, integralOver, time1, time2);
    va_end(args);
    return status;
}

// Stores a value a plug-in sets and tells the owner, which schedules the
// instance-changed action the plug-in's edit causes.
OfxStatus setAt(const char* function, OfxParamHandle handle, va_list args, const double* time) {
    if (auto status = planned(function)) return *status;
    Param* param = Param::fromHandle(handle);
    if (!param) return kOfxStatErrBadHandle;
    if (param->owner().vetPluginEdit)
        if (OfxStatus verdict = param->owner().vetPluginEdit(*param); verdict != kOfxStatOK) return verdict;
    return guarded([&] {
        ParamValue value;
        if (OfxStatus status = readValue(*param, value, args); status != kOfxStatOK) return status;
        if (time)
            param->setValueAt(*time, value);
        else
            param->setValue(value);
        if (param->owner().onPluginEdit) param->owner().onPluginEdit(*param);
        return kOfxStatOK;
    });
}

OfxStatus paramSetValue(OfxParamHandle handle, ...) {
    va_list args;
    va_start(args, handle);
    OfxStatus status = setAt("paramSetValue", handle, args, nullptr);
    va_end(args);
    return status;
}

OfxStatus paramSetValueAtTime(OfxParamHandle handle, OfxTime time, ...) {
    va_list args;
    va_start(args, time);
    OfxStatus status = setAt("paramSetValueAtTime", handle, args, &time);
    va_end(args);
    return status;
}

OfxStatus paramGetNumKeys(OfxParamHandle handle, unsigned int* count) {
    if (auto status = planned("paramGetNumKeys")) return *status;
    Param* param = Param::fromHandle(handle);
    if (!param || !count) return kOfxStatErrBadHandle;
    *count = static_cast<unsigned>(param->keys().size());
    return kOfxStatOK;
}

OfxStatus paramGetKeyTime(OfxParamHandle handle, unsigned int nth, OfxTime* time) {
    if (auto status = planned("paramGetKeyTime")) return *status;
    Param* param = Param::fromHandle(handle);
    if (!param || !time) return kOfxStatErrBadHandle;
    if (nth >= param->keys().size()) return kOfxStatErrBadIndex;
    *time = std::next(param->keys().begin(), nth)->first;
    return kOfxStatOK;
}

OfxStatus paramGetKeyIndex(OfxParamHandle handle, OfxTime time, int direction, int* index) {
    if (auto status = planned("paramGetKeyIndex")) return *status;
    Param* param = Param::fromHandle(handle);
    if (!param || !index) return kOfxStatErrBadHandle;
    const auto& keys = param->keys();
    int position = 0;
    int found = -1;
    for (const auto& key : keys) {
        if ((direction == 0 && key.first == time) || (direction > 0 && key.first > time)) {
            found = position;
            break;
        }
        if (direction < 0 && key.first < time) found = position;
        ++position;
    }
    if (found < 0) return kOfxStatFailed;
    *index = found;
    return kOfxStatOK;
}

OfxStatus paramDeleteKey(OfxParamHandle handle, OfxTime time) {
    if (auto status = planned("paramDeleteKey")) return *status;
    Param* param = Param::fromHandle(handle);
    if (!param) return kOfxStatErrBadHandle;
    if (!param->keys().count(time)) return kOfxStatErrBadIndex;
    param->deleteKey(time);
    return kOfxStatOK;
}

OfxStatus paramDeleteAllKeys(OfxParamHandle handle) {
    if (auto status = planned("paramDeleteAllKeys")) return *status;
    Param* param = Param::fromHandle(handle);
    if (!param) return kOfxStatErrBadHandle;
    param->deleteAllKeys();
    return kOfxStatOK;
}

OfxStatus paramCopy(OfxParamHandle to, OfxParamHandle from, OfxTime offset, const OfxRangeD* range) {
    if (auto status = planned("paramCopy")) return *status;
    Param* target = Param::fromHandle(to);
    Param* source = Param::fromHandle(from);
    if (!target || !source) return kOfxStatErrBadHandle;
    if (target->kind().kind != source->kind().kind || target->kind().dimension != source->kind().dimension)
        return kOfxStatErrValue;
    return guarded([&] {
        target->copyFrom(*source, offset, range);
        return kOfxStatOK;
    });
}

OfxStatus paramEditBegin(OfxParamSetHandle handle, const char*) {
    if (auto status = planned("paramEditBegin")) return *status;
    ParamSet* set = ParamSet::fromHandle(handle);
    if (!set) return kOfxStatErrBadHandle;
    ++set->editDepth;
    return kOfxStatOK;
}

OfxStatus paramEditEnd(OfxParamSetHandle handle) {
    if (auto status = planned("paramEditEnd")) return *status;
    ParamSet* set = ParamSet::fromHandle(handle);
    if (!set) return kOfxStatErrBadHandle;
    if (set->editDepth == 0) return kOfxStatFailed;
    --set->editDepth;
    return kOfxStatOK;
}

const OfxParameterSuiteV1 table = {
    paramDefine,         paramGetHandle,     paramSetGetPropertySet, paramGetPropertySet, paramGetValue,
    paramGetValueAtTime, paramGetDerivative, paramGetIntegral,       paramSetValue,       paramSetValueAtTime,
    paramGetNumKeys,     paramGetKeyTime,    paramGetKeyIndex,       paramDeleteKey,      paramDeleteAllKeys,
    paramCopy,           paramEditBegin,     paramEditEnd,
};

}  // namespace

const OfxParameterSuiteV1& parameterSuite() {
    return table;
}

}  // namespace tonemill::host::suites
