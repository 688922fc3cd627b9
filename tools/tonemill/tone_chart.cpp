#include "tools/tonemill/tone_chart.h"

#include <algorithm>
#include <cmath>

namespace tonemill::cli {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kSteps = 11;
// ACEScct codes: black, and a little above diffuse white, so the steps and the
// ramp show a curve's toe and shoulder without a band of clipped white.
constexpr float kBlackCode = 0.0729f;
constexpr float kBrightCode = 0.70f;
// Mid-grey sits at 0.4135; colours a little brighter read well on any display.
constexpr float kColourCode = 0.50f;

// A colour of the given hue (0..1 around the wheel), saturation and value.
host::RgbaPixel hueColour(float hue, float saturation, float value) {
    const float h = hue * 6.0f;
    auto channel = [&](float offset) {
        const float k = std::fmod(offset + h, 6.0f);
        const float ramp = std::clamp(std::min(k, 4.0f - k), 0.0f, 1.0f);
        return value * (1.0f - saturation * ramp);
    };
    return {channel(5.0f), channel(3.0f), channel(1.0f), 1.0f};
}

}  // namespace

std::shared_ptr<host::HostImage> makeToneChart() {
    auto chart = host::HostImage::rgbaFloat({0, 0, kWidth, kHeight});
    const int stepsTop = kHeight / 5, rampTop = kHeight * 2 / 5;
    chart->fill([&](int x, int y) -> host::RgbaPixel {
        const float across = (x + 0.5f) / kWidth;
        if (y < stepsTop) {
            const float step = std::floor(across * kSteps) / (kSteps - 1);
            const float grey = kBlackCode + step * (kBrightCode - kBlackCode);
            return {grey, grey, grey, 1.0f};
        }
        if (y < rampTop) {
            const float grey = kBlackCode + across * (kBrightCode - kBlackCode);
            return {grey, grey, grey, 1.0f};
        }
        const float up = (y - rampTop + 0.5f) / (kHeight - rampTop);
        return hueColour(across, 1.0f - up, kColourCode);
    });
    return chart;
}

}  // namespace tonemill::cli
