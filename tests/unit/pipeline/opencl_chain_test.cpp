// The kernel source built as an OpenCL program, the way the OpenCL back-end
// builds it from the archive, must compute what the CPU chain computes.
#include <gtest/gtest.h>

#define CL_TARGET_OPENCL_VERSION 120
#include <CL/cl.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "gpu/kernel_arguments.h"
#include "pipeline/cpu_chain.h"
#include "tests/unit/pipeline/chain_fixtures.h"

namespace ChromvaleBeta2 {
namespace {

std::string readKernelFile(const char* name) {
    std::ifstream in(std::string(TONEMILL_SOURCE_DIR) + "/kernels/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One device of the first platform that has any; PoCL on a machine without a
// GPU driver.
class OpenClChain : public ::testing::Test {
 protected:
    void SetUp() override {
        cl_uint platformCount = 0;
        if (clGetPlatformIDs(0, nullptr, &platformCount) != CL_SUCCESS || platformCount == 0)
            GTEST_SKIP() << "no OpenCL platform";
        std::vector<cl_platform_id> platforms(platformCount);
        clGetPlatformIDs(platformCount, platforms.data(), nullptr);
        for (cl_platform_id platform : platforms)
            if (clGetDeviceIDs(platform, CL_DEVICE_TYPE_ALL, 1, &device_, nullptr) == CL_SUCCESS) break;
        if (device_ == nullptr) GTEST_SKIP() << "no OpenCL device";
        cl_int status = CL_SUCCESS;
        context_ = clCreateContext(nullptr, 1, &device_, nullptr, nullptr, &status);
        ASSERT_EQ(status, CL_SUCCESS);
        queue_ = clCreateCommandQueue(context_, device_, 0, &status);
        ASSERT_EQ(status, CL_SUCCESS);
        buildKernel();
    }

    void TearDown() override {
        if (kernel_) clReleaseKernel(kernel_);
        if (program_) clReleaseProgram(program_);
        if (queue_) clReleaseCommandQueue(queue_);
        if (context_) clReleaseContext(context_);
    }

    // Two source strings, the sampling header first, no build options: what
    // the back-end does with the two archive entries.
    void buildKernel() {
        const std::string header = readKernelFile("lut_cuda.h");
        const std::string body = readKernelFile("chromvale_cuda.cu");
        ASSERT_FALSE(header.empty());
        ASSERT_FALSE(body.empty());
        const char* sources[] = {header.c_str(), body.c_str()};
        cl_int status = CL_SUCCESS;
        program_ = clCreateProgramWithSource(context_, 2, sources, nullptr, &status);
        ASSERT_EQ(status, CL_SUCCESS);
        status = clBuildProgram(program_, 1, &device_, nullptr, nullptr, nullptr);
        ASSERT_EQ(status, CL_SUCCESS) << buildLog();
        kernel_ = clCreateKernel(program_, "applyEffectKernel", &status);
        ASSERT_EQ(status, CL_SUCCESS);
        cl_uint argumentCount = 0;
        clGetKernelInfo(kernel_, CL_KERNEL_NUM_ARGS, sizeof argumentCount, &argumentCount, nullptr);
        ASSERT_EQ(argumentCount, 58u);
    }

    std::string buildLog() const {
        size_t size = 0;
        clGetProgramBuildInfo(program_, device_, CL_PROGRAM_BUILD_LOG, 0, nullptr, &size);
        std::string log(size, '\0');
        clGetProgramBuildInfo(program_, device_, CL_PROGRAM_BUILD_LOG, size, log.data(), nullptr);
        return log;
    }

    cl_mem upload(const void* data, size_t bytes) {
        if (data == nullptr || bytes == 0) return nullptr;
        cl_int status = CL_SUCCESS;
        cl_mem buffer =
            clCreateBuffer(context_, CL_MEM_READ_WRITE | CL_MEM_COPY_HOST_PTR, bytes, const_cast<void*>(data), &status);
        EXPECT_EQ(status, CL_SUCCESS);
        buffers_.push_back(buffer);
        return buffer;
    }

    cl_int setArgument(cl_uint index, const DeviceBuffer& buffer) {
        cl_mem mem = static_cast<cl_mem>(buffer);
        return clSetKernelArg(kernel_, index, sizeof mem, mem ? &mem : nullptr);
    }

    template <typename Number>
    cl_int setArgument(cl_uint index, const Number& value) {
        return clSetKernelArg(kernel_, index, sizeof value, &value);
    }

    // Runs the kernel over a width x height image with the settings' tables
    // and images copied to the device, in the device argument order.
    std::vector<float> run(const PipelineSettings& s, const std::vector<float>& pixels, int width, int height) {
        cl_mem source = upload(pixels.data(), pixels.size() * sizeof(float));
        cl_int status = CL_SUCCESS;
        cl_mem destination =
            clCreateBuffer(context_, CL_MEM_WRITE_ONLY, pixels.size() * sizeof(float), nullptr, &status);
        buffers_.push_back(destination);

        // The tables and pictures as the back-ends upload them, in the order they forward them.
        const HostUploads uploads = hostUploads(s);
        DeviceBuffers buffers{};
        for (std::size_t slot = 0; slot < kUploadCount; ++slot)
            buffers[slot].handle = upload(uploads[slot].data, uploads[slot].bytes);
        cl_uint index = 0;
        cl_int combined = CL_SUCCESS;
        forwardKernelArguments(s, width, height, DeviceBuffer{source}, buffers, uploads, DeviceBuffer{destination},
                               [&](const auto&... values) { ((combined |= setArgument(index++, values)), ...); });
        EXPECT_EQ(index, 58u);
        EXPECT_EQ(combined, CL_SUCCESS);

        const size_t global[2] = {static_cast<size_t>(width), static_cast<size_t>(height)};
        EXPECT_EQ(clEnqueueNDRangeKernel(queue_, kernel_, 2, nullptr, global, nullptr, 0, nullptr, nullptr),
                  CL_SUCCESS);
        std::vector<float> out(pixels.size());
        EXPECT_EQ(clEnqueueReadBuffer(queue_, destination, CL_TRUE, 0, out.size() * sizeof(float), out.data(), 0,
                                      nullptr, nullptr),
                  CL_SUCCESS);
        for (cl_mem buffer : buffers_) clReleaseMemObject(buffer);
        buffers_.clear();
        return out;
    }

    void expectMatchesCpu(const PipelineSettings& s, std::mt19937& rng) {
        const int width = 61, height = 9;
        std::vector<float> pixels(4 * width * height);
        std::uniform_real_distribution<float> value(-0.2f, 1.2f);
        for (float& v : pixels) v = value(rng);
        pixels[5] = std::nanf("");  // NaN takes the same way through both

        const std::vector<float> device = run(s, pixels, width, height);
        int mismatches = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const float* in = &pixels[4 * (y * width + x)];
                const float4 cpu = processColourAt(s, make_float4(in[0], in[1], in[2], in[3]), x, y);
                const float want[4] = {cpu.x, cpu.y, cpu.z, cpu.w};
                for (int c = 0; c < 4; ++c) {
                    const float got = device[4 * (y * width + x) + c];
                    const float tolerance = 1e-5f * std::fmax(std::fabs(want[c]), 1e-1f);
                    const bool same = std::fabs(got - want[c]) <= tolerance || (std::isnan(got) && std::isnan(want[c]));
                    if (!same && mismatches++ < 10)
                        ADD_FAILURE() << "pixel " << x << "," << y << " component " << c << ": device " << got
                                      << ", CPU " << want[c];
                }
            }
        EXPECT_EQ(mismatches, 0);
    }

    cl_device_id device_ = nullptr;
    cl_context context_ = nullptr;
    cl_command_queue queue_ = nullptr;
    cl_program program_ = nullptr;
    cl_kernel kernel_ = nullptr;
    std::vector<cl_mem> buffers_;
};

TEST_F(OpenClChain, EveryStageMatchesTheCpuChain) {
    std::mt19937 rng(21);
    expectMatchesCpu(testing::neutralSettings(), rng);  // no table bound at all
    for (int round = 0; round < 3; ++round) {
        testing::LoadedLook look;
        expectMatchesCpu(testing::randomSettings(look, rng, false), rng);
    }
}

TEST_F(OpenClChain, TestViewsMatchTheCpuRender) {
    std::mt19937 rng(22);
    testing::LoadedLook look;
    PipelineSettings s = testing::randomSettings(look, rng, true);
    expectMatchesCpu(s, rng);
    s.testImageSize = 0;  // the zone LUT and the guide over the graded picture
    expectMatchesCpu(s, rng);
}

}  // namespace
}  // namespace ChromvaleBeta2
