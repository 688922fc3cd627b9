#pragma once

#include <array>
#include <vector>

#include "tools/lutgen/recipe_book.h"

namespace tonemill::lutgen {

// The false-colour zone chart: one zone per stop of exposure around the grey
// card, each with the colour a display shows for it after the default output
// transform. The LUT and the legend image both come from these values.
struct ZoneChart {
    int firstStop = -5;                                 // the zone of the first colour; lower exposures share it
    std::vector<std::array<double, 3>> displayColours;  // display code values, 0 to 1
};

ZoneChart zoneChartFromRecipe(const Recipe& recipe);

// Zone of an exposure in stops relative to the grey card.
int zoneIndex(const ZoneChart& chart, double stops);

}  // namespace tonemill::lutgen
