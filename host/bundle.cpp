#include "host/bundle.h"

#include <filesystem>
#include <stdexcept>

#include "host/host.h"
#include "host/instance.h"
#include "host/standard_properties.h"
#include "ofxImageEffect.h"

namespace tonemill::host {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kArchitectureFolder = "Win64";
#else
constexpr const char* kArchitectureFolder = "Linux-x86-64";
#endif
// Opened as the widespread hosts open plug-ins, so that closing the bundle
// really unloads a library that allows it: a plug-in must survive being freed.
constexpr SharedLibrary::Residence kResidence = SharedLibrary::Residence::UnloadOnClose;

// NAME.ofx.bundle holds Contents/<architecture>/NAME.ofx; a library file sits three
// levels below its bundle folder.
void locate(const std::string& path, std::string& bundlePath, std::string& libraryPath) {
    const fs::path given(path);
    std::error_code error;
    if (fs::is_directory(given, error)) {
        std::string name = given.filename().string();
        if (name.empty()) name = given.parent_path().filename().string();
        const std::string suffix = ".ofx.bundle";
        if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            throw std::runtime_error("'" + path + "' is not a plug-in bundle: its name does not end in " + suffix);
        const std::string stem = name.substr(0, name.size() - suffix.size());
        bundlePath = path;
        libraryPath = (given / "Contents" / kArchitectureFolder / (stem + ".ofx")).string();
    } else {
        libraryPath = path;
        bundlePath = given.parent_path().parent_path().parent_path().string();
    }
    if (!fs::is_regular_file(libraryPath, error))
        throw std::runtime_error("plug-in library '" + libraryPath + "' does not exist");
}

}  // namespace

Bundle::Bundle(Host& host, const std::string& path) : host_(host) {
    locate(path, bundlePath_, libraryPath_);
    try {
        library_ = std::make_unique<SharedLibrary>(libraryPath_, kResidence);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error("cannot load plug-in library '" + libraryPath_ + "': " + error.what());
    }
    getNumberOfPlugins_ = reinterpret_cast<int (*)()>(library_->symbol("OfxGetNumberOfPlugins"));
    getPlugin_ = reinterpret_cast<OfxPlugin* (*)(int)>(library_->symbol("OfxGetPlugin"));
    if (!getNumberOfPlugins_ || !getPlugin_)
        throw std::runtime_error("plug-in library '" + libraryPath_ +
                                 "' does not export OfxGetNumberOfPlugins and OfxGetPlugin");
}

Bundle::~Bundle() {
    plugins_.clear();
}

int Bundle::pluginCount() {
    try {
        return getNumberOfPlugins_();
    } catch (...) {
        host_.recordEscape("OfxGetNumberOfPlugins");
        return 0;
    }
}

OfxPlugin* Bundle::rawPlugin(int index) {
    try {
        return getPlugin_(index);
    } catch (...) {
        host_.recordEscape("OfxGetPlugin");
        return nullptr;
    }
}

Plugin& Bundle::plugin(int index, bool handOverHost) {
    auto it = plugins_.find(index);
    if (it != plugins_.end()) return *it->second;
    OfxPlugin* record = rawPlugin(index);
    if (!record)
        throw std::out_of_range("plug-in library '" + libraryPath_ + "' has no plug-in " + std::to_string(index));
    return *plugins_.emplace(index, std::make_unique<Plugin>(host_, *this, record, handOverHost)).first->second;
}

Plugin::Plugin(Host& host, Bundle& bundle, OfxPlugin* record, bool handOverHost)
    : host_(host), bundle_(bundle), record_(record) {
    if (handOverHost) setHost();
}

Plugin::~Plugin() = default;

std::string Plugin::identifier() const {
    return record_->pluginIdentifier ? record_->pluginIdentifier : "";
}

void Plugin::setHost() {
    if (!record_->setHost) return;
    try {
        record_->setHost(host_.ofxHost());
    } catch (...) {
        host_.recordEscape("setHost");
    }
}

OfxStatus Plugin::action(const char* name, const void* handle, PropertySet* inArgs, PropertySet* outArgs) {
    if (!record_->mainEntry) return kOfxStatErrMissingHostFeature;
    try {
        return record_->mainEntry(name, handle, inArgs ? inArgs->handle() : nullptr,
                                  outArgs ? outArgs->handle() : nullptr);
    } catch (const std::exception& error) {
        host_.recordEscape(std::string(name ? name : "(null action)") + ": " + error.what());
    } catch (...) {
        host_.recordEscape(std::string(name ? name : "(null action)") + ": unknown exception");
    }
    return kOfxStatErrFatal;
}

OfxStatus Plugin::load() {
    return action(kOfxActionLoad, nullptr, nullptr, nullptr);
}

OfxStatus Plugin::unload() {
    OfxStatus status = action(kOfxActionUnload, nullptr, nullptr, nullptr);
    descriptor_.reset();
    std::lock_guard lock(descriptorsMutex_);
    contextDescriptors_.clear();
    return status;
}

OfxStatus Plugin::describe() {
    descriptor_ = std::make_unique<Effect>(effectDescriptorProperties(bundle_.bundlePath(), host_.profile()));
    return action(kOfxActionDescribe, descriptor_->handle(), nullptr, nullptr);
}

OfxStatus Plugin::describeInContext(const std::string& context) {
    auto descriptor = descriptor_
                          ? descriptor_->cloneDescriptor()
                          : std::make_unique<Effect>(effectDescriptorProperties(bundle_.bundlePath(), host_.profile()));
    PropertySet inArgs("describe-in-context arguments");
    inArgs.defineString(kOfxImageEffectPropContext, {context}, PropertyOptions{false, true});
    OfxStatus status = action(kOfxImageEffectActionDescribeInContext, descriptor->handle(), &inArgs, nullptr);
    std::lock_guard lock(descriptorsMutex_);
    contextDescriptors_[context] = std::move(descriptor);
    return status;
}

Effect* Plugin::contextDescriptor(const std::string& context) {
    std::lock_guard lock(descriptorsMutex_);
    auto it = contextDescriptors_.find(context);
    return it == contextDescriptors_.end() ? nullptr : it->second.get();
}

std::unique_ptr<Instance> Plugin::createInstance(const std::string& context, OfxStatus* status) {
    OfxStatus result = kOfxStatOK;
    if (!contextDescriptor(context)) result = describeInContext(context);
    std::unique_ptr<Instance> instance;
    if (result == kOfxStatOK) {
        std::unique_ptr<Effect> effect;
        {
            std::lock_guard lock(descriptorsMutex_);
            effect = contextDescriptors_.at(context)->instantiate(context);
        }
        instance = std::make_unique<Instance>(*this, std::move(effect), context);
        result = instance->create();
        if (result != kOfxStatOK) instance.reset();
    }
    if (status) *status = result;
    return instance;
}

}  // namespace tonemill::host
