#pragma once

// The texture effect's parameter values, and what a render reduces them to.

#include "film_texture.h"
#include "pipeline/texture/film_stocks.h"

namespace TonemillTexture {

struct TextureParams {
    bool grainBypass = false;
    int grainStock = static_cast<int>(kFilmStocks.size()) - 1;  // index into kFilmStocks; the last is the default
    int grainGauge = 0;                                         // index into kFilmGauges
    double grainAmount = 1.0;
    double grainSize = 1.0;
    double grainLayers[3] = {1.0, 1.0, 1.0};
    double grainSeed = 0.0;

    bool halationBypass = false;
    double halationThreshold = 0.8;
    double halationRadius = 24.0;  // full-resolution pixels
    double halationStrength = 0.3;
    double halationTint[3] = {1.0, 0.35, 0.1};

    bool bloomBypass = false;
    double bloomThreshold = 0.7;
    double bloomRadius = 96.0;
    double bloomStrength = 0.15;
};

// The grain lattice spacing on the film, micrometres, before the size control.
inline constexpr double kGrainCellMicrons = 12.0;
// Selwyn's law carries the granularity from its 48 um aperture to a lattice cell.
inline constexpr double kGranularityApertureMicrons = 48.0;

// Whether the values change no pixel: every part bypassed or at zero strength.
bool isNeutral(const TextureParams& params);

// Radius of each of the three box passes of a glow of `radius` full-resolution
// pixels at `scale`; 0 when the glow has no reach.
int glowBoxRadius(double radius, double scale);

// How a glow runs: the radius of its box passes in cells, and the cell's
// size (2^shift render pixels square). Wide glows take coarse cells, keeping
// at least a few cells in a box so the glow's shape survives.
struct GlowGrid {
    int box = 0;  // 0: no glow
    int shift = 0;
};

// The grid of a glow of `radius` full-resolution pixels at `scale`.
GlowGrid glowGrid(double radius, double scale);

// How far beyond a pixel a glow on `grid` reads, in render pixels: the three
// passes' reach in cells, and at shift above 0 the cells' own extent and the
// interpolation's neighbour.
int glowReach(const GlowGrid& grid);

// How far beyond a pixel the glows read, in render pixels: the render window
// grown by this much is the source a render needs.
int glowMargin(const TextureParams& params, double scale);

// Deviation, in code values at full mid-tone weight, of the grain of layer
// `layer` on a picture `pictureHeight` render pixels high.
float grainDeviation(const TextureParams& params, int layer, double pictureHeight);

// Lattice spacing of the grain in render pixels.
double grainCellPixels(const TextureParams& params, double pictureHeight);

// The per-render record: `frame` is the frame's rectangle in render pixels,
// `scale` the render scale's vertical factor.
TextureSettings makeTextureSettings(const TextureParams& params, double time, double scale, double frameX1,
                                    double frameY1, double pictureHeight);

}  // namespace TonemillTexture
