#pragma once

#include "gpu/diagnostics.h"

namespace ChromvaleBeta2 {

struct PipelineSettings;

// Whether this build carries the CUDA kernel. Without NVRTC at build time the
// plug-in must declare CUDA rendering unsupported so hosts never ask for it.
bool cudaBackendBuilt();

// Runs the colour chain over a whole width x height image held in CUDA device
// memory (RGBA float, rows packed), uploading the tables and test images that
// `settings` points to for the duration of the call, and waits for the device,
// so the host may read `destination` as soon as the call returns. A failure on
// the device leaves the destination as the host gave it. A build without CUDA
// answers Unsupported; missing images, Failed.
GpuOutcome launchCudaPipeline(int width, int height, const PipelineSettings& settings, const void* source,
                              void* destination, Diagnostics& diagnostics);

}  // namespace ChromvaleBeta2
