#pragma once

#include "gpu/cuda_kernel_images.h"

namespace TonemillTexture {

// Generated at build time from kernels/film_texture_cuda.cu: the kernels
// textureGlowRows, textureGlowColumns and textureCompose.
const ChromvaleBeta2::CudaKernelBuild& textureCudaKernelBuild();

}  // namespace TonemillTexture
