// The CUDA launcher against a fake driver (fake_cuda_driver.cpp), found as
// libcuda.so.1 through this program's run path: what it loads, in which
// context, with which arguments, and what it says and frees when a call fails.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gpu/cuda_kernel_images.h"
#include "gpu/cuda_launcher.h"
#include "gpu/kernel_arguments.h"
#include "tests/unit/gpu/fake_cuda_driver.h"
#include "tests/unit/gpu/look_fixture.h"

namespace ChromvaleBeta2::testing {
namespace {

const void* const kSource = reinterpret_cast<const void*>(0xA000);
void* const kDestination = reinterpret_cast<void*>(0xB000);

class CudaLauncher : public ::testing::Test {
 protected:
    void SetUp() override {
        driver = ChromvaleBeta2::testing::resetFakeCudaDriver();
        if (driver == nullptr) GTEST_SKIP() << "a real NVIDIA driver shadows the fake one";
        // Each test renders in contexts of its own: loaded kernels outlive a test.
        static unsigned long long nextContextId = 1;
        driver->hostContextId = nextContextId += 10;
        driver->argumentSizes = argumentSizes();
    }

    // The kernel's parameters, by width: source, width, height, each table's
    // address and size, each number, destination.
    static std::vector<std::size_t> argumentSizes() {
        std::vector<std::size_t> sizes = {8, 4, 4};
#define TM_TABLE_WIDTHS(element, pointer, size, member, sizeMember, slot) sizes.insert(sizes.end(), {8, 4});
#define TM_VALUE_WIDTH(type, name, member) sizes.push_back(sizeof(type));
        TM_KERNEL_ARGUMENTS(TM_TABLE_WIDTHS, TM_VALUE_WIDTH)
#undef TM_TABLE_WIDTHS
#undef TM_VALUE_WIDTH
        sizes.push_back(8);
        return sizes;
    }

    GpuOutcome render(const PipelineSettings& settings, std::vector<std::string>& lines, int width = 300,
                      int height = 5) {
        Diagnostics diagnostics;
        const GpuOutcome outcome = launchCudaPipeline(width, height, settings, kSource, kDestination, diagnostics);
        lines = logged(diagnostics);
        return outcome;
    }

    // A present table reaches the kernel as the address of a device copy of
    // all its bytes; an absent one as a null address.
    void expectDeviceCopy(std::uint64_t argument, const void* table, std::size_t bytes, const char* name) const {
        if (table == nullptr || bytes == 0) {
            EXPECT_EQ(argument, 0u) << name << " is absent";
            return;
        }
        const auto copy = driver->freed.find(argument);
        ASSERT_NE(copy, driver->freed.end()) << name << " is no device copy";
        const auto* bytesIn = static_cast<const unsigned char*>(table);
        EXPECT_EQ(copy->second, std::vector<unsigned char>(bytesIn, bytesIn + bytes)) << name;
    }

    FakeCudaDriver* driver = nullptr;
};

std::uint64_t address(const void* pointer) {
    return reinterpret_cast<std::uintptr_t>(pointer);
}

std::uint64_t floatBits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST_F(CudaLauncher, RunsTheDevicesImageWithEveryArgumentInItsPlace) {
    driver->major = 6;
    driver->minor = 2;
    PipelineSettings settings = neutralSettings();
    float distinct = 0.5f;
#define TM_SKIP_TABLE(element, pointer, size, member, sizeMember, slot)
#define TM_SET_VALUE(type, name, member) settings.member = distinct += 0.01f;
    TM_KERNEL_ARGUMENTS(TM_SKIP_TABLE, TM_SET_VALUE)
#undef TM_SKIP_TABLE
#undef TM_SET_VALUE
    const std::vector<float> cube(2 * 2 * 2 * 3, 0.25f), curve{0.0f, 0.1f, 0.2f, 1.0f, 1.1f, 1.2f};
    settings.idtLut = cube.data();
    settings.idtLutSize = 2;
    settings.contrastLut = curve.data();
    settings.contrastLutSize = 2;

    std::vector<std::string> lines;
    ASSERT_EQ(render(settings, lines), GpuOutcome::Done);
    EXPECT_EQ(lines, std::vector<std::string>{});
    const CudaKernelBuild& build = cudaKernelBuild();
    ASSERT_EQ(driver->moduleLoads, 1);
    EXPECT_EQ(driver->loadedImage, chooseCudaKernelImage(build.images, 6, 1)->data) << "sm_61 runs on 6.2";
    EXPECT_EQ(driver->functionName, build.kernelSymbol);
    EXPECT_EQ(driver->grid[0], 2u);
    EXPECT_EQ(driver->grid[1], 5u);
    EXPECT_EQ(driver->block[0], 256u);
    EXPECT_EQ(driver->synchronisations, 1);

    // Every argument at its place and width; each table as a device copy of its bytes.
    const std::vector<std::uint64_t>& arguments = driver->arguments;
    ASSERT_EQ(arguments.size(), driver->argumentSizes.size());
    EXPECT_EQ(arguments[0], address(kSource));
    EXPECT_EQ(arguments[1], 300u);
    EXPECT_EQ(arguments[2], 5u);
    EXPECT_EQ(arguments.back(), address(kDestination));
    const HostUploads uploads = hostUploads(settings);
    std::size_t index = 3;
#define TM_CHECK_TABLE(element, pointer, size, member, sizeMember, slot)                          \
    EXPECT_EQ(arguments[index + 1], settings.sizeMember) << #sizeMember;                          \
    expectDeviceCopy(arguments[index], settings.member, uploads[k##slot##Upload].bytes, #member); \
    index += 2;
#define TM_CHECK_VALUE(type, name, member) EXPECT_EQ(arguments[index++], floatBits(settings.member)) << #member;
    TM_KERNEL_ARGUMENTS(TM_CHECK_TABLE, TM_CHECK_VALUE)
#undef TM_CHECK_TABLE
#undef TM_CHECK_VALUE
    EXPECT_TRUE(driver->allocations.empty()) << "every device copy is freed";
    EXPECT_EQ(driver->freed.size(), 2u);

    // The module is loaded once per context.
    ASSERT_EQ(render(settings, lines), GpuOutcome::Done);
    EXPECT_EQ(driver->moduleLoads, 1);
    driver->hostContextId += 1;
    ASSERT_EQ(render(settings, lines), GpuOutcome::Done);
    EXPECT_EQ(driver->moduleLoads, 2);
}

// A host that makes no context current still renders: in the primary context
// of the device holding the images, retained once, and the thread is left as it was.
TEST_F(CudaLauncher, WithoutACurrentContextRendersInThePrimaryContextOfTheImagesDevice) {
    driver->hostContextCurrent = false;
    driver->imageDeviceOrdinal = 1;
    std::vector<std::string> lines;
    for (int render = 0; render < 2; ++render) {
        ASSERT_EQ(this->render(neutralSettings(), lines), GpuOutcome::Done);
        EXPECT_EQ(lines, std::vector<std::string>{});
    }
    EXPECT_EQ(driver->retainedPrimaryContexts, std::vector<CUdevice>{1});
    EXPECT_EQ(driver->pushes, 2);
    EXPECT_EQ(driver->pops, 2);
    EXPECT_EQ(driver->launches, 2);
}

TEST_F(CudaLauncher, NamesTheCallThatFailedAndFreesWhatItTook) {
    PipelineSettings settings = neutralSettings();
    const std::vector<float> cube(2 * 2 * 2 * 3, 0.5f);
    settings.idtLut = settings.odtLut = cube.data();
    settings.idtLutSize = settings.odtLutSize = 2;
    std::vector<std::string> lines;

    driver->failingCall = "cuMemcpyHtoD_v2";
    driver->failure = 2;
    EXPECT_EQ(render(settings, lines), GpuOutcome::Done);
    EXPECT_EQ(lines, std::vector<std::string>{"ERROR : cuMemcpyHtoD failed: CUDA_ERROR_OUT_OF_MEMORY (2)"});
    EXPECT_EQ(driver->launches, 0);
    EXPECT_TRUE(driver->allocations.empty());

    driver->failingCall = "cuLaunchKernel";
    driver->failure = 700;
    EXPECT_EQ(render(settings, lines), GpuOutcome::Done);
    EXPECT_EQ(lines, std::vector<std::string>{"ERROR : cuLaunchKernel failed: CUDA_ERROR_UNKNOWN (700)"});
    EXPECT_EQ(driver->synchronisations, 0);
    EXPECT_TRUE(driver->allocations.empty());

    // A kernel that would not load is tried again on the next render.
    driver->hostContextId += 1;
    driver->failingCall = "cuModuleLoadData";
    driver->failure = 200;
    EXPECT_EQ(render(settings, lines), GpuOutcome::Unsupported);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "ERROR : cuModuleLoadData failed: CUDA_ERROR_INVALID_IMAGE (200)",
                         "ERROR : Could not load the CUDA kernel's sm_86 machine code on a device of compute "
                         "capability 8.6",
                         "ERROR : Skipping CUDA processing: no kernel could be loaded"}));
    driver->failingCall.clear();
    EXPECT_EQ(render(settings, lines), GpuOutcome::Done);
    EXPECT_EQ(lines, std::vector<std::string>{});
    EXPECT_EQ(driver->moduleLoads, 3) << "one for the first context, two for the second";

    driver->hostContextId += 1;
    driver->major = 3;
    driver->minor = 5;
    EXPECT_EQ(render(settings, lines), GpuOutcome::Unsupported);
    EXPECT_EQ(lines.front(), "ERROR : This plug-in carries no CUDA kernel for compute capability 3.5");
}

}  // namespace
}  // namespace ChromvaleBeta2::testing
