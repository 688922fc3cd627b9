#pragma once
// The factory side of the layer: the base classes a plug-in's factory derives from,
// the list function the plug-in supplies, and mainEntry, through which every action
// of every factory passes.

#include <cassert>
#include <string>
#include <vector>

#include "ofx/support/effect_enums.h"
#include "ofxCore.h"
#include "ofxImageEffect.h"

namespace OFX {

class ImageEffect;
class ImageEffectDescriptor;

// One per plug-in the library offers; a process-lifetime object of the plug-in, never
// deleted through this base.
class PluginFactory {
 public:
    virtual void load() {}
    virtual void unload() {}
    virtual void describe(ImageEffectDescriptor& desc) = 0;
    virtual void describeInContext(ImageEffectDescriptor& desc, ContextEnum context) = 0;
    // The new instance stores itself on the handle; the layer deletes it on destroy.
    virtual ImageEffect* createInstance(OfxImageEffectHandle handle, ContextEnum context) = 0;
    virtual const std::string& getID() const = 0;
    virtual const std::string& getUID() const = 0;
    virtual unsigned int getMajorVersion() const = 0;
    virtual unsigned int getMinorVersion() const = 0;
    virtual OfxPluginEntryPoint* getMainEntry() const = 0;

 protected:
    ~PluginFactory() = default;
};

using PluginFactoryArray = std::vector<PluginFactory*>;

// Dispatches one action for the factory registered under uid and answers the host's
// status. Never throws: every failure becomes a status.
OfxStatus mainEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs,
                    const std::string& uid) noexcept;

// Gives each concrete factory class its own entry function, bound to the class's
// unique id.
template <class FACTORY>
class FactoryMainEntryHelper {
 protected:
    FactoryMainEntryHelper(const std::string& id, unsigned int major, unsigned int minor)
        : _id(id), _maj(major), _min(minor) {}

    static OfxStatus mainEntryStr(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                                  OfxPropertySetHandle outArgs) {
        return mainEntry(action, handle, inArgs, outArgs, _uid);
    }

    std::string _id;
    unsigned int _maj;
    unsigned int _min;
    static inline std::string _uid;
};

template <class FACTORY>
class PluginFactoryHelper : public PluginFactory, public FactoryMainEntryHelper<FACTORY> {
    using Helper = FactoryMainEntryHelper<FACTORY>;

 public:
    // The unique id is the identifier followed by both versions: a.b version 3.12 is
    // "a.b312". One factory object per concrete class, since the id is class-wide.
    PluginFactoryHelper(const std::string& id, unsigned int major, unsigned int minor) : Helper(id, major, minor) {
        assert(Helper::_uid.empty());
        Helper::_uid = id + std::to_string(major) + std::to_string(minor);
    }

    const std::string& getID() const override { return Helper::_id; }
    const std::string& getUID() const override { return Helper::_uid; }
    unsigned int getMajorVersion() const override { return Helper::_maj; }
    unsigned int getMinorVersion() const override { return Helper::_min; }
    OfxPluginEntryPoint* getMainEntry() const override { return &Helper::mainEntryStr; }

 protected:
    ~PluginFactoryHelper() = default;
};

namespace Plugin {
// Supplied by the plug-in: appends its factories, in plug-in index order.
void getPluginIDs(PluginFactoryArray& ids);
}  // namespace Plugin

}  // namespace OFX
