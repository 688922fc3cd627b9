#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2::testing {

enum class TestView { kNone, kTestImage, kZoneLut, kZoneOverlay };

// A look whose settings point at tables and pictures it owns. With stages,
// every LUT stage is present and every parametric value is off neutral.
struct Look {
    Look(bool withStages, TestView view);
    Look(const Look&) = delete;
    Look& operator=(const Look&) = delete;

    std::vector<float> tables[10];
    std::vector<unsigned char> testImage;
    std::vector<unsigned char> zoneOverlay;
    PipelineSettings settings{};
};

// width x height RGBA pixels, colours a little outside [0, 1] included.
std::vector<float> sourcePixels(int width, int height, unsigned seed = 1);

// The CPU chain over the whole image, test views drawn by pixel position.
std::vector<float> cpuRender(const PipelineSettings& settings, const std::vector<float>& source,
                             int width, int height);

// Within 1e-5 per channel; names the first few pixels that are not.
::testing::AssertionResult sameImage(const std::vector<float>& device, const std::vector<float>& cpu);

// Renders `look` over a fresh source through the CPU chain and through
// `renderOnDevice`(look, source, width, height), and compares the two.
template <typename RenderOnDevice>
::testing::AssertionResult matchesCpu(Look& look, int width, int height, RenderOnDevice&& renderOnDevice) {
    const std::vector<float> source = sourcePixels(width, height);
    return sameImage(renderOnDevice(look, source, width, height),
                     cpuRender(look.settings, source, width, height));
}

}  // namespace ChromvaleBeta2::testing
