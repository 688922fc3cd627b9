#include "tools/lutgen/camera_curves.h"

#include <cmath>

namespace tonemill::lutgen {

namespace {

// Each vendor states its curve for reflectance; where the published formula
// works on "IRE" scene values the 0.9 factor is part of the formula below.

double linearCurve(double v) {
    return v;
}

double arriLogC3Ei800(double t) {
    constexpr double cut = 0.010591, a = 5.555556, b = 0.052272, c = 0.247190, d = 0.385537, e = 5.367655, f = 0.092809;
    return t > e * cut + f ? (std::pow(10.0, (t - d) / c) - b) / a : (t - f) / e;
}

double blackmagicFilmGen5(double y) {
    constexpr double a = 0.08692876065491224, b = 0.005494072432257808, c = 0.5300133392291939, d = 8.283605932402494,
                     e = 0.09246575342465753, linCut = 0.005;
    return y < d * linCut + e ? (y - e) / d : std::exp((y - c) / a) - b;
}

double canonLog(double v) {
    constexpr double c = 0.12512248, s = 0.45310179;
    const double x =
        v < c ? -(std::pow(10.0, (c - v) / s) - 1.0) / 10.1596 : (std::pow(10.0, (v - c) / s) - 1.0) / 10.1596;
    return x * 0.9;
}

double canonLog2(double v) {
    constexpr double c = 0.092864125, s = 0.24136077;
    const double x =
        v < c ? -(std::pow(10.0, (c - v) / s) - 1.0) / 87.09937546 : (std::pow(10.0, (v - c) / s) - 1.0) / 87.09937546;
    return x * 0.9;
}

double canonLog3(double v) {
    double x;
    if (v < 0.097465473)
        x = -(std::pow(10.0, (0.12783901 - v) / 0.36726845) - 1.0) / 14.98325;
    else if (v <= 0.15277891)
        x = (v - 0.12512219) / 1.9754798;
    else
        x = (std::pow(10.0, (v - 0.12240537) / 0.36726845) - 1.0) / 14.98325;
    return x * 0.9;
}

double davinciIntermediate(double v) {
    constexpr double a = 0.0075, b = 7.0, c = 0.07329248, m = 10.44426855, logCut = 0.02740668;
    return v <= logCut ? v / m : std::exp2(v / c - b) - a;
}

double djiDLog(double y) {
    return y <= 0.14 ? (y - 0.0929) / 6.025 : (std::pow(10.0, 3.89616 * y - 2.27752) - 0.0108) / 0.9892;
}

double fujifilmFLog(double v) {
    constexpr double cut2 = 0.100537775223865, a = 0.555556, b = 0.009468, c = 0.344676, d = 0.790453, e = 8.735631,
                     f = 0.092864;
    return v < cut2 ? (v - f) / e : std::pow(10.0, (v - d) / c) / a - b / a;
}

double goproProtune(double y) {
    return (std::pow(113.0, y) - 1.0) / 112.0;
}

double nikonNLog(double x) {
    constexpr double cut2 = 452.0 / 1023.0, a = 650.0 / 1023.0, b = 0.0075, c = 150.0 / 1023.0, d = 619.0 / 1023.0;
    return x < cut2 ? std::pow(x / a, 3.0) - b : std::exp((x - d) / c);
}

double sonySLog2(double y) {
    // S-Log2 is stated on legal-range code values.
    const double x = (y * 1023.0 - 64.0) / 876.0;
    const double toeCode = 0.030001222851889303;
    const double breakCode = 0.432699 * std::log10(0.037584) + 0.616596 + 0.03;
    const double slog =
        x >= breakCode ? std::pow(10.0, (x - 0.616596 - 0.03) / 0.432699) - 0.037584 : (x - toeCode) / 5.0;
    return slog * 0.9 * 219.0 / 155.0;
}

double sonySLog3(double y) {
    return y >= 171.2102946929 / 1023.0 ? std::pow(10.0, (y * 1023.0 - 420.0) / 261.5) * (0.18 + 0.01) - 0.01
                                        : (y * 1023.0 - 95.0) * 0.01125 / (171.2102946929 - 95.0);
}

double cineon(double y) {
    const double blackOffset = std::pow(10.0, (95.0 - 685.0) / 300.0);
    return (std::pow(10.0, (1023.0 * y - 685.0) / 300.0) - blackOffset) / (1.0 - blackOffset);
}

// FiLMiC Pro log as its maker published it for version 6: code from linear.
double filmicPro6Encode(double t) {
    return 0.371 * (std::sqrt(t) + 0.28257 * std::log(t) + 1.69542);
}

double filmicPro6(double y) {
    double lo = 1e-6, hi = 4.0;
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (lo + hi);
        (filmicPro6Encode(mid) < y ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

// BT.709 camera curve; scaled so that the 18 % card sits where the curve puts
// it, which makes a "flat" phone profile read as a display-gamma camera.
double bt709Camera(double v) {
    return v < 0.081 ? v / 4.5 : std::pow((v + 0.099) / 1.099, 1.0 / 0.45);
}

// ARIB STD-B67 (HLG) scene light, scaled so that the BT.2100 grey card level
// (38 % signal) lands on 0.18.
double hlgScene(double v) {
    constexpr double a = 0.17883277, b = 0.28466892, c = 0.55991073;
    const double e = v <= 0.5 ? v * v / 3.0 : (std::exp((v - c) / a) + b) / 12.0;
    const double grey = 0.38 * 0.38 / 3.0;
    return e * 0.18 / grey;
}

constexpr CodeCurve kCurves[] = {
    {"linear", linearCurve, linearCurve},
    {"ARRI-LogC3-EI800", arriLogC3Ei800},
    {"BlackmagicFilmGen5", blackmagicFilmGen5},
    {"CanonLog", canonLog},
    {"CanonLog2", canonLog2},
    {"CanonLog3", canonLog3},
    {"DaVinciIntermediate", davinciIntermediate},
    {"DJI-DLog", djiDLog},
    {"Fujifilm-FLog", fujifilmFLog},
    {"GoPro-Protune", goproProtune},
    {"Nikon-NLog", nikonNLog},
    {"Sony-SLog2", sonySLog2},
    {"Sony-SLog3", sonySLog3},
    {"Cineon", cineon},
    {"FilmicPro6", filmicPro6},
    {"BT709-Camera", bt709Camera},
    {"HLG-Scene", hlgScene},
};

}  // namespace

const CodeCurve* findCurve(std::string_view name) {
    for (const CodeCurve& curve : kCurves)
        if (curve.name == name) return &curve;
    return nullptr;
}

double decodeCurve(const CodeCurve& curve, double code) {
    return curve.decode(code);
}

double encodeCurve(const CodeCurve& curve, double linear) {
    if (curve.encode) return curve.encode(linear);
    // Code values below -0.5 or above 2 never occur in a table, so the search
    // range is bounded and the result saturates outside it.
    double lo = -0.5, hi = 2.0;
    for (int i = 0; i < 80; ++i) {
        const double mid = 0.5 * (lo + hi);
        (curve.decode(mid) < linear ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

}  // namespace tonemill::lutgen
