// The diagnostic log fixes its file when the process starts, so the tests
// restart themselves once with OFX_PLUGIN_LOGFILE naming a file of their own.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/gpu/log_capture.h"

int main(int argc, char** argv) {
    if (std::getenv("OFX_PLUGIN_LOGFILE") == nullptr) {
        const auto log = std::filesystem::temp_directory_path() /
                         ("tonemill-gpu-tests-" + std::to_string(getpid()) + ".log");
        setenv("OFX_PLUGIN_LOGFILE", log.c_str(), 1);
        setenv("TONEMILL_GPU_TESTS_OWN_LOG", "1", 1);
        execv("/proc/self/exe", argv);
        return 127;
    }
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // A log the caller asked for stays for them to read.
    if (std::getenv("TONEMILL_GPU_TESTS_OWN_LOG") != nullptr) {
        std::filesystem::remove(std::getenv("OFX_PLUGIN_LOGFILE"));
    }
    return result;
}
