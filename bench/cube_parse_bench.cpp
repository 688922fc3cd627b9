// Parsing .cube text from memory: what an instance pays the first time it
// resolves a table, for the two lattice sizes looks ship with.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "formats/cube_reader.h"
#include "pipeline/lut_table.h"

namespace {

// A smooth n-point table in the writer's format: ten decimals per number.
std::string cubeText(int n) {
    std::string text = "TITLE \"bench\"\nLUT_3D_SIZE " + std::to_string(n) + "\n\n";
    char line[96];
    for (int b = 0; b < n; ++b)
        for (int g = 0; g < n; ++g)
            for (int r = 0; r < n; ++r) {
                const double last = n - 1;
                std::snprintf(line, sizeof line, "%.10f %.10f %.10f\n", r / last * 0.9, g / last * 0.95, b / last);
                text += line;
            }
    return text;
}

void parseCubeFromMemory(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string text = cubeText(n);
    for (auto _ : state) {
        ChromvaleBeta2::LutTable table;
        if (!ChromvaleBeta2::parseCube(table, text.c_str())) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["points"] = static_cast<double>(n) * n * n;
}
BENCHMARK(parseCubeFromMemory)->Arg(33)->Arg(65)->Unit(benchmark::kMillisecond);

}  // namespace
