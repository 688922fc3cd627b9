// Runs the benchmarks, then prints the ratios the speed targets are stated
// in. Extra flags: --frame=WIDTHxHEIGHT (default 3840x2160), and
// --write-comparison=FOLDER, which writes comparison A's tables, frame and
// result for a peer in another process (bench/ocio26) and runs nothing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_frames.h"
#include "bench/comparison_data.h"
#include "bench/simd_paths.h"

namespace {

// Pixels per second of wall time, and per second of the process's CPU
// time: on a machine shared with other work the second is the steadier
// measure of what one core does.
struct Rate {
    double wall = 0.0;
    double cpu = 0.0;
};

// Remembers every run's pixel rates while printing as usual.
class RateReporter : public benchmark::ConsoleReporter {
 public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("items_per_second");
            if (rate == run.counters.end() || run.run_type != Run::RT_Iteration) continue;
            const double cpuTime = run.GetAdjustedCPUTime();
            rates[run.benchmark_name()] = {
                rate->second.value, cpuTime > 0.0 ? rate->second.value * run.GetAdjustedRealTime() / cpuTime : 0.0};
        }
    }

    std::map<std::string, Rate> rates;
};

// The first run whose name starts with `prefix` (the name goes on with the
// timing options).
std::map<std::string, Rate>::const_iterator findRun(const RateReporter& reporter, const std::string& prefix) {
    const auto found = reporter.rates.lower_bound(prefix);
    return found != reporter.rates.end() && found->first.starts_with(prefix) ? found : reporter.rates.end();
}

void printRatio(const RateReporter& reporter, const std::string& what, const std::string& top,
                const std::string& bottom) {
    const auto a = findRun(reporter, top);
    const auto b = findRun(reporter, bottom);
    if (a == reporter.rates.end() || b == reporter.rates.end() || b->second.wall <= 0.0 || b->second.cpu <= 0.0) return;
    std::printf("%-44s wall %8.2f / %8.2f Mpix/s = %6.2f   cpu %8.2f / %8.2f Mpix/s = %6.2f\n", what.c_str(),
                a->second.wall / 1e6, b->second.wall / 1e6, a->second.wall / b->second.wall, a->second.cpu / 1e6,
                b->second.cpu / 1e6, a->second.cpu / b->second.cpu);
}

bool takeFrameFlag(const char* arg) {
    tonemill::bench::FrameSize& size = tonemill::bench::frameSize();
    return std::sscanf(arg, "--frame=%dx%d", &size.width, &size.height) == 2 && size.width > 0 && size.height > 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    const char* comparisonFolder = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strncmp(argv[i], "--write-comparison=", 19) == 0)
            comparisonFolder = argv[i] + 19;
        else if (i == 0 || std::strncmp(argv[i], "--frame=", 8) != 0 || !takeFrameFlag(argv[i]))
            args.push_back(argv[i]);
    }
    if (comparisonFolder != nullptr) {
        const std::string failed = tonemill::bench::writeComparisonData(comparisonFolder);
        if (!failed.empty()) std::fprintf(stderr, "tonemill_bench: %s\n", failed.c_str());
        return failed.empty() ? 0 : 1;
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    const tonemill::bench::FrameSize size = tonemill::bench::frameSize();
    std::printf("Frame %d x %d RGBA float\n%s\n%s\n", size.width, size.height,
                tonemill::bench::tonemillSimdPath().c_str(), tonemill::bench::openColorIoSimdPath().c_str());
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    for (const char* threads : {"1", "2"}) {
        const std::string t = std::string("/threads:") + threads + "/";
        printRatio(reporter, "A Tonemill / system OCIO, threads " + std::string(threads), "A_EightTables_Tonemill" + t,
                   "A_EightTables_OpenColorIO" + t);
        printRatio(reporter, "A Tonemill / system OCIO default, threads " + std::string(threads),
                   "A_EightTables_Tonemill" + t, "A_EightTables_OpenColorIODefault" + t);
        printRatio(reporter, "C pass-through / plain copy, threads " + std::string(threads),
                   "C_PassThrough_Tonemill" + t, "C_PlainCopy" + t);
        printRatio(reporter, "C host pass-through / plain copy, threads " + std::string(threads),
                   "C_PassThrough_HostRender" + t, "C_PlainCopy" + t);
    }
    printRatio(reporter, "B host render, two threads / one", "B_FullLook_HostRender/threads:2/",
               "B_FullLook_HostRender/threads:1/");
    printRatio(reporter, "B render loop, two threads / one", "B_FullLook_Tonemill/threads:2/",
               "B_FullLook_Tonemill/threads:1/");
    return 0;
}
