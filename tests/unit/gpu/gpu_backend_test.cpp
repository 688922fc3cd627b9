#include <dlfcn.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "gpu/cuda_device_lines.h"
#include "gpu/cuda_launcher.h"
#include "gpu/device_report.h"
#include "gpu/kernel_arguments.h"
#include "gpu/opencl_api.h"
#include "tests/unit/gpu/look_fixture.h"
#include "tests/unit/gpu/opencl_fixture.h"

namespace ChromvaleBeta2::testing {
namespace {

TEST(HostUploads, CopyWholeTablesAndOnlyCompletePictures) {
    const std::vector<float> table(17 * 17 * 17 * 3), curve(64 * 3);
    const std::vector<unsigned char> picture(kDeviceImageBytes);
    PipelineSettings settings = neutralSettings();
    settings.idtLut = settings.paletteLut = table.data();
    settings.idtLutSize = settings.paletteLutSize = 17;
    settings.contrastLut = curve.data();
    settings.contrastLutSize = 64;
    settings.testImage = picture.data();
    settings.testImageSize = static_cast<unsigned>(picture.size());
    HostUploads uploads = hostUploads(settings);
    EXPECT_EQ(uploads[kIdtUpload].bytes, 17u * 17u * 17u * 12u);
    EXPECT_EQ(uploads[kIdtUpload].sizeArgument, 17u);
    EXPECT_EQ(uploads[kContrastUpload].bytes, 64u * 12u);
    EXPECT_EQ(uploads[kTestImageUpload].bytes, kDeviceImageBytes);
    EXPECT_EQ(uploads[kTestImageUpload].sizeArgument, kDeviceImageBytes);
    EXPECT_FALSE(uploads[kZoneUpload].present());
    EXPECT_EQ(uploads[kZoneUpload].sizeArgument, 0u);

    // The kernel reads a full 1920 x 1080 picture whatever the size says, and
    // tests only the size to decide whether a stage runs.
    settings.testImageSize -= 4;
    settings.idtLut = nullptr;
    settings.paletteLutSize = 0;
    uploads = hostUploads(settings);
    for (UploadSlot slot : {kTestImageUpload, kIdtUpload, kPaletteUpload}) {
        EXPECT_FALSE(uploads[slot].present()) << slot;
        EXPECT_EQ(uploads[slot].sizeArgument, 0u) << slot;
    }
}

// The kernel takes each table at the argument of its slot; a stage whose table
// went to another slot would run with the wrong look.
TEST(HostUploads, EachTableTakesTheSlotOfItsStage) {
    const std::vector<float> table(3 * 3 * 3 * 3);
    const std::vector<std::pair<UploadSlot, const float* ChainSettings::*>> slots = {
        {kIdtUpload, &ChainSettings::idtLut},         {kContrastUpload, &ChainSettings::contrastLut},
        {kPaletteUpload, &ChainSettings::paletteLut}, {kPrintUpload, &ChainSettings::printLut},
        {kOdtUpload, &ChainSettings::odtLut},         {kPostProcessUpload, &ChainSettings::postProcessLut},
        {kZoneUpload, &ChainSettings::zoneLut}};
    for (const auto& [slot, lut] : slots) {
        PipelineSettings settings = neutralSettings();
        settings.*lut = table.data();
        settings.idtLutSize = settings.contrastLutSize = settings.paletteLutSize = settings.printLutSize =
            settings.odtLutSize = settings.postProcessLutSize = settings.zoneLutSize = 3;
        const HostUploads uploads = hostUploads(settings);
        for (std::size_t other = 0; other < kUploadCount; ++other)
            EXPECT_EQ(uploads[other].present(), other == slot) << "slot " << slot << ", upload " << other;
    }
    for (std::size_t channel = 0; channel < 3; ++channel) {
        PipelineSettings settings = neutralSettings();
        settings.gamutLut[channel] = table.data();
        settings.gamutLutSize[channel] = 3;
        EXPECT_TRUE(hostUploads(settings)[kGamutRedUpload + channel].present()) << channel;
    }
}

TEST(OpenClLoader, LeavesTheTableAloneWhenTheLibraryIsMissing) {
    OpenClApi api;
    EXPECT_FALSE(loadOpenClApi("libTonemillNoSuchOpenCL.so.1", api));
    EXPECT_EQ(api.clGetPlatformIDs, nullptr);
    if (OpenClDevice::instance() != nullptr) {
        ASSERT_NE(openClApi(), nullptr);
        EXPECT_NE(openClApi()->clEnqueueNDRangeKernel, nullptr);
    }
}

TEST(DeviceReport, ListsEveryOpenClDeviceInNumberedBlocks) {
    if (OpenClDevice::instance() == nullptr) GTEST_SKIP() << "no OpenCL device on this machine";
    Diagnostics report;
    reportOpenClDevices(report);
    const std::vector<std::string> lines = logged(report);
    ASSERT_FALSE(lines.empty());
    ASSERT_EQ(lines.size() % 5, 0u) << lines.size();
    const std::regex block[] = {
        std::regex(R"((\d+)\. Device: .+)"), std::regex(R"( (\d+)\.1 Hardware version: OpenCL .+)"),
        std::regex(R"( (\d+)\.2 Software version: .+)"), std::regex(R"( (\d+)\.3 OpenCL C version: OpenCL C .+)"),
        std::regex(R"( (\d+)\.4 Parallel compute units: [1-9]\d*)")};
    std::string deviceNumber;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(lines[i], match, block[i % 5])) << lines[i];
        // Every line of a block carries its device's number, not a version.
        if (i % 5 == 0) deviceNumber = match[1];
        EXPECT_EQ(match[1], deviceNumber) << lines[i];
    }
    EXPECT_EQ(lines[0].rfind("1. Device: ", 0), 0u);
}

TEST(DeviceReport, DescribesACudaDevice) {
    Diagnostics report;
    reportCudaDevice(report, 0, {"Test GPU", 8, 6, 7000000, 256});
    reportCudaDevice(report, 1, {"Odd Bus", 7, 5, 7000000, 255});
    const std::vector<std::string> expected = {"Device Number: 0",
                                               "  Device name: Test GPU",
                                               "  Compute capability: 8.6",
                                               "  Memory Clock Rate (KHz): 7000000",
                                               "  Memory Bus Width (bits): 256",
                                               "  Peak Memory Bandwidth (GB/s): 448.000000",
                                               "Device Number: 1",
                                               "  Device name: Odd Bus",
                                               "  Compute capability: 7.5",
                                               "  Memory Clock Rate (KHz): 7000000",
                                               "  Memory Bus Width (bits): 255",
                                               "  Peak Memory Bandwidth (GB/s): 434.000000"};  // 31 whole bytes
    EXPECT_EQ(logged(report), expected);
}

TEST(CudaBackend, AnswersForWhatThisBuildCarries) {
    Diagnostics report;
    reportCudaDevices(report);
    const std::vector<std::string> lines = logged(report);
    ASSERT_FALSE(lines.empty());
    const PipelineSettings settings = neutralSettings();
    Diagnostics refusal;
    if (cudaBackendBuilt()) {
        EXPECT_EQ(lines[0].rfind("CUDA compile time version : ", 0), 0u);
        // Null device pointers would fault inside the kernel and poison the
        // host's CUDA context; the launcher refuses them before touching the device.
        EXPECT_EQ(launchCudaPipeline(8, 8, settings, nullptr, nullptr, refusal), GpuOutcome::Failed);
        EXPECT_EQ(logged(refusal), std::vector<std::string>{"ERROR : CUDA render without a source image"});
    } else {
        EXPECT_EQ(lines[0], "CUDA support was not built into this plug-in");
        EXPECT_EQ(launchCudaPipeline(8, 8, settings, nullptr, nullptr, refusal), GpuOutcome::Unsupported);
    }
}

// A machine without NVIDIA's driver is an ordinary one: the report says once
// that CUDA renders are unavailable, as a note, and sends nobody hunting for a
// driver update.
TEST(CudaBackend, AMachineWithoutTheDriverIsReportedPlainly) {
    if (!cudaBackendBuilt()) GTEST_SKIP() << "this build carries no CUDA kernel";
    if (void* driver = ::dlopen("libcuda.so.1", RTLD_NOW | RTLD_LOCAL)) {
        ::dlclose(driver);
        GTEST_SKIP() << "this machine has an NVIDIA driver";
    }
    Diagnostics report;
    reportCudaDevices(report);
    const std::vector<std::string> lines = logged(report);
    int unavailable = 0;
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
        unavailable += line == "No NVIDIA driver found: CUDA renders unavailable";
    }
    EXPECT_EQ(unavailable, 1);

    // A host that hands CUDA images all the same is told why nothing rendered.
    std::vector<float> pixels(4);
    Diagnostics refusal;
    EXPECT_EQ(launchCudaPipeline(1, 1, neutralSettings(), pixels.data(), pixels.data(), refusal),
              GpuOutcome::Unsupported);
    EXPECT_EQ(logged(refusal), std::vector<std::string>{"ERROR : No NVIDIA driver found: CUDA renders unavailable"});
}

}  // namespace
}  // namespace ChromvaleBeta2::testing
