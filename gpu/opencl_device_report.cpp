#include <string>
#include <vector>

#include "gpu/device_report.h"
#include "gpu/opencl_api.h"

namespace ChromvaleBeta2 {
namespace {

// Empty when the device does not answer.
std::string deviceText(const OpenClApi& cl, cl_device_id device, cl_device_info what) {
    std::size_t size = 0;
    if (cl.clGetDeviceInfo(device, what, 0, nullptr, &size) != CL_SUCCESS || size == 0) return {};
    std::vector<char> text(size + 1, '\0');
    cl.clGetDeviceInfo(device, what, size, text.data(), nullptr);
    text.back() = '\0';
    return text.data();
}

std::vector<cl_platform_id> platforms(const OpenClApi& cl) {
    cl_uint count = 0;
    if (cl.clGetPlatformIDs(0, nullptr, &count) != CL_SUCCESS || count == 0) return {};
    std::vector<cl_platform_id> ids(count);
    if (cl.clGetPlatformIDs(count, ids.data(), nullptr) != CL_SUCCESS) return {};
    return ids;
}

std::vector<cl_device_id> devices(const OpenClApi& cl, cl_platform_id platform) {
    cl_uint count = 0;
    if (cl.clGetDeviceIDs(platform, CL_DEVICE_TYPE_ALL, 0, nullptr, &count) != CL_SUCCESS || count == 0) {
        return {};
    }
    std::vector<cl_device_id> ids(count);
    if (cl.clGetDeviceIDs(platform, CL_DEVICE_TYPE_ALL, count, ids.data(), nullptr) != CL_SUCCESS) {
        return {};
    }
    return ids;
}

void reportOpenClDevice(Diagnostics& report, const OpenClApi& cl, int number, cl_device_id device) {
    report.note("%d. Device: %s", number, deviceText(cl, device, CL_DEVICE_NAME).c_str());
    report.note(" %d.%d Hardware version: %s", number, 1, deviceText(cl, device, CL_DEVICE_VERSION).c_str());
    report.note(" %d.%d Software version: %s", number, 2, deviceText(cl, device, CL_DRIVER_VERSION).c_str());
    report.note(" %d.%d OpenCL C version: %s", number, 3, deviceText(cl, device, CL_DEVICE_OPENCL_C_VERSION).c_str());
    cl_uint computeUnits = 0;
    cl.clGetDeviceInfo(device, CL_DEVICE_MAX_COMPUTE_UNITS, sizeof(computeUnits), &computeUnits, nullptr);
    report.note(" %d.%d Parallel compute units: %d", number, 4, static_cast<int>(computeUnits));
}

}  // namespace

void reportOpenClDevices(Diagnostics& report) {
    const OpenClApi* api = openClApi();
    if (api == nullptr) return;
    for (cl_platform_id platform : platforms(*api)) {
        int number = 1;
        for (cl_device_id device : devices(*api, platform)) {
            reportOpenClDevice(report, *api, number++, device);
        }
    }
}

}  // namespace ChromvaleBeta2
