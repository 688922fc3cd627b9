#include "bench/comparison_data.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "bench/bench_frames.h"
#include "pipeline/cpu_chain.h"

namespace tonemill::bench {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string writeFloats(const std::string& path, const std::vector<float>& values) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return "cannot create " + path;
    if (std::fwrite(values.data(), sizeof(float), values.size(), file.get()) != values.size())
        return "cannot write " + path;
    if (std::fclose(file.release()) != 0) return "cannot finish writing " + path;
    return {};
}

}  // namespace

std::string writeComparisonData(const std::string& folder) {
    const std::vector<ChromvaleBeta2::LutTable>& tables = eightTables();
    for (size_t i = 0; i < tables.size(); ++i) {
        const std::string failed = writeFloats(folder + "/table" + std::to_string(i) + ".f32", tables[i].data);
        if (!failed.empty()) return failed;
    }
    const std::vector<float>& source = randomFrame();
    std::string failed = writeFloats(folder + "/frame.f32", source);
    if (!failed.empty()) return failed;

    const FrameSize size = frameSize();
    const ChromvaleBeta2::PipelineSettings settings = eightTableSettings();
    std::vector<float> rendered(source.size());
    for (int y = 0; y < size.height; ++y) {
        const size_t row = 4 * static_cast<size_t>(y) * size.width;
        renderRow(settings, ChromvaleBeta2::SourceRow{source.data() + row, 0, size.width, y}, 0, size.width,
                  rendered.data() + row);
    }
    return writeFloats(folder + "/tonemill.f32", rendered);
}

}  // namespace tonemill::bench
