#include "gpu/texture/texture_opencl_launcher.h"

#include <map>
#include <mutex>
#include <type_traits>

#include "gpu/opencl_api.h"
#include "pipeline/texture/glow_cells.h"
#include "texture_kernel_text.inc"

namespace TonemillTexture {

namespace {

using ChromvaleBeta2::Diagnostics;
using ChromvaleBeta2::GpuOutcome;
using ChromvaleBeta2::OpenClApi;

struct TextureKernels {
    cl_kernel glowRows = nullptr;
    cl_kernel glowColumns = nullptr;
    cl_kernel compose = nullptr;
    bool complete() const { return glowRows && glowColumns && compose; }
};

// A device buffer kept from one render to the next, grown when a render
// needs more.
struct KeptBuffer {
    cl_mem buffer = nullptr;
    std::size_t bytes = 0;
};

// The buffers of one glow: its rows' scratch lines, its light spread across,
// and spread down.
struct GlowBufferSet {
    KeptBuffer lines;
    KeptBuffer across;
    KeptBuffer down;
};

// What a queue keeps between renders: its kernels, and the glows' buffers,
// which the next render on the queue reuses (the queue runs in order, so
// that render's kernels start after this one's have finished with them).
struct QueueState {
    TextureKernels kernels;
    GlowBufferSet halation;
    GlowBufferSet bloom;
};

// Built kernels and glow buffers live as long as the process, one set per
// queue: hosts keep their queues, a rebuild costs a full compile and an
// allocation per render costs a device round trip. One lock, held from
// setting a kernel's arguments until it is enqueued, since a kernel object
// keeps its arguments between calls, and while the buffers are sized.
struct TextureKernelCache {
    std::mutex textureKernelMutex;
    std::map<cl_command_queue, QueueState> stateByQueue;
};

TextureKernelCache& kernelCache() {
    static TextureKernelCache cache;
    return cache;
}

void noteFailure(Diagnostics& diagnostics, cl_int status, const char* message) {
    if (status != CL_SUCCESS) diagnostics.error("Texture: %s [%d]", message, status);
}

TextureKernels buildKernels(const OpenClApi& cl, cl_context context, cl_device_id device, Diagnostics& diagnostics) {
    TextureKernels kernels;
    const char* text = kTextureKernelText;
    cl_int status = CL_SUCCESS;
    cl_program program = cl.clCreateProgramWithSource(context, 1, &text, nullptr, &status);
    noteFailure(diagnostics, status, "unable to create the program");
    if (status != CL_SUCCESS) return kernels;
    status = cl.clBuildProgram(program, 1, &device, nullptr, nullptr, nullptr);
    noteFailure(diagnostics, status, "unable to build the program");
    if (status != CL_SUCCESS) {
        char log[4096] = {};
        cl.clGetProgramBuildInfo(program, device, CL_PROGRAM_BUILD_LOG, sizeof log - 1, log, nullptr);
        diagnostics.error("%s", log);
        return kernels;
    }
    const auto kernel = [&](const char* name) {
        cl_kernel made = cl.clCreateKernel(program, name, &status);
        noteFailure(diagnostics, status, name);
        return status == CL_SUCCESS ? made : nullptr;
    };
    kernels.glowRows = kernel("textureGlowRows");
    kernels.glowColumns = kernel("textureGlowColumns");
    kernels.compose = kernel("textureCompose");
    return kernels;
}

// `kept`, at least `bytes` long; null after noting the failure. A buffer
// given up here stays alive until the kernels enqueued with it have run.
cl_mem keptBuffer(const OpenClApi& cl, cl_context context, KeptBuffer& kept, std::size_t bytes,
                  Diagnostics& diagnostics) {
    if (kept.buffer != nullptr && kept.bytes >= bytes) return kept.buffer;
    if (kept.buffer != nullptr) cl.clReleaseMemObject(kept.buffer);
    kept = {};
    cl_int status = CL_SUCCESS;
    cl_mem buffer = cl.clCreateBuffer(context, CL_MEM_READ_WRITE, bytes, nullptr, &status);
    noteFailure(diagnostics, status, "unable to create a glow buffer");
    if (status != CL_SUCCESS) return nullptr;
    kept = {buffer, bytes};
    return buffer;
}

// Sets a kernel's arguments in order; the OR of the statuses.
template <typename... Values>
cl_int setArguments(const OpenClApi& cl, cl_kernel kernel, const Values&... values) {
    cl_uint index = 0;
    cl_int combined = CL_SUCCESS;
    const auto set = [&](const auto& value) {
        static_assert(sizeof(value) == 4 || std::is_same_v<std::decay_t<decltype(value)>, cl_mem>);
        combined |= cl.clSetKernelArg(kernel, index++, sizeof(value), &value);
    };
    (set(values), ...);
    return combined;
}

cl_int enqueue(const OpenClApi& cl, cl_command_queue queue, cl_kernel kernel, std::size_t width,
               std::size_t height = 1) {
    const std::size_t global[2] = {width, height};
    return cl.clEnqueueNDRangeKernel(queue, kernel, height > 1 ? 2 : 1, nullptr, global, nullptr, 0, nullptr, nullptr);
}

// The row and column phases of one glow; its finished cells stay in the
// returned buffer, null when the glow is off or could not be enqueued.
DeviceGlow<cl_mem> enqueueGlow(const OpenClApi& cl, cl_command_queue queue, cl_context context,
                               const TextureKernels& kernels, GlowBufferSet& buffers, const GlowGrid& grid,
                               float threshold, cl_mem source, const Rect& sourceBounds, const Rect& window,
                               Diagnostics& diagnostics) {
    if (grid.box <= 0) return {};
    const GlowGeometry g = glowGeometry(window, grid);
    cl_mem lines = keptBuffer(cl, context, buffers.lines, g.lineCells * sizeof(cl_uint), diagnostics);
    cl_mem across = keptBuffer(cl, context, buffers.across, g.area * sizeof(cl_uint), diagnostics);
    cl_mem down = keptBuffer(cl, context, buffers.down, g.area * sizeof(cl_uint), diagnostics);
    if (!lines || !across || !down) return {};
    cl_int status =
        forwardGlowRowsArguments([&](const auto&... values) { return setArguments(cl, kernels.glowRows, values...); },
                                 source, sourceBounds, g, threshold, lines, across);
    status |= enqueue(cl, queue, kernels.glowRows, static_cast<std::size_t>(g.rows));
    status |= forwardGlowColumnsArguments(
        [&](const auto&... values) { return setArguments(cl, kernels.glowColumns, values...); }, across, down, g);
    status |= enqueue(cl, queue, kernels.glowColumns, static_cast<std::size_t>(g.width));
    noteFailure(diagnostics, status, "unable to enqueue a glow");
    return status == CL_SUCCESS ? DeviceGlow<cl_mem>{down, g} : DeviceGlow<cl_mem>{};
}

}  // namespace

GpuOutcome launchOpenClTexture(void* hostQueue, const TextureSettings& s, const DeviceImage& source,
                               const DeviceImage& destination, const Rect& window, Diagnostics& diagnostics) {
    const OpenClApi* api = ChromvaleBeta2::openClApi();
    if (api == nullptr) {
        diagnostics.error("No OpenCL loader could be opened");
        return GpuOutcome::Unsupported;
    }
    if (!source.buffer || !destination.buffer || isEmpty(source.bounds)) {
        diagnostics.error("Texture: OpenCL render without both images");
        return GpuOutcome::Failed;
    }
    const OpenClApi& cl = *api;
    const auto queue = static_cast<cl_command_queue>(hostQueue);
    TextureKernelCache& cache = kernelCache();
    const std::lock_guard<std::mutex> lock(cache.textureKernelMutex);

    cl_context context = nullptr;
    cl_device_id device = nullptr;
    noteFailure(diagnostics, cl.clGetCommandQueueInfo(queue, CL_QUEUE_CONTEXT, sizeof context, &context, nullptr),
                "unable to get the context");
    noteFailure(diagnostics, cl.clGetCommandQueueInfo(queue, CL_QUEUE_DEVICE, sizeof device, &device, nullptr),
                "unable to get the device");
    auto cached = cache.stateByQueue.find(queue);
    if (cached == cache.stateByQueue.end())
        cached =
            cache.stateByQueue.emplace(queue, QueueState{buildKernels(cl, context, device, diagnostics), {}, {}}).first;
    QueueState& state = cached->second;
    const TextureKernels& kernels = state.kernels;
    if (!kernels.complete()) {
        diagnostics.error("Texture: skipping OpenCL processing due to invalid kernels");
        return GpuOutcome::Unsupported;
    }
    if (isEmpty(window)) return GpuOutcome::Done;

    const auto sourceMem = static_cast<cl_mem>(const_cast<void*>(source.buffer));
    const DeviceGlow<cl_mem> halation =
        enqueueGlow(cl, queue, context, kernels, state.halation, {s.halationBox, s.halationShift}, s.halationThreshold,
                    sourceMem, source.bounds, window, diagnostics);
    const DeviceGlow<cl_mem> bloom = enqueueGlow(cl, queue, context, kernels, state.bloom, {s.bloomBox, s.bloomShift},
                                                 s.bloomThreshold, sourceMem, source.bounds, window, diagnostics);
    if ((s.halationBox > 0 && !halation.cells) || (s.bloomBox > 0 && !bloom.cells)) return GpuOutcome::Done;

    const auto destinationMem = static_cast<cl_mem>(const_cast<void*>(destination.buffer));
    cl_int status = forwardComposeArguments(
        [&](const auto&... values) { return setArguments(cl, kernels.compose, values...); }, s, sourceMem,
        source.bounds, destinationMem, destination.bounds, window, halation, bloom, sourceMem);
    status |= enqueue(cl, queue, kernels.compose, static_cast<std::size_t>(window.x2 - window.x1),
                      static_cast<std::size_t>(window.y2 - window.y1));
    noteFailure(diagnostics, status, "unable to enqueue the composition");
    return GpuOutcome::Done;
}

}  // namespace TonemillTexture
