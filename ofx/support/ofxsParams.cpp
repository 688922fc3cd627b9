#include "ofx/support/ofxsParams.h"

#include <cassert>

#include "ofx/support/ofxsCore.h"

namespace OFX {
namespace {

// Index = ParamTypeEnum value; the dummy type has no host name.
constexpr const char* kParamTypeNames[] = {
    nullptr,
    kOfxParamTypeString,
    kOfxParamTypeInteger,
    kOfxParamTypeInteger2D,
    kOfxParamTypeInteger3D,
    kOfxParamTypeDouble,
    kOfxParamTypeDouble2D,
    kOfxParamTypeDouble3D,
    kOfxParamTypeRGB,
    kOfxParamTypeRGBA,
    kOfxParamTypeBoolean,
    kOfxParamTypeChoice,
    kOfxParamTypeStrChoice,
    kOfxParamTypeCustom,
    kOfxParamTypeGroup,
    kOfxParamTypePage,
    kOfxParamTypePushButton,
    kOfxParamTypeParametric,
};

constexpr const char* kDoubleTypeTexts[] = {
    "OfxParamDoubleTypePlain",
    "OfxParamDoubleTypeAngle",
    "OfxParamDoubleTypeScale",
    "OfxParamDoubleTypeTime",
    "OfxParamDoubleTypeAbsoluteTime",
    "OfxParamDoubleTypeX",
    "OfxParamDoubleTypeXAbsolute",
    "OfxParamDoubleTypeY",
    "OfxParamDoubleTypeYAbsolute",
    "OfxParamDoubleTypeXY",
    "OfxParamDoubleTypeXYAbsolute",
    "OfxParamDoubleTypeNormalisedX",
    "OfxParamDoubleTypeNormalisedY",
    "OfxParamDoubleTypeNormalisedXAbsolute",
    "OfxParamDoubleTypeNormalisedYAbsolute",
    "OfxParamDoubleTypeNormalisedXY",
    "OfxParamDoubleTypeNormalisedXYAbsolute",
};

constexpr int kParamTypeCount = sizeof(kParamTypeNames) / sizeof(kParamTypeNames[0]);
constexpr int kDoubleTypeCount = sizeof(kDoubleTypeTexts) / sizeof(kDoubleTypeTexts[0]);

// Asks the host for the property set of a parameter set; a null handle has none.
PropertySet paramSetProperties(OfxParamSetHandle handle) {
    OfxPropertySetHandle props = nullptr;
    if (handle != nullptr) throwSuiteStatusException(parameterSuite().paramSetGetPropertySet(handle, &props));
    return PropertySet(props);
}

}  // namespace

const char* mapParamTypeEnumToString(ParamTypeEnum type) {
    if (type <= eDummyParam || type >= kParamTypeCount) {
        assert(false);
        return kOfxParamTypeInteger;
    }
    return kParamTypeNames[type];
}

const char* mapDoubleTypeEnumToString(DoubleTypeEnum kind) {
    return kind >= 0 && kind < kDoubleTypeCount ? kDoubleTypeTexts[kind] : nullptr;
}

// ---------------------------------------------------------------------------- descriptors

ParamDescriptor::ParamDescriptor(const std::string& name, ParamTypeEnum type, OfxPropertySetHandle props)
    : _paramName(name), _paramType(type), _paramProps(props) {}

ParamDescriptor::~ParamDescriptor() = default;

void ParamDescriptor::setLabel(const std::string& label) {
    _paramProps.propSetString(kOfxPropLabel, label);
}

void ParamDescriptor::setLabels(const std::string& label, const std::string& shortLabel, const std::string& longLabel) {
    _paramProps.propSetString(kOfxPropLabel, label);
    _paramProps.propSetString(kOfxPropShortLabel, shortLabel, 0, false);
    _paramProps.propSetString(kOfxPropLongLabel, longLabel, 0, false);
}

void ParamDescriptor::setHint(const std::string& hint) {
    _paramProps.propSetString(kOfxParamPropHint, hint, 0, false);
}

void ParamDescriptor::setScriptName(const std::string& name) {
    _paramProps.propSetString(kOfxParamPropScriptName, name, 0, false);
}

void ParamDescriptor::setEnabled(bool enabled) {
    _paramProps.propSetInt(kOfxParamPropEnabled, enabled ? 1 : 0);
}

void ParamDescriptor::setParent(const GroupParamDescriptor& group) {
    _paramProps.propSetString(kOfxParamPropParent, group.getName());
}

void DoubleParamDescriptor::setDefault(double value) {
    _paramProps.propSetDouble(kOfxParamPropDefault, value);
}

void DoubleParamDescriptor::setRange(double min, double max) {
    _paramProps.propSetDouble(kOfxParamPropMin, min);
    _paramProps.propSetDouble(kOfxParamPropMax, max);
}

void DoubleParamDescriptor::setDisplayRange(double min, double max) {
    _paramProps.propSetDouble(kOfxParamPropDisplayMin, min);
    _paramProps.propSetDouble(kOfxParamPropDisplayMax, max);
}

void DoubleParamDescriptor::setIncrement(double step) {
    _paramProps.propSetDouble(kOfxParamPropIncrement, step);
}

void DoubleParamDescriptor::setDoubleType(DoubleTypeEnum kind) {
    if (const char* text = mapDoubleTypeEnumToString(kind)) _paramProps.propSetString(kOfxParamPropDoubleType, text);
}

void BooleanParamDescriptor::setDefault(bool value) {
    _paramProps.propSetInt(kOfxParamPropDefault, value ? 1 : 0);
}

void ChoiceParamDescriptor::setDefault(int option) {
    _paramProps.propSetInt(kOfxParamPropDefault, option);
}

void ChoiceParamDescriptor::appendOption(const std::string& value, const std::string& label) {
    const int index = _paramProps.propGetDimension(kOfxParamPropChoiceOption);
    _paramProps.propSetString(kOfxParamPropChoiceOption, value, index);
    if (label.empty()) return;

    std::string hint = _paramProps.propGetString(kOfxParamPropHint);
    if (!hint.empty()) {
        hint += '\n';
        // The option list starts after an empty line, apart from the hint's own text.
        if (index == 0) hint += '\n';
    }
    hint += value + ": " + label;
    _paramProps.propSetString(kOfxParamPropHint, hint);
}

void GroupParamDescriptor::setOpen(bool open) {
    _paramProps.propSetInt(kOfxParamPropGroupOpen, open ? 1 : 0, 0, false);
}

void PageParamDescriptor::addChild(const ParamDescriptor& child) {
    _paramProps.propAppendString(kOfxParamPropPageChild, child.getName());
}

const DummyParamDescriptor PageParamDescriptor::skipRow(kOfxParamPageSkipRow);
const DummyParamDescriptor PageParamDescriptor::skipColumn(kOfxParamPageSkipColumn);

// ------------------------------------------------------------------ descriptor parameter set

ParamSetDescriptor::ParamSetDescriptor() = default;
ParamSetDescriptor::~ParamSetDescriptor() = default;

void ParamSetDescriptor::setParamSetHandle(OfxParamSetHandle handle) {
    _paramSetHandle = handle;
    _paramSetProps = paramSetProperties(handle);
}

template <class Descriptor>
Descriptor* ParamSetDescriptor::defineParam(const std::string& name, ParamTypeEnum type) {
    if (auto found = _definedParams.find(name); found != _definedParams.end())
        return found->second->getType() == type ? static_cast<Descriptor*>(found->second.get()) : nullptr;

    OfxPropertySetHandle props = nullptr;
    throwSuiteStatusException(
        parameterSuite().paramDefine(_paramSetHandle, mapParamTypeEnumToString(type), name.c_str(), &props));
    auto descriptor = std::make_unique<Descriptor>(name, props);
    Descriptor* result = descriptor.get();
    _definedParams.emplace(name, std::move(descriptor));
    return result;
}

BooleanParamDescriptor* ParamSetDescriptor::defineBooleanParam(const std::string& name) {
    return defineParam<BooleanParamDescriptor>(name, eBooleanParam);
}
ChoiceParamDescriptor* ParamSetDescriptor::defineChoiceParam(const std::string& name) {
    return defineParam<ChoiceParamDescriptor>(name, eChoiceParam);
}
DoubleParamDescriptor* ParamSetDescriptor::defineDoubleParam(const std::string& name) {
    return defineParam<DoubleParamDescriptor>(name, eDoubleParam);
}
GroupParamDescriptor* ParamSetDescriptor::defineGroupParam(const std::string& name) {
    return defineParam<GroupParamDescriptor>(name, eGroupParam);
}
PageParamDescriptor* ParamSetDescriptor::definePageParam(const std::string& name) {
    return defineParam<PageParamDescriptor>(name, ePageParam);
}
PushButtonParamDescriptor* ParamSetDescriptor::definePushButtonParam(const std::string& name) {
    return defineParam<PushButtonParamDescriptor>(name, ePushButtonParam);
}

// ------------------------------------------------------------------------------ instances

Param::Param(const ParamSet* owner, const std::string& name, ParamTypeEnum type, OfxParamHandle handle)
    : _paramSet(owner), _paramName(name), _paramType(type), _paramHandle(handle) {
    OfxPropertySetHandle props = nullptr;
    throwSuiteStatusException(parameterSuite().paramGetPropertySet(handle, &props));
    _paramProps.propSetHandle(props);
}

Param::~Param() = default;

void Param::setEnabled(bool enabled) {
    _paramProps.propSetInt(kOfxParamPropEnabled, enabled ? 1 : 0);
}

void DoubleParam::getValueAtTime(double time, double& value) const {
    double read = 0;
    throwSuiteStatusException(parameterSuite().paramGetValueAtTime(_paramHandle, time, &read));
    value = read;
}

void BooleanParam::getValueAtTime(double time, bool& value) const {
    int read = 0;
    throwSuiteStatusException(parameterSuite().paramGetValueAtTime(_paramHandle, time, &read));
    value = read != 0;
}

void BooleanParam::setValue(bool value) {
    throwSuiteStatusException(parameterSuite().paramSetValue(_paramHandle, value ? 1 : 0));
}

void ChoiceParam::getValueAtTime(double time, int& option) const {
    int read = 0;
    throwSuiteStatusException(parameterSuite().paramGetValueAtTime(_paramHandle, time, &read));
    option = read;
}

// ---------------------------------------------------------------- instance parameter set

ParamSet::ParamSet() = default;
ParamSet::~ParamSet() = default;

void ParamSet::setParamSetHandle(OfxParamSetHandle handle) {
    _paramSetHandle = handle;
    _paramSetProps = paramSetProperties(handle);
}

template <class Parameter>
Parameter* ParamSet::fetchParam(const std::string& name, ParamTypeEnum type) {
    if (auto found = _fetchedParams.find(name); found != _fetchedParams.end()) {
        if (found->second->getType() != type)
            throw Exception::TypeRequest("Fetching param and attempting to return the wrong type");
        return static_cast<Parameter*>(found->second.get());
    }

    OfxParamHandle handle = nullptr;
    OfxPropertySetHandle props = nullptr;
    throwSuiteStatusException(parameterSuite().paramGetHandle(_paramSetHandle, name.c_str(), &handle, &props));
    if (PropertySet(props).propGetString(kOfxParamPropType) != mapParamTypeEnumToString(type))
        throw Exception::TypeRequest("Parameter exists but is of the wrong type");

    auto param = std::make_unique<Parameter>(this, name, handle);
    Parameter* result = param.get();
    _fetchedParams.emplace(name, std::move(param));
    return result;
}

BooleanParam* ParamSet::fetchBooleanParam(const std::string& name) {
    return fetchParam<BooleanParam>(name, eBooleanParam);
}
ChoiceParam* ParamSet::fetchChoiceParam(const std::string& name) {
    return fetchParam<ChoiceParam>(name, eChoiceParam);
}
DoubleParam* ParamSet::fetchDoubleParam(const std::string& name) {
    return fetchParam<DoubleParam>(name, eDoubleParam);
}
PushButtonParam* ParamSet::fetchPushButtonParam(const std::string& name) {
    return fetchParam<PushButtonParam>(name, ePushButtonParam);
}

}  // namespace OFX
