#pragma once

#include "pipeline/pipeline_settings.h"

namespace ChromvaleBeta2 {

// The colour chain for one pixel, without the test views: the result depends
// on the colour alone, as a baked LUT needs. Alpha passes through untouched.
float4 processColour(const PipelineSettings& settings, float4 source);

// The chain as the device kernels run it for pixel (x, y) of the source
// image, counted from its bottom-left corner: the test image, the zone chart
// LUT and the zone guide are drawn too.
float4 processColourAt(const PipelineSettings& settings, float4 source, int x, int y);

// One row of source pixels as the CPU render reads it.
struct SourceRow {
    const float* pixels = nullptr;  // RGBA at column x1; null when the row has no source
    int x1 = 0;                     // source columns [x1, x2)
    int x2 = 0;
    int y = 0;  // row counted from the source's bottom edge
};

// Writes destination pixels for columns [x1, x2) of one row, contiguously
// from `destination`, with the test views drawn. Columns outside the source
// become transparent black.
void renderRow(const PipelineSettings& settings, const SourceRow& source, int x1, int x2, float* destination);

// renderRow on `rows` rows at once, row i from sources[i] to destinations[i]:
// a table of the look is then fetched into cache once for several rows,
// which one row of a 4K frame is too short to repay.
void renderRows(const PipelineSettings& settings, const SourceRow* sources, float* const* destinations, int rows,
                int x1, int x2);

// How many rows of `width` pixels renderRows takes together to best effect.
int rowsRenderedTogether(int width);

}  // namespace ChromvaleBeta2
