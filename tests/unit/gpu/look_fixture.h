#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gpu/diagnostics.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2::testing {

// Every stage neutral, no table and no picture.
PipelineSettings neutralSettings();

// width x height RGBA pixels, colours a little outside [0, 1] included.
std::vector<float> sourcePixels(int width, int height);

// The CPU chain over the whole image, test views drawn by pixel position.
std::vector<float> cpuRender(const PipelineSettings& settings, const std::vector<float>& source, int width, int height);

// Within 1e-5 per channel; names the first few values that are not.
::testing::AssertionResult sameImage(const std::vector<float>& device, const std::vector<float>& cpu);

// The lines as the diagnostic log shows them: errors prefixed "ERROR : ".
std::vector<std::string> logged(const Diagnostics& diagnostics);

}  // namespace ChromvaleBeta2::testing
