#include "tools/tonemill/sheet_layout.h"

#include <algorithm>
#include <cmath>

#include "tools/testimages/bitmap_text.h"
#include "tools/tonemill/cli_error.h"

namespace tonemill::cli {

int SheetLayout::pictureLeft(int cell) const {
    return kMargin + (cell % columns) * (cellWidth + kMargin);
}

int SheetLayout::pictureTop(int cell) const {
    return kMargin + (cell / columns) * (cellHeight + kLabelHeight + kMargin);
}

SheetLayout layoutSheet(int cells, int sourceWidth, int sourceHeight) {
    if (cells <= 0) throw CliError("a contact sheet needs at least one picture");
    if (sourceWidth <= 0 || sourceHeight <= 0) throw CliError("the picture for the contact sheet is empty");
    SheetLayout layout;
    layout.cells = cells;
    layout.cellWidth = std::min(sourceWidth, SheetLayout::kMaxCellWidth);
    layout.cellHeight =
        std::max(1, static_cast<int>(std::lround(static_cast<double>(sourceHeight) * layout.cellWidth / sourceWidth)));
    layout.columns = std::min(cells, SheetLayout::kMaxColumns);
    layout.rows = (cells + layout.columns - 1) / layout.columns;
    layout.width = SheetLayout::kMargin + layout.columns * (layout.cellWidth + SheetLayout::kMargin);
    layout.height =
        SheetLayout::kMargin + layout.rows * (layout.cellHeight + SheetLayout::kLabelHeight + SheetLayout::kMargin);
    return layout;
}

std::string fittedLabel(const std::string& text, int width) {
    const auto fits = [&](const std::string& candidate) {
        return static_cast<int>(testimages::textWidth(candidate, SheetLayout::kLabelScale)) <= width;
    };
    if (fits(text)) return text;
    std::string shortened = text;
    while (!shortened.empty() && !fits(shortened + "..")) shortened.pop_back();
    return shortened.empty() ? std::string() : shortened + "..";
}

}  // namespace tonemill::cli
