#pragma once

#include <string>

namespace tonemill::cli {

// Where the pictures and labels of a contact sheet lie, in pixels from the top
// left: cells of one picture with its label below, in rows of up to five,
// separated and framed by a margin.
struct SheetLayout {
    static constexpr int kMaxCellWidth = 320;
    static constexpr int kMaxColumns = 5;
    static constexpr int kMargin = 8;
    static constexpr int kLabelScale = 2;
    static constexpr int kLabelPadding = 4;
    static constexpr int kLabelHeight = 5 * kLabelScale + 2 * kLabelPadding;

    int cells = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int columns = 0;
    int rows = 0;
    int width = 0;
    int height = 0;

    int pictureLeft(int cell) const;
    int pictureTop(int cell) const;
    // The label's text starts here, below the picture.
    int labelLeft(int cell) const { return pictureLeft(cell); }
    int labelTop(int cell) const { return pictureTop(cell) + cellHeight + kLabelPadding; }
};

// Pictures keep the source's shape, no wider than kMaxCellWidth and never
// enlarged. Throws CliError when there are no cells.
SheetLayout layoutSheet(int cells, int sourceWidth, int sourceHeight);

// The label as it fits `width` pixels of the sheet's font, shortened with ".."
// when it is too long.
std::string fittedLabel(const std::string& text, int width);

}  // namespace tonemill::cli
