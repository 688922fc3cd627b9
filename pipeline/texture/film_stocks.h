#pragma once

// The negative stocks and film gauges the grain follows. Each stock's figure
// is the diffuse RMS granularity its maker publishes (density deviation x 1000,
// read through a 48 micrometre aperture); data/README.md names the source of
// every number.

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

inline constexpr std::array<FilmStock, 4> kFilmStocks{{
    {"50D (5203)", 5.0f},
    {"200T (5213)", 6.0f},
    {"250D (5207)", 6.0f},
    {"500T (5219)", 7.0f},
}};

inline constexpr std::array<FilmGauge, 3> kFilmGauges{{
    {"35 mm", 18.67f},
    {"16 mm", 7.49f},
    {"8 mm", 4.01f},
}};

}  // namespace TonemillTexture
