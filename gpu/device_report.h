#pragma once

namespace ChromvaleBeta2 {

// The GPU environment report written to the diagnostic log when the effect is
// described: CUDA versions and devices first, then every OpenCL device of
// every platform. Neither changes any state nor raises.
void logCudaDevices();
void logOpenClDevices();

}  // namespace ChromvaleBeta2
