#pragma once

#include "lut_cuda.h"

namespace ChromvaleBeta2 {

class LutArchive;

// The flat per-render record the colour chain reads. Its members, in order,
// are those of ChainSettings (shared with the device kernel, which takes them
// as arguments in that order) followed by the archive the OpenCL back-end
// reads its kernel sources from. Tables and images are borrowed from the LUT
// cache and the test image store, which outlive every render.
struct PipelineSettings : ChainSettings {
    LutArchive* lutArchive = nullptr;  // set by the caller after setSettings
};

}  // namespace ChromvaleBeta2
