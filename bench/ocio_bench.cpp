// The same eight 33-point tables applied by OpenColorIO's CPU processor: a
// group of tetrahedral 3D LUT transforms, unoptimised so they stay eight, and
// through the processor OpenColorIO hands out by default.
#include <benchmark/benchmark.h>

#include <OpenColorIO/OpenColorIO.h>

#include <string>

#include "bench/bench_frames.h"
#include "bench/simd_paths.h"

namespace tonemill::bench {
namespace {

namespace OCIO = OCIO_NAMESPACE;

OCIO::ConstProcessorRcPtr eightTableProcessor() {
    OCIO::GroupTransformRcPtr group = OCIO::GroupTransform::Create();
    for (const ChromvaleBeta2::LutTable& table : eightTables()) {
        const unsigned long n = table.m_dims;
        OCIO::Lut3DTransformRcPtr lut = OCIO::Lut3DTransform::Create(n);
        lut->setInterpolation(OCIO::INTERP_TETRAHEDRAL);
        for (unsigned long b = 0; b < n; ++b)
            for (unsigned long g = 0; g < n; ++g)
                for (unsigned long r = 0; r < n; ++r) {
                    const float* e = &table.data[3 * ((b * n + g) * n + r)];
                    lut->setValue(r, g, b, e[0], e[1], e[2]);
                }
        group->appendTransform(lut);
    }
    OCIO::ConstConfigRcPtr config = OCIO::Config::CreateRaw();
    return config->getProcessor(group);
}

void applyToFrames(benchmark::State& state, const OCIO::ConstCPUProcessorRcPtr& processor) {
    const FrameSize size = frameSize();
    std::vector<float> frame = randomFrame();
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        frame = randomFrame();  // OpenColorIO works in place
        state.ResumeTiming();
        runBands(threads, size.height, [&](int first, int last) {
            OCIO::PackedImageDesc band(frame.data() + 4 * static_cast<size_t>(first) * size.width, size.width,
                                       last - first, 4);
            processor->apply(band);
        });
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * size.pixels());
}

void A_EightTables_OpenColorIO(benchmark::State& state) {
    applyToFrames(state, eightTableProcessor()->getOptimizedCPUProcessor(OCIO::OPTIMIZATION_NONE));
}

// OPTIMIZATION_DEFAULT: what an application asking for no optimisation level gets.
void A_EightTables_OpenColorIODefault(benchmark::State& state) {
    applyToFrames(state, eightTableProcessor()->getDefaultCPUProcessor());
}

BENCHMARK(A_EightTables_OpenColorIO)->Apply(perThreadCount);
BENCHMARK(A_EightTables_OpenColorIODefault)->Apply(perThreadCount);

}  // namespace

std::string openColorIoSimdPath() {
    // The system's package, often several releases old (Debian 12: 2.1.2);
    // bench/ocio26/compare.py compares with the newest release.
    const std::string version = std::string("OpenColorIO ") + OCIO::GetVersion() + " (the system's, linked)";
    // Versions before 2.3 choose no instruction set at run time: their only
    // vector code is the SSE2 of a build with OCIO_USE_SSE, Debian's default.
    if (OCIO::GetVersionHex() < 0x02030000) return version + ": SSE2, fixed when it was built";
    return version + ": its own run-time choice (SSE2 to AVX-512)";
}

}  // namespace tonemill::bench
