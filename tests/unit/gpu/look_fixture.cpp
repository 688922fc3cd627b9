#include "tests/unit/gpu/look_fixture.h"

#include <cmath>
#include <random>

#include "pipeline/cpu_chain.h"

namespace ChromvaleBeta2::testing {

PipelineSettings neutralSettings() {
    PipelineSettings settings{};
    for (int c = 0; c < 3; ++c) {
        settings.gamma[c] = settings.gain[c] = settings.temperatureGain[c] = 1.0f;
        settings.pushPull[c] = settings.cmy[c] = 1.0f;
    }
    settings.globalBlend = 1.0f;
    return settings;
}

std::vector<float> sourcePixels(int width, int height) {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> colour(-0.05f, 1.05f);
    std::vector<float> pixels(static_cast<std::size_t>(width) * height * 4);
    for (float& value : pixels) value = colour(random);
    return pixels;
}

std::vector<float> cpuRender(const PipelineSettings& settings, const std::vector<float>& source, int width,
                             int height) {
    std::vector<float> output(source.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = 4 * (static_cast<std::size_t>(y) * width + x);
            const float4 in = make_float4(source[i], source[i + 1], source[i + 2], source[i + 3]);
            const float4 out = processColourAt(settings, in, x, y);
            output[i] = out.x;
            output[i + 1] = out.y;
            output[i + 2] = out.z;
            output[i + 3] = out.w;
        }
    }
    return output;
}

::testing::AssertionResult sameImage(const std::vector<float>& device, const std::vector<float>& cpu) {
    if (device.size() != cpu.size()) return ::testing::AssertionFailure() << "sizes differ";
    int mismatches = 0;
    auto result = ::testing::AssertionFailure();
    for (std::size_t i = 0; i < cpu.size() && mismatches < 5; ++i) {
        if (!(std::fabs(device[i] - cpu[i]) <= 1e-5f)) {
            ++mismatches;
            result << "value " << i << ": device " << device[i] << ", CPU " << cpu[i] << "\n";
        }
    }
    return mismatches == 0 ? ::testing::AssertionSuccess() : result;
}

std::vector<std::string> logged(const Diagnostics& diagnostics) {
    std::vector<std::string> lines;
    for (const DiagnosticLine& line : diagnostics.lines())
        lines.push_back((line.isError ? "ERROR : " : "") + line.text);
    return lines;
}

}  // namespace ChromvaleBeta2::testing
