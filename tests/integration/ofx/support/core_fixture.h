#pragma once
// Drives the support-layer test plug-in through the host library. Every test loads
// its own copy of the bundle, so the library's process-wide state (registry, load
// count, suites, host description, log) starts fresh whatever ran before.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/bundle.h"
#include "host/host.h"

namespace support_core {

namespace fs = std::filesystem;

class CoreTest : public ::testing::Test {
 protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        // Beside the built bundle rather than in /tmp, which may forbid loading libraries.
        dir_ = fs::path(CORE_TEST_BUNDLE).parent_path() / "runs" / (name + "_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy(CORE_TEST_BUNDLE, dir_ / "CoreTest.ofx.bundle", fs::copy_options::recursive);
        logPath_ = dir_ / "ofx.log";
        host_ = std::make_unique<tonemill::host::Host>();
    }

    void TearDown() override {
        host_.reset();
        ::unsetenv("OFX_PLUGIN_LOGFILE");
        ::unsetenv("CORE_TEST_DESCRIBE_FAILURE");
        fs::remove_all(dir_);
    }

    // The library reads the log variable when it is loaded, so it is set here.
    tonemill::host::Bundle& open(bool withLog = true) {
        if (withLog)
            ::setenv("OFX_PLUGIN_LOGFILE", logPath_.c_str(), 1);
        else
            ::unsetenv("OFX_PLUGIN_LOGFILE");
        return host_->openBundle((dir_ / "CoreTest.ofx.bundle").string());
    }

    tonemill::host::Plugin& effectPlugin() { return open().plugin(0); }

    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        std::ifstream in(logPath_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    bool logHas(const std::string& line) const {
        const auto lines = logLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // The line after the first occurrence of `line`, or "" when there is none.
    std::string logLineAfter(const std::string& line) const {
        const auto lines = logLines();
        auto found = std::find(lines.begin(), lines.end(), line);
        return found == lines.end() || found + 1 == lines.end() ? std::string() : *(found + 1);
    }

    int suiteRequestCount(const std::string& suite) const {
        const auto requests = host_->suiteRequests();
        return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                              [&](const auto& request) { return request.name == suite; }));
    }

    fs::path dir_;
    fs::path logPath_;
    std::unique_ptr<tonemill::host::Host> host_;
};

}  // namespace support_core
