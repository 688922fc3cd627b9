#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "gpu/opencl_launcher.h"
#include "ofx/support/ofxsCore.h"
#include "tests/unit/gpu/log_capture.h"
#include "tests/unit/gpu/look_fixture.h"
#include "tests/unit/gpu/opencl_fixture.h"

namespace ChromvaleBeta2::testing {
namespace {

class OpenClLauncher : public ::testing::Test {
 protected:
    void SetUp() override {
        device_ = OpenClDevice::instance();
        if (device_ == nullptr) GTEST_SKIP() << "no OpenCL device on this machine";
        kernels_ = TestArchive::withKernelSources();
    }

    // Renders `look` on `queue` and returns the destination after the queue has finished.
    std::vector<float> render(cl_command_queue queue, Look& look, const std::vector<float>& source,
                              int width, int height, LutArchive* archive) {
        look.settings.lutArchive = archive;
        cl_mem input = device_->newBuffer(source);
        cl_mem output = device_->newBuffer(std::vector<float>(source.size(), -7.0f));
        launchOpenClPipeline(queue, width, height, look.settings, input, output);
        return device_->read(queue, output, source.size());
    }

    ::testing::AssertionResult matchesCpuOnNewQueue(Look& look, int width, int height) {
        return matchesCpu(look, width, height, [&](Look& l, const std::vector<float>& source, int w, int h) {
            return render(device_->newQueue(), l, source, w, h, kernels_->archive());
        });
    }

    OpenClDevice* device_ = nullptr;
    std::unique_ptr<TestArchive> kernels_;
};

TEST_F(OpenClLauncher, MatchesTheCpuChainWithEveryStageAndEachTestView) {
    const std::pair<TestView, const char*> views[] = {{TestView::kNone, "all stages"},
                                                      {TestView::kTestImage, "test image"},
                                                      {TestView::kZoneLut, "zone LUT"},
                                                      {TestView::kZoneOverlay, "zone overlay"}};
    for (const auto& [view, name] : views) {
        Look look(true, view);
        EXPECT_TRUE(matchesCpuOnNewQueue(look, 64, 8)) << name;
    }
    // No table and no picture: nothing to upload, the kernel still grades.
    Look parametricOnly(false, TestView::kNone);
    parametricOnly.settings.saturation = -0.5f;
    parametricOnly.settings.gamma[1] = 0.0f;
    EXPECT_TRUE(matchesCpuOnNewQueue(parametricOnly, 64, 8)) << "parametric only";
}

TEST_F(OpenClLauncher, CoversRowsOfAnyWidthAndTilesTheTestViews) {
    // Work-groups are as wide as the device allows, so most rows end inside one.
    for (int width : {1, 257, 1000}) {
        Look look(true, TestView::kZoneOverlay);
        EXPECT_TRUE(matchesCpuOnNewQueue(look, width, 3)) << "width " << width;
    }
    Look tiled(false, TestView::kTestImage);
    EXPECT_TRUE(matchesCpuOnNewQueue(tiled, 1925, 1083)) << "frame larger than the test image";
}

TEST_F(OpenClLauncher, BuildsOncePerQueue) {
    cl_command_queue queue = device_->newQueue();
    Look look(true, TestView::kNone);
    const std::vector<float> source = sourcePixels(32, 2);
    const std::vector<float> expected = cpuRender(look.settings, source, 32, 2);
    render(queue, look, source, 32, 2, kernels_->archive());

    // Without any archive a second build could read nothing, so a render that
    // still succeeds, silently, used the cached kernel.
    LogCapture log;
    const std::vector<float> second = render(queue, look, source, 32, 2, nullptr);
    EXPECT_EQ(log.text(), "");
    EXPECT_TRUE(sameImage(second, expected));

    // A new queue on the same device compiles its own program, from the
    // archive it is given.
    LogCapture otherQueueLog;
    EXPECT_THROW(render(device_->newQueue(), look, source, 32, 2, nullptr), OFX::Exception::Suite);
    EXPECT_NE(otherQueueLog.text().find("Failed to read OCL/lut_cuda.h"), std::string::npos);
}

TEST_F(OpenClLauncher, RefusesToRenderWithoutKernelSources) {
    cl_command_queue queue = device_->newQueue();
    Look look(false, TestView::kNone);
    const std::vector<float> source = sourcePixels(16, 2);
    auto archive = TestArchive::withoutKernelSources();

    const auto renderStatus = [&]() -> OfxStatus {
        look.settings.lutArchive = archive->archive();
        cl_mem input = device_->newBuffer(source);
        cl_mem output = device_->newBuffer(std::vector<float>(source.size(), -7.0f));
        try {
            launchOpenClPipeline(queue, 16, 2, look.settings, input, output);
        } catch (const OFX::Exception::Suite& failure) {
            // The destination is left as the host supplied it.
            for (float value : device_->read(queue, output, source.size())) EXPECT_EQ(value, -7.0f);
            return failure.status();
        }
        return kOfxStatOK;
    };

    LogCapture first;
    EXPECT_EQ(renderStatus(), kOfxStatErrUnsupported);
    const std::vector<std::string> expected = {
        "ERROR : Failed to read OCL/lut_cuda.h [1]",
        "ERROR : Failed to read OCL/chromvale_cuda.cu [1]",
        "ERROR : Unable to create program [" + std::to_string(CL_INVALID_VALUE) + "]",
        "ERROR : Unable to build program [" + std::to_string(CL_INVALID_PROGRAM) + "]",
        "ERROR : Unable to create kernel [" + std::to_string(CL_INVALID_PROGRAM) + "]",
        "ERROR : Skipping OpenCL processing due to invalid kernel"};
    EXPECT_EQ(first.lines(), expected);

    // The failed build is remembered: later renders only say why they skip.
    LogCapture later;
    EXPECT_EQ(renderStatus(), kOfxStatErrUnsupported);
    EXPECT_EQ(later.lines(),
              std::vector<std::string>{"ERROR : Skipping OpenCL processing due to invalid kernel"});
}

TEST_F(OpenClLauncher, RefusesARenderWithoutItsImages) {
    // The kernel would dereference the missing buffer on the host's device.
    Look look(false, TestView::kNone);
    look.settings.lutArchive = kernels_->archive();
    cl_mem pixels = device_->newBuffer(sourcePixels(4, 1));
    LogCapture log;
    try {
        launchOpenClPipeline(device_->newQueue(), 4, 1, look.settings, pixels, nullptr);
        ADD_FAILURE() << "a render without a destination must fail";
    } catch (const OFX::Exception::Suite& failure) {
        EXPECT_EQ(failure.status(), kOfxStatFailed);
    }
    EXPECT_EQ(log.lines(), std::vector<std::string>{"ERROR : OpenCL render without a destination image"});
}

TEST_F(OpenClLauncher, LogsTheCompilerOutputOfAFailedBuild) {
    auto archive = TestArchive::withBrokenKernel();
    Look look(false, TestView::kNone);
    const std::vector<float> source = sourcePixels(4, 1);
    LogCapture log;
    EXPECT_THROW(render(device_->newQueue(), look, source, 4, 1, archive->archive()),
                 OFX::Exception::Suite);
    const std::vector<std::string> lines = log.lines();
    ASSERT_GE(lines.size(), 3u) << log.text();
    EXPECT_EQ(lines[0], "ERROR : Unable to build program [" + std::to_string(CL_BUILD_PROGRAM_FAILURE) + "]");
    EXPECT_NE(lines[1].find("error"), std::string::npos) << "the build log follows: " << log.text();
    EXPECT_NE(log.text().find("Unable to create kernel"), std::string::npos);
    EXPECT_EQ(lines.back(), "ERROR : Skipping OpenCL processing due to invalid kernel");
}

TEST_F(OpenClLauncher, ConcurrentRendersOnOneQueueKeepTheirOwnArguments) {
    // The queue's one kernel object holds the arguments between setting and
    // enqueueing; renders that interleave there would draw each other's look.
    cl_command_queue queue = device_->newQueue();
    const int width = 8, height = 1;
    const std::vector<float> source = sourcePixels(width, height);
    Look dark(false, TestView::kNone), bright(false, TestView::kNone);
    for (int c = 0; c < 3; ++c) {
        dark.settings.gain[c] = 0.25f;
        bright.settings.lift[c] = 0.5f;
    }
    Look* looks[] = {&dark, &bright};
    for (Look* look : looks) look->settings.lutArchive = kernels_->archive();
    launchOpenClPipeline(queue, width, height, dark.settings, device_->newBuffer(source),
                         device_->newBuffer(source));  // builds before the race starts

    constexpr int kRenders = 1000;
    std::vector<cl_mem> outputs[2];
    for (auto& perThread : outputs) {
        for (int r = 0; r < kRenders; ++r) perThread.push_back(device_->newBuffer(source));
    }
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            cl_mem input = device_->newBuffer(source);
            for (++ready; ready < 2;) std::this_thread::yield();
            for (cl_mem output : outputs[t]) {
                launchOpenClPipeline(queue, width, height, looks[t]->settings, input, output);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    for (int t = 0; t < 2; ++t) {
        const std::vector<float> expected = cpuRender(looks[t]->settings, source, width, height);
        for (cl_mem output : outputs[t]) {
            ASSERT_TRUE(sameImage(device_->read(queue, output, source.size()), expected)) << "look " << t;
        }
    }
}

}  // namespace
}  // namespace ChromvaleBeta2::testing
