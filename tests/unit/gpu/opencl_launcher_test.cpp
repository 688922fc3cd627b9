#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "formats/lut_archive.h"
#include "gpu/opencl_launcher.h"
#include "tests/unit/gpu/look_fixture.h"
#include "tests/unit/gpu/opencl_fixture.h"

namespace ChromvaleBeta2::testing {
namespace {

// The kernel texts of an archive, as the plug-in hands them to the launcher; an
// entry the archive lacks gives an empty text.
KernelSourceReader sourcesOf(LutArchive* archive) {
    return [archive](Diagnostics&) {
        const auto text = [archive](const char* entry) {
            std::vector<unsigned char> bytes;
            return archive->extract(entry, bytes) ? std::string(bytes.begin(), bytes.end()) : std::string();
        };
        return KernelSources{text("OCL/lut_cuda.h"), text("OCL/chromvale_cuda.cu")};
    };
}

class OpenClLauncher : public ::testing::Test {
 protected:
    void SetUp() override {
        device_ = OpenClDevice::instance();
        if (device_ == nullptr) GTEST_SKIP() << "no OpenCL device on this machine";
        kernels_ = TestArchive::withKernelSources();
    }

    // Renders `look` on `queue` and returns the destination after the queue has finished.
    std::vector<float> render(cl_command_queue queue, PipelineSettings& settings, const std::vector<float>& source,
                              int width, int height, LutArchive* archive, Diagnostics& diagnostics,
                              GpuOutcome& outcome) {
        cl_mem input = device_->newBuffer(source);
        cl_mem output = device_->newBuffer(std::vector<float>(source.size(), -7.0f));
        outcome = launchOpenClPipeline(queue, width, height, settings, sourcesOf(archive), input, output, diagnostics);
        return device_->read(queue, output, source.size());
    }

    OpenClDevice* device_ = nullptr;
    std::unique_ptr<TestArchive> kernels_;
};

TEST_F(OpenClLauncher, RefusesToRenderWithoutKernelSources) {
    cl_command_queue queue = device_->newQueue();
    PipelineSettings settings = neutralSettings();
    const std::vector<float> source = sourcePixels(16, 2);
    auto archive = TestArchive::withoutKernelSources();

    const auto renderOutcome = [&](Diagnostics& diagnostics) {
        GpuOutcome outcome = GpuOutcome::Done;
        // The destination is left as the host supplied it.
        for (float value : render(queue, settings, source, 16, 2, archive->archive(), diagnostics, outcome))
            EXPECT_EQ(value, -7.0f);
        return outcome;
    };

    Diagnostics first;
    EXPECT_EQ(renderOutcome(first), GpuOutcome::Unsupported);
    const std::vector<std::string> expected = {
        "ERROR : Unable to create program [" + std::to_string(CL_INVALID_VALUE) + "]",
        "ERROR : Unable to build program [" + std::to_string(CL_INVALID_PROGRAM) + "]",
        "ERROR : Unable to create kernel [" + std::to_string(CL_INVALID_PROGRAM) + "]",
        "ERROR : Skipping OpenCL processing due to invalid kernel"};
    EXPECT_EQ(logged(first), expected);

    // The failed build is remembered: later renders only say why they skip.
    Diagnostics later;
    EXPECT_EQ(renderOutcome(later), GpuOutcome::Unsupported);
    EXPECT_EQ(logged(later), std::vector<std::string>{"ERROR : Skipping OpenCL processing due to invalid kernel"});
}

TEST_F(OpenClLauncher, RefusesARenderWithoutItsImages) {
    // The kernel would dereference the missing buffer on the host's device.
    PipelineSettings settings = neutralSettings();
    cl_mem pixels = device_->newBuffer(sourcePixels(4, 1));
    Diagnostics diagnostics;
    EXPECT_EQ(launchOpenClPipeline(device_->newQueue(), 4, 1, settings, sourcesOf(kernels_->archive()), pixels, nullptr,
                                   diagnostics),
              GpuOutcome::Failed);
    EXPECT_EQ(logged(diagnostics), std::vector<std::string>{"ERROR : OpenCL render without a destination image"});
}

TEST_F(OpenClLauncher, LogsTheCompilerOutputOfAFailedBuild) {
    auto archive = TestArchive::withBrokenKernel();
    PipelineSettings settings = neutralSettings();
    const std::vector<float> source = sourcePixels(4, 1);
    Diagnostics diagnostics;
    GpuOutcome outcome = GpuOutcome::Done;
    render(device_->newQueue(), settings, source, 4, 1, archive->archive(), diagnostics, outcome);
    EXPECT_EQ(outcome, GpuOutcome::Unsupported);
    const std::vector<std::string> lines = logged(diagnostics);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "ERROR : Unable to build program [" + std::to_string(CL_BUILD_PROGRAM_FAILURE) + "]");
    EXPECT_NE(lines[1].find("error"), std::string::npos) << "the build log follows: " << lines[1];
    EXPECT_EQ(lines[lines.size() - 2].rfind("ERROR : Unable to create kernel", 0), 0u);
    EXPECT_EQ(lines.back(), "ERROR : Skipping OpenCL processing due to invalid kernel");
}

TEST_F(OpenClLauncher, ConcurrentRendersOnOneQueueKeepTheirOwnArguments) {
    // The queue's one kernel object holds the arguments between setting and
    // enqueueing; renders that interleave there would draw each other's look.
    cl_command_queue queue = device_->newQueue();
    const int width = 8, height = 1;
    const std::vector<float> source = sourcePixels(width, height);
    PipelineSettings looks[] = {neutralSettings(), neutralSettings()};
    for (int c = 0; c < 3; ++c) {
        looks[0].gain[c] = 0.25f;
        looks[1].lift[c] = 0.5f;
    }
    const KernelSourceReader sources = sourcesOf(kernels_->archive());
    Diagnostics building;
    launchOpenClPipeline(queue, width, height, looks[0], sources, device_->newBuffer(source),
                         device_->newBuffer(source), building);  // builds before the race starts

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
                Diagnostics diagnostics;
                launchOpenClPipeline(queue, width, height, looks[t], sources, input, output, diagnostics);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    for (int t = 0; t < 2; ++t) {
        const std::vector<float> expected = cpuRender(looks[t], source, width, height);
        for (cl_mem output : outputs[t]) {
            ASSERT_TRUE(sameImage(device_->read(queue, output, source.size()), expected)) << "look " << t;
        }
    }
}

}  // namespace
}  // namespace ChromvaleBeta2::testing
