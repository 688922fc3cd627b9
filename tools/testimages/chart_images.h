#pragma once

#include "tools/lutgen/colour_space.h"
#include "tools/testimages/png_file.h"

namespace tonemill::testimages {

// Scene reflectance in Rec.709 primaries to working-space code values.
lutgen::Vec3 workingFromRec709(const lutgen::Vec3& linear);

// The tone chart: grey steps one stop apart from -6 to +6 around the grey
// card, the 24 patches of the classic colour checker from their published
// sRGB values, and a row of skin tones, all in working-space encoding.
Picture toneChart();

// The plug-in icon: three overlapping discs over a film-grey ground.
Picture pluginIcon();

}  // namespace tonemill::testimages
