// GPU renders against CPU renders of the same instance: OpenCL (PoCL in CI)
// and CUDA, each skipped where the machine has no such device.

#include "host/cuda_images.h"
#include "host/opencl_images.h"
#include "texture_fixture.h"

namespace texture_integration {
namespace {

struct DeviceKind {
    const char* name;
    std::unique_ptr<DeviceImages> (*open)();
};

const DeviceKind kDeviceKinds[] = {
    {"OpenCL", [] { return std::unique_ptr<DeviceImages>(OpenClImages::open()); }},
    {"CUDA", [] { return std::unique_ptr<DeviceImages>(CudaImages::open()); }},
};

void PrintTo(const DeviceKind& kind, std::ostream* out) {
    *out << kind.name;
}

class TextureGpu : public TextureTest, public ::testing::WithParamInterface<DeviceKind> {
 protected:
    void SetUp() override {
        try {
            device = GetParam().open();
        } catch (const std::exception& missing) {
            GTEST_SKIP() << "no " << GetParam().name << " device: " << missing.what();
        }
    }

    // The largest difference between a device and a CPU render of `window`.
    double largestDifference(Instance& instance, OfxRectI window, double time) {
        const auto cpu = render(instance, window, time);
        RenderRequest request;
        request.window = window;
        request.time = time;
        request.device = device.get();
        RenderResult gpu = instance.render(request);
        EXPECT_EQ(gpu.status, kOfxStatOK);
        if (!gpu.output) return 1e9;
        double largest = 0;
        for (int y = window.y1; y < window.y2; ++y)
            for (int x = window.x1; x < window.x2; ++x)
                for (int c = 0; c < 4; ++c)
                    largest = std::max(largest, double(std::abs(gpu.output->pixel(x, y)[c] - cpu->pixel(x, y)[c])));
        return largest;
    }

    std::unique_ptr<DeviceImages> device;
};

TEST_P(TextureGpu, MatchesTheCpuForEveryPartAndWindow) {
    auto instance = create({{"halationRadius", 12.0}, {"bloomRadius", 30.0}, {"grainGauge", 1}});
    instance->setImage(kOfxImageEffectSimpleSourceClipName, scene(150, 100));
    // The glow buffers a queue or context keeps: made for a small window, grown for the
    // whole frame, reused for the small window again.
    EXPECT_LT(largestDifference(*instance, {0, 37, 61, 100}, 2.0), 1e-4);
    EXPECT_LT(largestDifference(*instance, {0, 0, 150, 100}, 2.0), 1e-4);
    EXPECT_LT(largestDifference(*instance, {0, 37, 61, 100}, 3.0), 1e-4);

    // One part at a time, and a window one pixel wide.
    for (const char* part : {"grainToggle", "halationToggle", "bloomToggle"}) {
        auto values = kAllBypassed;
        values.push_back({part, false});
        auto alone = create(values);
        alone->setImage(kOfxImageEffectSimpleSourceClipName, scene(150, 100));
        EXPECT_LT(largestDifference(*alone, {0, 0, 150, 100}, 9.0), 1e-4) << part;
        EXPECT_LT(largestDifference(*alone, {149, 0, 150, 100}, 9.0), 1e-4) << part;
    }
}

TEST_P(TextureGpu, WideGlowsOnCoarseCellsMatchTheCpu) {
    // Halation on cells of 2 pixels, bloom on cells of 8, with grain.
    auto instance = create({{"halationRadius", 60.0}, {"bloomRadius", 200.0}, {"bloomThreshold", 0.5}});
    instance->setImage(kOfxImageEffectSimpleSourceClipName, scene(150, 100));
    // Windows from odd and even pixels, whose first cells start before them.
    for (const OfxRectI window : {OfxRectI{0, 0, 150, 100}, OfxRectI{37, 13, 120, 71}, OfxRectI{149, 0, 150, 100}})
        EXPECT_LT(largestDifference(*instance, window, 2.0), 1e-4) << window.x1 << ", " << window.y1;
}

TEST_P(TextureGpu, ReadsASourceSmallerThanAskedClampedToItsEdges) {
    auto instance = create({{"halationRadius", 12.0}, {"bloomRadius", 30.0}});
    const OfxRectI frame{0, 0, 120, 90};
    const OfxRectI window{30, 20, 90, 70};
    const auto full = scene(120, 90);
    auto small = HostImage::rgbaFloat(window);
    small->fill([&](int x, int y) { return full->pixel(x, y); });
    small->setRegionOfDefinition(frame);
    instance->setImage(kOfxImageEffectSimpleSourceClipName, small);
    EXPECT_LT(largestDifference(*instance, window, 1.0), 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Devices, TextureGpu, ::testing::ValuesIn(kDeviceKinds),
                         [](const ::testing::TestParamInfo<DeviceKind>& kind) { return std::string(kind.param.name); });

}  // namespace
}  // namespace texture_integration
