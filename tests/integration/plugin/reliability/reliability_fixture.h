#pragma once

// A fresh copy of the plug-in with the look tables, plus what every
// reliability check looks at afterwards: which properties an action touched,
// what the log gained, and whether the host got every image back.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "look_tables.h"
#include "plugin_fixture.h"

namespace reliability {

using namespace plugin_integration;

// The refusals a host can answer a property call with, one of each class.
inline const std::vector<OfxStatus> kRefusals = {kOfxStatErrUnknown, kOfxStatErrValue, kOfxStatErrMemory,
                                                 kOfxStatErrBadIndex, kOfxStatFailed};

// The status an action ends with when a property it must read or write is refused.
inline OfxStatus statusForRefusedProperty(OfxStatus refusal) {
    switch (refusal) {
        case kOfxStatErrUnknown:
        case kOfxStatErrUnsupported: return kOfxStatErrMissingHostFeature;
        case kOfxStatErrValue: return kOfxStatFailed;
        default: return refusal;  // memory, bad index and failed pass as the host gave them
    }
}

// The properties named by the success lines of a stretch of the log.
struct TouchedProperties {
    std::set<std::string> read;
    std::set<std::string> written;
};

// The name that follows `marker` in `line`, up to a '[' or ','; empty if none.
inline std::string nameAfter(const std::string& line, const std::string& marker) {
    const size_t at = line.find(marker);
    if (at == std::string::npos) return {};
    const size_t start = at + marker.size();
    return line.substr(start, line.find_first_of("[,", start) - start);
}

inline TouchedProperties touchedProperties(const std::vector<std::string>& lines) {
    TouchedProperties touched;
    for (const auto& line : lines) {
        for (const char* type : {"int", "double", "pointer", "string"}) {
            const std::string read = nameAfter(line, std::string("Retrieved ") + type + " property ");
            if (!read.empty()) touched.read.insert(read);
            const std::string written = nameAfter(line, std::string("Set ") + type + " property ");
            if (!written.empty()) touched.written.insert(written);
        }
        const std::string counted = nameAfter(line, "Fetched dimension of property ");
        if (!counted.empty()) touched.read.insert(counted);
    }
    return touched;
}

class ReliabilityTest : public PluginTest {
 protected:
    void SetUp() override { bundle.writeArchive(lookTables()); }

    // A filter instance with a float RGBA source image of `bounds`.
    std::unique_ptr<Instance> instanceWithSource() {
        auto instance = create();
        if (instance) instance->setImage(kOfxImageEffectSimpleSourceClipName, std::make_shared<HostImage>(bounds));
        return instance;
    }

    RenderResult render(Instance& instance) { return instance.render(renderOf(bounds)); }

    // Log lines written since the last call (all of them on the first).
    std::vector<std::string> newLogLines() {
        std::vector<std::string> lines = logLines();
        std::vector<std::string> fresh(lines.begin() + std::min(lines.size(), seenLines), lines.end());
        seenLines = lines.size();
        return fresh;
    }

    static bool anyLineHas(const std::vector<std::string>& lines, const std::string& a, const std::string& b = {}) {
        for (const auto& line : lines) {
            if (line.find(a) != std::string::npos && line.find(b) != std::string::npos) return true;
        }
        return false;
    }

    // Whether the log names a refused property: an error line, or a warning for a
    // property the host may lack or a write it may decline.
    static bool namesRefusal(const std::vector<std::string>& lines, const std::string& property) {
        return anyLineHas(lines, "ERROR : Failed on", property) ||
               anyLineHas(lines, "WARNING : Host does not have the optional", property) ||
               anyLineHas(lines, "WARNING : Host declined", property);
    }

    // Whether two renders agree on every pixel of `window`.
    static bool samePixels(const HostImage& a, const HostImage& b, OfxRectI window) {
        for (int y = window.y1; y < window.y2; ++y) {
            for (int x = window.x1; x < window.x2; ++x) {
                if (a.pixel(x, y) != b.pixel(x, y)) return false;
            }
        }
        return true;
    }

    const OfxRectI bounds{0, 0, 16, 8};
    size_t seenLines = 0;
};

}  // namespace reliability
