#include "plugin/test_image_store.h"

#include <algorithm>
#include <array>
#include <lodepng.h>

#include "ofx/support/ofxsLog.h"
#include "plugin/bundle_path.h"

namespace ChromvaleBeta2 {

std::mutex testImageMutex;

namespace {

constexpr std::array<const char*, 4> kFiles = {"LightnesRamp.png", "SaturationRamp.png", "tonemap.png",
                                               "korvozones.png"};

// Guarded by testImageMutex. A filled buffer is never written again.
std::array<std::vector<unsigned char>, 4> testImages;

size_t slot(TestImageId id) {
    return static_cast<size_t>(id);
}

// PNG rows run top-down, OpenFX rows bottom-up.
void flipRows(std::vector<unsigned char>& pixels, size_t rowBytes) {
    const size_t rows = pixels.size() / rowBytes;
    for (size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels.begin() + top * rowBytes, pixels.begin() + (top + 1) * rowBytes,
                         pixels.begin() + bottom * rowBytes);
    }
}

}  // namespace

const char* testImageFile(TestImageId id) {
    return kFiles[slot(id)];
}

bool loadTestImage(std::vector<unsigned char>& buffer, const std::string& path) {
    std::vector<unsigned char> file;
    if (unsigned error = lodepng::load_file(file, path)) {
        OFX::Log::error(true, "loading error %s", lodepng_error_text(error));
        return false;
    }
    // The size comes from the header, before anything is decoded: a damaged
    // header can claim billions of pixels, and the decoder would reserve
    // memory for all of them before finding out.
    unsigned width = 0, height = 0;
    lodepng::State header;
    if (unsigned error = lodepng_inspect(&width, &height, &header, file.data(), file.size())) {
        OFX::Log::error(true, "decoder error %s", lodepng_error_text(error));
        return false;
    }
    if (width != kTestImageWidth || height != kTestImageHeight) {
        // The chain reads every test image as 1920 x 1080; any other size
        // would be read out of bounds or shown distorted.
        OFX::Log::error(true, "test image %s is %u x %u pixels, expected %u x %u", path.c_str(), width, height,
                        kTestImageWidth, kTestImageHeight);
        return false;
    }
    std::vector<unsigned char> pixels;
    if (unsigned error = lodepng::decode(pixels, width, height, file)) {
        OFX::Log::error(true, "decoder error %s", lodepng_error_text(error));
        return false;
    }
    flipRows(pixels, size_t(width) * 4);
    buffer.swap(pixels);
    return true;
}

void loadTestImages() {
    for (size_t i = 0; i < kFiles.size(); ++i) {
        std::lock_guard lock(testImageMutex);
        if (testImages[i].empty()) loadTestImage(testImages[i], bundleResource(kFiles[i]));
    }
}

TestImageBytes testImageBytes(TestImageId id) {
    std::lock_guard lock(testImageMutex);
    const auto& pixels = testImages[slot(id)];
    if (pixels.empty()) return {};
    return {pixels.data(), static_cast<uint32_t>(pixels.size())};
}

}  // namespace ChromvaleBeta2
