#pragma once

// The looks a host of ours renders on every platform the plug-in ships for. The
// Windows and Linux builds of the check compile this one list, so both render
// exactly the same frames and export the same LUTs.

#include <string>
#include <vector>

#include "ofxCore.h"

namespace tonemill::portability {

// A parameter and its value: a choice's option index, 0 or 1 for a toggle, a
// slider's number.
struct Setting {
    std::string name;
    double value = 0.0;
};

struct RenderCase {
    std::string name;     // also the stem of the files the case writes
    std::string context;  // the OpenFX context of the instance
    std::vector<Setting> settings;
    OfxRectI frame;   // bounds of the source and output images
    OfxRectI window;  // what the render action is asked for, inside the frame
    // Points per axis of a LUT exported with the matching button; 0 for none.
    int exportSize = 0;
};

// The look's cases.
const std::vector<RenderCase>& renderCases();
// The film texture's: every part, each alone, and a tile of an offset frame.
const std::vector<RenderCase>& textureRenderCases();
// The cases of the effect a bundle offers, by its plug-in identifier. Throws
// std::invalid_argument for an effect without cases.
const std::vector<RenderCase>& renderCasesFor(const std::string& pluginIdentifier);

// The synthetic source frame every case renders: smooth ramps across the frame
// plus a coarse pattern reaching a little outside [0, 1], made with exact
// arithmetic so every platform builds the same floats.
void syntheticPixel(const OfxRectI& frame, int x, int y, float rgba[4]);

}  // namespace tonemill::portability
