#include "gpu/cuda_kernel_images.h"

namespace ChromvaleBeta2 {
namespace {

int capability(int major, int minor) {
    return 10 * major + minor;
}

bool runsOn(const CudaKernelImage& image, int major, int minor) {
    if (image.isPtx) return capability(image.major, image.minor) <= capability(major, minor);
    return image.major == major && image.minor <= minor;
}

}  // namespace

const CudaKernelImage* chooseCudaKernelImage(std::span<const CudaKernelImage> images, int major, int minor) {
    const CudaKernelImage* chosen = nullptr;
    for (const CudaKernelImage& image : images) {
        if (!runsOn(image, major, minor)) continue;
        const bool better = chosen == nullptr || (chosen->isPtx && !image.isPtx) ||
                            (chosen->isPtx == image.isPtx &&
                             capability(image.major, image.minor) > capability(chosen->major, chosen->minor));
        if (better) chosen = &image;
    }
    return chosen;
}

std::string describeCudaKernelImage(const CudaKernelImage& image) {
    const std::string architecture = std::to_string(image.major) + std::to_string(image.minor);
    return image.isPtx ? "compute_" + architecture + " PTX" : "sm_" + architecture + " machine code";
}

}  // namespace ChromvaleBeta2
