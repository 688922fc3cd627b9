#pragma once

// The negative stocks and film gauges the grain follows, from
// data/film_stocks.tsv. Each stock's figure is the diffuse RMS granularity its
// maker publishes (density deviation x 1000, read through a 48 micrometre
// aperture); data/README.md names the source of every number.

#include <array>
#include <string_view>

namespace TonemillTexture {

struct FilmStock {
    std::string_view label;
    float rmsGranularity;
};

struct FilmGauge {
    std::string_view label;
    float frameHeightMm;  // height of the camera aperture's picture
};

#include "film_stocks.inc"

}  // namespace TonemillTexture
