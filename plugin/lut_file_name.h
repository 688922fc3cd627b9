#pragma once

#include <string>

#include "pipeline/look_params.h"

namespace ChromvaleBeta2 {

// The name an exported LUT is offered under, built from the option texts of
// the tables the look uses (camera, contrast, palette stock, print stock,
// output), joined by "-", with "-" and the grid size appended and every
// space turned into "_"; "Untitled" when nothing is selected. Texts are used
// as they are, so a character a file system refuses is left to the dialog.
std::string makeLutFileName(const LookParams& values, int gridSize);

}  // namespace ChromvaleBeta2
