#pragma once

// The process-wide store of the four PNG test images. Buffers hold 8-bit RGBA
// pixels, 1920 x 1080, rows bottom-up like OpenFX images, so the chain indexes
// them by the frame's row and they appear upright. Once an image is decoded its
// buffer never changes again while the library is loaded: renders keep using
// the pointer after the store's mutex is released.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace ChromvaleBeta2 {

enum class TestImageId : uint8_t { LightnessRamp, SaturationRamp, ToneMap, ZoneGuide };

inline constexpr unsigned kTestImageWidth = 1920;
inline constexpr unsigned kTestImageHeight = 1080;

struct TestImageBytes {
    const unsigned char* data = nullptr;
    uint32_t size = 0;  // 0 when the image is absent
};

// Guards the store; never held together with another lock.
extern std::mutex testImageMutex;

// The file an image is read from, below the bundle's resources folder.
const char* testImageFile(TestImageId id);

// Decodes a PNG into 8-bit RGBA rows, bottom row first. Returns false, leaving
// `buffer` untouched, after logging why when the file is missing, is not a PNG
// or is not 1920 x 1080. The caller holds testImageMutex.
bool loadTestImage(std::vector<unsigned char>& buffer, const std::string& path);

// Loads, in the order of TestImageId, every image the store does not hold yet.
// An image that failed before is tried again; one that loaded is kept.
void loadTestImages();

// The start and byte count of an image; takes testImageMutex.
TestImageBytes testImageBytes(TestImageId id);

}  // namespace ChromvaleBeta2
