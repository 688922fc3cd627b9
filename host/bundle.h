#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "host/effect.h"
#include "host/property_set.h"
#include "host/shared_library.h"
#include "ofxCore.h"

namespace tonemill::host {

class Host;
class Instance;
class Plugin;

// A plug-in library opened from a bundle folder (NAME.ofx.bundle, the library being
// Contents/Linux-x86-64/NAME.ofx, or Contents/Win64/NAME.ofx on Windows) or from the
// library file itself.
class Bundle {
 public:
    // Throws std::runtime_error naming the path and what went wrong.
    Bundle(Host& host, const std::string& path);
    ~Bundle();
    Bundle(const Bundle&) = delete;
    Bundle& operator=(const Bundle&) = delete;

    const std::string& bundlePath() const { return bundlePath_; }
    const std::string& libraryPath() const { return libraryPath_; }

    // OfxGetNumberOfPlugins and OfxGetPlugin, called as they are.
    int pluginCount();
    OfxPlugin* rawPlugin(int index);

    // The plug-in at an index, with the host handed to it (set-host called) unless
    // handOverHost is false; the first call for an index decides. Throws
    // std::out_of_range when the library has no record for the index.
    Plugin& plugin(int index = 0, bool handOverHost = true);

 private:
    Host& host_;
    std::string bundlePath_;
    std::string libraryPath_;
    std::unique_ptr<SharedLibrary> library_;
    int (*getNumberOfPlugins_)() = nullptr;
    OfxPlugin* (*getPlugin_)(int) = nullptr;
    std::map<int, std::unique_ptr<Plugin>> plugins_;
};

// One plug-in of a bundle: sends it the plug-in level actions and keeps the
// descriptors the describe actions filled in.
class Plugin {
 public:
    Plugin(Host& host, Bundle& bundle, OfxPlugin* record, bool handOverHost = true);
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    Host& host() { return host_; }
    Bundle& bundle() { return bundle_; }
    OfxPlugin* record() { return record_; }
    std::string identifier() const;

    // Hands the host structure to the plug-in (the constructor normally does).
    void setHost();

    OfxStatus load();
    OfxStatus unload();
    OfxStatus describe();
    OfxStatus describeInContext(const std::string& context);

    // Any action, with handle and arguments as given (each may be null).
    OfxStatus action(const char* name, const void* handle, PropertySet* inArgs, PropertySet* outArgs);

    // Descriptors made by the describe actions; null before them.
    Effect* descriptor() { return descriptor_.get(); }
    Effect* contextDescriptor(const std::string& context);

    // Makes an instance in a context and sends the create-instance action, describing
    // the context first if that has not been done. Null when an action fails; the
    // status says which.
    std::unique_ptr<Instance> createInstance(const std::string& context, OfxStatus* status = nullptr);

 private:
    Host& host_;
    Bundle& bundle_;
    OfxPlugin* record_;
    std::unique_ptr<Effect> descriptor_;
    // Instances may be created on several threads; descriptors are made on one at a time.
    std::mutex descriptorsMutex_;
    std::map<std::string, std::unique_ptr<Effect>> contextDescriptors_;
};

}  // namespace tonemill::host
