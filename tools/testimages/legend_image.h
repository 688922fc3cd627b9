#pragma once

#include "tools/lutgen/zone_chart.h"
#include "tools/testimages/png_file.h"

namespace tonemill::testimages {

// The zone chart guide: a legend of every zone's colour, labelled with its
// stops from the grey card, along the bottom of an otherwise fully
// transparent frame (alpha 0), so it can be laid over any picture.
Picture zoneLegend(const lutgen::ZoneChart& chart);

}  // namespace tonemill::testimages
