// Hosts unload a plug-in library when its last handle goes and may load it
// again later; the process must live on and exit normally afterwards. Each
// check runs in a process of its own, since a library that leaves callbacks
// behind only crashes at thread or process exit.

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "reliability_fixture.h"

namespace reliability {
namespace {

// A host thread that enters the plug-in while it is loaded, ends on its way
// through an error (so the plug-in's runtime has thread state for it), and
// then lives on until told to end, after the library is gone.
class LingeringHostThread {
 public:
    explicit LingeringHostThread(Instance& instance)
        : thread_([this, &instance] {
              // No source image: the render fails inside the plug-in.
              const RenderResult failed = instance.render(renderOf({0, 0, 4, 4}));
              std::unique_lock lock(mutex_);
              failedAsExpected_ = failed.status != kOfxStatOK;
              rendered_ = true;
              changed_.notify_all();
              changed_.wait(lock, [this] { return released_; });
          }) {}
    ~LingeringHostThread() {
        if (thread_.joinable()) end();
    }

    // Waits for the thread's render; whether it failed as it should.
    bool waitForRender() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return rendered_; });
        return failedAsExpected_;
    }
    void end() {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

 private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool rendered_ = false, failedAsExpected_ = false, released_ = false;
    std::thread thread_;
};

// Exit codes of the child: 0 all went well, 10 + step where a step failed.
int renderOnce(Plugin& plugin) {
    OfxStatus status = kOfxStatFailed;
    auto instance = plugin.createInstance(kFilter, &status);
    if (status != kOfxStatOK || !instance) return 12;
    auto source = std::make_shared<HostImage>(OfxRectI{0, 0, 16, 8});
    source->fill([](int x, int y) { return RgbaPixel{0.05f * float(x), 0.1f * float(y), 0.5f, 1.0f}; });
    instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
    return instance->render(renderOf({0, 0, 16, 8})).status == kOfxStatOK ? 0 : 13;
}

int liveTwice(const std::string& bundleRoot) {
    std::unique_ptr<LingeringHostThread> lingering;
    {
        Host host;
        host.setCpuCount(3);
        Plugin& plugin = host.openBundle(bundleRoot).plugin(0);
        if (plugin.load() != kOfxStatOK || plugin.describe() != kOfxStatOK) return 11;
        if (const int failed = renderOnce(plugin)) return failed;
        OfxStatus status = kOfxStatFailed;
        auto sourceless = plugin.createInstance(kFilter, &status);
        if (!sourceless) return 12;
        lingering = std::make_unique<LingeringHostThread>(*sourceless);
        if (!lingering->waitForRender()) return 14;
        sourceless.reset();
        if (plugin.unload() != kOfxStatOK) return 15;
    }  // the host closes the bundle here, unloading the library
    lingering->end();

    Host host;
    Plugin& plugin = host.openBundle(bundleRoot).plugin(0);
    if (plugin.load() != kOfxStatOK || plugin.describe() != kOfxStatOK) return 16;
    if (const int failed = renderOnce(plugin)) return failed;
    return plugin.unload() == kOfxStatOK ? 0 : 17;
}

class Unloading : public ReliabilityTest {};

TEST_F(Unloading, TheProcessLivesOnAndExitsNormallyAfterUnloadAndReload) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string root = bundle.root().string();
    EXPECT_EXIT(std::exit(liveTwice(root)), ::testing::ExitedWithCode(0), "");
}

// The texture bundle's library is built from the same support layer and must
// survive the same.
TEST_F(Unloading, TheTextureLibraryLivesThroughUnloadAndReloadAlike) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(liveTwice(TONEMILL_TEXTURE_BUNDLE)), ::testing::ExitedWithCode(0), "");
}

TEST_F(Unloading, RepeatedUnloadsWithoutRenderingLeaveTheProcessWhole) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string root = bundle.root().string();
    const auto scanRepeatedly = [&root] {
        for (int scan = 0; scan < 5; ++scan) {
            Host host;
            Plugin& plugin = host.openBundle(root).plugin(0);
            if (plugin.load() != kOfxStatOK || plugin.describe() != kOfxStatOK) return 20 + scan;
            plugin.unload();
        }
        return 0;
    };
    EXPECT_EXIT(std::exit(scanRepeatedly()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace reliability
