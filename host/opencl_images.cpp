#include "host/opencl_images.h"

#include <stdexcept>
#include <vector>

#define CL_TARGET_OPENCL_VERSION 120
#include <CL/cl.h>

#include "host/runtime_library.h"
#include "ofxGPURender.h"

namespace tonemill::host {

// The OpenCL entry points the host uses, looked up in the ICD loader.
struct OpenClImages::Api {
    RuntimeLibrary library{"libOpenCL.so.1", "OpenCL images"};
    decltype(&clGetPlatformIDs) getPlatformIDs = nullptr;
    decltype(&clGetPlatformInfo) getPlatformInfo = nullptr;
    decltype(&clGetDeviceIDs) getDeviceIDs = nullptr;
    decltype(&clGetDeviceInfo) getDeviceInfo = nullptr;
    decltype(&clCreateContext) createContext = nullptr;
    decltype(&clCreateCommandQueue) createCommandQueue = nullptr;
    decltype(&clCreateBuffer) createBuffer = nullptr;
    decltype(&clEnqueueReadBuffer) enqueueReadBuffer = nullptr;
    decltype(&clReleaseMemObject) releaseMemObject = nullptr;
    decltype(&clReleaseCommandQueue) releaseCommandQueue = nullptr;
    decltype(&clReleaseContext) releaseContext = nullptr;

    Api() {
        library.bind(getPlatformIDs, "clGetPlatformIDs");
        library.bind(getPlatformInfo, "clGetPlatformInfo");
        library.bind(getDeviceIDs, "clGetDeviceIDs");
        library.bind(getDeviceInfo, "clGetDeviceInfo");
        library.bind(createContext, "clCreateContext");
        library.bind(createCommandQueue, "clCreateCommandQueue");
        library.bind(createBuffer, "clCreateBuffer");
        library.bind(enqueueReadBuffer, "clEnqueueReadBuffer");
        library.bind(releaseMemObject, "clReleaseMemObject");
        library.bind(releaseCommandQueue, "clReleaseCommandQueue");
        library.bind(releaseContext, "clReleaseContext");
    }
};

struct OpenClImages::State {
    Api api;
    cl_device_id device = nullptr;
    cl_context context = nullptr;
    ~State() {
        if (context) api.releaseContext(context);
    }
};

namespace {

void check(cl_int error, const char* what) {
    if (error != CL_SUCCESS)
        throw std::runtime_error(std::string("OpenCL images: ") + what + " failed with error " + std::to_string(error));
}

std::string platformNameOf(const OpenClImages::Api& api, cl_platform_id platform) {
    char name[256] = {};
    api.getPlatformInfo(platform, CL_PLATFORM_NAME, sizeof name - 1, name, nullptr);
    return name;
}

cl_device_id firstDevice(const OpenClImages::Api& api, cl_platform_id platform) {
    for (cl_device_type type : {cl_device_type(CL_DEVICE_TYPE_GPU), cl_device_type(CL_DEVICE_TYPE_ALL)}) {
        cl_device_id device = nullptr;
        cl_uint count = 0;
        if (api.getDeviceIDs(platform, type, 1, &device, &count) == CL_SUCCESS && count > 0) return device;
    }
    return nullptr;
}

cl_command_queue newQueue(const OpenClImages::State& state) {
    cl_int error = CL_SUCCESS;
    cl_command_queue queue = state.api.createCommandQueue(state.context, state.device, 0, &error);
    check(error, "clCreateCommandQueue");
    return queue;
}

}  // namespace

std::unique_ptr<OpenClImages> OpenClImages::open(const std::string& platformName) {
    auto state = std::make_shared<State>();
    const Api& api = state->api;
    cl_uint platformCount = 0;
    if (api.getPlatformIDs(0, nullptr, &platformCount) != CL_SUCCESS || platformCount == 0)
        throw std::runtime_error("OpenCL images: no OpenCL platform is installed");
    std::vector<cl_platform_id> platforms(platformCount);
    check(api.getPlatformIDs(platformCount, platforms.data(), nullptr), "clGetPlatformIDs");
    for (cl_platform_id platform : platforms) {
        if (!platformName.empty() && platformNameOf(api, platform).find(platformName) == std::string::npos) continue;
        state->device = firstDevice(api, platform);
        if (state->device) break;
    }
    if (!state->device)
        throw std::runtime_error(
            "OpenCL images: no OpenCL device" +
            (platformName.empty() ? std::string() : " on a platform named '" + platformName + "'"));
    cl_int error = CL_SUCCESS;
    state->context = api.createContext(nullptr, 1, &state->device, nullptr, nullptr, &error);
    check(error, "clCreateContext");
    void* queue = newQueue(*state);
    return std::unique_ptr<OpenClImages>(new OpenClImages(std::move(state), queue));
}

OpenClImages::OpenClImages(std::shared_ptr<State> state, void* queue) : state_(std::move(state)), queue_(queue) {}

OpenClImages::~OpenClImages() {
    state_->api.releaseCommandQueue(static_cast<cl_command_queue>(queue_));
}

std::unique_ptr<OpenClImages> OpenClImages::withNewQueue() const {
    return std::unique_ptr<OpenClImages>(new OpenClImages(state_, newQueue(*state_)));
}

std::string OpenClImages::deviceName() const {
    char name[256] = {};
    state_->api.getDeviceInfo(state_->device, CL_DEVICE_NAME, sizeof name - 1, name, nullptr);
    return name;
}

const char* OpenClImages::enabledProperty() const {
    return kOfxImageEffectPropOpenCLEnabled;
}
const char* OpenClImages::queueProperty() const {
    return kOfxImageEffectPropOpenCLCommandQueue;
}
void* OpenClImages::queue() {
    return queue_;
}

DeviceBuffer OpenClImages::upload(const HostImage& image) {
    std::vector<std::byte> rows = image.packedBottomUp();
    cl_int error = CL_SUCCESS;
    // CL_MEM_COPY_HOST_PTR copies at creation, so no queue work is left pending.
    cl_mem buffer =
        state_->api.createBuffer(state_->context, CL_MEM_READ_WRITE | (rows.empty() ? 0 : CL_MEM_COPY_HOST_PTR),
                                 rows.empty() ? 1 : rows.size(), rows.empty() ? nullptr : rows.data(), &error);
    check(error, "clCreateBuffer");
    return DeviceBuffer{buffer, image.rowBytes() < 0 ? -image.rowBytes() : image.rowBytes()};
}

void OpenClImages::download(const DeviceBuffer& buffer, HostImage& image) {
    std::vector<std::byte> rows(image.byteSize());
    if (rows.empty()) return;
    check(state_->api.enqueueReadBuffer(static_cast<cl_command_queue>(queue_), static_cast<cl_mem>(buffer.handle),
                                        CL_TRUE, 0, rows.size(), rows.data(), 0, nullptr, nullptr),
          "clEnqueueReadBuffer");
    image.unpackBottomUp(rows.data());
}

void OpenClImages::release(const DeviceBuffer& buffer) noexcept {
    if (buffer.handle) state_->api.releaseMemObject(static_cast<cl_mem>(buffer.handle));
}

}  // namespace tonemill::host
