#include "host/host.h"

#include <cstring>
#include <stdexcept>
#include <thread>

#include "host/bundle.h"
#include "host/standard_properties.h"
#include "host/suites/suites.h"
#include "ofxImageEffect.h"
#include "ofxMemory.h"
#include "ofxMessage.h"
#include "ofxMultiThread.h"
#include "ofxProgress.h"
#include "ofxProperty.h"
#include "ofxTimeLine.h"

namespace tonemill::host {
namespace {

// The one host the suites answer for (see Host).
std::atomic<Host*> activeHost{nullptr};

}  // namespace

Host::Host() : description_(hostDescriptionProperties()) {
    Host* expected = nullptr;
    if (!activeHost.compare_exchange_strong(expected, this))
        throw std::logic_error("an OpenFX host already exists in this process");
    ofxHost_.host = description_.handle();
    ofxHost_.fetchSuite = &Host::fetchSuiteThunk;
    setCpuCount(std::thread::hardware_concurrency());
}

Host::~Host() {
    bundles_.clear();
    activeHost.store(nullptr);
}

Host* Host::active() {
    return activeHost.load();
}

void Host::setProfile(const HostProfile& profile) {
    profile_ = profile;
    trimToProfile(description_, profile);
}

Bundle& Host::openBundle(const std::string& path) {
    bundles_.push_back(std::make_unique<Bundle>(*this, path));
    return *bundles_.back();
}

const void* Host::fetchSuiteThunk(OfxPropertySetHandle host, const char* name, int version) {
    Host* self = active();
    (void)host;  // plug-ins pass the description handle back; nothing depends on it
    if (!self || !name) return nullptr;
    return self->fetchSuite(name, version);
}

const void* Host::fetchSuite(const char* name, int version) {
    const void* suite = nullptr;
    if (version == 1 && !faults_.withheldSuites.count(name)) {
        const std::string_view wanted(name);
        if (wanted == kOfxPropertySuite)
            suite = &suites::propertySuite();
        else if (wanted == kOfxParameterSuite)
            suite = &suites::parameterSuite();
        else if (wanted == kOfxImageEffectSuite)
            suite = &suites::imageEffectSuite();
        else if (wanted == kOfxMultiThreadSuite)
            suite = &suites::multiThreadSuite();
        else if (wanted == kOfxMemorySuite)
            suite = &suites::memorySuite();
        else if (wanted == kOfxMessageSuite)
            suite = &suites::messageSuite();
        else if (wanted == kOfxProgressSuite)
            suite = &suites::progressSuite();
        else if (wanted == kOfxTimeLineSuite)
            suite = &suites::timeLineSuite();
        else if (wanted == kOfxInteractSuite)
            suite = &suites::interactSuite();
    }
    std::lock_guard lock(recordsMutex_);
    suiteRequests_.push_back(SuiteRequest{name, version, suite != nullptr});
    return suite;
}

std::vector<SuiteRequest> Host::suiteRequests() const {
    std::lock_guard lock(recordsMutex_);
    return suiteRequests_;
}

std::vector<HostMessage> Host::messages() const {
    std::lock_guard lock(recordsMutex_);
    return messages_;
}

std::vector<ProgressEvent> Host::progressEvents() const {
    std::lock_guard lock(recordsMutex_);
    return progress_;
}

std::vector<std::string> Host::escapedExceptions() const {
    std::lock_guard lock(recordsMutex_);
    return escapes_;
}

void Host::recordEscape(std::string where) {
    std::lock_guard lock(recordsMutex_);
    escapes_.push_back(std::move(where));
}

void Host::clearRecords() {
    std::lock_guard lock(recordsMutex_);
    escapes_.clear();
    suiteRequests_.clear();
    messages_.clear();
    progress_.clear();
}

void Host::recordMessage(HostMessage message) {
    std::lock_guard lock(recordsMutex_);
    messages_.push_back(std::move(message));
}

void Host::recordProgress(ProgressEvent event) {
    std::lock_guard lock(recordsMutex_);
    progress_.push_back(std::move(event));
}

}  // namespace tonemill::host
