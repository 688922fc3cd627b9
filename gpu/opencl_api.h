#pragma once

// The plug-in must load on machines without an OpenCL ICD loader, so it never
// links against one: the entry points it uses are resolved at run time.
#ifndef CL_TARGET_OPENCL_VERSION
#define CL_TARGET_OPENCL_VERSION 120
#endif
#include <CL/cl.h>

namespace ChromvaleBeta2 {

// Every entry point the back-end calls, listed once for the table and its loader.
#define TONEMILL_OPENCL_ENTRY_POINTS(X) \
    X(clGetPlatformIDs)                 \
    X(clGetDeviceIDs)                   \
    X(clGetDeviceInfo)                  \
    X(clGetCommandQueueInfo)            \
    X(clCreateProgramWithSource)        \
    X(clBuildProgram)                   \
    X(clGetProgramBuildInfo)            \
    X(clCreateKernel)                   \
    X(clCreateBuffer)                   \
    X(clSetKernelArg)                   \
    X(clGetKernelWorkGroupInfo)         \
    X(clEnqueueNDRangeKernel)           \
    X(clReleaseMemObject)

struct OpenClApi {
#define TONEMILL_OPENCL_MEMBER(name) decltype(&::name) name = nullptr;
    TONEMILL_OPENCL_ENTRY_POINTS(TONEMILL_OPENCL_MEMBER)
#undef TONEMILL_OPENCL_MEMBER
};

// Opens `libraryName` and resolves every entry point of OpenClApi into `api`.
// False, with `api` untouched, when the library cannot be opened or lacks one
// of them. A library that was opened stays loaded for the life of the process:
// the kernels built through it are cached that long.
bool loadOpenClApi(const char* libraryName, OpenClApi& api);

// The platform's ICD loader ("libOpenCL.so.1", "OpenCL.dll"), opened on first
// use; null when this machine has none.
const OpenClApi* openClApi();

}  // namespace ChromvaleBeta2
