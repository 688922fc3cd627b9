#pragma once

#include <cstdint>
#include <string>

#include "tools/testimages/png_file.h"

namespace tonemill::testimages {

// Sets one pixel to an opaque colour (alpha 255 on four-channel pictures).
void setPixel(Picture& p, unsigned x, unsigned y, uint8_t r, uint8_t g, uint8_t b);

// Draws letters (as capitals), digits and common punctuation in a 3 x 5 pixel
// font, each font pixel a square of `scale` pixels, glyphs 4 * scale apart, in
// grey `level`; the text must fit. Characters the font lacks are left blank.
void drawText(Picture& p, const std::string& text, unsigned x, unsigned y, unsigned scale, uint8_t level);
unsigned textWidth(const std::string& text, unsigned scale);

}  // namespace tonemill::testimages
