#include "tools/testimages/ramp_images.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tonemill::testimages {

Picture lightnessRamp() {
    Picture p(kTestWidth, kTestHeight, 3);
    constexpr unsigned steps = 32;
    for (unsigned y = 0; y < p.height; ++y)
        for (unsigned x = 0; x < p.width; ++x) {
            const double t = double(x) / (p.width - 1);
            const double step = std::min(std::floor(t * steps), double(steps - 1));
            const double v = y < p.height / 2 ? t : step / (steps - 1);
            uint8_t* px = p.at(x, y);
            px[0] = px[1] = px[2] = toByte(v);
        }
    return p;
}

namespace {

// Offsets of the three channels from their mean for a unit chroma at a hue
// angle (red 0 degrees, yellow 60, green 120, blue 240).
void hueDirection(double degrees, double out[3]) {
    const double a = std::cos(degrees * std::numbers::pi / 180.0);
    const double b = std::sin(degrees * std::numbers::pi / 180.0);
    constexpr double sqrt3 = 1.7320508075688772;
    out[0] = 2.0 * a / 3.0;
    out[1] = -a / 3.0 + b / sqrt3;
    out[2] = -a / 3.0 - b / sqrt3;
}

}  // namespace

Picture saturationRamp() {
    Picture p(kTestWidth, kTestHeight, 3);
    constexpr double intensity = 0.5;
    for (unsigned x = 0; x < p.width; ++x) {
        double dir[3];
        hueDirection(360.0 * x / p.width, dir);
        // The largest chroma that keeps every channel inside 0 to 1.
        double reach = 1e9;
        for (double d : dir)
            if (std::abs(d) > 1e-12) reach = std::min(reach, (d > 0 ? 1.0 - intensity : intensity) / std::abs(d));
        for (unsigned y = 0; y < p.height; ++y) {
            const double s = double(p.height - 1 - y) / (p.height - 1);
            uint8_t* px = p.at(x, y);
            for (int c = 0; c < 3; ++c) px[c] = toByte(intensity + s * reach * dir[c]);
        }
    }
    return p;
}

}  // namespace tonemill::testimages
