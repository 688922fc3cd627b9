#include "host/property_set.h"

#include <stdexcept>

namespace tonemill::host {
namespace {

std::logic_error misuse(const std::string& set, const std::string& name, const char* what) {
    return std::logic_error("property set '" + set + "', property '" + name + "': " + what);
}

// Plug-ins hand over C strings; a null text is stored as empty rather than crashing.
std::string textOf(const char* value) {
    return value ? std::string(value) : std::string();
}

}  // namespace

PropertySet::PropertySet(std::string label, bool strict) : label_(std::move(label)), strict_(strict) {}

PropertySet::PropertySet(const PropertySet& other)
    : label_(other.label_), strict_(other.strict_), properties_(other.properties_) {}

PropertySet& PropertySet::operator=(const PropertySet& other) {
    label_ = other.label_;
    strict_ = other.strict_;
    properties_ = other.properties_;
    return *this;
}

PropertySet::~PropertySet() {
    tag_ = 0;
}

PropertySet* PropertySet::fromHandle(OfxPropertySetHandle handle) {
    auto* set = reinterpret_cast<PropertySet*>(handle);
    return set && set->tag_ == liveTag ? set : nullptr;
}

const PropertySet::Property* PropertySet::find(std::string_view name) const {
    auto it = properties_.find(name);
    return it == properties_.end() ? nullptr : &it->second;
}

PropertySet::Property* PropertySet::find(std::string_view name) {
    auto it = properties_.find(name);
    return it == properties_.end() ? nullptr : &it->second;
}

template <class T>
void PropertySet::define(const std::string& name, std::vector<T> defaults, PropertyOptions options) {
    Values values = defaults;
    properties_.insert_or_assign(name, Property{values, std::move(values), options});
}

void PropertySet::defineInt(const std::string& name, std::vector<int> defaults, PropertyOptions options) {
    define(name, std::move(defaults), options);
}
void PropertySet::defineDouble(const std::string& name, std::vector<double> defaults, PropertyOptions options) {
    define(name, std::move(defaults), options);
}
void PropertySet::defineString(const std::string& name, std::vector<std::string> defaults, PropertyOptions options) {
    define(name, std::move(defaults), options);
}
void PropertySet::definePointer(const std::string& name, std::vector<void*> defaults, PropertyOptions options) {
    define(name, std::move(defaults), options);
}

template <class T>
void PropertySet::hostSet(const std::string& name, T value, int index) {
    Property* property = find(name);
    if (!property) {
        if (index != 0) throw misuse(label_, name, "first write of a new property must be at index 0");
        define<T>(name, {}, PropertyOptions{true, false});
        property = find(name);
    }
    auto* values = std::get_if<std::vector<T>>(&property->values);
    if (!values) throw misuse(label_, name, "written with the wrong type");
    if (index < 0 || static_cast<size_t>(index) > values->size()) throw misuse(label_, name, "index out of range");
    if (static_cast<size_t>(index) == values->size())
        values->push_back(std::move(value));
    else
        (*values)[index] = std::move(value);
}

template <class T>
void PropertySet::hostSetAll(const std::string& name, std::vector<T> values) {
    Property* property = find(name);
    if (!property) {
        define<T>(name, {}, PropertyOptions{true, false});
        property = find(name);
    }
    if (!std::holds_alternative<std::vector<T>>(property->values))
        throw misuse(label_, name, "written with the wrong type");
    property->values = std::move(values);
}

void PropertySet::set(const std::string& name, int value, int index) {
    hostSet(name, value, index);
}
void PropertySet::set(const std::string& name, double value, int index) {
    hostSet(name, value, index);
}
void PropertySet::set(const std::string& name, const std::string& value, int index) {
    hostSet(name, value, index);
}
void PropertySet::set(const std::string& name, const char* value, int index) {
    hostSet(name, textOf(value), index);
}
void PropertySet::set(const std::string& name, void* value, int index) {
    hostSet(name, value, index);
}
void PropertySet::setInts(const std::string& name, std::vector<int> values) {
    hostSetAll(name, std::move(values));
}
void PropertySet::setDoubles(const std::string& name, std::vector<double> values) {
    hostSetAll(name, std::move(values));
}
void PropertySet::setStrings(const std::string& name, std::vector<std::string> values) {
    hostSetAll(name, std::move(values));
}
void PropertySet::setPointers(const std::string& name, std::vector<void*> values) {
    hostSetAll(name, std::move(values));
}

template <class T>
const std::vector<T>& PropertySet::hostValues(const std::string& name) const {
    const Property* property = find(name);
    if (!property) throw misuse(label_, name, "no such property");
    auto* values = std::get_if<std::vector<T>>(&property->values);
    if (!values) throw misuse(label_, name, "read with the wrong type");
    return *values;
}

template <class T>
T PropertySet::hostGet(const std::string& name, int index) const {
    const auto& values = hostValues<T>(name);
    if (index < 0 || static_cast<size_t>(index) >= values.size()) throw misuse(label_, name, "index out of range");
    return values[index];
}

int PropertySet::getInt(const std::string& name, int index) const {
    return hostGet<int>(name, index);
}
double PropertySet::getDouble(const std::string& name, int index) const {
    return hostGet<double>(name, index);
}
std::string PropertySet::getString(const std::string& name, int index) const {
    return hostGet<std::string>(name, index);
}
void* PropertySet::getPointer(const std::string& name, int index) const {
    return hostGet<void*>(name, index);
}
std::vector<int> PropertySet::getInts(const std::string& name) const {
    return hostValues<int>(name);
}
std::vector<double> PropertySet::getDoubles(const std::string& name) const {
    return hostValues<double>(name);
}
std::vector<std::string> PropertySet::getStrings(const std::string& name) const {
    return hostValues<std::string>(name);
}

bool PropertySet::has(std::string_view name) const {
    return find(name) != nullptr;
}

PropertyType PropertySet::typeOf(const std::string& name) const {
    const Property* property = find(name);
    if (!property) throw misuse(label_, name, "no such property");
    return static_cast<PropertyType>(property->values.index());
}

int PropertySet::dimension(const std::string& name) const {
    const Property* property = find(name);
    if (!property) throw misuse(label_, name, "no such property");
    return std::visit([](const auto& values) { return static_cast<int>(values.size()); }, property->values);
}

void PropertySet::remove(const std::string& name) {
    properties_.erase(name);
}

void PropertySet::reset(const std::string& name) {
    Property* property = find(name);
    if (!property) throw misuse(label_, name, "no such property");
    property->values = property->defaults;
}

std::vector<std::string> PropertySet::names() const {
    std::vector<std::string> result;
    for (const auto& entry : properties_) result.push_back(entry.first);
    return result;
}

template <class T>
OfxStatus PropertySet::suiteSet(const char* name, int index, T value) {
    if (!name) return kOfxStatErrUnknown;
    Property* property = find(name);
    if (!property) {
        if (strict_) return kOfxStatErrUnknown;
        if (index != 0) return kOfxStatErrBadIndex;
        define<T>(name, {}, PropertyOptions{true, false});
        property = find(name);
    }
    if (property->options.pluginReadOnly) return kOfxStatErrValue;
    auto* values = std::get_if<std::vector<T>>(&property->values);
    if (!values) return kOfxStatErrValue;
    if (index < 0) return kOfxStatErrBadIndex;
    const auto position = static_cast<size_t>(index);
    if (position < values->size()) {
        (*values)[position] = std::move(value);
    } else if (position == values->size() && property->options.variableDimension) {
        values->push_back(std::move(value));
    } else {
        return kOfxStatErrBadIndex;
    }
    return kOfxStatOK;
}

template <class T, class Out>
OfxStatus PropertySet::suiteGet(const char* name, int index, Out* value) const {
    if (!name) return kOfxStatErrUnknown;
    if (!value) return kOfxStatErrBadHandle;
    const Property* property = find(name);
    if (!property) return kOfxStatErrUnknown;
    auto* values = std::get_if<std::vector<T>>(&property->values);
    if (!values) return kOfxStatErrValue;
    if (index < 0 || static_cast<size_t>(index) >= values->size()) return kOfxStatErrBadIndex;
    if constexpr (std::is_same_v<T, std::string>)
        // The suite's signature is not const-correct; plug-ins must not write through it.
        *value = const_cast<char*>((*values)[index].c_str());
    else
        *value = (*values)[index];
    return kOfxStatOK;
}

OfxStatus PropertySet::suiteSetInt(const char* name, int index, int value) {
    return suiteSet(name, index, value);
}
OfxStatus PropertySet::suiteSetDouble(const char* name, int index, double value) {
    return suiteSet(name, index, value);
}
OfxStatus PropertySet::suiteSetString(const char* name, int index, const char* value) {
    return suiteSet(name, index, textOf(value));
}
OfxStatus PropertySet::suiteSetPointer(const char* name, int index, void* value) {
    return suiteSet(name, index, value);
}
OfxStatus PropertySet::suiteGetInt(const char* name, int index, int* value) const {
    return suiteGet<int>(name, index, value);
}
OfxStatus PropertySet::suiteGetDouble(const char* name, int index, double* value) const {
    return suiteGet<double>(name, index, value);
}
OfxStatus PropertySet::suiteGetString(const char* name, int index, char** value) const {
    return suiteGet<std::string>(name, index, value);
}
OfxStatus PropertySet::suiteGetPointer(const char* name, int index, void** value) const {
    return suiteGet<void*>(name, index, value);
}

template <class T, class In>
OfxStatus PropertySet::suiteSetN(const char* name, int count, const In* values) {
    if (!name) return kOfxStatErrUnknown;
    if (count < 0) return kOfxStatErrBadIndex;
    if (count > 0 && !values) return kOfxStatErrBadHandle;
    Property* property = find(name);
    if (!property) {
        if (strict_) return kOfxStatErrUnknown;
        define<T>(name, {}, PropertyOptions{true, false});
        property = find(name);
    }
    if (property->options.pluginReadOnly) return kOfxStatErrValue;
    auto* stored = std::get_if<std::vector<T>>(&property->values);
    if (!stored) return kOfxStatErrValue;
    const auto n = static_cast<size_t>(count);
    if (property->options.variableDimension)
        stored->resize(n);
    else if (n > stored->size())
        return kOfxStatErrBadIndex;
    for (size_t i = 0; i < n; ++i) {
        if constexpr (std::is_same_v<T, std::string>)
            (*stored)[i] = textOf(values[i]);
        else
            (*stored)[i] = values[i];
    }
    return kOfxStatOK;
}

template <class T, class Out>
OfxStatus PropertySet::suiteGetN(const char* name, int count, Out* values) const {
    if (!name) return kOfxStatErrUnknown;
    if (count < 0) return kOfxStatErrBadIndex;
    if (count > 0 && !values) return kOfxStatErrBadHandle;
    const Property* property = find(name);
    if (!property) return kOfxStatErrUnknown;
    auto* stored = std::get_if<std::vector<T>>(&property->values);
    if (!stored) return kOfxStatErrValue;
    if (static_cast<size_t>(count) > stored->size()) return kOfxStatErrBadIndex;
    for (int i = 0; i < count; ++i) {
        if constexpr (std::is_same_v<T, std::string>)
            values[i] = const_cast<char*>((*stored)[i].c_str());  // see suiteGet
        else
            values[i] = (*stored)[i];
    }
    return kOfxStatOK;
}

OfxStatus PropertySet::suiteSetIntN(const char* name, int count, const int* values) {
    return suiteSetN<int>(name, count, values);
}
OfxStatus PropertySet::suiteSetDoubleN(const char* name, int count, const double* values) {
    return suiteSetN<double>(name, count, values);
}
OfxStatus PropertySet::suiteSetStringN(const char* name, int count, const char* const* values) {
    return suiteSetN<std::string>(name, count, values);
}
OfxStatus PropertySet::suiteSetPointerN(const char* name, int count, void* const* values) {
    return suiteSetN<void*>(name, count, values);
}
OfxStatus PropertySet::suiteGetIntN(const char* name, int count, int* values) const {
    return suiteGetN<int>(name, count, values);
}
OfxStatus PropertySet::suiteGetDoubleN(const char* name, int count, double* values) const {
    return suiteGetN<double>(name, count, values);
}
OfxStatus PropertySet::suiteGetStringN(const char* name, int count, char** values) const {
    return suiteGetN<std::string>(name, count, values);
}
OfxStatus PropertySet::suiteGetPointerN(const char* name, int count, void** values) const {
    return suiteGetN<void*>(name, count, values);
}

OfxStatus PropertySet::suiteDimension(const char* name, int* count) const {
    if (!name) return kOfxStatErrUnknown;
    if (!count) return kOfxStatErrBadHandle;
    const Property* property = find(name);
    if (!property) return kOfxStatErrUnknown;
    *count = std::visit([](const auto& values) { return static_cast<int>(values.size()); }, property->values);
    return kOfxStatOK;
}

OfxStatus PropertySet::suiteReset(const char* name) {
    if (!name) return kOfxStatErrUnknown;
    Property* property = find(name);
    if (!property) return kOfxStatErrUnknown;
    if (property->options.pluginReadOnly) return kOfxStatErrValue;
    property->values = property->defaults;
    return kOfxStatOK;
}

}  // namespace tonemill::host
