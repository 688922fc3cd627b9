// The order in which the command line looks for its bundle, and what it says
// when none is there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tools/tonemill/bundle_locator.h"
#include "tools/tonemill/cli_error.h"

namespace tonemill::cli {
namespace {

namespace fs = std::filesystem;
using Folders = std::vector<fs::path>;

TEST(BundleSearchOrder, PluginPathThenBesideTheProgramThenTheSystemFolder) {
    EXPECT_EQ(bundleSearchFolders("/studio/ofx::/home/me/ofx:", "/opt/tonemill/bin/tonemill"),
              (Folders{"/studio/ofx", "/home/me/ofx", "/opt/tonemill/OFX/Plugins", "/usr/OFX/Plugins"}));
    EXPECT_EQ(bundleSearchFolders(nullptr, "/opt/tonemill/bin/tonemill"),
              (Folders{"/opt/tonemill/OFX/Plugins", "/usr/OFX/Plugins"}));
    EXPECT_EQ(bundleSearchFolders("", ""), (Folders{"/usr/OFX/Plugins"}));
}

TEST(BundleSearchOrder, TheProgramInABuildTreeFindsThatTreesBundle) {
    EXPECT_EQ(bundleSearchFolders(nullptr, "/src/build/release/tools/tonemill/tonemill"),
              (Folders{"/src/build/release/tools/OFX/Plugins", "/src/build/release", "/usr/OFX/Plugins"}));
}

class BundleLocation : public ::testing::Test {
 protected:
    void SetUp() override {
        const char* previous = std::getenv("OFX_PLUGIN_PATH");
        hadPluginPath_ = previous != nullptr;
        if (previous) previousPluginPath_ = previous;
        scratch_ =
            fs::path(::testing::TempDir()) /
            ("tonemill-bundle-locator-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
    }
    void TearDown() override {
        if (hadPluginPath_)
            ::setenv("OFX_PLUGIN_PATH", previousPluginPath_.c_str(), 1);
        else
            ::unsetenv("OFX_PLUGIN_PATH");
        fs::remove_all(scratch_);
    }

    fs::path scratch_;

 private:
    bool hadPluginPath_ = false;
    std::string previousPluginPath_;
};

TEST_F(BundleLocation, AnExplicitPathWinsAndMustExist) {
    fs::create_directories(scratch_ / "listed" / kBundleName / "Contents");
    fs::create_directories(scratch_ / "chosen.ofx.bundle" / "Contents");
    ::setenv("OFX_PLUGIN_PATH", (scratch_ / "listed").c_str(), 1);
    EXPECT_EQ(locateBundle((scratch_ / "chosen.ofx.bundle").string()), (scratch_ / "chosen.ofx.bundle").string());
    try {
        locateBundle((scratch_ / "missing.ofx.bundle").string());
        FAIL() << "a missing explicit bundle must not fall back to the search";
    } catch (const CliError& error) {
        EXPECT_NE(std::string(error.what()).find("missing.ofx.bundle"), std::string::npos) << error.what();
    }
}

TEST_F(BundleLocation, TheFirstListedFolderHoldingABundleServes) {
    // A folder of that name without Contents is no bundle.
    fs::create_directories(scratch_ / "a" / kBundleName);
    fs::create_directories(scratch_ / "b" / kBundleName / "Contents");
    fs::create_directories(scratch_ / "c" / kBundleName / "Contents");
    const std::string list =
        (scratch_ / "a").string() + ":" + (scratch_ / "b").string() + ":" + (scratch_ / "c").string();
    ::setenv("OFX_PLUGIN_PATH", list.c_str(), 1);
    EXPECT_EQ(locateBundle(""), (scratch_ / "b" / kBundleName).string());
}

TEST_F(BundleLocation, NoBundleAnywhereNamesEveryFolderSearched) {
    if (fs::exists(fs::path("/usr/OFX/Plugins") / kBundleName)) GTEST_SKIP() << "this machine has a bundle installed";
    ::setenv("OFX_PLUGIN_PATH", (scratch_ / "empty").c_str(), 1);
    try {
        locateBundle("");
        FAIL() << "no bundle exists to be found";
    } catch (const CliError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find((scratch_ / "empty").string()), std::string::npos) << message;
        EXPECT_NE(message.find("/usr/OFX/Plugins"), std::string::npos) << message;
        EXPECT_NE(message.find("--bundle"), std::string::npos) << message;
    }
}

}  // namespace
}  // namespace tonemill::cli
