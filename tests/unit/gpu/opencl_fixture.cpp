#include "tests/unit/gpu/opencl_fixture.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tools/pack/archive_writer.h"

namespace ChromvaleBeta2::testing {
namespace {

void check(cl_int status, const char* what) {
    if (status != CL_SUCCESS) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(status));
}

cl_device_id firstDevice() {
    cl_uint platformCount = 0;
    if (clGetPlatformIDs(0, nullptr, &platformCount) != CL_SUCCESS || platformCount == 0) return nullptr;
    std::vector<cl_platform_id> platforms(platformCount);
    clGetPlatformIDs(platformCount, platforms.data(), nullptr);
    for (cl_platform_id platform : platforms) {
        cl_device_id device = nullptr;
        if (clGetDeviceIDs(platform, CL_DEVICE_TYPE_ALL, 1, &device, nullptr) == CL_SUCCESS) {
            return device;
        }
    }
    return nullptr;
}

std::filesystem::path kernelFile(const char* name) {
    return std::filesystem::path(TONEMILL_SOURCE_DIR) / "kernels" / name;
}

std::filesystem::path uniqueFolder() {
    static std::atomic<int> counter{0};
    auto folder = std::filesystem::temp_directory_path() /
                  ("tonemill-gpu-archive-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace

OpenClDevice* OpenClDevice::instance() {
    static OpenClDevice* const device = []() -> OpenClDevice* {
        cl_device_id id = firstDevice();
        if (id == nullptr) return nullptr;
        cl_int status = CL_SUCCESS;
        cl_context context = clCreateContext(nullptr, 1, &id, nullptr, nullptr, &status);
        check(status, "clCreateContext");
        return new OpenClDevice(id, context);
    }();
    return device;
}

cl_command_queue OpenClDevice::newQueue() {
    cl_int status = CL_SUCCESS;
    cl_command_queue queue = clCreateCommandQueue(context_, device_, 0, &status);
    check(status, "clCreateCommandQueue");
    return queue;
}

cl_mem OpenClDevice::newBuffer(const std::vector<float>& pixels) {
    cl_int status = CL_SUCCESS;
    cl_mem buffer = clCreateBuffer(context_, CL_MEM_READ_WRITE | CL_MEM_COPY_HOST_PTR, pixels.size() * sizeof(float),
                                   const_cast<float*>(pixels.data()), &status);
    check(status, "clCreateBuffer");
    return buffer;
}

std::vector<float> OpenClDevice::read(cl_command_queue queue, cl_mem buffer, std::size_t floats) {
    std::vector<float> pixels(floats);
    check(clEnqueueReadBuffer(queue, buffer, CL_TRUE, 0, floats * sizeof(float), pixels.data(), 0, nullptr, nullptr),
          "clEnqueueReadBuffer");
    return pixels;
}

TestArchive::TestArchive(const std::vector<Entry>& entries) : folder_(uniqueFolder()) {
    std::vector<PackEntry> pack;
    for (const Entry& entry : entries) pack.push_back({entry.name, entry.source});
    const auto path = folder_ / "data.bin";
    writeArchive(pack, path);
    if (!archive_.open(path.string())) throw std::runtime_error("cannot open " + path.string());
}

TestArchive::~TestArchive() {
    std::filesystem::remove_all(folder_);
}

std::unique_ptr<TestArchive> TestArchive::withKernelSources() {
    return std::unique_ptr<TestArchive>(new TestArchive({
        {"OCL/lut_cuda.h", kernelFile("lut_cuda.h")},
        {"OCL/chromvale_cuda.cu", kernelFile("chromvale_cuda.cu")},
    }));
}

std::unique_ptr<TestArchive> TestArchive::withoutKernelSources() {
    return std::unique_ptr<TestArchive>(new TestArchive({{"1-IDT/Unused.cube", kernelFile("lut_cuda.h")}}));
}

std::unique_ptr<TestArchive> TestArchive::withBrokenKernel() {
    const auto broken = uniqueFolder() / "broken.cl";
    std::ofstream(broken) << "__kernel void applyEffectKernel(this is not OpenCL C\n";
    auto archive = std::unique_ptr<TestArchive>(new TestArchive({
        {"OCL/lut_cuda.h", kernelFile("lut_cuda.h")},
        {"OCL/chromvale_cuda.cu", broken},
    }));
    std::filesystem::remove_all(broken.parent_path());
    return archive;
}

}  // namespace ChromvaleBeta2::testing
