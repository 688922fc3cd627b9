#pragma once

namespace ChromvaleBeta2 {

struct PipelineSettings;

// Enqueues the colour chain over a whole width x height image on the host's
// OpenCL command queue. `queue` is the host's cl_command_queue; `source` and
// `destination` are the host's cl_mem buffers (RGBA float, rows packed).
// The kernel is compiled once per queue from the two kernel source entries of
// settings.lutArchive and cached for the life of the process. Returns without
// waiting for the kernel; the host synchronises its own queue.
// Raises the suite status kOfxStatErrUnsupported when the queue has no usable
// kernel (or no OpenCL loader is present); other failures are logged and leave
// the destination untouched.
void launchOpenClPipeline(void* queue, int width, int height, const PipelineSettings& settings,
                          const void* source, void* destination);

}  // namespace ChromvaleBeta2
