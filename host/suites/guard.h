#pragma once

#include <new>
#include <optional>

#include "host/host.h"

namespace tonemill::host::suites {

// Runs a suite body so that no C++ exception reaches the plug-in across the C API.
template <class Fn>
OfxStatus guarded(Fn&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return kOfxStatErrMemory;
    } catch (...) {
        return kOfxStatFailed;
    }
}

// The status planned for this suite function, if any.
inline std::optional<OfxStatus> planned(const char* function) {
    const Host* host = Host::active();
    return host ? host->faults().suiteCall(function) : std::nullopt;
}

}  // namespace tonemill::host::suites
