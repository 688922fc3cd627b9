#pragma once

#include <stdexcept>
#include <string>

#include "host/host.h"

// The host's suite tables, fetched the way a plug-in fetches them.
template <class Suite>
const Suite& fetch(tonemill::host::Host& host, const char* name) {
    auto* suite = static_cast<const Suite*>(host.ofxHost()->fetchSuite(host.ofxHost()->host, name, 1));
    if (!suite) throw std::runtime_error(std::string("suite not granted: ") + name);
    return *suite;
}
