// The same eight 33-point tables applied by OpenColorIO's CPU processor: a
// group of tetrahedral 3D LUT transforms, unoptimised so they stay eight.
#include <benchmark/benchmark.h>

#include <OpenColorIO/OpenColorIO.h>

#include "bench/bench_frames.h"

namespace tonemill::bench {
namespace {

namespace OCIO = OCIO_NAMESPACE;

OCIO::ConstCPUProcessorRcPtr eightTableProcessor() {
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
    return config->getProcessor(group)->getOptimizedCPUProcessor(OCIO::OPTIMIZATION_NONE);
}

void A_EightTables_OpenColorIO(benchmark::State& state) {
    const OCIO::ConstCPUProcessorRcPtr processor = eightTableProcessor();
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

BENCHMARK(A_EightTables_OpenColorIO)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonemill::bench
