#pragma once

#include "lut_cuda.h"

namespace ChromvaleBeta2 {

// The flat per-render record the colour chain reads: ChainSettings, shared
// with the device kernels. Tables and images are borrowed from the LUT cache
// and the test image store, which outlive every render.
struct PipelineSettings : ChainSettings {};

}  // namespace ChromvaleBeta2
