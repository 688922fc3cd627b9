#pragma once

#include "gpu/diagnostics.h"

namespace ChromvaleBeta2 {

// The GPU environment report written to the diagnostic log when the effect is
// described: CUDA versions and devices first, then every OpenCL device of
// every platform. Neither changes any state.
void reportCudaDevices(Diagnostics& report);
void reportOpenClDevices(Diagnostics& report);

}  // namespace ChromvaleBeta2
