#pragma once

namespace ChromvaleBeta2 {

struct PipelineSettings;

// Whether this build carries the CUDA kernel. Without nvcc at build time the
// plug-in must declare CUDA rendering unsupported so hosts never ask for it.
bool cudaBackendBuilt();

// Runs the colour chain over a whole width x height image held in CUDA device
// memory (RGBA float, rows packed), uploading the tables and test images that
// `settings` points to for the duration of the call. Returns the status of the
// final device synchronisation (0 on success), so the host may read
// `destination` as soon as the call returns. A build without CUDA raises the
// suite status kOfxStatErrUnsupported instead.
int launchCudaPipeline(int width, int height, const PipelineSettings& settings,
                       const void* source, void* destination);

}  // namespace ChromvaleBeta2
