// The texture's CUDA launcher against the fake driver: the kernels it loads,
// the grid and arguments of each launch, the glow buffers a context keeps
// between renders, and what it says when a call fails.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gpu/texture/texture_cuda_kernels.h"
#include "gpu/texture/texture_cuda_launcher.h"
#include "tests/unit/gpu/fake_cuda_driver.h"
#include "tests/unit/gpu/look_fixture.h"

namespace TonemillTexture {
namespace {

using ChromvaleBeta2::Diagnostics;
using ChromvaleBeta2::GpuOutcome;
using ChromvaleBeta2::testing::FakeCudaDriver;

constexpr std::uint64_t kSourceAddress = 0xA000;
constexpr std::uint64_t kDestinationAddress = 0xB000;
const DeviceImage kSource{reinterpret_cast<const void*>(kSourceAddress), {0, 0, 64, 40}};
const DeviceImage kDestination{reinterpret_cast<const void*>(kDestinationAddress), {0, 0, 64, 40}};
const std::vector<std::string> kEveryKernel = {"textureGlowRows", "textureGlowColumns", "textureCompose"};

std::uint64_t floatBits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TextureSettings everyPart() {
    return TextureSettings{.grainSigma = {0.01f, 0.02f, 0.03f},
                           .grainInvCell = 0.5f,
                           .frameOriginX = 0.0f,
                           .frameOriginY = 0.0f,
                           .grainKey = 77u,
                           .halationBox = 3,
                           .halationShift = 0,
                           .halationThreshold = 0.8f,
                           .halationGain = {0.3f, 0.1f, 0.05f},
                           .bloomBox = 5,
                           .bloomShift = 1,
                           .bloomThreshold = 0.9f,
                           .bloomGain = 0.2f};
}

class TextureCudaLauncher : public ::testing::Test {
 protected:
    void SetUp() override {
        driver = ChromvaleBeta2::testing::resetFakeCudaDriver();
        if (driver == nullptr) GTEST_SKIP() << "a real NVIDIA driver shadows the fake one";
        // Each test renders in contexts of its own, apart from the look's:
        // what a context keeps outlives a test.
        static unsigned long long nextContextId = 1000000;
        driver->hostContextId = nextContextId += 10;
        // Device addresses are 8 bytes wide, every number 4.
        driver->argumentSizesByFunction = {{"textureGlowRows", {8, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 8, 8}},
                                           {"textureGlowColumns", {8, 8, 4, 4, 4}},
                                           {"textureCompose", {8, 4, 4, 4, 4, 8, 4, 4, 4, 4, 4, 4, 4, 8, 4, 4, 4, 4,
                                                               4, 8, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}}};
    }

    GpuOutcome render(const TextureSettings& settings, const Rect& window, std::vector<std::string>& lines,
                      const DeviceImage& source = kSource) {
        Diagnostics diagnostics;
        const GpuOutcome outcome = launchCudaTexture(settings, source, kDestination, window, diagnostics);
        lines = ChromvaleBeta2::testing::logged(diagnostics);
        return outcome;
    }

    const std::vector<std::uint64_t>& argumentsOf(const std::string& kernel) const {
        return driver->argumentsByFunction.at(kernel);
    }

    FakeCudaDriver* driver = nullptr;
};

TEST_F(TextureCudaLauncher, SpreadsEachGlowThenComposesWithEveryArgumentInItsPlace) {
    const TextureSettings s = everyPart();
    std::vector<std::string> lines;
    ASSERT_EQ(render(s, {8, 4, 40, 20}, lines), GpuOutcome::Done);
    EXPECT_EQ(lines, std::vector<std::string>{});
    EXPECT_EQ(driver->moduleLoads, 1);
    EXPECT_EQ(driver->functionNames, kEveryKernel);
    EXPECT_EQ(driver->launchedFunctions,
              (std::vector<std::string>{"textureGlowRows", "textureGlowColumns", "textureGlowRows",
                                        "textureGlowColumns", "textureCompose"}));
    EXPECT_EQ(driver->synchronisations, 1);
    EXPECT_EQ(driver->allocations.size(), 6u) << "three buffers for each glow";

    // The last glow spread is the bloom's, on cells of 2 pixels: the cells
    // the window reads, grown by three passes of 5 cells each way.
    const GlowGeometry bloom = glowGeometry({8, 4, 40, 20}, {5, 1});
    ASSERT_EQ(bloom.rows, bloom.cells.y2 - bloom.cells.y1 + 30);
    const auto& rows = argumentsOf("textureGlowRows");
    EXPECT_EQ(rows[0], kSourceAddress);
    EXPECT_EQ(std::vector<std::uint64_t>(rows.begin() + 1, rows.begin() + 11),
              (std::vector<std::uint64_t>{0, 0, 64, 40, std::uint64_t(std::uint32_t(bloom.light.x1)),
                                          std::uint64_t(std::uint32_t(bloom.light.y1)), std::uint64_t(bloom.lightWidth),
                                          std::uint64_t(bloom.rows), 5, 1}));
    EXPECT_EQ(rows[11], floatBits(0.9f));
    const auto& columns = argumentsOf("textureGlowColumns");
    EXPECT_EQ(std::vector<std::uint64_t>(columns.begin() + 2, columns.end()),
              (std::vector<std::uint64_t>{std::uint64_t(bloom.width), std::uint64_t(bloom.rows), 5}));

    // The halation on full pixels reads the window's own cells.
    const auto& compose = argumentsOf("textureCompose");
    EXPECT_EQ(compose[0], kSourceAddress);
    EXPECT_EQ(compose[5], kDestinationAddress);
    EXPECT_EQ(std::vector<std::uint64_t>(compose.begin() + 9, compose.begin() + 13),
              (std::vector<std::uint64_t>{8, 4, 32, 16}));
    EXPECT_TRUE(driver->allocations.count(compose[13])) << "the halation's buffer";
    EXPECT_EQ(std::vector<std::uint64_t>(compose.begin() + 14, compose.begin() + 19),
              (std::vector<std::uint64_t>{3, 0, 8, 4, 32}));
    EXPECT_EQ(compose[19], columns[1]) << "the bloom as its columns left it";
    EXPECT_EQ(std::vector<std::uint64_t>(compose.begin() + 20, compose.begin() + 25),
              (std::vector<std::uint64_t>{5, 1, std::uint64_t(std::uint32_t(bloom.cells.x1)),
                                          std::uint64_t(std::uint32_t(bloom.cells.y1)), std::uint64_t(bloom.width)}));
    EXPECT_EQ(compose[25], floatBits(0.01f));
    EXPECT_EQ(compose[31], 77u);
    EXPECT_EQ(compose[32], floatBits(0.3f));
    EXPECT_EQ(compose[35], floatBits(0.2f));
    EXPECT_EQ(driver->grid[0], 1u);
    EXPECT_EQ(driver->grid[1], 2u);
}

TEST_F(TextureCudaLauncher, KeepsAContextsBuffersAndKernelsBetweenRenders) {
    const TextureSettings s = everyPart();
    std::vector<std::string> lines;
    ASSERT_EQ(render(s, {8, 4, 40, 20}, lines), GpuOutcome::Done);
    ASSERT_EQ(render(s, {8, 4, 40, 20}, lines), GpuOutcome::Done);
    EXPECT_EQ(driver->moduleLoads, 1);
    EXPECT_EQ(driver->allocations.size(), 6u);
    EXPECT_TRUE(driver->freed.empty());

    // A larger window grows them, a smaller one reuses the grown ones.
    ASSERT_EQ(render(s, {0, 0, 64, 40}, lines), GpuOutcome::Done);
    EXPECT_EQ(driver->allocations.size(), 6u);
    EXPECT_EQ(driver->freed.size(), 6u);
    ASSERT_EQ(render(s, {8, 4, 40, 20}, lines), GpuOutcome::Done);
    EXPECT_EQ(driver->freed.size(), 6u);

    // Glows that are off spread nothing and take the source as their unread buffer.
    TextureSettings grainAlone = s;
    grainAlone.halationBox = grainAlone.bloomBox = 0;
    driver->launchedFunctions.clear();
    ASSERT_EQ(render(grainAlone, {8, 4, 40, 20}, lines), GpuOutcome::Done);
    EXPECT_EQ(driver->launchedFunctions, std::vector<std::string>{"textureCompose"});
    EXPECT_EQ(argumentsOf("textureCompose")[13], kSourceAddress);
    EXPECT_EQ(argumentsOf("textureCompose")[14], 0u);
    EXPECT_EQ(argumentsOf("textureCompose")[19], kSourceAddress);
    EXPECT_EQ(argumentsOf("textureCompose")[20], 0u);

    // An empty window loads the kernels and renders nothing.
    driver->launchedFunctions.clear();
    ASSERT_EQ(render(s, {8, 4, 8, 20}, lines), GpuOutcome::Done);
    EXPECT_TRUE(driver->launchedFunctions.empty());

    driver->hostContextId += 1;
    ASSERT_EQ(render(s, {8, 4, 40, 20}, lines), GpuOutcome::Done);
    EXPECT_EQ(driver->moduleLoads, 2) << "another context loads its own";
}

TEST_F(TextureCudaLauncher, NamesWhatFailedAndRendersNothingHalfMade) {
    const TextureSettings s = everyPart();
    std::vector<std::string> lines;
    EXPECT_EQ(render(s, {0, 0, 8, 8}, lines, DeviceImage{}), GpuOutcome::Failed);
    EXPECT_EQ(lines, std::vector<std::string>{"ERROR : Texture: CUDA render without both images"});

    driver->failingCall = "cuMemAlloc_v2";
    driver->failure = 2;
    EXPECT_EQ(render(s, {0, 0, 8, 8}, lines), GpuOutcome::Done);
    EXPECT_EQ(lines.front(), "ERROR : cuMemAlloc failed: CUDA_ERROR_OUT_OF_MEMORY (2)");
    EXPECT_TRUE(driver->launchedFunctions.empty()) << "no composition without its glows";

    driver->failingCall = "cuLaunchKernel";
    driver->failure = 700;
    EXPECT_EQ(render(s, {0, 0, 8, 8}, lines), GpuOutcome::Done);
    EXPECT_EQ(lines.front(), "ERROR : cuLaunchKernel failed: CUDA_ERROR_UNKNOWN (700)");
    EXPECT_EQ(driver->synchronisations, 0);

    // Kernels that would not load are tried again on the next render.
    driver->hostContextId += 1;
    driver->failingCall = "cuModuleLoadData";
    driver->failure = 200;
    EXPECT_EQ(render(s, {0, 0, 8, 8}, lines), GpuOutcome::Unsupported);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "ERROR : cuModuleLoadData failed: CUDA_ERROR_INVALID_IMAGE (200)",
                         "ERROR : Could not load the CUDA texture kernel's sm_86 machine code on a device of compute "
                         "capability 8.6",
                         "ERROR : Texture: skipping CUDA processing: no kernel could be loaded"}));
    driver->failingCall.clear();
    EXPECT_EQ(render(s, {0, 0, 8, 8}, lines), GpuOutcome::Done);
    EXPECT_EQ(lines, std::vector<std::string>{});
}

// Every capability the build lists carries all three kernels, by the names
// the launcher asks for.
TEST(TextureCudaKernels, EveryImageCarriesEveryKernel) {
    const ChromvaleBeta2::CudaKernelBuild& build = textureCudaKernelBuild();
    ASSERT_FALSE(build.images.empty());
    EXPECT_EQ(build.images.size(), ChromvaleBeta2::cudaKernelBuild().images.size()) << "the look's capabilities";
    for (const ChromvaleBeta2::CudaKernelImage& image : build.images) {
        const std::string bytes(reinterpret_cast<const char*>(image.data), image.size);
        for (const std::string& kernel : kEveryKernel)
            EXPECT_NE(bytes.find(image.isPtx ? ".entry " + kernel : kernel), std::string::npos)
                << kernel << " in " << ChromvaleBeta2::describeCudaKernelImage(image);
    }
}

}  // namespace
}  // namespace TonemillTexture
