#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "pipeline/lut_table.h"
#include "pipeline/pipeline_settings.h"

namespace tonemill::bench {

// Frame size of every benchmark: 3840 x 2160 unless the command line asks
// for less (the short mode).
struct FrameSize {
    int width = 3840;
    int height = 2160;
    int64_t pixels() const { return int64_t{width} * height; }
};
FrameSize& frameSize();

// Random RGBA colours in [0, 1), the same for every benchmark.
const std::vector<float>& randomFrame();

// A smooth, non-trivial 3D table (a gentle curve per channel plus some
// cross-talk), different per seed; values stay near [0, 1].
ChromvaleBeta2::LutTable smoothTable3D(uint32_t n, int seed);
ChromvaleBeta2::LutTable contrastCurve(uint32_t n);

// The eight 3D stages of the comparison with OpenColorIO: three gamut
// limits, input transform, palette, print, post-processing and output
// transform, in the order the chain applies them.
const std::vector<ChromvaleBeta2::LutTable>& eightTables();

// The eight tables as render settings, each taken in full, everything else
// neutral: comparison A.
ChromvaleBeta2::PipelineSettings eightTableSettings();

// One and two threads, timed by the process's CPU time, in milliseconds:
// the registration every whole-frame benchmark shares.
void perThreadCount(benchmark::internal::Benchmark* b);

// Splits rows [0, height) into `threads` consecutive bands, as the
// processor does, and runs band(first, last) on each, in parallel.
template <typename Band>
void runBands(int threads, int height, Band band) {
    if (threads <= 1) {
        band(0, height);
        return;
    }
    const int rows = (height + threads - 1) / threads;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        const int first = t * rows;
        const int last = first + rows < height ? first + rows : height;
        if (first < last) workers.emplace_back(band, first, last);
    }
    for (std::thread& worker : workers) worker.join();
}

}  // namespace tonemill::bench
