#pragma once

#include <functional>
#include <string>

#include "gpu/diagnostics.h"

namespace ChromvaleBeta2 {

struct PipelineSettings;

// The two texts the OpenCL program is built from: the sampling header, then the
// kernel. An empty text is one that could not be read (the reader notes why).
struct KernelSources {
    std::string header;
    std::string body;
};
using KernelSourceReader = std::function<KernelSources(Diagnostics&)>;

// Enqueues the colour chain over a whole width x height image on the host's
// OpenCL command queue. `queue` is the host's cl_command_queue; `source` and
// `destination` are the host's cl_mem buffers (RGBA float, rows packed).
// The kernel is compiled once per queue from the texts `readSources` gives, which
// is asked only then, and cached for the life of the process. Returns without
// waiting for the kernel; the host synchronises its own queue.
// Answers Unsupported when the queue has no usable kernel (or no OpenCL loader is
// present) and Failed without both images; other failures are noted and leave
// the destination untouched.
GpuOutcome launchOpenClPipeline(void* queue, int width, int height, const PipelineSettings& settings,
                                const KernelSourceReader& readSources, const void* source, void* destination,
                                Diagnostics& diagnostics);

}  // namespace ChromvaleBeta2
