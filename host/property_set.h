#pragma once

#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ofxCore.h"

namespace tonemill::host {

enum class PropertyType { Int, Double, String, Pointer };

// How a property may change through the property suite.
struct PropertyOptions {
    bool variableDimension = false;  // the plug-in may append (set at index == dimension) and resize with the N setters
    bool pluginReadOnly = false;     // the plug-in may read but not write it
};

// A typed, multi-dimensional property set as the property suite sees it.
//
// Host code uses the plain accessors (they throw std::logic_error on a wrong name,
// type or index, since that is a mistake in the host or test code). The suite uses
// the status-returning `suite*` operations, which never throw and check everything a
// plug-in can get wrong. A strict set refuses plug-in writes to properties it was not
// given; a loose one (argument sets of tests, arbitrary actions) creates them.
//
// Strings handed out through the suite stay valid until that property is next set.
// Sets take no lock: the host changes them only between actions, and plug-ins read
// them on the action's thread.
class PropertySet {
 public:
    explicit PropertySet(std::string label = {}, bool strict = true);
    PropertySet(const PropertySet& other);
    PropertySet& operator=(const PropertySet& other);
    ~PropertySet();

    OfxPropertySetHandle handle() { return reinterpret_cast<OfxPropertySetHandle>(this); }
    // The set behind a handle, or null when the handle is null or not a live property set.
    static PropertySet* fromHandle(OfxPropertySetHandle handle);

    const std::string& label() const { return label_; }
    bool strict() const { return strict_; }
    void setStrict(bool strict) { strict_ = strict; }

    void defineInt(const std::string& name, std::vector<int> defaults, PropertyOptions options = {});
    void defineDouble(const std::string& name, std::vector<double> defaults, PropertyOptions options = {});
    void defineString(const std::string& name, std::vector<std::string> defaults, PropertyOptions options = {});
    void definePointer(const std::string& name, std::vector<void*> defaults, PropertyOptions options = {});

    // Host-side writes. Writing a property that does not exist defines it with a
    // variable dimension; index may be at most the current dimension.
    void set(const std::string& name, int value, int index = 0);
    void set(const std::string& name, double value, int index = 0);
    void set(const std::string& name, const std::string& value, int index = 0);
    void set(const std::string& name, const char* value, int index = 0);
    void set(const std::string& name, void* value, int index = 0);
    void setInts(const std::string& name, std::vector<int> values);
    void setDoubles(const std::string& name, std::vector<double> values);
    void setStrings(const std::string& name, std::vector<std::string> values);
    void setPointers(const std::string& name, std::vector<void*> values);

    int getInt(const std::string& name, int index = 0) const;
    double getDouble(const std::string& name, int index = 0) const;
    std::string getString(const std::string& name, int index = 0) const;
    void* getPointer(const std::string& name, int index = 0) const;
    std::vector<int> getInts(const std::string& name) const;
    std::vector<double> getDoubles(const std::string& name) const;
    std::vector<std::string> getStrings(const std::string& name) const;

    bool has(std::string_view name) const;
    PropertyType typeOf(const std::string& name) const;
    int dimension(const std::string& name) const;
    void remove(const std::string& name);
    void reset(const std::string& name);
    std::vector<std::string> names() const;

    // Property suite semantics: OfxStatus results, nothing thrown.
    OfxStatus suiteSetInt(const char* name, int index, int value);
    OfxStatus suiteSetDouble(const char* name, int index, double value);
    OfxStatus suiteSetString(const char* name, int index, const char* value);
    OfxStatus suiteSetPointer(const char* name, int index, void* value);
    OfxStatus suiteGetInt(const char* name, int index, int* value) const;
    OfxStatus suiteGetDouble(const char* name, int index, double* value) const;
    OfxStatus suiteGetString(const char* name, int index, char** value) const;
    OfxStatus suiteGetPointer(const char* name, int index, void** value) const;
    OfxStatus suiteSetIntN(const char* name, int count, const int* values);
    OfxStatus suiteSetDoubleN(const char* name, int count, const double* values);
    OfxStatus suiteSetStringN(const char* name, int count, const char* const* values);
    OfxStatus suiteSetPointerN(const char* name, int count, void* const* values);
    OfxStatus suiteGetIntN(const char* name, int count, int* values) const;
    OfxStatus suiteGetDoubleN(const char* name, int count, double* values) const;
    OfxStatus suiteGetStringN(const char* name, int count, char** values) const;
    OfxStatus suiteGetPointerN(const char* name, int count, void** values) const;
    OfxStatus suiteDimension(const char* name, int* count) const;
    OfxStatus suiteReset(const char* name);

 private:
    using Values = std::variant<std::vector<int>, std::vector<double>, std::vector<std::string>, std::vector<void*>>;
    struct Property {
        Values values;
        Values defaults;
        PropertyOptions options;
    };

    template <class T>
    void define(const std::string& name, std::vector<T> defaults, PropertyOptions options);
    template <class T>
    void hostSet(const std::string& name, T value, int index);
    template <class T>
    void hostSetAll(const std::string& name, std::vector<T> values);
    template <class T>
    const std::vector<T>& hostValues(const std::string& name) const;
    template <class T>
    T hostGet(const std::string& name, int index) const;
    template <class T>
    OfxStatus suiteSet(const char* name, int index, T value);
    template <class T, class Out>
    OfxStatus suiteGet(const char* name, int index, Out* value) const;
    template <class T, class In>
    OfxStatus suiteSetN(const char* name, int count, const In* values);
    template <class T, class Out>
    OfxStatus suiteGetN(const char* name, int count, Out* values) const;

    const Property* find(std::string_view name) const;
    Property* find(std::string_view name);

    static constexpr unsigned liveTag = 0x50524f50u;  // "PROP"
    unsigned tag_ = liveTag;                          // checked before a handle is trusted; cleared on destruction
    std::string label_;
    bool strict_ = true;
    std::map<std::string, Property, std::less<>> properties_;
};

}  // namespace tonemill::host
