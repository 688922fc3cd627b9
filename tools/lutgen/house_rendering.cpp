#include "tools/lutgen/house_rendering.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tonemill::lutgen {

HouseRendering houseRenderingFromRecipe(const Recipe& r) {
    HouseRendering h;
    h.exposure = r.number("exposure", h.exposure);
    h.contrast = r.number("contrast", h.contrast);
    h.greyOut = r.number("grey_out", h.greyOut);
    h.peak = r.number("peak", h.peak);
    h.flare = r.number("flare", h.flare);
    h.huePreserve = r.number("hue_preserve", h.huePreserve);
    h.saturation = r.number("saturation", h.saturation);
    const Gamut* display = findGamut(r.text("display_gamut"));
    if (!display)
        throw std::runtime_error("recipe [" + r.entryName() + "]: unknown display_gamut '" + r.text("display_gamut") +
                                 "'");
    h.ap1ToDisplay = gamutToGamut(acesAp1(), *display);
    const std::string eotf = r.text("eotf");
    if (eotf == "bt1886")
        h.eotf = HouseRendering::Eotf::Bt1886;
    else if (eotf == "gamma2.6")
        h.eotf = HouseRendering::Eotf::Gamma26;
    else if (eotf == "srgb")
        h.eotf = HouseRendering::Eotf::Srgb;
    else
        throw std::runtime_error("recipe [" + r.entryName() + "]: eotf must be bt1886, gamma2.6 or srgb");
    if (!(h.contrast > 0.0 && h.greyOut > 0.0 && h.peak > h.greyOut && h.flare >= 0.0))
        throw std::runtime_error("recipe [" + r.entryName() + "]: needs contrast > 0, 0 < grey_out < peak, flare >= 0");
    return h;
}

namespace {

double toneCurve(const HouseRendering& h, double x) {
    if (x <= 0.0) return 0.0;
    const double c = h.contrast;
    const double scaleC = std::pow(kMidGreyLinear, c) * (h.peak / h.greyOut - 1.0);
    const double xc = std::pow(x, c);
    const double t = h.peak * xc / (xc + scaleC);
    return t * t / (t + h.flare);
}

double encode(HouseRendering::Eotf eotf, double v) {
    v = std::clamp(v, 0.0, 1.0);
    switch (eotf) {
        case HouseRendering::Eotf::Bt1886: return std::pow(v, 1.0 / 2.4);
        case HouseRendering::Eotf::Gamma26: return std::pow(v, 1.0 / 2.6);
        case HouseRendering::Eotf::Srgb: return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    }
    return v;
}

}  // namespace

Vec3 renderHouse(const HouseRendering& h, const Vec3& acescct) {
    const double gain = std::exp2(h.exposure);
    Vec3 scene;
    for (int c = 0; c < 3; ++c) scene[c] = std::max(0.0, linearFromAcescct(acescct[c]) * gain);
    const double largest = std::max({scene[0], scene[1], scene[2]});
    const double ratio = largest > 0.0 ? toneCurve(h, largest) / largest : 0.0;
    Vec3 display;
    for (int c = 0; c < 3; ++c)
        display[c] = (1.0 - h.huePreserve) * toneCurve(h, scene[c]) + h.huePreserve * scene[c] * ratio;
    const double y = ap1Luminance(display);
    for (double& v : display) v = y + h.saturation * (v - y);
    const Vec3 out = applyMatrix(h.ap1ToDisplay, display);
    return {encode(h.eotf, out[0]), encode(h.eotf, out[1]), encode(h.eotf, out[2])};
}

}  // namespace tonemill::lutgen
