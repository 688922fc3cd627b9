#include "gpu/opencl_launcher.h"

#include <map>
#include <mutex>
#include <type_traits>
#include <vector>

#include "gpu/kernel_arguments.h"
#include "gpu/opencl_api.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2 {
namespace {

constexpr const char* kKernelName = "applyEffectKernel";

// Built kernels live as long as the process: hosts keep their queues, and a
// rebuild costs a full compile.
struct KernelCache {
    std::mutex kernelCacheMutex;
    std::map<cl_command_queue, cl_device_id> deviceByQueue;
    std::map<cl_command_queue, cl_kernel> kernelByQueue;
};

KernelCache& kernelCache() {
    static KernelCache cache;
    return cache;
}

void noteFailure(Diagnostics& diagnostics, cl_int status, const char* message) {
    if (status != CL_SUCCESS) diagnostics.error("%s [%d]", message, status);
}

cl_device_id queueDevice(const OpenClApi& cl, KernelCache& cache, cl_command_queue queue, Diagnostics& diagnostics) {
    const auto known = cache.deviceByQueue.find(queue);
    if (known != cache.deviceByQueue.end()) return known->second;
    cl_device_id device = nullptr;
    const cl_int status = cl.clGetCommandQueueInfo(queue, CL_QUEUE_DEVICE, sizeof(device), &device, nullptr);
    noteFailure(diagnostics, status, "Unable to get the device");
    if (status != CL_SUCCESS) device = nullptr;
    cache.deviceByQueue[queue] = device;
    return device;
}

void noteBuildLog(const OpenClApi& cl, cl_program program, cl_device_id device, Diagnostics& diagnostics) {
    cl_build_status buildStatus = CL_BUILD_SUCCESS;
    cl.clGetProgramBuildInfo(program, device, CL_PROGRAM_BUILD_STATUS, sizeof(buildStatus), &buildStatus, nullptr);
    if (buildStatus == CL_BUILD_SUCCESS) return;
    std::size_t logSize = 0;
    cl.clGetProgramBuildInfo(program, device, CL_PROGRAM_BUILD_LOG, 0, nullptr, &logSize);
    std::vector<char> log(logSize + 1, '\0');
    cl.clGetProgramBuildInfo(program, device, CL_PROGRAM_BUILD_LOG, logSize, log.data(), nullptr);
    log.back() = '\0';
    diagnostics.error("%s", log.data());
}

// Compiles the kernel for one queue. Every failure is noted and the build goes
// on, so the log shows all that went wrong; the result is then null. A step that
// would need a missing handle reports what the OpenCL loader answers for it
// rather than handing the loader a null object.
cl_kernel buildKernel(const OpenClApi& cl, cl_context context, cl_device_id device,
                      const KernelSourceReader& readSources, Diagnostics& diagnostics) {
    const KernelSources read = readSources(diagnostics);
    const auto text = [](const std::string& source) { return source.empty() ? nullptr : source.c_str(); };
    const char* sources[] = {text(read.header), text(read.body)};

    cl_int status = CL_SUCCESS;
    cl_program program = nullptr;
    if (sources[0] != nullptr && sources[1] != nullptr) {
        program = cl.clCreateProgramWithSource(context, 2, sources, nullptr, &status);
    } else {
        status = CL_INVALID_VALUE;
    }
    noteFailure(diagnostics, status, "Unable to create program");

    status = program ? cl.clBuildProgram(program, 1, &device, nullptr, nullptr, nullptr) : CL_INVALID_PROGRAM;
    noteFailure(diagnostics, status, "Unable to build program");
    if (status == CL_BUILD_PROGRAM_FAILURE) noteBuildLog(cl, program, device, diagnostics);

    cl_kernel kernel = nullptr;
    if (program) {
        kernel = cl.clCreateKernel(program, kKernelName, &status);
    } else {
        status = CL_INVALID_PROGRAM;
    }
    noteFailure(diagnostics, status, "Unable to create kernel");
    return status == CL_SUCCESS ? kernel : nullptr;
}

// The render's copies of the tables and images; released when the render has
// enqueued its kernel (the queue keeps them alive until the kernel has run).
class RenderBuffers {
 public:
    explicit RenderBuffers(const OpenClApi& cl) : cl_(cl) {}
    RenderBuffers(const RenderBuffers&) = delete;
    RenderBuffers& operator=(const RenderBuffers&) = delete;
    ~RenderBuffers() {
        for (const DeviceBuffer& buffer : buffers_) {
            if (buffer.handle) cl_.clReleaseMemObject(static_cast<cl_mem>(buffer));
        }
    }

    // False after noting the first buffer that could not be created.
    bool upload(cl_context context, const HostUploads& uploads, Diagnostics& diagnostics) {
        for (std::size_t slot = 0; slot < kUploadCount; ++slot) {
            const HostUpload& upload = uploads[slot];
            if (!upload.present()) continue;
            cl_int status = CL_SUCCESS;
            cl_mem buffer = cl_.clCreateBuffer(context, CL_MEM_READ_WRITE | CL_MEM_COPY_HOST_PTR, upload.bytes,
                                               const_cast<void*>(upload.data), &status);
            if (status != CL_SUCCESS || buffer == nullptr) {
                diagnostics.error("clCreateBuffer failed with error: %d", status);
                return false;
            }
            buffers_[slot].handle = buffer;
        }
        return true;
    }

    const DeviceBuffers& buffers() const { return buffers_; }

 private:
    const OpenClApi& cl_;
    DeviceBuffers buffers_{};
};

// Sets every argument by position and returns the OR of the statuses.
class ArgumentSetter {
 public:
    ArgumentSetter(const OpenClApi& cl, cl_kernel kernel) : cl_(cl), kernel_(kernel) {}

    template <typename... Values>
    cl_int operator()(const Values&... values) {
        cl_uint index = 0;
        cl_int combined = CL_SUCCESS;
        ((combined |= set(index++, values)), ...);
        return combined;
    }

 private:
    cl_int set(cl_uint index, const DeviceBuffer& buffer) {
        // A null value, not a pointer to a null cl_mem, is how OpenCL passes an absent buffer.
        cl_mem mem = static_cast<cl_mem>(buffer);
        return cl_.clSetKernelArg(kernel_, index, sizeof(cl_mem), mem ? &mem : nullptr);
    }

    template <typename Number>
    cl_int set(cl_uint index, const Number& value) {
        static_assert(std::is_arithmetic_v<Number> && sizeof(Number) == 4, "kernel numbers travel as 4-byte values");
        return cl_.clSetKernelArg(kernel_, index, sizeof(value), &value);
    }

    const OpenClApi& cl_;
    cl_kernel kernel_;
};

std::size_t workGroupWidth(const OpenClApi& cl, cl_kernel kernel, cl_device_id device) {
    std::size_t width = 0;
    cl.clGetKernelWorkGroupInfo(kernel, device, CL_KERNEL_WORK_GROUP_SIZE, sizeof(width), &width, nullptr);
    return width == 0 ? 1 : width;
}

void enqueue(const OpenClApi& cl, cl_command_queue queue, cl_kernel kernel, cl_device_id device, int width, int height,
             Diagnostics& diagnostics) {
    const std::size_t local = workGroupWidth(cl, kernel, device);
    const std::size_t columns = (static_cast<std::size_t>(width) + local - 1) / local * local;
    const std::size_t globalSize[2] = {columns, static_cast<std::size_t>(height)};
    const std::size_t localSize[2] = {local, 1};
    const cl_int status =
        cl.clEnqueueNDRangeKernel(queue, kernel, 2, nullptr, globalSize, localSize, 0, nullptr, nullptr);
    noteFailure(diagnostics, status, "Unable to enqueue kernel");
}

}  // namespace

GpuOutcome launchOpenClPipeline(void* hostQueue, int width, int height, const PipelineSettings& settings,
                                const KernelSourceReader& readSources, const void* source, void* destination,
                                Diagnostics& diagnostics) {
    const OpenClApi* api = openClApi();
    if (api == nullptr) {
        diagnostics.error("No OpenCL loader could be opened");
        return GpuOutcome::Unsupported;
    }
    if (!haveImages(source, destination, "OpenCL", diagnostics)) return GpuOutcome::Failed;
    const OpenClApi& cl = *api;
    const auto queue = static_cast<cl_command_queue>(hostQueue);
    KernelCache& cache = kernelCache();

    // Held until the kernel is enqueued, not only while the cache is consulted:
    // a kernel object stores its arguments, so two renders sharing it must not
    // interleave setting them and enqueueing.
    const std::lock_guard<std::mutex> lock(cache.kernelCacheMutex);

    const cl_device_id device = queueDevice(cl, cache, queue, diagnostics);
    cl_context context = nullptr;
    noteFailure(diagnostics, cl.clGetCommandQueueInfo(queue, CL_QUEUE_CONTEXT, sizeof(context), &context, nullptr),
                "Unable to get the context");

    auto cached = cache.kernelByQueue.find(queue);
    if (cached == cache.kernelByQueue.end()) {
        cached = cache.kernelByQueue.emplace(queue, buildKernel(cl, context, device, readSources, diagnostics)).first;
    }
    const cl_kernel kernel = cached->second;
    if (kernel == nullptr) {
        diagnostics.error("Skipping OpenCL processing due to invalid kernel");
        return GpuOutcome::Unsupported;
    }
    if (width <= 0 || height <= 0) return GpuOutcome::Done;

    const HostUploads uploads = hostUploads(settings);
    RenderBuffers buffers(cl);
    if (!buffers.upload(context, uploads, diagnostics)) return GpuOutcome::Done;

    const cl_int argumentStatus =
        forwardKernelArguments(settings, width, height, DeviceBuffer{source}, buffers.buffers(), uploads,
                               DeviceBuffer{destination}, ArgumentSetter(cl, kernel));
    noteFailure(diagnostics, argumentStatus, "Unable to set kernel arguments");
    enqueue(cl, queue, kernel, device, width, height, diagnostics);
    return GpuOutcome::Done;
}

}  // namespace ChromvaleBeta2
