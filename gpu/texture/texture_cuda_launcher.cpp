#include "gpu/texture/texture_cuda_launcher.h"

#include <map>
#include <mutex>
#include <tuple>
#include <type_traits>

#include "gpu/cuda_driver_api.h"
#include "gpu/cuda_render_context.h"
#include "gpu/texture/texture_cuda_kernels.h"

namespace TonemillTexture {

namespace {

using ChromvaleBeta2::cudaCallSucceeded;
using ChromvaleBeta2::CudaDriverApi;
using ChromvaleBeta2::CUdeviceptr;
using ChromvaleBeta2::CUfunction;
using ChromvaleBeta2::CUmodule;
using ChromvaleBeta2::CUresult;
using ChromvaleBeta2::Diagnostics;
using ChromvaleBeta2::GpuOutcome;

constexpr unsigned int kLineBlock = 128;
constexpr unsigned int kPixelBlockWidth = 32;
constexpr unsigned int kPixelBlockHeight = 8;

struct TextureFunctions {
    CUfunction glowRows = nullptr;
    CUfunction glowColumns = nullptr;
    CUfunction compose = nullptr;
};

// A device buffer kept from one render to the next, grown when a render
// needs more.
struct KeptBuffer {
    CUdeviceptr address = 0;
    std::size_t bytes = 0;
};

struct GlowBufferSet {
    KeptBuffer lines;
    KeptBuffer across;
    KeptBuffer down;
};

// What a context keeps between renders: its kernels and the glows' buffers.
struct ContextState {
    TextureFunctions functions;
    GlowBufferSet halation;
    GlowBufferSet bloom;
};

// Kernels and buffers live as long as the process, one set per context,
// keyed by the driver's context id. One lock, held for a whole render: the
// buffers are the context's, and a render waits for its device anyway.
struct TextureCudaCache {
    std::mutex textureCudaMutex;
    std::map<unsigned long long, ContextState> stateByContextId;
    ChromvaleBeta2::PrimaryContexts primaryContexts;
};

TextureCudaCache& cudaCache() {
    static TextureCudaCache cache;
    return cache;
}

// The current context's state with its kernels loaded; null after noting why
// they could not be. A failed load is not remembered, so every render names
// the cause again.
ContextState* contextState(const CudaDriverApi& cu, TextureCudaCache& cache, Diagnostics& diagnostics) {
    unsigned long long id = 0;
    if (!ChromvaleBeta2::currentCudaContextId(cu, id, diagnostics)) return nullptr;
    const auto cached = cache.stateByContextId.find(id);
    if (cached != cache.stateByContextId.end()) return &cached->second;
    const CUmodule module = loadCudaModule(cu, textureCudaKernelBuild(), "texture kernel", diagnostics);
    if (module == nullptr) return nullptr;
    TextureFunctions f;
    for (const auto& [function, name] :
         {std::pair{&f.glowRows, "textureGlowRows"}, std::pair{&f.glowColumns, "textureGlowColumns"},
          std::pair{&f.compose, "textureCompose"}}) {
        if (!cudaCallSucceeded(cu, cu.cuModuleGetFunction(function, module, name), "cuModuleGetFunction", diagnostics))
            return nullptr;
    }
    return &cache.stateByContextId.emplace(id, ContextState{f, {}, {}}).first->second;
}

// `kept`, at least `bytes` long; 0 after noting the failure.
CUdeviceptr keptBuffer(const CudaDriverApi& cu, KeptBuffer& kept, std::size_t bytes, Diagnostics& diagnostics) {
    if (kept.address != 0 && kept.bytes >= bytes) return kept.address;
    if (kept.address != 0) cu.cuMemFree(kept.address);
    kept = {};
    CUdeviceptr address = 0;
    if (!cudaCallSucceeded(cu, cu.cuMemAlloc(&address, bytes), "cuMemAlloc", diagnostics)) return 0;
    kept = {address, bytes};
    return address;
}

// A kernel argument as cuLaunchKernel reads it: a device address, or a 4-byte number.
template <typename Value>
auto launchValue(Value value) {
    if constexpr (std::is_same_v<Value, const void*>) {
        return reinterpret_cast<CUdeviceptr>(value);
    } else {
        static_assert(std::is_same_v<Value, CUdeviceptr> || (std::is_arithmetic_v<Value> && sizeof(Value) == 4),
                      "kernel numbers travel as 4-byte values");
        return value;
    }
}

struct Grid {
    unsigned int x = 1, y = 1, blockX = 1, blockY = 1;
};

Grid lineGrid(int lines) {
    return {(static_cast<unsigned int>(lines) + kLineBlock - 1) / kLineBlock, 1, kLineBlock, 1};
}

// Launches `function` over `grid` with `arguments`; false after noting a failure.
template <typename... Values>
bool launch(const CudaDriverApi& cu, CUfunction function, const Grid& grid, Diagnostics& diagnostics,
            Values... arguments) {
    auto values = std::make_tuple(launchValue(arguments)...);
    return std::apply(
        [&](auto&... value) {
            void* parameters[] = {&value...};
            return cudaCallSucceeded(cu,
                                     cu.cuLaunchKernel(function, grid.x, grid.y, 1, grid.blockX, grid.blockY, 1, 0,
                                                       nullptr, parameters, nullptr),
                                     "cuLaunchKernel", diagnostics);
        },
        values);
}

// The row and column phases of one glow; its finished cells are left in the
// returned buffer, 0 when the glow is off or could not be launched.
DeviceGlow<CUdeviceptr> launchGlow(const CudaDriverApi& cu, const TextureFunctions& f, GlowBufferSet& buffers,
                                   const GlowGrid& grid, float threshold, CUdeviceptr source, const Rect& sourceBounds,
                                   const Rect& window, Diagnostics& diagnostics) {
    if (grid.box <= 0) return {};
    const GlowGeometry g = glowGeometry(window, grid);
    const CUdeviceptr lines = keptBuffer(cu, buffers.lines, g.lineCells * sizeof(unsigned int), diagnostics);
    const CUdeviceptr across = keptBuffer(cu, buffers.across, g.area * sizeof(unsigned int), diagnostics);
    const CUdeviceptr down = keptBuffer(cu, buffers.down, g.area * sizeof(unsigned int), diagnostics);
    if (!lines || !across || !down) return {};
    const bool launched =
        forwardGlowRowsArguments(
            [&](auto... values) { return launch(cu, f.glowRows, lineGrid(g.rows), diagnostics, values...); }, source,
            sourceBounds, g, threshold, lines, across) &&
        forwardGlowColumnsArguments(
            [&](auto... values) { return launch(cu, f.glowColumns, lineGrid(g.width), diagnostics, values...); },
            across, down, g);
    return launched ? DeviceGlow<CUdeviceptr>{down, g} : DeviceGlow<CUdeviceptr>{};
}

}  // namespace

bool textureCudaBuilt() {
    return true;
}

GpuOutcome launchCudaTexture(const TextureSettings& s, const DeviceImage& source, const DeviceImage& destination,
                             const Rect& window, Diagnostics& diagnostics) {
    if (!source.buffer || !destination.buffer || isEmpty(source.bounds)) {
        diagnostics.error("Texture: CUDA render without both images");
        return GpuOutcome::Failed;
    }
    const ChromvaleBeta2::CudaDriver& driver = ChromvaleBeta2::cudaDriver();
    if (driver.api == nullptr) {
        diagnostics.error("%s", ChromvaleBeta2::unusableDriverText(driver).c_str());
        return GpuOutcome::Unsupported;
    }
    const CudaDriverApi& cu = *driver.api;
    if (!cudaCallSucceeded(cu, cu.cuInit(0), "cuInit", diagnostics)) return GpuOutcome::Unsupported;

    TextureCudaCache& cache = cudaCache();
    const std::lock_guard<std::mutex> lock(cache.textureCudaMutex);
    ChromvaleBeta2::CudaRenderContext context(cu);
    ContextState* state = context.enter(source.buffer, cache.primaryContexts, diagnostics)
                              ? contextState(cu, cache, diagnostics)
                              : nullptr;
    if (state == nullptr) {
        diagnostics.error("Texture: skipping CUDA processing: no kernel could be loaded");
        return GpuOutcome::Unsupported;
    }
    if (isEmpty(window)) return GpuOutcome::Done;

    const auto sourceAddress = reinterpret_cast<CUdeviceptr>(source.buffer);
    const TextureFunctions& f = state->functions;
    const DeviceGlow<CUdeviceptr> halation =
        launchGlow(cu, f, state->halation, {s.halationBox, s.halationShift}, s.halationThreshold, sourceAddress,
                   source.bounds, window, diagnostics);
    const DeviceGlow<CUdeviceptr> bloom = launchGlow(cu, f, state->bloom, {s.bloomBox, s.bloomShift}, s.bloomThreshold,
                                                     sourceAddress, source.bounds, window, diagnostics);
    if ((s.halationBox > 0 && !halation.cells) || (s.bloomBox > 0 && !bloom.cells)) return GpuOutcome::Done;

    const Grid pixels{(static_cast<unsigned int>(window.x2 - window.x1) + kPixelBlockWidth - 1) / kPixelBlockWidth,
                      (static_cast<unsigned int>(window.y2 - window.y1) + kPixelBlockHeight - 1) / kPixelBlockHeight,
                      kPixelBlockWidth, kPixelBlockHeight};
    const bool composed =
        forwardComposeArguments([&](auto... values) { return launch(cu, f.compose, pixels, diagnostics, values...); },
                                s, sourceAddress, source.bounds, reinterpret_cast<CUdeviceptr>(destination.buffer),
                                destination.bounds, window, halation, bloom, sourceAddress);
    if (composed) cudaCallSucceeded(cu, cu.cuCtxSynchronize(), "cuCtxSynchronize", diagnostics);
    return GpuOutcome::Done;
}

}  // namespace TonemillTexture
