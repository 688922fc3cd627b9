// The plug-in registry and the two functions a host finds in the library.

#include "ofx/support/ofxsRegistry.h"

#include "ofx/support/ofxsHostBinding.h"
#include "ofx/support/ofxsLog.h"
#include "ofxImageEffect.h"

namespace OFX {
namespace {

std::unique_ptr<OfxPlugin> makeRecord(const PluginFactory& factory) {
    auto record = std::make_unique<OfxPlugin>();
    record->pluginApi = kOfxImageEffectPluginApi;
    record->apiVersion = kOfxImageEffectPluginApiVersion;
    record->pluginIdentifier = factory.getID().c_str();
    record->pluginVersionMajor = factory.getMajorVersion();
    record->pluginVersionMinor = factory.getMinorVersion();
    record->setHost = &Private::setHost;
    record->mainEntry = factory.getMainEntry();
    return record;
}

}  // namespace

PluginRegistry& PluginRegistry::instance() {
    static PluginRegistry registry;
    return registry;
}

void PluginRegistry::fill() {
    if (_initialised) return;
    try {
        Plugin::getPluginIDs(_factories);
        _records.resize(_factories.size());
        for (std::size_t index = 0; index < _factories.size(); ++index) {
            PluginFactory* factory = _factories[index];
            if (!_records[index]) _records[index] = makeRecord(*factory);
            _byUid[factory->getUID()] = factory;
        }
    } catch (...) {
        _factories.clear();
        _records.clear();
        _byUid.clear();
        throw;
    }
    _initialised = true;
}

OfxPlugin* PluginRegistry::record(int index) {
    if (index < 0 || index >= count()) {
        Log::error(true,
                   "Host attempted to get plugin %d, when there is only %d plugin(s), so it should have asked for 0.",
                   index, count());
        return nullptr;
    }
    return _records[index].get();
}

PluginFactory* PluginRegistry::findFactory(const std::string& uid) const {
    auto found = _byUid.find(uid);
    return found == _byUid.end() ? nullptr : found->second;
}

void PluginRegistry::storeDescriptor(const std::string& uid, ContextEnum context,
                                     std::unique_ptr<ImageEffectDescriptor> descriptor) {
    _descriptors[uid][context] = std::move(descriptor);
}

ImageEffectDescriptor* PluginRegistry::findDescriptor(const std::string& uid, ContextEnum context) const {
    auto plugin = _descriptors.find(uid);
    if (plugin == _descriptors.end()) return nullptr;
    auto found = plugin->second.find(context);
    return found == plugin->second.end() ? nullptr : found->second.get();
}

void PluginRegistry::forgetDescriptors(const std::string& uid) {
    auto plugin = _descriptors.find(uid);
    if (plugin != _descriptors.end()) plugin->second.clear();
}

namespace Private {
ImageEffectDescriptor* findDescriptor(const std::string& uid, ContextEnum context) {
    return PluginRegistry::instance().findDescriptor(uid, context);
}
}  // namespace Private

}  // namespace OFX

// No exception may reach the host: a registry that cannot be filled offers nothing.

OfxExport int OfxGetNumberOfPlugins(void) {
    try {
        OFX::PluginRegistry& registry = OFX::PluginRegistry::instance();
        registry.fill();
        return registry.count();
    } catch (...) {
        return 0;
    }
}

OfxExport OfxPlugin* OfxGetPlugin(int nth) {
    try {
        OFX::PluginRegistry& registry = OFX::PluginRegistry::instance();
        registry.fill();
        return registry.record(nth);
    } catch (...) {
        return nullptr;
    }
}
