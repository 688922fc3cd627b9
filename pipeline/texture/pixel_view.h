#pragma once

// Float RGBA pixels of an image the texture effect reads or writes, addressed
// by frame coordinates, and the rectangles it works on.

#include <algorithm>
#include <cstddef>

namespace TonemillTexture {

// x2 and y2 exclusive, as OpenFX rectangles.
struct Rect {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

inline bool isEmpty(const Rect& r) {
    return r.x1 >= r.x2 || r.y1 >= r.y2;
}

struct PixelView {
    char* base = nullptr;  // pixel (bounds.x1, bounds.y1)
    std::ptrdiff_t rowBytes = 0;
    Rect bounds{};

    float* pixel(int x, int y) const {
        return reinterpret_cast<float*>(base + static_cast<std::ptrdiff_t>(y - bounds.y1) * rowBytes +
                                        static_cast<std::ptrdiff_t>(x - bounds.x1) * 4 * sizeof(float));
    }
    // The nearest pixel inside the bounds: reading past a source smaller than
    // asked repeats its edge.
    const float* clampedPixel(int x, int y) const {
        return pixel(std::clamp(x, bounds.x1, bounds.x2 - 1), std::clamp(y, bounds.y1, bounds.y2 - 1));
    }
};

}  // namespace TonemillTexture
