// The chain's throughput on the CPU, in pixels per second: the eight-table
// comparison stage (A), the full look (B), a pass-through against a plain
// copy (C) and single 3D lookups.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "bench/bench_frames.h"
#include "bench/simd_paths.h"
#include "lut_cuda.h"
#include "pipeline/chain_lanes.h"
#include "pipeline/cpu_chain.h"
#include "pipeline/look_params.h"
#include "pipeline/set_settings.h"

namespace tonemill::bench {
namespace {

using namespace ChromvaleBeta2;

PipelineSettings neutralSettings() {
    PipelineSettings s{};
    for (int c = 0; c < 3; ++c)
        s.gamma[c] = s.gain[c] = s.temperatureGain[c] = s.pushPull[c] = s.cmy[c] = s.gamutMix[c] = 1.0f;
    s.globalBlend = 1.0f;
    return s;
}

void attach(const float*& slot, unsigned int& size, const LutTable& table) {
    slot = table.data.data();
    size = table.m_dims;
}

// Every stage present and every slider away from its default, through the
// same reduction the plug-in uses.
PipelineSettings fullLookSettings() {
    static const LutTable curve = contrastCurve(1024);
    const std::vector<LutTable>& t = eightTables();
    LookParams p{};
    p.idtProfile = 1;
    p.PrinterLight = 0.02f, p.PrinterLightR = 0.01f, p.PrinterLightG = -0.01f, p.PrinterLightB = 0.005f;
    p.PushPullLight = p.PushPullLightR = p.PushPullLightG = p.PushPullLightB = 1.1f;
    p.CMYAmount = 1.2f, p.C = 1.1f, p.M = 0.9f, p.Y = 1.05f;
    p.temperature = 800.0f;
    p.lift = 0.03f, p.liftR = 0.01f, p.liftG = -0.02f, p.liftB = 0.0f;
    p.gamma = 1.1f, p.gammaR = 1.05f, p.gammaG = 0.95f, p.gammaB = 1.0f;
    p.gain = 1.1f, p.gainR = 1.02f, p.gainG = 0.98f, p.gainB = 1.0f;
    p.gamutRAdjustValue = 0.3f, p.gamutGAdjustValue = 0.4f, p.gamutBAdjustValue = 0.5f;
    p.gamutRAdjust = p.gamutGAdjust = p.gamutBAdjust = true;
    p.saturation = 0.3f;
    p.contrastOptions = 1, p.contrastIntensity = 0.8f;
    p.colorPaletteAOptions = 1, p.colorPaletteMajorSelections = 1, p.colorPaletteAIntensity = 0.7f;
    p.postProcessAdjust = true, p.postProcessValue = 0.6f, p.postProcessOptions = 1;
    p.globalBlend = 0.7f, p.globalBlendEnabled = true;
    p.colorPaletteBOptions = 1, p.colorPaletteBIntensity = 0.8f;
    p.outputProfileOptions = 1;
    p.gamutTable[0] = &t[0], p.gamutTable[1] = &t[1], p.gamutTable[2] = &t[2];
    p.idtTable = &t[3], p.paletteTable = &t[4], p.printTable = &t[5], p.postProcessTable = &t[6];
    p.odtTable = &t[7], p.contrastTable = &curve;
    PipelineSettings s{};
    setSettings(s, p);
    return s;
}

// Rows [first, last) of the frame through the CPU render loop, in batches,
// as the plug-in renders them.
void renderBand(const PipelineSettings& s, const float* source, float* destination, int width, int first, int last) {
    const int together = rowsRenderedTogether(width);
    std::vector<SourceRow> rows;
    std::vector<float*> destinations;
    for (int y = first; y < last;) {
        rows.clear();
        destinations.clear();
        for (const int batchEnd = std::min(last, y + together); y < batchEnd; ++y) {
            const size_t row = 4 * static_cast<size_t>(y) * width;
            rows.push_back(SourceRow{source + row, 0, width, y});
            destinations.push_back(destination + row);
        }
        renderRows(s, rows.data(), destinations.data(), static_cast<int>(rows.size()), 0, width);
    }
}

// The CPU render loop over the whole frame, a band of rows per thread.
void renderFrame(benchmark::State& state, const PipelineSettings& s) {
    const FrameSize size = frameSize();
    const std::vector<float>& source = randomFrame();
    std::vector<float> destination(source.size());
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        runBands(threads, size.height, [&](int first, int last) {
            renderBand(s, source.data(), destination.data(), size.width, first, last);
        });
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * size.pixels());
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Slices of 16 rows from the frame's top 64, one after another on one
// thread; the one iteration counts the fastest of 500 by the thread's CPU
// time. On a shared machine whose speed moves from one second to the next,
// the fastest slice tells two builds apart where whole frames' averages do
// not.
void renderFastestSlice(benchmark::State& state, const PipelineSettings& s) {
    const FrameSize size = frameSize();
    const int sliceRows = std::min(16, size.height);
    const int slices = std::max(1, std::min(64, size.height) / sliceRows);
    const std::vector<float>& source = randomFrame();
    std::vector<float> destination(4 * static_cast<size_t>(size.width) * sliceRows * slices);
    for (auto _ : state) {
        double fastest = std::numeric_limits<double>::infinity();
        for (int i = 0; i < 500; ++i) {
            const int first = (i % slices) * sliceRows;
            const double start = threadCpuSeconds();
            renderBand(s, source.data(), destination.data(), size.width, first, first + sliceRows);
            fastest = std::min(fastest, threadCpuSeconds() - start);
        }
        benchmark::DoNotOptimize(destination.data());
        state.SetIterationTime(fastest);
    }
    state.SetItemsProcessed(state.iterations() * size.width * sliceRows);
}

void A_EightTables_Tonemill(benchmark::State& state) {
    renderFrame(state, eightTableSettings());
}

void B_FullLook_Tonemill(benchmark::State& state) {
    renderFrame(state, fullLookSettings());
}

void A_EightTables_FastestSlice(benchmark::State& state) {
    renderFastestSlice(state, eightTableSettings());
}

void B_FullLook_FastestSlice(benchmark::State& state) {
    renderFastestSlice(state, fullLookSettings());
}

void C_PassThrough_Tonemill(benchmark::State& state) {
    renderFrame(state, neutralSettings());
}

void C_PlainCopy(benchmark::State& state) {
    const FrameSize size = frameSize();
    const std::vector<float>& source = randomFrame();
    std::vector<float> destination(source.size());
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        runBands(threads, size.height, [&](int first, int last) {
            const size_t row = 4 * static_cast<size_t>(size.width);
            std::memcpy(destination.data() + first * row, source.data() + first * row,
                        sizeof(float) * row * (last - first));
        });
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * size.pixels());
}

// One-pixel lookups on random colours, the table's grid size as argument.
void Lookup3D_OnePixel(benchmark::State& state) {
    const LutTable table = smoothTable3D(static_cast<uint32_t>(state.range(0)), 1);
    std::vector<float4> colours(1 << 16);
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (float4& c : colours) c = make_float4(unit(rng), unit(rng), unit(rng), 1.0f);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lookup3D(table.data.data(), table.m_dims, colours[i]));
        i = (i + 1) & (colours.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

// The render loop with a single 3D stage: lookups eight pixels at a time.
void Lookup3D_RenderRow(benchmark::State& state) {
    const LutTable table = smoothTable3D(static_cast<uint32_t>(state.range(0)), 1);
    PipelineSettings s = neutralSettings();
    attach(s.idtLut, s.idtLutSize, table);
    const std::vector<float>& source = randomFrame();
    const int width = frameSize().width;
    std::vector<float> destination(4 * static_cast<size_t>(width));
    int y = 0;
    for (auto _ : state) {
        renderRow(s, SourceRow{source.data() + 4 * static_cast<size_t>(y) * width, 0, width, y}, 0, width,
                  destination.data());
        benchmark::DoNotOptimize(destination.data());
        y = (y + 1) % frameSize().height;
    }
    state.SetItemsProcessed(state.iterations() * width);
}

BENCHMARK(A_EightTables_Tonemill)->Apply(perThreadCount);
BENCHMARK(B_FullLook_Tonemill)->Apply(perThreadCount);
BENCHMARK(A_EightTables_FastestSlice)->UseManualTime()->Iterations(1);
BENCHMARK(B_FullLook_FastestSlice)->UseManualTime()->Iterations(1);
BENCHMARK(C_PassThrough_Tonemill)->Apply(perThreadCount);
BENCHMARK(C_PlainCopy)->Apply(perThreadCount);
BENCHMARK(Lookup3D_OnePixel)->ArgName("points")->Arg(33)->Arg(65);
BENCHMARK(Lookup3D_RenderRow)->ArgName("points")->Arg(33)->Arg(65);

}  // namespace

// The eight tables, each taken in full, everything else neutral.
ChromvaleBeta2::PipelineSettings eightTableSettings() {
    const std::vector<LutTable>& t = eightTables();
    PipelineSettings s = neutralSettings();
    for (int c = 0; c < 3; ++c) {
        attach(s.gamutLut[c], s.gamutLutSize[c], t[c]);
        s.gamutMix[c] = 0.0f;  // the share of the input kept
    }
    attach(s.idtLut, s.idtLutSize, t[3]);
    attach(s.paletteLut, s.paletteLutSize, t[4]);
    attach(s.printLut, s.printLutSize, t[5]);
    attach(s.postProcessLut, s.postProcessLutSize, t[6]);
    attach(s.odtLut, s.odtLutSize, t[7]);
    s.paletteMix = s.printMix = s.postProcessMix = 1.0f;
    return s;
}

std::string tonemillSimdPath() {
    const char* requested = std::getenv("TONEMILL_SIMD");
    return std::string("Tonemill: ") + lanePathName(cpuLanePath()) +
           (requested ? std::string(" (TONEMILL_SIMD=") + requested + ")"
                      : std::string(", the widest this processor runs"));
}

}  // namespace tonemill::bench
