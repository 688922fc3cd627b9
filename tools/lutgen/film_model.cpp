#include "tools/lutgen/film_model.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace tonemill::lutgen {

double characteristicCurve(double x, double slope, double toe, double shoulder) {
    const double range = toe + shoulder;
    const double p = toe / range;
    const double offset = std::log(p / (1.0 - p));
    const double k = slope / (range * p * (1.0 - p));
    return -toe + range / (1.0 + std::exp(-(k * x + offset)));
}

namespace {

double logistic(double x) {
    return 1.0 / (1.0 + std::exp(-x));
}

void requirePositive(const Recipe& recipe, const char* key, double value) {
    if (!(value > 0.0))
        throw std::runtime_error("recipe [" + recipe.entryName() + "]: key '" + key + "' must be positive");
}

Vec3 saturate(const Vec3& linear, double amount) {
    const double y = ap1Luminance(linear);
    return {y + amount * (linear[0] - y), y + amount * (linear[1] - y), y + amount * (linear[2] - y)};
}

}  // namespace

FilmStock filmStockFromRecipe(const Recipe& r) {
    FilmStock s;
    s.exposure = r.number("exposure", s.exposure);
    s.balance = r.triple("balance", s.balance);
    s.gamma = r.triple("gamma", s.gamma);
    s.toe = r.number("toe", s.toe);
    s.shoulder = r.number("shoulder", s.shoulder);
    if (r.has("crosstalk")) {
        const auto v = r.numbers("crosstalk");
        if (v.size() != 6) throw std::runtime_error("recipe [" + r.entryName() + "]: key 'crosstalk' needs 6 numbers");
        for (int i = 0; i < 6; ++i) s.crosstalk[i] = v[i];
    }
    s.shadowTint = r.triple("shadow_tint", s.shadowTint);
    s.highlightTint = r.triple("highlight_tint", s.highlightTint);
    s.saturation = r.number("saturation", s.saturation);
    for (double g : s.gamma) requirePositive(r, "gamma", g);
    requirePositive(r, "toe", s.toe);
    requirePositive(r, "shoulder", s.shoulder);
    return s;
}

Vec3 renderFilm(const FilmStock& s, const Vec3& acescct) {
    // The black floor keeps log2 finite; it sits far below any toe.
    constexpr double floorStops = -16.0;
    Vec3 density;
    double meanExposure = 0.0;
    for (int c = 0; c < 3; ++c) {
        const double linear = linearFromAcescct(acescct[c]);
        const double stops =
            linear > kMidGreyLinear * std::exp2(floorStops) ? std::log2(linear / kMidGreyLinear) : floorStops;
        const double e = stops + s.exposure + s.balance[c];
        density[c] = characteristicCurve(e, s.gamma[c], s.toe, s.shoulder);
        meanExposure += e / 3.0;
    }
    const auto& x = s.crosstalk;
    const Vec3 mixed{(1.0 - x[0] - x[1]) * density[0] + x[0] * density[1] + x[1] * density[2],
                     x[2] * density[0] + (1.0 - x[2] - x[3]) * density[1] + x[3] * density[2],
                     x[4] * density[0] + x[5] * density[1] + (1.0 - x[4] - x[5]) * density[2]};
    const double shadows = logistic(-1.2 * (meanExposure + 1.5));
    const double highlights = logistic(1.2 * (meanExposure - 1.5));
    Vec3 linear;
    for (int c = 0; c < 3; ++c)
        linear[c] = kMidGreyLinear * std::exp2(mixed[c] + shadows * s.shadowTint[c] + highlights * s.highlightTint[c]);
    const Vec3 out = saturate(linear, s.saturation);
    return {acescctFromLinear(out[0]), acescctFromLinear(out[1]), acescctFromLinear(out[2])};
}

namespace {

constexpr double kSqrt3 = 1.7320508075688772;

double keyHueOf(const Recipe& r) {
    static constexpr const char* names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const std::string& key = r.text("key");
    for (int i = 0; i < 12; ++i)
        if (key == names[i]) return 30.0 * i;
    throw std::runtime_error("recipe [" + r.entryName() + "]: key '" + key + "' is not one of the twelve notes C to B");
}

double degrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

}  // namespace

Palette paletteFromRecipe(const Recipe& r) {
    Palette p;
    p.film = filmStockFromRecipe(r);
    p.keyHue = keyHueOf(r);
    p.hueWidth = r.number("hue_width", p.hueWidth);
    p.keyBoost = r.number("key_boost", p.keyBoost);
    p.keyPull = r.number("key_pull", p.keyPull);
    p.keyTint = r.number("key_tint", p.keyTint);
    p.warmth = r.number("warmth", p.warmth);
    requirePositive(r, "hue_width", p.hueWidth);
    return p;
}

Vec3 renderPalette(const Palette& p, const Vec3& acescct) {
    const Vec3 toned = renderFilm(p.film, acescct);
    // Opponent coordinates of the working-space values: red at 0 degrees,
    // yellow at 60, green at 120, blue at 240.
    const double intensity = (toned[0] + toned[1] + toned[2]) / 3.0;
    double a = toned[0] - 0.5 * (toned[1] + toned[2]);
    double b = 0.5 * kSqrt3 * (toned[1] - toned[2]);
    const double chroma = std::hypot(a, b);
    if (chroma > 1e-9) {
        const double hue = degrees(std::atan2(b, a));
        const double distance = std::remainder(hue - p.keyHue, 360.0);
        const double weight = std::exp(-distance * distance / (2.0 * p.hueWidth * p.hueWidth));
        const double newHue = hue - p.keyPull * distance * weight;
        const double newChroma = chroma * (1.0 + p.keyBoost * weight);
        a = newChroma * std::cos(radians(newHue));
        b = newChroma * std::sin(radians(newHue));
    }
    // Key tint grows towards the highlights (positive) or the shadows
    // (negative); warmth applies evenly.
    const double grey = midGreyAcescct();
    const double toneWeight =
        p.keyTint >= 0.0 ? logistic((intensity - grey) / 0.08) : logistic((grey - intensity) / 0.08);
    const double tint = std::abs(p.keyTint) * toneWeight;
    a += tint * std::cos(radians(p.keyHue)) + p.warmth * std::cos(radians(40.0));
    b += tint * std::sin(radians(p.keyHue)) + p.warmth * std::sin(radians(40.0));
    return {intensity + 2.0 * a / 3.0, intensity - a / 3.0 + b / kSqrt3, intensity - a / 3.0 - b / kSqrt3};
}

ContrastCurve contrastCurveFromRecipe(const Recipe& r) {
    ContrastCurve c;
    c.slope = r.triple("contrast", c.slope);
    c.pivot = r.number("pivot", midGreyAcescct());
    c.black = r.number("black", c.black);
    c.white = r.number("white", c.white);
    for (double s : c.slope) requirePositive(r, "contrast", s);
    if (!(c.black < c.pivot && c.pivot < c.white))
        throw std::runtime_error("recipe [" + r.entryName() + "]: the pivot must lie between black and white");
    return c;
}

Vec3 renderContrastCurve(const ContrastCurve& c, double x) {
    Vec3 out;
    for (int i = 0; i < 3; ++i)
        out[i] = c.pivot + characteristicCurve(x - c.pivot, c.slope[i], c.pivot - c.black, c.white - c.pivot);
    return out;
}

}  // namespace tonemill::lutgen
