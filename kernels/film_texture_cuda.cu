/* The texture effect's CUDA kernels: film_texture.cl itself, compiled by
 * NVRTC after the few OpenCL names it uses are given their CUDA meaning, so
 * that the CUDA render cannot drift from the OpenCL one. */
#include "film_texture.h"

#define __kernel extern "C" __global__
#define __global

/* Only the dimensions the kernels launch with: x, then y. */
static __device__ __forceinline__ size_t get_global_id(int dimension) {
    return dimension == 0 ? (size_t)blockIdx.x * blockDim.x + threadIdx.x
                          : (size_t)blockIdx.y * blockDim.y + threadIdx.y;
}

static __device__ __forceinline__ int clamp(int value, int low, int high) {
    return min(max(value, low), high);
}

#include "film_texture.cl"
