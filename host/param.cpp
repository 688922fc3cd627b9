#include "host/param.h"

#include <cmath>
#include <stdexcept>

#include "host/standard_properties.h"

namespace tonemill::host {

ParamKindInfo paramKindOf(const std::string& type) {
    static const std::map<std::string, ParamKindInfo> kinds = {
        {kOfxParamTypeInteger, {ParamValueKind::Int, 1}},     {kOfxParamTypeBoolean, {ParamValueKind::Int, 1}},
        {kOfxParamTypeChoice, {ParamValueKind::Int, 1}},      {kOfxParamTypeInteger2D, {ParamValueKind::Int, 2}},
        {kOfxParamTypeInteger3D, {ParamValueKind::Int, 3}},   {kOfxParamTypeDouble, {ParamValueKind::Double, 1}},
        {kOfxParamTypeDouble2D, {ParamValueKind::Double, 2}}, {kOfxParamTypeDouble3D, {ParamValueKind::Double, 3}},
        {kOfxParamTypeRGB, {ParamValueKind::Double, 3}},      {kOfxParamTypeRGBA, {ParamValueKind::Double, 4}},
        {kOfxParamTypeString, {ParamValueKind::String, 1}},   {kOfxParamTypeStrChoice, {ParamValueKind::String, 1}},
        {kOfxParamTypeCustom, {ParamValueKind::String, 1}},   {kOfxParamTypeGroup, {ParamValueKind::None, 0}},
        {kOfxParamTypePage, {ParamValueKind::None, 0}},       {kOfxParamTypePushButton, {ParamValueKind::None, 0}},
        {kOfxParamTypeParametric, {ParamValueKind::None, 0}},
    };
    auto it = kinds.find(type);
    return it == kinds.end() ? ParamKindInfo{ParamValueKind::None, -1} : it->second;
}

int ParamValue::asInt(size_t index) const {
    return static_cast<int>(std::lround(asDouble(index)));
}

double ParamValue::asDouble(size_t index) const {
    if (index >= numbers.size()) throw std::out_of_range("parameter value has no number at this index");
    return numbers[index];
}

Param::Param(ParamSet& owner, std::string name, std::string type, PropertySet properties)
    : owner_(owner),
      name_(std::move(name)),
      type_(std::move(type)),
      kind_(paramKindOf(type_)),
      properties_(std::move(properties)) {
    value_ = defaultValue();
}

Param::~Param() {
    tag_ = 0;
}

Param* Param::fromHandle(OfxParamHandle handle) {
    auto* param = reinterpret_cast<Param*>(handle);
    return param && param->tag_ == liveTag ? param : nullptr;
}

ParamValue Param::defaultValue() const {
    ParamValue value;
    if (!properties_.has(kOfxParamPropDefault)) return value;
    switch (kind_.kind) {
        case ParamValueKind::Int:
            for (int v : properties_.getInts(kOfxParamPropDefault)) value.numbers.push_back(v);
            break;
        case ParamValueKind::Double: value.numbers = properties_.getDoubles(kOfxParamPropDefault); break;
        case ParamValueKind::String: value.text = properties_.getString(kOfxParamPropDefault); break;
        case ParamValueKind::None: break;
    }
    return value;
}

void Param::check(const ParamValue& value) const {
    if (kind_.kind == ParamValueKind::None) throw std::invalid_argument("parameter '" + name_ + "' holds no value");
    if (kind_.kind != ParamValueKind::String && value.numbers.size() != static_cast<size_t>(kind_.dimension))
        throw std::invalid_argument("parameter '" + name_ + "' needs " + std::to_string(kind_.dimension) +
                                    " number(s)");
}

bool Param::interpolates() const {
    return kind_.kind == ParamValueKind::Double ||
           (kind_.kind == ParamValueKind::Int && type_ != kOfxParamTypeBoolean && type_ != kOfxParamTypeChoice);
}

void Param::setValue(const ParamValue& value) {
    check(value);
    value_ = value;
}

void Param::setValueAt(double time, const ParamValue& value) {
    check(value);
    keys_[time] = value;
}

ParamValue Param::valueAt(double time) const {
    if (keys_.empty()) return value_;
    auto after = keys_.lower_bound(time);
    if (after == keys_.begin()) return after->second;
    if (after == keys_.end()) return std::prev(after)->second;
    if (after->first == time) return after->second;
    auto before = std::prev(after);
    if (!interpolates()) return before->second;
    const double t = (time - before->first) / (after->first - before->first);
    ParamValue result = before->second;
    for (size_t i = 0; i < result.numbers.size(); ++i) {
        result.numbers[i] += t * (after->second.numbers[i] - before->second.numbers[i]);
        if (kind_.kind == ParamValueKind::Int) result.numbers[i] = std::round(result.numbers[i]);
    }
    return result;
}

ParamValue Param::derivativeAt(double time) const {
    ParamValue result = valueAt(time);
    for (double& n : result.numbers) n = 0.0;
    if (!interpolates() || keys_.size() < 2) return result;
    auto after = keys_.upper_bound(time);
    if (after == keys_.begin() || after == keys_.end()) return result;
    auto before = std::prev(after);
    for (size_t i = 0; i < result.numbers.size(); ++i)
        result.numbers[i] = (after->second.numbers[i] - before->second.numbers[i]) / (after->first - before->first);
    return result;
}

ParamValue Param::integral(double time1, double time2) const {
    // Piecewise linear between keys, so the trapezoid rule over the key times is exact.
    std::vector<double> times{time1};
    for (const auto& key : keys_)
        if (key.first > time1 && key.first < time2) times.push_back(key.first);
    times.push_back(time2);
    ParamValue result = valueAt(time1);
    for (double& n : result.numbers) n = 0.0;
    for (size_t k = 1; k < times.size(); ++k) {
        const ParamValue a = valueAt(times[k - 1]), b = valueAt(times[k]);
        for (size_t i = 0; i < result.numbers.size(); ++i)
            result.numbers[i] += 0.5 * (a.numbers[i] + b.numbers[i]) * (times[k] - times[k - 1]);
    }
    return result;
}

void Param::copyFrom(const Param& other, double offset, const OfxRangeD* range) {
    if (other.kind_.kind != kind_.kind || other.kind_.dimension != kind_.dimension)
        throw std::invalid_argument("parameters '" + other.name_ + "' and '" + name_ + "' differ in type");
    value_ = other.value_;
    keys_.clear();
    for (const auto& key : other.keys_)
        if (!range || (key.first >= range->min && key.first <= range->max)) keys_[key.first + offset] = key.second;
}

ParamSet::ParamSet() : properties_("parameter set") {}

ParamSet::~ParamSet() {
    tag_ = 0;
}

ParamSet* ParamSet::fromHandle(OfxParamSetHandle handle) {
    auto* set = reinterpret_cast<ParamSet*>(handle);
    return set && set->tag_ == liveTag ? set : nullptr;
}

Param* ParamSet::define(const std::string& type, const std::string& name) {
    if (byName_.count(name) || paramKindOf(type).dimension < 0) return nullptr;
    params_.push_back(std::make_unique<Param>(*this, name, type, paramDescriptorProperties(type, name)));
    byName_[name] = params_.back().get();
    return params_.back().get();
}

Param* ParamSet::find(const std::string& name) {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

std::unique_ptr<ParamSet> ParamSet::instantiate() const {
    auto instance = std::make_unique<ParamSet>();
    instance->properties_ = properties_;
    for (const auto& descriptor : params_) {
        instance->params_.push_back(
            std::make_unique<Param>(*instance, descriptor->name(), descriptor->type(), descriptor->properties()));
        instance->byName_[descriptor->name()] = instance->params_.back().get();
    }
    return instance;
}

}  // namespace tonemill::host
