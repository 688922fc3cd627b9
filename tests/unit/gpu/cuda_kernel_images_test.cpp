#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "gpu/cuda_driver_api.h"
#include "gpu/cuda_kernel_images.h"
#include "gpu/cuda_launcher.h"

namespace ChromvaleBeta2::testing {
namespace {

std::string chosen(std::span<const CudaKernelImage> images, int major, int minor) {
    const CudaKernelImage* image = chooseCudaKernelImage(images, major, minor);
    return image ? describeCudaKernelImage(*image) : "none";
}

// The GPUs studios run, by compute capability, with the image each must get:
// machine code up to Hopper (Jetson and Orin parts included), PTX after.
const std::vector<std::tuple<int, int, std::string>> kDevices = {{5, 0, "sm_50 machine code"},
                                                                 {5, 2, "sm_52 machine code"},
                                                                 {5, 3, "sm_52 machine code"},
                                                                 {6, 0, "sm_60 machine code"},
                                                                 {6, 1, "sm_61 machine code"},
                                                                 {6, 2, "sm_61 machine code"},
                                                                 {7, 0, "sm_70 machine code"},
                                                                 {7, 2, "sm_70 machine code"},
                                                                 {7, 5, "sm_75 machine code"},
                                                                 {8, 0, "sm_80 machine code"},
                                                                 {8, 6, "sm_86 machine code"},
                                                                 {8, 7, "sm_86 machine code"},
                                                                 {8, 9, "sm_89 machine code"},
                                                                 {9, 0, "sm_90 machine code"},
                                                                 {10, 0, "compute_90 PTX"},
                                                                 {12, 0, "compute_90 PTX"},
                                                                 {3, 5, "none"}};

TEST(CudaKernelImages, EachDeviceGetsWhatTheDriverWouldPick) {
    std::vector<CudaKernelImage> images;
    // PTX first, so a choice that merely keeps the first fit is caught.
    images.push_back({9, 0, true, nullptr, 0});
    for (int architecture : {50, 52, 60, 61, 70, 75, 80, 86, 89, 90})
        images.push_back({architecture / 10, architecture % 10, false, nullptr, 0});
    for (const auto& [major, minor, expected] : kDevices)
        EXPECT_EQ(chosen(images, major, minor), expected) << major << "." << minor;

    // Without machine code the newest PTX not above the device is compiled.
    const std::vector<CudaKernelImage> ptxOnly = {{5, 0, true, nullptr, 0}, {9, 0, true, nullptr, 0}};
    EXPECT_EQ(chosen(ptxOnly, 8, 6), "compute_50 PTX");
    EXPECT_EQ(chosen(ptxOnly, 9, 0), "compute_90 PTX");
    EXPECT_EQ(chosen({}, 8, 6), "none");
}

// A cubin is an ELF file for EM_CUDA whose flags name its architecture: in
// the low byte up to ABI version 7, in the second byte from version 8 on.
int cubinArchitecture(const CudaKernelImage& image) {
    constexpr std::uint16_t kMachineCuda = 190;
    if (image.size < 64 ||
        std::memcmp(image.data,
                    "\x7f"
                    "ELF",
                    4) != 0 ||
        image.data[4] != 2)
        return -1;
    std::uint16_t machine = 0;
    std::uint32_t flags = 0;
    std::memcpy(&machine, image.data + 18, sizeof machine);
    std::memcpy(&flags, image.data + 48, sizeof flags);
    if (machine != kMachineCuda) return -1;
    return static_cast<int>(image.data[8] >= 8 ? (flags >> 8) & 0xff : flags & 0xff);
}

bool holds(const CudaKernelImage& image, std::string_view text) {
    return std::string_view(reinterpret_cast<const char*>(image.data), image.size).find(text) != std::string_view::npos;
}

TEST(CudaKernelImages, TheBuildCarriesMachineCodeFromMaxwellToHopperAndPtxAfter) {
    if (!cudaBackendBuilt()) GTEST_SKIP() << "this build carries no CUDA kernel";
    const CudaKernelBuild& build = cudaKernelBuild();
    ASSERT_NE(build.kernelSymbol, nullptr);
    EXPECT_GE(build.compilerVersion, 12000);
    EXPECT_LT(build.compilerVersion, 13000) << "CUDA 13 compilers no longer target Maxwell, Pascal or Volta";
    std::set<int> cubins, ptx;
    for (const CudaKernelImage& image : build.images) {
        const int architecture = 10 * image.major + image.minor;
        EXPECT_TRUE(holds(image, build.kernelSymbol)) << describeCudaKernelImage(image);
        if (image.isPtx) {
            ptx.insert(architecture);
            EXPECT_TRUE(holds(image, ".target sm_" + std::to_string(architecture) + "\n"));
            EXPECT_TRUE(holds(image, std::string(".entry ") + build.kernelSymbol));
            // The driver reads PTX as a C string.
            EXPECT_EQ(image.data[image.size - 1], '\0');
        } else {
            cubins.insert(architecture);
            EXPECT_EQ(cubinArchitecture(image), architecture) << describeCudaKernelImage(image);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(image.data) % 8, 0u) << describeCudaKernelImage(image);
        }
    }
    EXPECT_EQ(cubins, (std::set<int>{50, 52, 60, 61, 70, 75, 80, 86, 89, 90}));
    EXPECT_EQ(ptx, std::set<int>{90});
    for (const auto& [major, minor, expected] : kDevices)
        EXPECT_EQ(chosen(build.images, major, minor), expected) << major << "." << minor;
}

TEST(CudaDriverLoader, TellsAMissingDriverFromOneTooOld) {
    CudaDriverApi api;
    const CudaDriver missing = loadCudaDriver("libTonemillNoSuchCuda.so.1", api);
    EXPECT_EQ(missing.api, nullptr);
    EXPECT_EQ(unusableDriverText(missing), "No NVIDIA driver found: CUDA renders unavailable");

    // The C library stands in for a driver that lacks the entry points.
    const CudaDriver incomplete = loadCudaDriver("libc.so.6", api);
    EXPECT_EQ(incomplete.api, nullptr);
    ASSERT_NE(incomplete.missingEntryPoint, nullptr);
    EXPECT_STREQ(incomplete.missingEntryPoint, "cuInit");
    EXPECT_NE(unusableDriverText(incomplete).find("lacks cuInit"), std::string::npos) << unusableDriverText(incomplete);
    EXPECT_EQ(api.cuInit, nullptr);
}

}  // namespace
}  // namespace ChromvaleBeta2::testing
