// Runs the benchmarks, then prints the ratios the speed targets are stated
// in. Extra flag: --frame=WIDTHxHEIGHT (default 3840x2160).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_frames.h"

namespace {

// Remembers every run's pixel rate while printing as usual.
class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("items_per_second");
            if (rate != run.counters.end() && run.run_type == Run::RT_Iteration)
                rates[run.benchmark_name()] = rate->second.value;
        }
    }

    std::map<std::string, double> rates;
};

void printRatio(const RateReporter& reporter, const char* what, const std::string& top, const std::string& bottom)
{
    const auto a = reporter.rates.find(top);
    const auto b = reporter.rates.find(bottom);
    if (a == reporter.rates.end() || b == reporter.rates.end() || b->second <= 0.0)
        return;
    std::printf("%-44s %8.2f Mpix/s / %8.2f Mpix/s = %6.2f\n", what, a->second / 1e6, b->second / 1e6,
                a->second / b->second);
}

bool takeFrameFlag(const char* arg)
{
    tonemill::bench::FrameSize& size = tonemill::bench::frameSize();
    return std::sscanf(arg, "--frame=%dx%d", &size.width, &size.height) == 2 && size.width > 0 &&
        size.height > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i)
        if (i == 0 || std::strncmp(argv[i], "--frame=", 8) != 0 || !takeFrameFlag(argv[i]))
            args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    const tonemill::bench::FrameSize size = tonemill::bench::frameSize();
    std::printf("Frame %d x %d RGBA float\n", size.width, size.height);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    for (const char* threads : {"1", "2"}) {
        const std::string t = std::string("/threads:") + threads + "/real_time";
        printRatio(reporter, ("A Tonemill / OpenColorIO, threads " + std::string(threads)).c_str(),
                   "A_EightTables_Tonemill" + t, "A_EightTables_OpenColorIO" + t);
        printRatio(reporter, ("C pass-through / plain copy, threads " + std::string(threads)).c_str(),
                   "C_PassThrough_Tonemill" + t, "C_PlainCopy" + t);
    }
    printRatio(reporter, "B full look, two threads / one", "B_FullLook_Tonemill/threads:2/real_time",
               "B_FullLook_Tonemill/threads:1/real_time");
    return 0;
}
