#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/fault_plan.h"
#include "host/host_profile.h"
#include "host/ledgers.h"
#include "host/property_set.h"
#include "ofxCore.h"

namespace tonemill::host {

class Bundle;

struct SuiteRequest {
    std::string name;
    int version = 0;
    bool granted = false;
};

struct HostMessage {
    void* handle = nullptr;
    std::string type;
    std::string id;
    std::string text;
};

struct ProgressEvent {
    enum class Kind { Start, Update, End } kind = Kind::Start;
    void* instance = nullptr;
    std::string label;
    double progress = 0.0;
};

// An OpenFX host. The C suites have no context argument, so they answer for the
// one Host that exists in the process: constructing a second while one lives
// throws std::logic_error. Bundles opened by the host stay open until it is
// destroyed; instances must be destroyed before their host.
class Host {
 public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The host that exists now, or null.
    static Host* active();

    // What the plug-in reads as the host's description; change values before loading.
    PropertySet& description() { return description_; }
    FaultPlan& faults() { return faults_; }
    // Plays an older or stricter host: trims the description now, and shapes the
    // descriptors, render arguments and parameter writes from then on. Set it before
    // loading a plug-in.
    void setProfile(const HostProfile& profile);
    const HostProfile& profile() const { return profile_; }
    const FaultPlan& faults() const { return faults_; }
    OfxHost* ofxHost() { return &ofxHost_; }

    // CPUs reported by multiThreadNumCPUs and the most threads multiThread starts at once.
    unsigned cpuCount() const { return cpuCount_; }
    void setCpuCount(unsigned count) { cpuCount_ = count == 0 ? 1 : count; }

    // Time and bounds the time line suite reports.
    double time() const { return time_.load(); }
    void setTime(double time) { time_.store(time); }
    OfxRangeD timeBounds() const { return timeBounds_; }
    void setTimeBounds(OfxRangeD bounds) { timeBounds_ = bounds; }

    // The reply the message suite gives to questions (kOfxStatReplyYes or kOfxStatReplyNo).
    OfxStatus questionReply = kOfxStatReplyYes;

    // Opens a bundle folder (NAME.ofx.bundle) or a plug-in library file. Throws
    // std::runtime_error naming the path and the loader's complaint.
    Bundle& openBundle(const std::string& path);

    // What happened, for tests.
    std::vector<SuiteRequest> suiteRequests() const;
    std::vector<HostMessage> messages() const;
    std::vector<ProgressEvent> progressEvents() const;
    // Exceptions a plug-in let escape through a C entry point ("action: what"); a
    // host must never see one, so each is caught, recorded and answered kOfxStatErrFatal.
    std::vector<std::string> escapedExceptions() const;
    void clearRecords();
    ImageCounts imageCounts() const { return images_.counts(); }

    // Used by the suites.
    const void* fetchSuite(const char* name, int version);
    ImageLedger& images() { return images_; }
    MemoryLedger& memory() { return memory_; }
    void recordMessage(HostMessage message);
    void recordProgress(ProgressEvent event);
    void recordEscape(std::string where);

 private:
    static const void* fetchSuiteThunk(OfxPropertySetHandle host, const char* name, int version);

    PropertySet description_;
    FaultPlan faults_;
    HostProfile profile_;
    OfxHost ofxHost_{};
    unsigned cpuCount_ = 1;
    std::atomic<double> time_{0.0};
    OfxRangeD timeBounds_{0.0, 100.0};
    ImageLedger images_;
    MemoryLedger memory_;
    mutable std::mutex recordsMutex_;
    std::vector<SuiteRequest> suiteRequests_;
    std::vector<HostMessage> messages_;
    std::vector<ProgressEvent> progress_;
    std::vector<std::string> escapes_;
    std::vector<std::unique_ptr<Bundle>> bundles_;
};

}  // namespace tonemill::host
