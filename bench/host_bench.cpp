// The full look rendered by the plug-in itself, loaded from the bundle and
// driven through the host library as an application would: parameters,
// images, the render action and the host's threads.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_frames.h"
#include "host/bundle.h"
#include "host/host.h"
#include "host/host_image.h"
#include "host/instance.h"

namespace tonemill::bench {
namespace {

using namespace tonemill::host;

// The parameters a look changes from their defaults.
typedef std::vector<std::pair<std::string, ParamValue>> LookValues;

// Every stage present and every slider away from its default, global blend
// 0.7.
const LookValues& fullLook() {
    static const LookValues values = {
        // Input and output transforms, film stages and their strengths.
        {"idtProfile", 2},
        {"outputProfileOptions", 20},
        {"colorPaletteAOptions", 3},
        {"colorPaletteMajorSelections", 4},
        {"colorPaletteAIntensity", 0.8},
        {"colorPaletteBOptions", 2},
        {"colorPaletteBIntensity", 0.75},
        {"contrastOptions", 2},
        {"contrastIntensity", 0.6},
        {"postProcessAdjust", true},
        {"postProcessOptions", 1},
        {"postProcessValue", 0.45},
        // Gamut limits, each keeping part of its input.
        {"gamutRAdjust", true},
        {"gamutRAdjustValue", 60.0},
        {"gamutGAdjust", true},
        {"gamutGAdjustValue", 50.0},
        {"gamutBAdjust", true},
        {"gamutBAdjustValue", 80.0},
        // Every correction slider, master and channels.
        {"PrinterLight", 0.03},
        {"PrinterLightR", 0.01},
        {"PrinterLightG", -0.01},
        {"PrinterLightB", 0.02},
        {"lift", 0.02},
        {"liftR", -0.01},
        {"liftG", 0.01},
        {"liftB", 0.03},
        {"gamma", 0.9},
        {"gammaR", 1.05},
        {"gammaG", 0.95},
        {"gammaB", 1.1},
        {"gain", 1.05},
        {"gainR", 1.02},
        {"gainG", 0.97},
        {"gainB", 1.04},
        {"CMYAmount", 0.9},
        {"C", 1.05},
        {"M", 0.95},
        {"Y", 1.1},
        {"PushPullLight", 0.9},
        {"temperature", -300.0},
        {"saturation", -0.25},
        {"globalBlendEnabled", true},
        {"globalBlend", 0.7},
    };
    return values;
}

std::shared_ptr<HostImage> randomSource() {
    const FrameSize size = frameSize();
    auto image = HostImage::rgbaFloat({0, 0, size.width, size.height});
    const std::vector<float>& frame = randomFrame();
    const size_t rowBytes = sizeof(float) * 4 * static_cast<size_t>(size.width);
    for (int y = 0; y < size.height; ++y)
        std::memcpy(image->pixelAddress(0, y), frame.data() + 4 * static_cast<size_t>(y) * size.width, rowBytes);
    return image;
}

// With reuse, every frame renders into the last frame's output, as a host
// pooling its buffers does; without, into a fresh image whose pages the
// system must clear and map as the plug-in first writes them.
void renderLook(benchmark::State& state, const LookValues& look, bool reuseOutput) {
    Host host;
    host.setCpuCount(static_cast<unsigned>(state.range(0)));
    Plugin& plugin = host.openBundle(TONEMILL_BUNDLE_DIR).plugin(0);
    OfxStatus status = plugin.load();
    if (status == kOfxStatOK) status = plugin.describe();
    std::unique_ptr<Instance> instance;
    if (status == kOfxStatOK) instance = plugin.createInstance(kOfxImageEffectContextFilter, &status);
    if (instance == nullptr || status != kOfxStatOK) {
        state.SkipWithError("the plug-in did not load");
        return;
    }
    for (const auto& [name, value] : look) instance->changeParam(name, value);
    instance->setImage("Source", randomSource());

    const FrameSize size = frameSize();
    RenderRequest request;
    request.window = {0, 0, size.width, size.height};
    if (reuseOutput) {
        const RenderResult first = instance->render(request);
        if (first.status != kOfxStatOK) {
            state.SkipWithError("the render failed");
            return;
        }
        request.reuseOutput = first.output;
    }
    for (auto _ : state) {
        const RenderResult result = instance->render(request);
        if (result.status != kOfxStatOK) {
            state.SkipWithError("the render failed");
            break;
        }
        benchmark::DoNotOptimize(result.output.get());
    }
    state.SetItemsProcessed(state.iterations() * size.pixels());
    instance.reset();
    plugin.unload();
}

void B_FullLook_HostRender(benchmark::State& state) {
    renderLook(state, fullLook(), true);
}

void B_FullLook_HostRenderFreshOutput(benchmark::State& state) {
    renderLook(state, fullLook(), false);
}

// No stage chosen and every slider at its default: the pass-through as the
// bundle's compiler built it.
void C_PassThrough_HostRender(benchmark::State& state) {
    static const LookValues none = {
        {"idtProfile", 0},           {"outputProfileOptions", 0}, {"colorPaletteAOptions", 0},
        {"colorPaletteBOptions", 0}, {"contrastOptions", 0},      {"postProcessAdjust", false},
        {"gamutRAdjust", false},     {"gamutGAdjust", false},     {"gamutBAdjust", false}};
    renderLook(state, none, true);
}

BENCHMARK(B_FullLook_HostRender)->Apply(perThreadCount);
BENCHMARK(B_FullLook_HostRenderFreshOutput)->Apply(perThreadCount);
BENCHMARK(C_PassThrough_HostRender)->Apply(perThreadCount);

}  // namespace
}  // namespace tonemill::bench
