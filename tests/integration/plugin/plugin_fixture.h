#pragma once

// Loads a fresh copy of the built plug-in library from a scratch bundle through
// the host library, so each test starts with empty process-wide caches, and
// gives it the archive and test images the test asks for.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/bundle.h"
#include "host/host.h"
#include "host/instance.h"
#include "scratch_bundle.h"

namespace plugin_integration {

using namespace tonemill::host;
using ChromvaleBeta2::testing::ScratchBundle;

inline constexpr const char* kFilter = kOfxImageEffectContextFilter;
inline constexpr const char* kGeneral = kOfxImageEffectContextGeneral;

// A CPU render of `window` at time 0 into an output image of `outputBounds`
// (empty: the source image's bounds).
inline RenderRequest renderOf(OfxRectI window, OfxRectI outputBounds = {0, 0, 0, 0}) {
    RenderRequest request;
    request.window = window;
    request.outputBounds = outputBounds;
    return request;
}

class PluginTest : public ::testing::Test {
 protected:
    PluginTest() : bundle(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        bundle.installLibrary(TONEMILL_PLUGIN_LIBRARY);
    }

    void TearDown() override {
        host.reset();
        ::unsetenv("OFX_PLUGIN_LOGFILE");
    }

    // Loads the library (with the log on) and describes the plug-in.
    Plugin& plugin() {
        if (!loaded) {
            ::setenv("OFX_PLUGIN_LOGFILE", logPath().c_str(), 1);
            host = std::make_unique<Host>();
            loaded = &host->openBundle(bundle.root().string()).plugin(0);
            EXPECT_EQ(loaded->load(), kOfxStatOK);
            EXPECT_EQ(loaded->describe(), kOfxStatOK);
        }
        return *loaded;
    }

    std::unique_ptr<Instance> create(const std::string& context = kFilter) {
        OfxStatus status = kOfxStatFailed;
        auto instance = plugin().createInstance(context, &status);
        EXPECT_EQ(status, kOfxStatOK) << "creating an instance in " << context;
        return instance;
    }

    std::string logPath() const { return (bundle.root() / "ofx.log").string(); }

    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        std::ifstream in(logPath());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // Lines of the log that contain `text`.
    int logCount(const std::string& text) const {
        int count = 0;
        for (const auto& line : logLines()) count += line.find(text) != std::string::npos;
        return count;
    }

    ScratchBundle bundle;
    std::unique_ptr<Host> host;
    Plugin* loaded = nullptr;
};

}  // namespace plugin_integration
