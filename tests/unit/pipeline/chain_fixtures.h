#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "pipeline/lut_table.h"
#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2::testing {

// Entry (r, g, b) holds (r, g, b) / (N - 1).
LutTable identity3D(uint32_t n);
// Entry i holds i / (N - 1) in every column.
LutTable identity1D(uint32_t n);
// Entries drawn uniformly from [low, high).
LutTable random3D(uint32_t n, std::mt19937& rng, float low = 0.0f, float high = 1.0f);
LutTable random1D(uint32_t n, std::mt19937& rng);

// Every table and image absent, every correction at its neutral value.
PipelineSettings neutralSettings();

// The tables and test views a fully loaded chain points to; keeps them alive.
struct LoadedLook {
    LutTable idt, contrast, palette, print, odt, postProcess, zone;
    LutTable gamut[3];
    std::vector<unsigned char> testImage, zoneOverlay;
};

// Every stage present with random tables and random, sensible correction
// values. The test views are attached only when `withTestViews` is set.
PipelineSettings randomSettings(LoadedLook& look, std::mt19937& rng, bool withTestViews);

}  // namespace ChromvaleBeta2::testing
