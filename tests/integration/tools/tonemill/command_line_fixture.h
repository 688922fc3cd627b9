// What the command line tests share: running tonemill as a user runs it, in a
// scratch folder of each test's own, and renders of the same bundle driven
// in-process through the host library to compare with.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/bundle.h"
#include "host/host.h"
#include "host/instance.h"
#include "tools/tonemill/image_files.h"

namespace tonemill::testing {

namespace fs = std::filesystem;

struct CliRun {
    int exitCode = -1;
    std::string errors;
};

inline std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The shipped look files of the source tree, in name order.
inline std::vector<fs::path> sourceLooks() {
    std::vector<fs::path> looks;
    for (const auto& entry : fs::directory_iterator(fs::path(TONEMILL_SOURCE_DIR) / "looks"))
        if (entry.path().extension() == ".look") looks.push_back(entry.path());
    std::sort(looks.begin(), looks.end());
    return looks;
}

class CommandLineTest : public ::testing::Test {
 protected:
    void SetUp() override {
        // The process id keeps two test runs on one machine (two checkouts) apart.
        scratch_ = fs::path(::testing::TempDir()) /
                   ("tonemill-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                    "-" + std::to_string(::getpid()));
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
    }
    void TearDown() override { fs::remove_all(scratch_); }

    fs::path at(const std::string& name) const { return scratch_ / name; }

    // `prefix` goes before the command in the shell, for limits such as "ulimit -f 64;";
    // `output` is where the shell sends standard output.
    CliRun tonemill(const std::vector<std::string>& arguments, const std::string& prefix = "",
                    const std::string& output = "> /dev/null") const {
        // Built by appending: GCC 12 misreads "text" + string at -O3 (-Wrestrict).
        std::string command = prefix;
        command.append("OFX_PLUGIN_PATH=");
        command.append(quoted(TONEMILL_BUILD_DIR)).append(" ").append(quoted(TONEMILL_CLI));
        for (const std::string& argument : arguments) command.append(" ").append(quoted(argument));
        const fs::path errors = at("stderr.txt");
        command.append(" ").append(output).append(" 2> ").append(quoted(errors.string()));
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readAll(errors)};
    }

    // A small picture with colours across [0, 1] and a few beyond.
    static std::shared_ptr<host::HostImage> sampleImage() {
        auto image = host::HostImage::rgbaFloat({0, 0, 48, 20});
        image->fill([](int x, int y) -> host::RgbaPixel {
            return {x / 40.0f, y / 19.0f, 0.5f + 0.5f * std::sin(0.3f * (x + y)), 1.0f};
        });
        return image;
    }

    // The look of writeLook() with gain=1.2: "ARRI Log C", contrast "F1".
    static std::vector<std::pair<std::string, host::ParamValue>> sampleLook() {
        return {{"idtProfile", host::ParamValue(2)},
                {"contrastOptions", host::ParamValue(1)},
                {"gain", host::ParamValue(1.2)}};
    }

    // The same look rendered in-process, through the host library, the whole frame at once.
    static std::shared_ptr<host::HostImage> referenceRender(
        std::shared_ptr<host::HostImage> source,
        const std::vector<std::pair<std::string, host::ParamValue>>& values = sampleLook()) {
        host::Host host;
        host::Plugin& plugin = host.openBundle(TONEMILL_BUNDLE_DIR).plugin(0);
        plugin.load();
        plugin.describe();
        auto instance = plugin.createInstance(kOfxImageEffectContextFilter);
        for (const auto& [name, value] : values) instance->setValue(name, value);
        const OfxRectI bounds = source->bounds();
        instance->setImage("Source", std::move(source));
        host::RenderRequest request;
        request.window = bounds;
        auto result = instance->render(request);
        EXPECT_EQ(result.status, kOfxStatOK);
        instance.reset();
        plugin.unload();
        return result.output;
    }

    void writeLook() const {
        std::ofstream look(at("grade.look"));
        look << "# kept in version control\nidtProfile=ARRI Log C\ncontrastOptions=1\n";
    }

    static void expectClose(const host::HostImage& actual, const host::HostImage& expected, float tolerance) {
        ASSERT_EQ(actual.width(), expected.width());
        ASSERT_EQ(actual.height(), expected.height());
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(actual.pixel(x, y)[c], expected.pixel(x, y)[c], tolerance)
                        << x << "," << y << " channel " << c;
    }

    fs::path scratch_;
};

}  // namespace tonemill::testing
