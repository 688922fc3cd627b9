// Several instances at work at once, as a host with background renders drives
// them: creation during a render, two renders needing the same table for the
// first time, an export during a render. Run under ThreadSanitizer as well.

#include <atomic>
#include <barrier>
#include <filesystem>
#include <fstream>
#include <thread>

#include "reliability_fixture.h"
#include "tests/unit/plugin/export/fake_dialog.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using ChromvaleBeta2::testing::ScopedEnvironment;

constexpr OfxRectI kStrip{0, 0, 512, 16};

class Concurrency : public ReliabilityTest {
 protected:
    void SetUp() override {
        ReliabilityTest::SetUp();
        plugin();
        host->setCpuCount(2);
    }

    std::unique_ptr<Instance> stripInstance() {
        auto instance = create();
        auto source = std::make_shared<HostImage>(kStrip);
        for (int y = 0; y < kStrip.y2; ++y) {
            for (int x = 0; x < kStrip.x2; ++x) source->setPixel(x, y, {x / 512.0f, y / 16.0f, 0.5f, 1.0f});
        }
        instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
        return instance;
    }
};

TEST_F(Concurrency, InstancesComeAndGoWhileAnotherRenders) {
    auto busy = stripInstance();
    const RenderResult reference = busy->render(renderOf(kStrip));
    ASSERT_EQ(reference.status, kOfxStatOK);

    std::atomic<int> failures{0}, differences{0};
    std::thread renderer([&] {
        for (int i = 0; i < 8; ++i) {
            const RenderResult r = busy->render(renderOf(kStrip));
            failures += r.status != kOfxStatOK;
            differences += r.output && !samePixels(*r.output, *reference.output, kStrip);
        }
    });
    for (int i = 0; i < 4; ++i) {
        auto other = stripInstance();
        ASSERT_TRUE(other);
        other->changeParam("saturation", 0.5 + 0.25 * i);
        EXPECT_EQ(other->render(renderOf(kStrip)).status, kOfxStatOK);
    }
    renderer.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(differences, 0) << "a render is not disturbed by its neighbours";
    EXPECT_EQ(host->imageCounts().outstanding(), 0u);
}

TEST_F(Concurrency, TwoRendersNeedingTheSameNewTableShareOneLoad) {
    auto first = stripInstance();
    auto second = stripInstance();
    for (auto* instance : {first.get(), second.get()}) instance->setValue("idtProfile", 2);  // ARRI, not loaded yet

    std::barrier start(2);
    RenderResult results[2];
    auto renderAfterBarrier = [&](Instance* instance, RenderResult* result) {
        start.arrive_and_wait();
        *result = instance->render(renderOf(kStrip));
    };
    std::thread a(renderAfterBarrier, first.get(), &results[0]);
    std::thread b(renderAfterBarrier, second.get(), &results[1]);
    a.join();
    b.join();
    ASSERT_EQ(results[0].status, kOfxStatOK);
    ASSERT_EQ(results[1].status, kOfxStatOK);
    EXPECT_TRUE(samePixels(*results[0].output, *results[1].output, kStrip));

    // From now on the table comes from the cache: an archive that has lost it
    // does not change what a new instance renders.
    auto tables = lookTables();
    tables.erase("1-IDT/ARRI-LOGC-IDT-65.cube");
    bundle.writeArchive(tables);
    auto third = stripInstance();
    third->setValue("idtProfile", 2);
    const RenderResult cached = third->render(renderOf(kStrip));
    ASSERT_EQ(cached.status, kOfxStatOK);
    EXPECT_TRUE(samePixels(*cached.output, *results[0].output, kStrip));
    EXPECT_EQ(logCount("Unable to load LUT"), 0);
}

TEST_F(Concurrency, AnExportRunsWhileAnotherInstanceRenders) {
    ScopedEnvironment environment;
    const fs::path home = bundle.root() / "home";
    fs::create_directories(home);
    environment.set("HOME", home.string());
    environment.unset("XDG_DATA_HOME");
    environment.unset("DISPLAY");
    environment.unset("WAYLAND_DISPLAY");

    auto exporting = stripInstance();
    auto rendering = stripInstance();
    const RenderResult reference = rendering->render(renderOf(kStrip));
    ASSERT_EQ(reference.status, kOfxStatOK);

    OfxStatus exported = kOfxStatFailed;
    std::thread exporter([&] { exported = exporting->pressButton("export33LUTButton"); });
    int failures = 0, differences = 0;
    for (int i = 0; i < 4; ++i) {
        const RenderResult r = rendering->render(renderOf(kStrip));
        failures += r.status != kOfxStatOK;
        differences += r.output && !samePixels(*r.output, *reference.output, kStrip);
    }
    exporter.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(exported, kOfxStatReplyDefault);
    EXPECT_EQ(logCount("An error occurred while in ChromvaleNG::renderLUT"), 0);

    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
        if (entry.is_regular_file() && entry.path().extension() == ".cube") files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u);
    std::ifstream in(files.front());
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    EXPECT_EQ(lines, 2 + 33 * 33 * 33) << "the size line, a blank line and every lattice point";
}

}  // namespace
}  // namespace reliability
