#pragma once

#include <string_view>

namespace tonemill::lutgen {

// A camera or delivery encoding curve: code value (0 to 1, full range) to
// scene-linear reflectance, where 0.18 is the grey card. Every curve is
// strictly increasing, so its inverse is found by bisection over the code
// values a table can hold, unless the curve gives its own.
struct CodeCurve {
    std::string_view name;
    double (*decode)(double code);
    double (*encode)(double linear) = nullptr;  // when a closed form is simpler than the search
};

// Curves named in data/lut_recipes.ini; null when the name is unknown.
const CodeCurve* findCurve(std::string_view name);

double decodeCurve(const CodeCurve& curve, double code);
double encodeCurve(const CodeCurve& curve, double linear);

}  // namespace tonemill::lutgen
