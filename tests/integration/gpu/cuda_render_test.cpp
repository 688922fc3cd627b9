// CUDA renders through the host library where the machine has an NVIDIA
// driver and GPU; skipped elsewhere.

#include "gpu_render_fixture.h"
#include "host/cuda_images.h"

namespace plugin_integration {
namespace {

class CudaRendering : public GpuRenderTest {
 protected:
    void SetUp() override {
        try {
            device = CudaImages::open();
        } catch (const std::exception& missing) {
            GTEST_SKIP() << "no CUDA device: " << missing.what();
        }
        writeResources(false, true);
    }

    std::unique_ptr<CudaImages> device;
};

TEST_F(CudaRendering, MatchesTheCpuWithEveryStageAndEachTestView) {
    for (const std::string& view : testViews()) {
        auto instance = create();
        setEveryStage(*instance, view);
        EXPECT_TRUE(deviceMatchesCpu(*instance, *device, 96, 12)) << "test view '" << view << "'";
    }
}

TEST_F(CudaRendering, CoversRowsOfAnyWidthAndTilesTheTestViews) {
    auto instance = create();
    setEveryStage(*instance, "testKorvoOverlayToggle");
    for (int width : {1, 257, 1000}) {
        EXPECT_TRUE(deviceMatchesCpu(*instance, *device, width, 2)) << "width " << width;
    }
    EXPECT_TRUE(deviceMatchesCpu(*instance, *device, 1925, 1083)) << "frame larger than the test pictures";
}

TEST_F(CudaRendering, DescribeReportsTheDevice) {
    plugin();
    EXPECT_EQ(logCount("CUDA compile time version : "), 1);
    EXPECT_EQ(logCount("Device Number: 0"), 1);
    EXPECT_EQ(logCount("  Device name: " + device->deviceName()), 1);
    EXPECT_EQ(logCount("ERROR"), 0);
}

}  // namespace
}  // namespace plugin_integration
