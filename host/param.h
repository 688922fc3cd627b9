#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/property_set.h"
#include "ofxParam.h"

namespace tonemill::host {

// What a parameter's value is made of, by parameter type.
enum class ParamValueKind { None, Int, Double, String };

struct ParamKindInfo {
    ParamValueKind kind = ParamValueKind::None;
    int dimension = 0;
};
// Value kind and dimension of a parameter type; kind None with dimension -1 for an
// unknown type.
ParamKindInfo paramKindOf(const std::string& type);

// One parameter value: numbers for boolean, choice, integer and double parameters
// (one per dimension), text for string parameters.
struct ParamValue {
    std::vector<double> numbers;
    std::string text;

    ParamValue() = default;
    ParamValue(bool value) : numbers{value ? 1.0 : 0.0} {}
    ParamValue(int value) : numbers{static_cast<double>(value)} {}
    ParamValue(double value) : numbers{value} {}
    ParamValue(std::initializer_list<double> values) : numbers(values) {}
    ParamValue(std::string value) : text(std::move(value)) {}
    ParamValue(const char* value) : text(value ? value : "") {}

    bool asBool() const { return asInt() != 0; }
    int asInt(size_t index = 0) const;
    double asDouble(size_t index = 0) const;
    bool operator==(const ParamValue&) const = default;
};

class ParamSet;

// A parameter as the parameter suite sees it: a descriptor while describing, an
// instance inside an effect instance. Values may be constant or keyed over time;
// keyed numbers interpolate linearly (integers rounded), booleans, choices and
// text step at each key.
class Param {
 public:
    Param(ParamSet& owner, std::string name, std::string type, PropertySet properties);
    ~Param();
    Param(const Param&) = delete;
    Param& operator=(const Param&) = delete;

    OfxParamHandle handle() { return reinterpret_cast<OfxParamHandle>(this); }
    static Param* fromHandle(OfxParamHandle handle);

    ParamSet& owner() { return owner_; }
    const std::string& name() const { return name_; }
    const std::string& type() const { return type_; }
    ParamKindInfo kind() const { return kind_; }
    PropertySet& properties() { return properties_; }
    const PropertySet& properties() const { return properties_; }

    // The default from the descriptor properties, in value form.
    ParamValue defaultValue() const;
    ParamValue valueAt(double time) const;
    ParamValue derivativeAt(double time) const;
    ParamValue integral(double time1, double time2) const;
    // Both throw std::invalid_argument when the value does not fit the parameter.
    void setValue(const ParamValue& value);
    void setValueAt(double time, const ParamValue& value);

    const std::map<double, ParamValue>& keys() const { return keys_; }
    void deleteKey(double time) { keys_.erase(time); }
    void deleteAllKeys() { keys_.clear(); }
    void copyFrom(const Param& other, double offset, const OfxRangeD* range);

    // Holds the text last handed to a plug-in, which must outlive the suite call.
    std::string& textBuffer() { return textBuffer_; }

 private:
    void check(const ParamValue& value) const;
    bool interpolates() const;

    static constexpr unsigned liveTag = 0x5041524du;  // "PARM"
    unsigned tag_ = liveTag;
    ParamSet& owner_;
    std::string name_;
    std::string type_;
    ParamKindInfo kind_;
    PropertySet properties_;
    ParamValue value_;
    std::map<double, ParamValue> keys_;
    std::string textBuffer_;
};

// The parameters of one effect descriptor or instance, in definition order.
class ParamSet {
 public:
    ParamSet();
    ~ParamSet();
    ParamSet(const ParamSet&) = delete;
    ParamSet& operator=(const ParamSet&) = delete;

    OfxParamSetHandle handle() { return reinterpret_cast<OfxParamSetHandle>(this); }
    static ParamSet* fromHandle(OfxParamSetHandle handle);

    PropertySet& properties() { return properties_; }
    // A new parameter, or null when the name is taken or the type is unknown.
    Param* define(const std::string& type, const std::string& name);
    Param* find(const std::string& name);
    const std::vector<std::unique_ptr<Param>>& params() const { return params_; }

    // Instance parameters made from these descriptors, each at its default value.
    std::unique_ptr<ParamSet> instantiate() const;

    // Asked before every value change a plug-in makes through the parameter suite; a
    // status other than kOfxStatOK refuses the change with that status.
    std::function<OfxStatus(Param&)> vetPluginEdit;
    // Told about every value change a plug-in makes through the parameter suite.
    std::function<void(Param&)> onPluginEdit;
    int editDepth = 0;  // paramEditBegin / paramEditEnd nesting

 private:
    static constexpr unsigned liveTag = 0x50534554u;  // "PSET"
    unsigned tag_ = liveTag;
    PropertySet properties_;
    std::vector<std::unique_ptr<Param>> params_;
    std::map<std::string, Param*> byName_;
};

}  // namespace tonemill::host
