// Built only with the CUDA back-end; skips on machines without a CUDA device.
#include <gtest/gtest.h>

#include <cuda_runtime_api.h>

#include <string>
#include <vector>

#include "gpu/cuda_launcher.h"
#include "tests/unit/gpu/look_fixture.h"

namespace ChromvaleBeta2::testing {
namespace {

class CudaLauncher : public ::testing::Test {
 protected:
    void SetUp() override {
        int count = 0;
        if (cudaGetDeviceCount(&count) != cudaSuccess || count == 0) {
            GTEST_SKIP() << "no CUDA device on this machine";
        }
    }

    // Source and destination in device memory as a host hands them over.
    static std::vector<float> render(Look& look, const std::vector<float>& source, int width, int height) {
        const std::size_t bytes = source.size() * sizeof(float);
        void* input = nullptr;
        void* output = nullptr;
        EXPECT_EQ(cudaMalloc(&input, bytes), cudaSuccess);
        EXPECT_EQ(cudaMalloc(&output, bytes), cudaSuccess);
        const std::vector<float> untouched(source.size(), -7.0f);
        cudaMemcpy(input, source.data(), bytes, cudaMemcpyHostToDevice);
        cudaMemcpy(output, untouched.data(), bytes, cudaMemcpyHostToDevice);
        EXPECT_EQ(launchCudaPipeline(width, height, look.settings, input, output), 0);
        std::vector<float> result(source.size());
        cudaMemcpy(result.data(), output, bytes, cudaMemcpyDeviceToHost);
        cudaFree(input);
        cudaFree(output);
        return result;
    }
};

TEST_F(CudaLauncher, MatchesTheCpuChainWithEveryStageAndEachTestView) {
    for (TestView view : {TestView::kNone, TestView::kTestImage, TestView::kZoneLut, TestView::kZoneOverlay}) {
        Look look(true, view);
        EXPECT_TRUE(matchesCpu(look, 64, 8, render)) << "test view " << static_cast<int>(view);
    }
    Look parametricOnly(false, TestView::kNone);
    parametricOnly.settings.saturation = -0.5f;
    EXPECT_TRUE(matchesCpu(parametricOnly, 64, 8, render)) << "parametric only";
}

TEST_F(CudaLauncher, CoversRowsOfAnyWidthAndTilesTheTestViews) {
    // Blocks are 256 pixels wide: 1 and 257 leave most of a block idle.
    for (int width : {1, 257, 1000}) {
        Look look(true, TestView::kZoneOverlay);
        EXPECT_TRUE(matchesCpu(look, width, 3, render)) << "width " << width;
    }
    Look tiled(false, TestView::kTestImage);
    EXPECT_TRUE(matchesCpu(tiled, 1925, 1083, render)) << "frame larger than the test image";
}

}  // namespace
}  // namespace ChromvaleBeta2::testing
