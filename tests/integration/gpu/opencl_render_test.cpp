// OpenCL renders through the host library on whatever OpenCL device the
// machine has (PoCL in CI), compared with CPU renders of the same instance.

#include <filesystem>

#include "gpu_render_fixture.h"
#include "host/opencl_images.h"

namespace plugin_integration {
namespace {

class OpenClRendering : public GpuRenderTest {
 protected:
    void SetUp() override {
        try {
            queue = OpenClImages::open();
        } catch (const std::exception& missing) {
            GTEST_SKIP() << "no OpenCL device: " << missing.what();
        }
    }

    // Lines of the log from `first` on that contain `text`.
    int logCountFrom(std::size_t first, const std::string& text) const {
        const auto lines = logLines();
        int count = 0;
        for (std::size_t i = first; i < lines.size(); ++i) count += lines[i].find(text) != std::string::npos;
        return count;
    }

    std::unique_ptr<OpenClImages> queue;
};

TEST_F(OpenClRendering, MatchesTheCpuWithEveryStageAndEachTestView) {
    writeResources(true, true);
    for (const std::string& view : testViews()) {
        auto instance = create();
        setEveryStage(*instance, view);
        EXPECT_TRUE(deviceMatchesCpu(*instance, *queue, 96, 12)) << "test view '" << view << "'";
    }
}

TEST_F(OpenClRendering, CoversRowsOfAnyWidth) {
    writeResources(true, true);
    auto instance = create();
    setEveryStage(*instance, "testKorvoOverlayToggle");
    for (int width : {1, 257, 1000}) {
        EXPECT_TRUE(deviceMatchesCpu(*instance, *queue, width, 2)) << "width " << width;
    }
}

TEST_F(OpenClRendering, CompilesOncePerQueue) {
    writeResources(true, false);
    auto instance = create();
    setEveryStage(*instance);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, sourceImage(40, 4));
    const RenderResult first = renderAll(*instance, queue.get());
    ASSERT_EQ(first.status, kOfxStatOK);

    // The archive is gone from under the open instance: whatever still reads
    // or compiles from it fails.
    std::filesystem::resize_file(bundle.resources() / "data.bin", 4);
    const std::size_t before = logLines().size();
    const RenderResult again = renderAll(*instance, queue.get());
    ASSERT_EQ(again.status, kOfxStatOK);
    EXPECT_TRUE(sameImage(*again.output, *first.output));
    EXPECT_EQ(logCountFrom(before, "ERROR"), 0);

    auto otherQueue = queue->withNewQueue();
    EXPECT_EQ(renderAll(*instance, otherQueue.get()).status, kOfxStatErrUnsupported);
    EXPECT_EQ(logCountFrom(before, "Skipping OpenCL processing due to invalid kernel"), 1);
}

TEST_F(OpenClRendering, FailsWithoutTheKernelSources) {
    writeResources(false, false);
    auto instance = create();
    instance->setImage(kOfxImageEffectSimpleSourceClipName, sourceImage(16, 2));
    const RenderResult refused = renderAll(*instance, queue.get());
    EXPECT_EQ(refused.status, kOfxStatErrUnsupported);

    const char* expectedInOrder[] = {
        "ERROR : Failed to read OCL/lut_cuda.h [1]", "ERROR : Failed to read OCL/chromvale_cuda.cu [1]",
        "ERROR : Unable to create program [",        "ERROR : Unable to build program [",
        "ERROR : Unable to create kernel [",         "ERROR : Skipping OpenCL processing due to invalid kernel"};
    const auto lines = logLines();
    std::size_t next = 0;
    for (const std::string& line : lines) {
        if (next < std::size(expectedInOrder) && line.find(expectedInOrder[next]) != std::string::npos) ++next;
    }
    EXPECT_EQ(next, std::size(expectedInOrder)) << "missing: " << expectedInOrder[std::min<std::size_t>(next, 5)];

    // Later renders on the queue only say why they skip.
    const std::size_t before = lines.size();
    EXPECT_EQ(renderAll(*instance, queue.get()).status, kOfxStatErrUnsupported);
    EXPECT_EQ(logCountFrom(before, "ERROR"), 1);
    EXPECT_EQ(logCountFrom(before, "Skipping OpenCL processing due to invalid kernel"), 1);
    EXPECT_EQ(host->imageCounts().outstanding(), 0u);
}

TEST_F(OpenClRendering, DescribeReportsTheGpuEnvironment) {
    writeResources(true, false);
    plugin();
    EXPECT_EQ(logCount("CUDA compile time version : ") + logCount("CUDA support was not built into this plug-in"), 1);
    EXPECT_EQ(logCount("1. Device: " + queue->deviceName()), 1);
    EXPECT_GE(logCount(" 1.4 Parallel compute units: "), 1);
}

}  // namespace
}  // namespace plugin_integration
