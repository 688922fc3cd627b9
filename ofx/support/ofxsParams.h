#pragma once
// Parameters as the plug-in sees them: descriptors while describing, instances inside
// an effect instance. Only the kinds this plug-in uses are wrapped.

#include <map>
#include <memory>
#include <string>

#include "ofxCore.h"
#include "ofxParam.h"
#include "ofx/support/ofxsProperty.h"

namespace OFX {

enum ParamTypeEnum {
    eDummyParam = 0,
    eStringParam,
    eIntParam,
    eInt2DParam,
    eInt3DParam,
    eDoubleParam,
    eDouble2DParam,
    eDouble3DParam,
    eRGBParam,
    eRGBAParam,
    eBooleanParam,
    eChoiceParam,
    eStrChoiceParam,
    eCustomParam,
    eGroupParam,
    ePageParam,
    ePushButtonParam,
    eParametricParam,
};

enum DoubleTypeEnum {
    eDoubleTypePlain = 0,
    eDoubleTypeAngle,
    eDoubleTypeScale,
    eDoubleTypeTime,
    eDoubleTypeAbsoluteTime,
    eDoubleTypeX,
    eDoubleTypeXAbsolute,
    eDoubleTypeY,
    eDoubleTypeYAbsolute,
    eDoubleTypeXY,
    eDoubleTypeXYAbsolute,
    eDoubleTypeNormalisedX,
    eDoubleTypeNormalisedY,
    eDoubleTypeNormalisedXAbsolute,
    eDoubleTypeNormalisedYAbsolute,
    eDoubleTypeNormalisedXY,
    eDoubleTypeNormalisedXYAbsolute,
};

// The name the host knows the type by ("OfxParamTypeDouble", ...). The dummy type has
// none; asking for it (or any value outside the enumeration) is a programming error.
const char* mapParamTypeEnumToString(ParamTypeEnum type);
// The text of "OfxParamPropDoubleType", or null for a value outside the enumeration.
const char* mapDoubleTypeEnumToString(DoubleTypeEnum kind);

class GroupParamDescriptor;
class ParamSet;

class ParamDescriptor {
 public:
    ParamDescriptor(const std::string& name, ParamTypeEnum type, OfxPropertySetHandle props);
    ParamDescriptor(const ParamDescriptor&) = delete;
    ParamDescriptor& operator=(const ParamDescriptor&) = delete;
    virtual ~ParamDescriptor();

    const std::string& getName() const { return _paramName; }
    ParamTypeEnum getType() const { return _paramType; }
    PropertySet& getPropertySet() { return _paramProps; }

    void setLabel(const std::string& label);
    void setLabels(const std::string& label, const std::string& shortLabel, const std::string& longLabel);
    void setHint(const std::string& hint);
    void setScriptName(const std::string& name);
    void setEnabled(bool enabled);
    void setParent(const GroupParamDescriptor& group);

 protected:
    std::string _paramName;
    ParamTypeEnum _paramType;
    PropertySet _paramProps;
};

class ValueParamDescriptor : public ParamDescriptor {
 public:
    using ParamDescriptor::ParamDescriptor;
};

class BaseDoubleParamDescriptor : public ValueParamDescriptor {
 public:
    using ValueParamDescriptor::ValueParamDescriptor;
};

class DoubleParamDescriptor : public BaseDoubleParamDescriptor {
 public:
    DoubleParamDescriptor(const std::string& name, OfxPropertySetHandle props)
        : BaseDoubleParamDescriptor(name, eDoubleParam, props) {}
    void setDefault(double value);
    void setRange(double min, double max);
    void setDisplayRange(double min, double max);
    void setIncrement(double step);
    void setDoubleType(DoubleTypeEnum kind);
};

class BooleanParamDescriptor : public ValueParamDescriptor {
 public:
    BooleanParamDescriptor(const std::string& name, OfxPropertySetHandle props)
        : ValueParamDescriptor(name, eBooleanParam, props) {}
    void setDefault(bool value);
};

class ChoiceParamDescriptor : public ValueParamDescriptor {
 public:
    ChoiceParamDescriptor(const std::string& name, OfxPropertySetHandle props)
        : ValueParamDescriptor(name, eChoiceParam, props) {}
    void setDefault(int option);
    // Adds an option; a non-empty label also lists "value: label" in the hint, so hosts
    // that show only the hint still explain every option.
    void appendOption(const std::string& value, const std::string& label);
};

class GroupParamDescriptor : public ParamDescriptor {
 public:
    GroupParamDescriptor(const std::string& name, OfxPropertySetHandle props)
        : ParamDescriptor(name, eGroupParam, props) {}
    void setOpen(bool open);
};

class PushButtonParamDescriptor : public ParamDescriptor {
 public:
    PushButtonParamDescriptor(const std::string& name, OfxPropertySetHandle props)
        : ParamDescriptor(name, ePushButtonParam, props) {}
};

// Stands for a layout skip on a page; it has no type and no properties.
class DummyParamDescriptor : public ParamDescriptor {
 public:
    explicit DummyParamDescriptor(const std::string& name) : ParamDescriptor(name, eDummyParam, nullptr) {}
};

class PageParamDescriptor : public ParamDescriptor {
 public:
    PageParamDescriptor(const std::string& name, OfxPropertySetHandle props)
        : ParamDescriptor(name, ePageParam, props) {}
    void addChild(const ParamDescriptor& child);

    static const DummyParamDescriptor skipRow;     // "OfxParamPageSkipRow"
    static const DummyParamDescriptor skipColumn;  // "OfxParamPageSkipColumn"
};

class ParamSetDescriptor {
 public:
    ParamSetDescriptor();
    ParamSetDescriptor(const ParamSetDescriptor&) = delete;
    ParamSetDescriptor& operator=(const ParamSetDescriptor&) = delete;
    virtual ~ParamSetDescriptor();

    void setParamSetHandle(OfxParamSetHandle handle);
    OfxParamSetHandle getParamSetHandle() const { return _paramSetHandle; }
    PropertySet& getParamSetProps() { return _paramSetProps; }

    // Each returns the set's descriptor of that name, defining it on first request; a
    // name already defined with another type gives null.
    BooleanParamDescriptor* defineBooleanParam(const std::string& name);
    ChoiceParamDescriptor* defineChoiceParam(const std::string& name);
    DoubleParamDescriptor* defineDoubleParam(const std::string& name);
    GroupParamDescriptor* defineGroupParam(const std::string& name);
    PageParamDescriptor* definePageParam(const std::string& name);
    PushButtonParamDescriptor* definePushButtonParam(const std::string& name);

 private:
    template <class Descriptor>
    Descriptor* defineParam(const std::string& name, ParamTypeEnum type);

    OfxParamSetHandle _paramSetHandle = nullptr;
    PropertySet _paramSetProps;
    std::map<std::string, std::unique_ptr<ParamDescriptor>> _definedParams;
};

class Param {
 public:
    Param(const ParamSet* owner, const std::string& name, ParamTypeEnum type, OfxParamHandle handle);
    Param(const Param&) = delete;
    Param& operator=(const Param&) = delete;
    virtual ~Param();

    const std::string& getName() const { return _paramName; }
    ParamTypeEnum getType() const { return _paramType; }
    OfxParamHandle getHandle() const { return _paramHandle; }
    PropertySet& getPropertySet() { return _paramProps; }
    const ParamSet* getParamSet() const { return _paramSet; }

    void setEnabled(bool enabled);

 protected:
    const ParamSet* _paramSet;
    std::string _paramName;
    ParamTypeEnum _paramType;
    PropertySet _paramProps;
    OfxParamHandle _paramHandle;
};

class ValueParam : public Param {
 public:
    using Param::Param;
};

class BaseDoubleParam : public ValueParam {
 public:
    using ValueParam::ValueParam;
};

class DoubleParam : public BaseDoubleParam {
 public:
    DoubleParam(const ParamSet* owner, const std::string& name, OfxParamHandle handle)
        : BaseDoubleParam(owner, name, eDoubleParam, handle) {}
    void getValueAtTime(double time, double& value) const;
};

class BooleanParam : public ValueParam {
 public:
    BooleanParam(const ParamSet* owner, const std::string& name, OfxParamHandle handle)
        : ValueParam(owner, name, eBooleanParam, handle) {}
    void getValueAtTime(double time, bool& value) const;
    void setValue(bool value);
};

class ChoiceParam : public ValueParam {
 public:
    ChoiceParam(const ParamSet* owner, const std::string& name, OfxParamHandle handle)
        : ValueParam(owner, name, eChoiceParam, handle) {}
    void getValueAtTime(double time, int& option) const;
};

class PushButtonParam : public Param {
 public:
    PushButtonParam(const ParamSet* owner, const std::string& name, OfxParamHandle handle)
        : Param(owner, name, ePushButtonParam, handle) {}
};

class ParamSet {
 public:
    ParamSet();
    ParamSet(const ParamSet&) = delete;
    ParamSet& operator=(const ParamSet&) = delete;
    virtual ~ParamSet();

    void setParamSetHandle(OfxParamSetHandle handle);
    OfxParamSetHandle getParamSetHandle() const { return _paramSetHandle; }
    PropertySet& getParamSetProps() { return _paramSetProps; }

    // Each returns the set's parameter of that name, fetching it from the host on first
    // request; a parameter of another type raises Exception::TypeRequest.
    BooleanParam* fetchBooleanParam(const std::string& name);
    ChoiceParam* fetchChoiceParam(const std::string& name);
    DoubleParam* fetchDoubleParam(const std::string& name);
    PushButtonParam* fetchPushButtonParam(const std::string& name);

 private:
    template <class Parameter>
    Parameter* fetchParam(const std::string& name, ParamTypeEnum type);

    OfxParamSetHandle _paramSetHandle = nullptr;
    PropertySet _paramSetProps;
    std::map<std::string, std::unique_ptr<Param>> _fetchedParams;
};

}  // namespace OFX
