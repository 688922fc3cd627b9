#include "bench/bench_frames.h"

#include <cmath>
#include <random>

namespace tonemill::bench {

using ChromvaleBeta2::LutTable;

FrameSize& frameSize() {
    static FrameSize size;
    return size;
}

const std::vector<float>& randomFrame() {
    static const std::vector<float> frame = [] {
        std::vector<float> pixels(4 * static_cast<size_t>(frameSize().pixels()));
        std::mt19937 rng(2160);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (float& v : pixels) v = unit(rng);
        return pixels;
    }();
    return frame;
}

LutTable smoothTable3D(uint32_t n, int seed) {
    LutTable table;
    table.m_dims = n;
    table.kind = LutTable::kKind3D;
    table.data.reserve(3 * size_t{n} * n * n);
    const double bend = 0.6 + 0.1 * (seed % 5);
    const double mix = 0.02 * (1 + seed % 3);
    for (uint32_t b = 0; b < n; ++b)
        for (uint32_t g = 0; g < n; ++g)
            for (uint32_t r = 0; r < n; ++r) {
                const double in[3] = {r / double(n - 1), g / double(n - 1), b / double(n - 1)};
                for (int c = 0; c < 3; ++c) {
                    const double curve = std::pow(in[c], bend + 0.05 * c);
                    const double other = (in[(c + 1) % 3] + in[(c + 2) % 3]) * 0.5;
                    table.data.push_back(static_cast<float>((1.0 - mix) * curve + mix * other));
                }
            }
    return table;
}

LutTable contrastCurve(uint32_t n) {
    LutTable table;
    table.m_dims = n;
    table.kind = LutTable::kKind1D;
    for (uint32_t i = 0; i < n; ++i) {
        const double x = i / double(n - 1);
        const float y = static_cast<float>(x * x * (3.0 - 2.0 * x));  // an S curve
        table.data.insert(table.data.end(), {y, y, y});
    }
    return table;
}

const std::vector<LutTable>& eightTables() {
    static const std::vector<LutTable> tables = [] {
        std::vector<LutTable> all;
        for (int i = 0; i < 8; ++i) all.push_back(smoothTable3D(33, i));
        return all;
    }();
    return tables;
}

void perThreadCount(benchmark::internal::Benchmark* b) {
    b->ArgName("threads")->Arg(1)->Arg(2)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
}

}  // namespace tonemill::bench
