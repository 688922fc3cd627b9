#pragma once

#include <array>

#include "tools/lutgen/colour_space.h"
#include "tools/lutgen/recipe_book.h"

namespace tonemill::lutgen {

// The parametric film model. Working-space colour is turned into log2
// exposure around the grey card, offset per layer (colour balance), passed
// through one characteristic curve per layer (slope "gamma" at grey, toe and
// shoulder as the stops below and above grey where the curve flattens out,
// i.e. the density range), mixed between layers (dye crosstalk: positive
// weights desaturate, negative ones act like DIR couplers and saturate),
// tinted in shadows and highlights, and returned to the working space with a
// final saturation. Every layer curve is increasing, so the neutral axis stays
// monotonic as long as the tints stay small.
struct FilmStock {
    double exposure = 0.0;        // stops
    Vec3 balance{0.0, 0.0, 0.0};  // stops per layer before the curve
    Vec3 gamma{1.0, 1.0, 1.0};
    double toe = 7.0;                   // stops below grey
    double shoulder = 7.0;              // stops above grey
    std::array<double, 6> crosstalk{};  // rg rb gr gb br bg
    Vec3 shadowTint{0.0, 0.0, 0.0};     // stops
    Vec3 highlightTint{0.0, 0.0, 0.0};  // stops
    double saturation = 1.0;
};

FilmStock filmStockFromRecipe(const Recipe& recipe);
Vec3 renderFilm(const FilmStock& stock, const Vec3& acescct);

// Increasing S-curve through (0, 0) with the given slope there, flattening
// towards -toe and +shoulder.
double characteristicCurve(double x, double slope, double toe, double shoulder);

// Creative palettes keyed to one of twelve hues (C red, then 30 degrees per
// semitone): the film model gives tone and density, then colours near the key
// hue gain chroma and are drawn towards it, and the tone range is tinted.
struct Palette {
    FilmStock film;
    double keyHue = 0.0;     // degrees
    double hueWidth = 45.0;  // degrees, spread of the key's influence
    double keyBoost = 0.2;   // chroma gain at the key hue
    double keyPull = 0.15;   // share of the hue distance closed at the key
    double keyTint = 0.0;    // chroma pushed along the key hue, shadows (<0) or highlights (>0)
    double warmth = 0.0;     // chroma towards orange (>0) or blue (<0), all tones
};

Palette paletteFromRecipe(const Recipe& recipe);
Vec3 renderPalette(const Palette& palette, const Vec3& acescct);

// A 1D contrast curve on working-space values: an S-curve through the pivot
// with the given slope, between a black and a white asymptote.
struct ContrastCurve {
    Vec3 slope{1.2, 1.2, 1.2};
    double pivot = 0.0;  // set from the mid grey when the recipe does not give it
    double black = -0.1;
    double white = 1.2;
};

ContrastCurve contrastCurveFromRecipe(const Recipe& recipe);
Vec3 renderContrastCurve(const ContrastCurve& curve, double acescct);

}  // namespace tonemill::lutgen
