#include "gpu/cuda_launcher.h"

#if defined(_WIN32)
#define TONEMILL_EXPORT __declspec(dllexport)
#else
#define TONEMILL_EXPORT __attribute__((visibility("default")))
#endif

// Asks NVIDIA's driver on laptops with switchable graphics to run this
// process's CUDA work on the NVIDIA GPU.
extern "C" {
TONEMILL_EXPORT int NvOptimusEnablementCuda = 1;
}

namespace ChromvaleBeta2 {

bool cudaBackendBuilt() {
    return TONEMILL_CUDA_BUILT;
}

}  // namespace ChromvaleBeta2
