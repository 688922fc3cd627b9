#pragma once

#define CL_TARGET_OPENCL_VERSION 120
#include <CL/cl.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "formats/lut_archive.h"

namespace ChromvaleBeta2::testing {

// The first OpenCL device of the machine (PoCL in CI) with one context.
// Queues and buffers live until the process ends: the launcher caches kernels
// by queue handle, and a released queue's handle could come back for a new one.
class OpenClDevice {
 public:
    // Null when the machine has no OpenCL device.
    static OpenClDevice* instance();

    cl_command_queue newQueue();
    cl_mem newBuffer(const std::vector<float>& pixels);
    std::vector<float> read(cl_command_queue queue, cl_mem buffer, std::size_t floats);

    cl_context context() const { return context_; }

 private:
    OpenClDevice(cl_device_id device, cl_context context) : device_(device), context_(context) {}
    cl_device_id device_;
    cl_context context_;
};

// An archive written for one test and opened.
class TestArchive {
 public:
    // With the two kernel entries taken from the kernels folder.
    static std::unique_ptr<TestArchive> withKernelSources();
    // With a LUT entry only.
    static std::unique_ptr<TestArchive> withoutKernelSources();
    // With the header entry and a kernel entry that does not compile.
    static std::unique_ptr<TestArchive> withBrokenKernel();
    ~TestArchive();

    LutArchive* archive() { return &archive_; }

 private:
    struct Entry {
        const char* name;
        std::filesystem::path source;
    };
    explicit TestArchive(const std::vector<Entry>& entries);

    std::filesystem::path folder_;
    LutArchive archive_;
};

}  // namespace ChromvaleBeta2::testing
