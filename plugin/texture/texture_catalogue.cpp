#include "plugin/texture/texture_catalogue.h"

#include <array>

#include "pipeline/texture/film_stocks.h"

namespace TonemillTexture {

namespace {

using Kind = TextureParamKind;

template <std::size_t N, typename Entry>
constexpr std::array<std::string_view, N> labelsOf(const std::array<Entry, N>& entries) {
    std::array<std::string_view, N> labels{};
    for (std::size_t i = 0; i < N; ++i) labels[i] = entries[i].label;
    return labels;
}

constexpr auto kStockLabels = labelsOf(kFilmStocks);
constexpr auto kGaugeLabels = labelsOf(kFilmGauges);

bool on(double v) {
    return v != 0.0;
}

const TextureParamEntry kCatalogue[] = {
    {"grainGroup", "Grain", "Film grain that changes every frame", Kind::Group, ""},
    {"grainToggle", "Bypass grain", "Leaves the grain out", Kind::Boolean, "grainGroup", 0, 0, 1,
     [](TextureParams& p, double v) { p.grainBypass = on(v); }},
    {"grainStock", "Stock", "Negative stock whose published granularity sets the grain's strength", Kind::Choice,
     "grainGroup", kFilmStocks.size() - 1.0, 0, 0,
     [](TextureParams& p, double v) { p.grainStock = static_cast<int>(v); }},
    {"grainGauge", "Gauge", "Film width: smaller gauges enlarge the grain on the picture", Kind::Choice, "grainGroup",
     0, 0, 0, [](TextureParams& p, double v) { p.grainGauge = static_cast<int>(v); }},
    {"grainAmount", "Amount", "Strength relative to the stock's granularity", Kind::Double, "grainGroup", 1, 0, 4,
     [](TextureParams& p, double v) { p.grainAmount = v; }},
    {"grainSize", "Size", "Grain size relative to the stock's, in picture heights", Kind::Double, "grainGroup", 1, 0.25,
     4, [](TextureParams& p, double v) { p.grainSize = v; }},
    {"grainRed", "Red layer", "Grain of the red-sensitive layer", Kind::Double, "grainGroup", 1, 0, 2,
     [](TextureParams& p, double v) { p.grainLayers[0] = v; }},
    {"grainGreen", "Green layer", "Grain of the green-sensitive layer", Kind::Double, "grainGroup", 1, 0, 2,
     [](TextureParams& p, double v) { p.grainLayers[1] = v; }},
    {"grainBlue", "Blue layer", "Grain of the blue-sensitive layer", Kind::Double, "grainGroup", 1, 0, 2,
     [](TextureParams& p, double v) { p.grainLayers[2] = v; }},
    {"grainSeed", "Seed", "Another seed gives another grain pattern", Kind::Double, "grainGroup", 0, 0, 65535,
     [](TextureParams& p, double v) { p.grainSeed = v; }},

    {"halationGroup", "Halation", "Red-orange glow of light reflected off the film base", Kind::Group, ""},
    {"halationToggle", "Bypass halation", "Leaves the halation out", Kind::Boolean, "halationGroup", 0, 0, 1,
     [](TextureParams& p, double v) { p.halationBypass = on(v); }},
    {"halationThreshold", "Threshold", "Brightness above which light halates", Kind::Double, "halationGroup", 0.8, 0, 4,
     [](TextureParams& p, double v) { p.halationThreshold = v; }},
    {"halationRadius", "Radius", "Reach of the glow in pixels of the full-resolution picture", Kind::Double,
     "halationGroup", 24, 1, 1000, [](TextureParams& p, double v) { p.halationRadius = v; }},
    {"halationStrength", "Strength", "How much of the light above the threshold returns as glow", Kind::Double,
     "halationGroup", 0.3, 0, 4, [](TextureParams& p, double v) { p.halationStrength = v; }},
    {"halationTintRed", "Tint red", "Red of the glow", Kind::Double, "halationGroup", 1, 0, 2,
     [](TextureParams& p, double v) { p.halationTint[0] = v; }},
    {"halationTintGreen", "Tint green", "Green of the glow", Kind::Double, "halationGroup", 0.35, 0, 2,
     [](TextureParams& p, double v) { p.halationTint[1] = v; }},
    {"halationTintBlue", "Tint blue", "Blue of the glow", Kind::Double, "halationGroup", 0.1, 0, 2,
     [](TextureParams& p, double v) { p.halationTint[2] = v; }},

    {"bloomGroup", "Bloom", "Wide neutral glow of the highlights", Kind::Group, ""},
    {"bloomToggle", "Bypass bloom", "Leaves the bloom out", Kind::Boolean, "bloomGroup", 0, 0, 1,
     [](TextureParams& p, double v) { p.bloomBypass = on(v); }},
    {"bloomThreshold", "Threshold", "Brightness above which light blooms", Kind::Double, "bloomGroup", 0.7, 0, 4,
     [](TextureParams& p, double v) { p.bloomThreshold = v; }},
    {"bloomRadius", "Radius", "Reach of the glow in pixels of the full-resolution picture", Kind::Double, "bloomGroup",
     96, 1, 1000, [](TextureParams& p, double v) { p.bloomRadius = v; }},
    {"bloomStrength", "Strength", "How much of the light above the threshold returns as glow", Kind::Double,
     "bloomGroup", 0.15, 0, 4, [](TextureParams& p, double v) { p.bloomStrength = v; }},
};

}  // namespace

std::span<const TextureParamEntry> textureCatalogue() {
    return kCatalogue;
}

std::span<const std::string_view> textureOptionsOf(std::string_view name) {
    if (name == "grainStock") return kStockLabels;
    if (name == "grainGauge") return kGaugeLabels;
    return {};
}

}  // namespace TonemillTexture
