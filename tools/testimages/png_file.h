#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonemill::testimages {

// An 8-bit picture, rows top to bottom, 3 (RGB) or 4 (RGBA) bytes per pixel.
struct Picture {
    unsigned width = 0;
    unsigned height = 0;
    unsigned channels = 3;
    std::vector<uint8_t> bytes;

    Picture(unsigned w, unsigned h, unsigned c) : width(w), height(h), channels(c), bytes(size_t(w) * h * c) {}
    uint8_t* at(unsigned x, unsigned y) { return bytes.data() + (size_t(y) * width + x) * channels; }
};

inline constexpr unsigned kTestWidth = 1920;
inline constexpr unsigned kTestHeight = 1080;

// A working-space value (0 to 1) as an 8-bit code.
uint8_t toByte(double value);

// Encodes with LodePNG and writes beside the target, renamed into place when
// complete. Throws std::runtime_error with LodePNG's message on failure.
void writePng(const Picture& picture, const std::string& path);

}  // namespace tonemill::testimages
