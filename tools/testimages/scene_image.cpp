#include "tools/testimages/scene_image.h"

#include <algorithm>
#include <cmath>

#include "tools/testimages/chart_images.h"

namespace tonemill::testimages {
namespace {

using lutgen::Vec3;

// Deterministic texture in [0, 1): the same picture on every machine.
double mottle(double x, double y) {
    const double v = std::sin(x * 12.9898 + y * 78.233) * 43758.5453;
    const double coarse = 0.5 + 0.25 * std::sin(x * 0.21) * std::sin(y * 0.17) + 0.25 * std::sin((x + y) * 0.05);
    return 0.6 * coarse + 0.4 * (v - std::floor(v));
}

Vec3 scaled(const Vec3& colour, double factor) {
    return {colour[0] * factor, colour[1] * factor, colour[2] * factor};
}

Vec3 mixed(const Vec3& a, const Vec3& b, double t) {
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

// Linear Rec.709 reflectance (1 is a white card in the key light; the sun and
// glints go far above it) at one point of the frame, in units of its height.
Vec3 sceneAt(double u, double v, double aspect, double px, double py) {
    const double horizon = 0.45, treeLine = 0.62;
    const double sunDistance = std::hypot(u - 0.82 * aspect, v - 0.12);
    // Sky: deep blue overhead to pale at the horizon, with the sun's disc and glow.
    Vec3 colour = mixed({0.12, 0.22, 0.62}, {0.55, 0.68, 0.9}, std::clamp(v / horizon, 0.0, 1.0));
    colour = scaled(colour, 1.8);
    colour = mixed(colour, {16.0, 14.0, 10.0}, std::exp(-sunDistance * 30.0));
    if (sunDistance < 0.035) colour = {30.0, 28.0, 22.0};
    // Foliage: a tree line of mottled greens, lit yellow-green on top.
    const double canopy = horizon - 0.06 * std::abs(std::sin(u * 9.0)) - 0.03 * std::sin(u * 23.0);
    if (v > canopy) {
        const double leaf = mottle(px * 0.7, py * 0.7);
        colour = mixed({0.02, 0.06, 0.015}, {0.16, 0.3, 0.05}, leaf);
    }
    // Ground: a warm path of earth and stone.
    if (v > treeLine) colour = mixed({0.2, 0.15, 0.1}, {0.28, 0.22, 0.16}, mottle(px * 0.3, py * 2.0));
    // Two faces, lit from the left: fair skin and deep skin.
    const auto face = [&](double cx, double cy, double rx, double ry, const Vec3& skin) {
        const double dx = (u - cx) / rx, dy = (v - cy) / ry;
        if (dx * dx + dy * dy < 1.0)
            colour = scaled(skin, std::clamp(1.1 - 0.45 * (dx + 1.0) / 2.0 - 0.15 * dy, 0.4, 1.2));
    };
    face(0.25 * aspect, 0.62, 0.07 * aspect, 0.16, {0.5, 0.33, 0.25});
    face(0.42 * aspect, 0.66, 0.065 * aspect, 0.15, {0.16, 0.09, 0.06});
    // Grey cards: 3, 9, 18, 45 and 90 % reflectance.
    constexpr double kCards[] = {0.03, 0.09, 0.18, 0.45, 0.9};
    for (int i = 0; i < 5; ++i) {
        const double left = (0.58 + 0.075 * i) * aspect / 1.0;
        if (u > left && u < left + 0.06 * aspect && v > 0.84 && v < 0.96) colour = {kCards[i], kCards[i], kCards[i]};
    }
    // A chrome ball: a dark reflection with glints far over white.
    const double bx = u - 0.68 * aspect, by = v - 0.7, ball = std::hypot(bx, by);
    if (ball < 0.08) {
        colour = scaled({0.25, 0.27, 0.3}, 1.0 - 2.5 * ball);
        if (std::hypot(bx + 0.025, by + 0.03) < 0.012) colour = {12.0, 12.0, 12.0};
        if (std::hypot(bx - 0.03, by + 0.01) < 0.005) colour = {6.0, 6.0, 6.0};
    }
    return colour;
}

}  // namespace

Picture naturalScene(unsigned width, unsigned height) {
    Picture p(width, height, 3);
    const double aspect = static_cast<double>(width) / height;
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) {
            const Vec3 working = workingFromRec709(
                sceneAt(static_cast<double>(x) / height, static_cast<double>(y) / height, aspect, x, y));
            uint8_t* px = p.at(x, y);
            for (int c = 0; c < 3; ++c) px[c] = toByte(working[c]);
        }
    return p;
}

}  // namespace tonemill::testimages
