#pragma once

// The part of NVIDIA's CUDA driver API the back-end calls, declared here with
// the types and signatures NVIDIA documents, so that building the back-end
// needs no CUDA toolkit. The driver is opened at run time, never linked: the
// plug-in must load on machines without it.

#include <cstddef>
#include <string>
#include <type_traits>

#include "gpu/diagnostics.h"

namespace ChromvaleBeta2 {

using CUresult = int;
using CUdevice = int;
using CUdeviceptr = unsigned long long;
using CUcontext = struct CUctx_st*;
using CUmodule = struct CUmod_st*;
using CUfunction = struct CUfunc_st*;
using CUstream = struct CUstream_st*;

inline constexpr CUresult kCudaSuccess = 0;
inline constexpr CUresult kCudaErrorNoDevice = 100;

// CUdevice_attribute and CUpointer_attribute values.
inline constexpr int kCudaAttributeMemoryClockRate = 36;
inline constexpr int kCudaAttributeMemoryBusWidth = 37;
inline constexpr int kCudaAttributeComputeCapabilityMajor = 75;
inline constexpr int kCudaAttributeComputeCapabilityMinor = 76;
inline constexpr int kCudaPointerAttributeDeviceOrdinal = 9;

// Every entry point used: member name, exported symbol (the versioned one
// where the driver keeps several), signature. All exist in every driver since
// R525 (CUDA 12.0), the oldest this back-end supports.
#define TONEMILL_CUDA_ENTRY_POINTS(X)                                                                          \
    X(cuInit, "cuInit", CUresult(unsigned int))                                                                \
    X(cuDriverGetVersion, "cuDriverGetVersion", CUresult(int*))                                                \
    X(cuGetErrorName, "cuGetErrorName", CUresult(CUresult, const char**))                                      \
    X(cuDeviceGetCount, "cuDeviceGetCount", CUresult(int*))                                                    \
    X(cuDeviceGet, "cuDeviceGet", CUresult(CUdevice*, int))                                                    \
    X(cuDeviceGetName, "cuDeviceGetName", CUresult(char*, int, CUdevice))                                      \
    X(cuDeviceGetAttribute, "cuDeviceGetAttribute", CUresult(int*, int, CUdevice))                             \
    X(cuDevicePrimaryCtxRetain, "cuDevicePrimaryCtxRetain", CUresult(CUcontext*, CUdevice))                    \
    X(cuCtxGetCurrent, "cuCtxGetCurrent", CUresult(CUcontext*))                                                \
    X(cuCtxGetDevice, "cuCtxGetDevice", CUresult(CUdevice*))                                                   \
    X(cuCtxGetId, "cuCtxGetId", CUresult(CUcontext, unsigned long long*))                                      \
    X(cuCtxPushCurrent, "cuCtxPushCurrent_v2", CUresult(CUcontext))                                            \
    X(cuCtxPopCurrent, "cuCtxPopCurrent_v2", CUresult(CUcontext*))                                             \
    X(cuCtxSynchronize, "cuCtxSynchronize", CUresult())                                                        \
    X(cuPointerGetAttribute, "cuPointerGetAttribute", CUresult(void*, int, CUdeviceptr))                       \
    X(cuModuleLoadData, "cuModuleLoadData", CUresult(CUmodule*, const void*))                                  \
    X(cuModuleGetFunction, "cuModuleGetFunction", CUresult(CUfunction*, CUmodule, const char*))                \
    X(cuMemAlloc, "cuMemAlloc_v2", CUresult(CUdeviceptr*, std::size_t))                                        \
    X(cuMemFree, "cuMemFree_v2", CUresult(CUdeviceptr))                                                        \
    X(cuMemcpyHtoD, "cuMemcpyHtoD_v2", CUresult(CUdeviceptr, const void*, std::size_t))                        \
    X(cuLaunchKernel, "cuLaunchKernel",                                                                        \
      CUresult(CUfunction, unsigned int, unsigned int, unsigned int, unsigned int, unsigned int, unsigned int, \
               unsigned int, CUstream, void**, void**))

struct CudaDriverApi {
#define TONEMILL_CUDA_MEMBER(name, symbol, signature) std::add_pointer_t<signature> name = nullptr;
    TONEMILL_CUDA_ENTRY_POINTS(TONEMILL_CUDA_MEMBER)
#undef TONEMILL_CUDA_MEMBER
};

// What opening the driver came to: the complete table, or null and, when the
// library is there but too old or damaged, the first entry point it lacks.
struct CudaDriver {
    const CudaDriverApi* api = nullptr;
    const char* missingEntryPoint = nullptr;
};

// Opens `libraryName` and resolves every entry point into `api`. A library
// that was opened completely stays loaded for the life of the process: the
// modules loaded through it are cached that long.
CudaDriver loadCudaDriver(const char* libraryName, CudaDriverApi& api);

// NVIDIA's driver ("libcuda.so.1", "nvcuda.dll"), opened on first use.
const CudaDriver& cudaDriver();

// Why `driver` cannot be used: none is installed, or the one installed lacks
// an entry point (the line names it).
std::string unusableDriverText(const CudaDriver& driver);

// True for kCudaSuccess; otherwise an error line naming `call` and the
// driver's name for `result`, and false.
bool cudaCallSucceeded(const CudaDriverApi& cu, CUresult result, const char* call, Diagnostics& diagnostics);

// Reads one CUdevice_attribute of `device` into `value`; false after noting a failure.
bool readCudaDeviceAttribute(const CudaDriverApi& cu, CUdevice device, int attribute, int& value,
                             Diagnostics& diagnostics);

}  // namespace ChromvaleBeta2
