#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "ofxCore.h"

namespace tonemill::host {

// Faults the host injects into its answers, to see how a plug-in copes with a
// host that lacks something or refuses a call. Change the plan between actions,
// not while one runs: suite calls read it without a lock.
struct FaultPlan {
    // Suites fetchSuite answers with null, by suite name ("OfxMultiThreadSuite").
    std::set<std::string> withheldSuites;

    // Property suite calls on a property of this name, in any set, answer with the
    // status instead of doing anything. Gets cover the single, N and dimension calls.
    std::map<std::string, OfxStatus, std::less<>> propertyGetStatus;
    std::map<std::string, OfxStatus, std::less<>> propertySetStatus;
    // String gets of these properties answer kOfxStatOK with a null text.
    std::set<std::string, std::less<>> nullStringProperties;

    // Any suite function, by its member name ("clipGetImage", "paramGetHandle",
    // "multiThread", "multiThreadNumCPUs", "memoryAlloc", "imageMemoryAlloc", ...),
    // answers with the status without doing anything. For abort and
    // multiThreadIsSpawnedThread, which return an int, the status is returned as it is.
    std::map<std::string, OfxStatus, std::less<>> suiteCallStatus;

    // Like suiteCallStatus, but only after the function has succeeded this many
    // times (to fail the second image fetch of a render, say).
    struct LaterFault {
        std::shared_ptr<std::atomic<int>> successesLeft;
        OfxStatus status;
    };
    std::map<std::string, LaterFault, std::less<>> laterSuiteCallStatus;

    // Images handed out by clipGetImage claim this depth or these components,
    // whatever the clip and the pixels are.
    std::optional<std::string> imageDepth;
    std::optional<std::string> imageComponents;

    // The memory and image memory suites refuse every allocation above this many
    // bytes with kOfxStatErrMemory (0 refuses them all).
    std::optional<size_t> allocationLimit;

    void withholdSuite(const std::string& suite) { withheldSuites.insert(suite); }
    void failPropertyGet(const std::string& property, OfxStatus status) { propertyGetStatus[property] = status; }
    void failPropertySet(const std::string& property, OfxStatus status) { propertySetStatus[property] = status; }
    void failSuiteCall(const std::string& function, OfxStatus status) { suiteCallStatus[function] = status; }
    void failSuiteCallAfter(const std::string& function, int successes, OfxStatus status) {
        laterSuiteCallStatus[function] = LaterFault{std::make_shared<std::atomic<int>>(successes), status};
    }
    void exhaustMemory() { allocationLimit = 0; }

    std::optional<OfxStatus> suiteCall(std::string_view function) const {
        if (auto status = lookup(suiteCallStatus, function)) return status;
        if (laterSuiteCallStatus.empty()) return std::nullopt;
        auto it = laterSuiteCallStatus.find(function);
        if (it == laterSuiteCallStatus.end() || it->second.successesLeft->fetch_sub(1) > 0) return std::nullopt;
        return it->second.status;
    }
    std::optional<OfxStatus> propertyGet(std::string_view property) const {
        return lookup(propertyGetStatus, property);
    }
    std::optional<OfxStatus> propertySet(std::string_view property) const {
        return lookup(propertySetStatus, property);
    }

 private:
    static std::optional<OfxStatus> lookup(const std::map<std::string, OfxStatus, std::less<>>& table,
                                           std::string_view name) {
        if (table.empty()) return std::nullopt;
        auto it = table.find(name);
        if (it == table.end()) return std::nullopt;
        return it->second;
    }
};

}  // namespace tonemill::host
