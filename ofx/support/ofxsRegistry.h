#pragma once
// The plug-ins of the library, the records handed to the host for them, and the
// descriptors the describe actions made. Process-wide, filled on the host's first
// question, changed only by the exported functions and the load, unload and describe
// actions.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ofx/support/effect_enums.h"
#include "ofx/support/ofxsFactory.h"
#include "ofx/support/ofxsImageEffect.h"
#include "ofxCore.h"

namespace OFX {

class PluginRegistry {
 public:
    static PluginRegistry& instance();

    // Asks the plug-in for its factories once; nothing is kept when that fails, so the
    // next question asks again.
    void fill();
    int count() const { return static_cast<int>(_factories.size()); }
    // Null, after an error line, for an index outside the plug-in list.
    OfxPlugin* record(int index);

    // Null when no factory has that unique id.
    PluginFactory* findFactory(const std::string& uid) const;

    // Replaces (and deletes) an earlier descriptor of the same plug-in and context.
    void storeDescriptor(const std::string& uid, ContextEnum context,
                         std::unique_ptr<ImageEffectDescriptor> descriptor);
    ImageEffectDescriptor* findDescriptor(const std::string& uid, ContextEnum context) const;
    void forgetDescriptors(const std::string& uid);

 private:
    PluginRegistry() = default;

    bool _initialised = false;
    PluginFactoryArray _factories;
    // Records stay at their address for the life of the library: a host may keep the
    // pointer it was given and read it after an unload.
    std::vector<std::unique_ptr<OfxPlugin>> _records;
    std::map<std::string, PluginFactory*> _byUid;
    std::map<std::string, std::map<ContextEnum, std::unique_ptr<ImageEffectDescriptor>>> _descriptors;
};

}  // namespace OFX
