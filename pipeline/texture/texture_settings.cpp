#include "pipeline/texture/texture_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "pipeline/texture/film_stocks.h"

namespace TonemillTexture {

namespace {

// Three passes of a box of radius b reach 3b: a glow's radius is that reach.
constexpr int kBoxPasses = 3;

bool grainActive(const TextureParams& p) {
    return !p.grainBypass && p.grainAmount > 0.0 &&
           (p.grainLayers[0] > 0.0 || p.grainLayers[1] > 0.0 || p.grainLayers[2] > 0.0);
}

bool halationActive(const TextureParams& p) {
    return !p.halationBypass && p.halationStrength > 0.0 && p.halationRadius > 0.0 &&
           (p.halationTint[0] > 0.0 || p.halationTint[1] > 0.0 || p.halationTint[2] > 0.0);
}

bool bloomActive(const TextureParams& p) {
    return !p.bloomBypass && p.bloomStrength > 0.0 && p.bloomRadius > 0.0;
}

const FilmStock& stockOf(const TextureParams& p) {
    return kFilmStocks[static_cast<std::size_t>(
        std::clamp<int>(p.grainStock, 0, static_cast<int>(kFilmStocks.size()) - 1))];
}

const FilmGauge& gaugeOf(const TextureParams& p) {
    return kFilmGauges[static_cast<std::size_t>(
        std::clamp<int>(p.grainGauge, 0, static_cast<int>(kFilmGauges.size()) - 1))];
}

// The seed and the frame time, so each frame has its own grain and every
// render of that frame the same. Times are taken to 1/1024 of a frame.
uint grainKeyFor(double seed, double time) {
    const auto ticks = static_cast<std::int64_t>(std::llround(time * 1024.0));
    const auto seedBits = static_cast<uint>(static_cast<std::int64_t>(std::llround(seed)));
    return txMix(static_cast<uint>(ticks) ^
                 txMix(static_cast<uint>(static_cast<std::uint64_t>(ticks) >> 32) ^ txMix(seedBits)));
}

}  // namespace

bool isNeutral(const TextureParams& params) {
    return !grainActive(params) && !halationActive(params) && !bloomActive(params);
}

int glowBoxRadius(double radius, double scale) {
    const double reach = radius * scale;
    if (!(reach >= 1.0)) return 0;
    const long box = std::lround(reach / kBoxPasses);
    return static_cast<int>(std::clamp<long>(box, 1, TX_MAX_BOX_RADIUS));
}

GlowGrid glowGrid(double radius, double scale) {
    const int box = glowBoxRadius(radius, scale);
    // Boxes of 8 pixels or more halve the grid, keeping 4 cells or more in a
    // box; from 32 and 64 on, quarter and eighth it, keeping 8 or more.
    const int shift = box >= 64 ? 3 : box >= 32 ? 2 : box >= 8 ? 1 : 0;
    const int half = shift > 0 ? 1 << (shift - 1) : 0;
    return {box > 0 ? std::max(1, (box + half) >> shift) : 0, shift};
}

int glowReach(const GlowGrid& grid) {
    if (grid.box <= 0) return 0;
    const int cell = 1 << grid.shift;
    return grid.shift == 0 ? kBoxPasses * grid.box : (kBoxPasses * grid.box + 2) * cell;
}

int glowMargin(const TextureParams& params, double scale) {
    int margin = 0;
    if (halationActive(params)) margin = std::max(margin, glowReach(glowGrid(params.halationRadius, scale)));
    if (bloomActive(params)) margin = std::max(margin, glowReach(glowGrid(params.bloomRadius, scale)));
    return margin;
}

double grainCellPixels(const TextureParams& params, double pictureHeight) {
    const double frameMicrons = gaugeOf(params).frameHeightMm * 1000.0;
    return kGrainCellMicrons * params.grainSize / frameMicrons * pictureHeight;
}

float grainDeviation(const TextureParams& params, int layer, double pictureHeight) {
    if (!grainActive(params)) return 0.0f;
    // Density deviation of one lattice cell; a display code value follows a
    // print's density about one to one.
    const double cellDeviation =
        stockOf(params).rmsGranularity / 1000.0 * kGranularityApertureMicrons / kGrainCellMicrons;
    // A render pixel larger than a cell averages several: Selwyn's law again,
    // so a proxy render has the deviation of the full render scaled down.
    const double averaging = std::min(1.0, grainCellPixels(params, pictureHeight));
    return static_cast<float>(params.grainAmount * std::max(0.0, params.grainLayers[layer]) * cellDeviation *
                              averaging);
}

TextureSettings makeTextureSettings(const TextureParams& params, double time, double scale, double frameX1,
                                    double frameY1, double pictureHeight) {
    TextureSettings s{};
    for (int c = 0; c < 3; ++c) s.grainSigma[c] = grainDeviation(params, c, pictureHeight);
    const double cell = grainCellPixels(params, pictureHeight);
    s.grainInvCell = cell > 0.0 ? static_cast<float>(1.0 / cell) : 1.0f;
    s.frameOriginX = static_cast<float>(frameX1);
    s.frameOriginY = static_cast<float>(frameY1);
    s.grainKey = grainKeyFor(params.grainSeed, time);

    if (halationActive(params)) {
        const GlowGrid grid = glowGrid(params.halationRadius, scale);
        s.halationBox = grid.box;
        s.halationShift = grid.shift;
        s.halationThreshold = static_cast<float>(params.halationThreshold);
        for (int c = 0; c < 3; ++c)
            s.halationGain[c] = static_cast<float>(params.halationStrength * std::max(0.0, params.halationTint[c]));
    }
    if (bloomActive(params)) {
        const GlowGrid grid = glowGrid(params.bloomRadius, scale);
        s.bloomBox = grid.box;
        s.bloomShift = grid.shift;
        s.bloomThreshold = static_cast<float>(params.bloomThreshold);
        s.bloomGain = static_cast<float>(params.bloomStrength);
    }
    return s;
}

}  // namespace TonemillTexture
