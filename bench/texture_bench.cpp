// The film texture's CPU render on one thread, in pixels per second: the
// whole texture (grain, halation and bloom at their default reach), grain
// alone and the glows alone, on a lit ramp with highlights to spread.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_frames.h"
#include "pipeline/texture/texture_render.h"
#include "pipeline/texture/texture_settings.h"

namespace tonemill::bench {
namespace {

using namespace TonemillTexture;

// A picture rather than noise: a horizontal ramp through the mid-tones with
// a band of highlights every 300 rows for the glows to spread, so that the
// light crossing a threshold changes along a row as in footage.
const std::vector<float>& litFrame() {
    static const std::vector<float> frame = [] {
        const FrameSize size = frameSize();
        std::vector<float> pixels(static_cast<std::size_t>(size.pixels()) * 4);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                float* p = &pixels[(static_cast<std::size_t>(y) * size.width + x) * 4];
                const float light = y % 300 < 8 && x % 97 < 24 ? 3.0f : 0.0f;
                p[0] = 0.9f * x / size.width + light;
                p[1] = 0.8f * x / size.width + light;
                p[2] = 0.7f * x / size.width + light;
                p[3] = 1.0f;
            }
        return pixels;
    }();
    return frame;
}

void runTexture(benchmark::State& state, TextureParams params) {
    const FrameSize size = frameSize();
    std::vector<float>& source = const_cast<std::vector<float>&>(litFrame());
    std::vector<float> output(source.size());
    const Rect frame{0, 0, size.width, size.height};
    const std::ptrdiff_t rowBytes = std::ptrdiff_t{size.width} * 4 * sizeof(float);
    const PixelView in{reinterpret_cast<char*>(source.data()), rowBytes, frame};
    const PixelView out{reinterpret_cast<char*>(output.data()), rowBytes, frame};
    // Glow radii scale with the frame, so a short run does the same work per pixel.
    params.halationRadius *= size.height / 2160.0;
    params.bloomRadius *= size.height / 2160.0;
    TextureWorkspace workspace;
    double time = 0.0;
    for (auto _ : state) {
        const TextureSettings settings = makeTextureSettings(params, time, 1.0, 0, 0, size.height);
        renderTexture(settings, in, out, frame, workspace, 1, runInOrder);
        benchmark::DoNotOptimize(output.data());
        time += 1.0;
    }
    state.SetItemsProcessed(state.iterations() * size.pixels());
}

void Texture_Whole(benchmark::State& state) {
    runTexture(state, TextureParams{});
}

void Texture_GrainAlone(benchmark::State& state) {
    TextureParams p;
    p.halationBypass = p.bloomBypass = true;
    runTexture(state, p);
}

void Texture_GlowsAlone(benchmark::State& state) {
    TextureParams p;
    p.grainBypass = true;
    runTexture(state, p);
}

BENCHMARK(Texture_Whole)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Texture_GrainAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Texture_GlowsAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tonemill::bench
