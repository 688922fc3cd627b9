// Where a contact sheet puts its pictures and labels, and the font that draws them.
#include "tools/tonemill/sheet_layout.h"

#include <gtest/gtest.h>

#include <set>

#include "tools/testimages/bitmap_text.h"
#include "tools/tonemill/cli_error.h"

namespace {

using tonemill::cli::CliError;
using tonemill::cli::fittedLabel;
using tonemill::cli::layoutSheet;
using tonemill::cli::SheetLayout;
using tonemill::testimages::Picture;

TEST(SheetLayout, FillsRowsOfFiveWithMarginsAndLabelsBelowEachPicture) {
    const SheetLayout sheet = layoutSheet(13, 1920, 1080);
    EXPECT_EQ(sheet.cellWidth, 320);
    EXPECT_EQ(sheet.cellHeight, 180);
    EXPECT_EQ(sheet.columns, 5);
    EXPECT_EQ(sheet.rows, 3);
    EXPECT_EQ(sheet.width, 8 + 5 * (320 + 8));
    EXPECT_EQ(sheet.height, 8 + 3 * (180 + SheetLayout::kLabelHeight + 8));
    // The eighth picture: second row, third column.
    EXPECT_EQ(sheet.pictureLeft(7), 8 + 2 * 328);
    EXPECT_EQ(sheet.pictureTop(7), 8 + 180 + SheetLayout::kLabelHeight + 8);
    EXPECT_EQ(sheet.labelTop(7), sheet.pictureTop(7) + 180 + SheetLayout::kLabelPadding);
    // The last label ends inside the sheet.
    EXPECT_LE(sheet.labelTop(12) + 5 * SheetLayout::kLabelScale, sheet.height);
}

TEST(SheetLayout, KeepsTheSourceShapeAndNeverEnlarges) {
    const SheetLayout narrow = layoutSheet(2, 100, 50);
    EXPECT_EQ(narrow.cellWidth, 100);
    EXPECT_EQ(narrow.cellHeight, 50);
    EXPECT_EQ(narrow.columns, 2);
    EXPECT_EQ(narrow.rows, 1);
    const SheetLayout tall = layoutSheet(1, 1000, 3000);
    EXPECT_EQ(tall.cellWidth, 320);
    EXPECT_EQ(tall.cellHeight, 960);
    EXPECT_THROW(layoutSheet(0, 1920, 1080), CliError);
    EXPECT_THROW(layoutSheet(3, 0, 1080), CliError);
}

TEST(SheetLabels, LongLabelsAreShortenedToFitTheirPicture) {
    EXPECT_EQ(fittedLabel("F1", 320), "F1");
    const std::string shortened = fittedLabel("Kodak Vision Color Print 2383 with a long note", 160);
    EXPECT_TRUE(shortened.ends_with("..")) << shortened;
    EXPECT_LE(static_cast<int>(tonemill::testimages::textWidth(shortened, SheetLayout::kLabelScale)), 160);
    // Shortened no more than needed: ".." and one more letter would not fit.
    EXPECT_GT(static_cast<int>(tonemill::testimages::textWidth(shortened + "x", SheetLayout::kLabelScale)), 160);
    EXPECT_EQ(fittedLabel("anything", 2), "");
}

TEST(SheetLabels, TheFontDrawsLettersAndTreatsLowerCaseAsCapitals) {
    const auto drawn = [](const std::string& text) {
        Picture picture(40, 7, 3);
        tonemill::testimages::drawText(picture, text, 1, 1, 1, 255);
        return picture.bytes;
    };
    EXPECT_NE(drawn("AB"), drawn("BA"));
    EXPECT_NE(drawn("GAIN"), drawn("    "));
    EXPECT_EQ(drawn("gain=0.5"), drawn("GAIN=0.5"));
    // Letters have glyphs of their own, not one shared shape.
    std::set<std::vector<uint8_t>> shapes;
    for (char letter = 'A'; letter <= 'Z'; ++letter) shapes.insert(drawn(std::string(1, letter)));
    EXPECT_EQ(shapes.size(), 26u);
}

}  // namespace
