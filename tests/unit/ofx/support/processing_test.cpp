// How a processor spreads a render window over the host's threads, or hands it to one
// GPU path, with the host library's multithread suite underneath.

#include <algorithm>
#include <mutex>
#include <new>
#include <ostream>
#include <thread>

#include "host/host_image.h"
#include "ofx/support/ofxsCore.h"
#include "ofx/support/ofxsProcessing.h"
#include "tests/unit/ofx/support/hosted_layer.h"

// Found by argument lookup, so beside the C type they compare and print.
static bool operator==(const OfxRectI& a, const OfxRectI& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}
static void PrintTo(const OfxRectI& r, std::ostream* os) {
    *os << "{" << r.x1 << ", " << r.y1 << ", " << r.x2 << ", " << r.y2 << "}";
}

namespace support_wrap {
namespace {

// Records what the base class asks of it. Bands may arrive on several threads.
class RecordingProcessor : public OFX::ImageProcessor {
 public:
    using ImageProcessor::ImageProcessor;

    void multiThread(unsigned int threadCount) override {
        requestedThreads = threadCount;
        ImageProcessor::multiThread(threadCount);
    }
    void multiThreadProcessImages(OfxRectI window) override {
        if (window.y1 == failingRow) throw std::bad_alloc();
        std::lock_guard lock(mutex);
        bands.push_back(window);
        bandThreads.push_back(std::this_thread::get_id());
    }
    void preProcess() override { steps.push_back("pre"); }
    void processImagesOpenCL() override { steps.push_back("opencl"); }
    void processImagesCUDA() override { steps.push_back("cuda"); }
    void postProcess() override { steps.push_back("post"); }

    std::vector<OfxRectI> sortedBands() const {
        auto sorted = bands;
        std::sort(sorted.begin(), sorted.end(), [](const OfxRectI& a, const OfxRectI& b) { return a.y1 < b.y1; });
        return sorted;
    }

    std::mutex mutex;
    unsigned requestedThreads = 0;
    int failingRow = -1;
    std::vector<OfxRectI> bands;
    std::vector<std::thread::id> bandThreads;
    std::vector<std::string> steps;
};

class ProcessingTest : public HostedTest {
 protected:
    // Renders `window` with `cpus` host CPUs and no destination image.
    void renderOnCpus(unsigned cpus, OfxRectI window) {
        host().setCpuCount(cpus);
        processor.setRenderWindow(window);
        processor.process();
    }

    std::unique_ptr<hst::Effect> hostInstance = newInstance();
    ScriptedEffect effect{hostInstance->handle()};
    RecordingProcessor processor{effect};
};

TEST_F(ProcessingTest, SmallWindowsRunAsOneBandOnTheCallingThreadWithoutTheSuite) {
    // The suite would fail the render if it were asked.
    host().faults().failSuiteCall("multiThread", kOfxStatErrFatal);
    for (OfxRectI window : {OfxRectI{0, 0, 100, 10}, OfxRectI{0, 0, 3000, 1}, OfxRectI{0, 0, 5000, 1}}) {
        processor.bands.clear();
        processor.bandThreads.clear();
        renderOnCpus(8, window);
        EXPECT_EQ(processor.requestedThreads, 1u);
        ASSERT_EQ(processor.bands.size(), 1u);
        EXPECT_EQ(processor.bands[0], window);
        EXPECT_EQ(processor.bandThreads[0], std::this_thread::get_id());
    }
}

TEST_F(ProcessingTest, RowsAreCountedAtMost4096PixelsWideAndCappedByTheCpuCount) {
    renderOnCpus(8, {0, 0, 4096, 2});
    EXPECT_EQ(processor.requestedThreads, 2u);
    EXPECT_EQ(processor.sortedBands(), (std::vector<OfxRectI>{{0, 0, 4096, 1}, {0, 1, 4096, 2}}));

    processor.bands.clear();
    renderOnCpus(16, {-5, 20, 9995, 120});
    EXPECT_EQ(processor.requestedThreads, 16u);
    // Seven rows a band: fifteen bands cover the hundred rows, the last one short.
    const std::vector<OfxRectI> bands = processor.sortedBands();
    ASSERT_EQ(bands.size(), 15u);
    for (std::size_t i = 0; i < bands.size(); ++i) EXPECT_EQ(bands[i].y1, 20 + 7 * static_cast<int>(i));
    EXPECT_EQ(bands.back(), (OfxRectI{-5, 118, 9995, 120}));

    // Tall windows count their pixels beyond 32 bits without wrapping.
    EXPECT_EQ(OFX::ImageProcessor::bandCountFor({0, 0, 5000, 600000}), 600000u);
}

TEST_F(ProcessingTest, EachThreadCutsItsOwnBandAndLateThreadsGetNone) {
    processor.setRenderWindow({0, 0, 10000, 100});
    processor.multiThreadFunction(14, 16);
    processor.multiThreadFunction(15, 16);
    processor.multiThreadFunction(0, 0);
    EXPECT_EQ(processor.bands, (std::vector<OfxRectI>{{0, 98, 10000, 100}}));

    // More threads than rows: one row each.
    processor.bands.clear();
    processor.setRenderWindow({0, 0, 10, 3});
    for (unsigned i = 0; i < 5; ++i) processor.multiThreadFunction(i, 5);
    EXPECT_EQ(processor.bands, (std::vector<OfxRectI>{{0, 0, 10, 1}, {0, 1, 10, 2}, {0, 2, 10, 3}}));
}

TEST_F(ProcessingTest, EmptyWindowsDoNothingAndWindowsReachingPastTheDestinationRenderThePartInside) {
    hostInstance->clip("Output")->image = hst::HostImage::rgbaFloat({0, 0, 64, 32});
    std::unique_ptr<OFX::Image> output = effect.fetchClip("Output")->fetchImage(0);
    processor.setDstImg(output.get());
    for (OfxRectI window :
         {OfxRectI{10, 10, 10, 20}, OfxRectI{0, 20, 64, 10}, OfxRectI{64, 0, 70, 32}, OfxRectI{0, -9, 64, 0}})
        renderOnCpus(4, window);
    EXPECT_TRUE(processor.steps.empty());
    EXPECT_TRUE(processor.bands.empty());

    for (OfxRectI window :
         {OfxRectI{0, 0, 65, 32}, OfxRectI{-1, 0, 64, 32}, OfxRectI{0, 0, 64, 33}, OfxRectI{-100, -100, 100, 100}})
        renderOnCpus(1, window);
    EXPECT_EQ(processor.bands, std::vector<OfxRectI>(4, OfxRectI{0, 0, 64, 32}));
}

TEST_F(ProcessingTest, TheFirstEnabledGpuPathRunsAloneAndMetalIsRefusedByDefault) {
    OFX::RenderArguments args;
    args.isEnabledOpenCLRender = true;
    args.isEnabledCudaRender = true;
    args.pOpenCLCmdQ = &args;
    args.pMetalCmdQ = &args;
    processor.setGPURenderArgs(args);
    renderOnCpus(4, {0, 0, 8, 8});
    EXPECT_EQ(processor.steps, (std::vector<std::string>{"pre", "opencl", "post"}));
    EXPECT_TRUE(processor.bands.empty());

    processor.steps.clear();
    args.isEnabledOpenCLRender = false;
    args.isEnabledCudaRender = false;
    args.isEnabledMetalRender = true;
    processor.setGPURenderArgs(args);
    try {
        renderOnCpus(4, {0, 0, 8, 8});
        FAIL() << "Metal rendered";
    } catch (const OFX::Exception::Suite& e) {
        EXPECT_EQ(e.status(), kOfxStatErrUnsupported);
    }
    EXPECT_EQ(processor.steps, std::vector<std::string>{"pre"});
}

// Exposes the queues setGPURenderArgs kept.
struct QueueProbe : RecordingProcessor {
    using RecordingProcessor::RecordingProcessor;
    void* openCLQueue() const { return _pOpenCLCmdQ; }
    void* metalQueue() const { return _pMetalCmdQ; }
};

TEST_F(ProcessingTest, QueuesAreKeptOnlyForEnabledPaths) {
    QueueProbe probe{effect};
    OFX::RenderArguments args;
    args.pOpenCLCmdQ = &args;
    args.pMetalCmdQ = &args;
    args.isEnabledMetalRender = true;
    probe.setGPURenderArgs(args);
    EXPECT_EQ(probe.openCLQueue(), nullptr);
    EXPECT_EQ(probe.metalQueue(), &args);
}

TEST_F(ProcessingTest, AFailingBandLetsTheOthersFinishAndFailsTheRender) {
    host().setCpuCount(4);
    processor.failingRow = 2;
    processor.setRenderWindow({0, 0, 4096, 8});
    EXPECT_THROW(processor.process(), std::bad_alloc);
    EXPECT_EQ(processor.sortedBands(), (std::vector<OfxRectI>{{0, 0, 4096, 2}, {0, 4, 4096, 6}, {0, 6, 4096, 8}}));
    EXPECT_EQ(processor.steps, std::vector<std::string>{"pre"});
}

TEST_F(ProcessingTest, HostsThatCannotCountCpusOrRefuseThreadsAreHandled) {
    host().faults().failSuiteCall("multiThreadNumCPUs", kOfxStatErrFatal);
    renderOnCpus(16, {0, 0, 4096, 64});
    EXPECT_EQ(processor.requestedThreads, 1u);
    EXPECT_EQ(processor.bands.size(), 1u);

    host().faults() = {};
    host().faults().failSuiteCall("multiThread", kOfxStatErrMemory);
    EXPECT_THROW(renderOnCpus(16, {0, 0, 4096, 64}), std::bad_alloc);
}

}  // namespace
}  // namespace support_wrap
