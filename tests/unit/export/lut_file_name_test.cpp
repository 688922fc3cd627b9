// The name an export proposes, from the option texts of the chosen LUTs.

#include <gtest/gtest.h>

#include "plugin/lut_file_name.h"

namespace ChromvaleBeta2 {
namespace {

LookParams nothingSelected() { return LookParams{}; }

TEST(LutFileName, JoinsTheChosenLutsAndTheGridSize) {
    LookParams values = nothingSelected();
    EXPECT_EQ(makeLutFileName(values, 65), "Untitled-65");

    values.outputProfileOptions = 16;
    EXPECT_EQ(makeLutFileName(values, 33), "REC709_ODT-33");

    values.idtProfile = 2;
    values.contrastOptions = 1;
    EXPECT_EQ(makeLutFileName(values, 33), "ARRI_Log_C-F1-REC709_ODT-33");

    // Without an output profile no separator is left dangling.
    values.outputProfileOptions = 0;
    EXPECT_EQ(makeLutFileName(values, 33), "ARRI_Log_C-F1-33");
}

TEST(LutFileName, PrintStockShowsEvenWhenItsStageIsBypassed) {
    LookParams values = nothingSelected();
    values.colorPaletteBOptions = 1;
    values.printToggle = 1;
    EXPECT_EQ(makeLutFileName(values, 65), "Velmora_500D_Gen1-65");
}

TEST(LutFileName, OnlyTheStockListThePaletteOptionMakesActiveCounts) {
    LookParams values = nothingSelected();
    values.colorPaletteNegativeSelections = 2;
    values.colorPaletteMajorSelections = 1;
    EXPECT_EQ(makeLutFileName(values, 33), "Untitled-33") << "no palette option chosen";

    values.colorPaletteAOptions = 4;  // the minor list, still at "nothing"
    EXPECT_EQ(makeLutFileName(values, 33), "Untitled-33");

    values.colorPaletteAOptions = 3;
    const std::string name = makeLutFileName(values, 33);
    EXPECT_NE(name, "Untitled-33");
    EXPECT_TRUE(name.ends_with("-33")) << name;
    EXPECT_EQ(name.find(' '), std::string::npos) << name;
}

TEST(LutFileName, IndicesOutsideTheListsNameNothing) {
    LookParams values = nothingSelected();
    values.idtProfile = 1000;
    values.colorPaletteBOptions = -3;
    values.colorPaletteAOptions = 2;
    values.colorPaletteNegativeGEN2Selections = 99;
    values.outputProfileOptions = 21;
    EXPECT_EQ(makeLutFileName(values, 65), "Untitled-65");
}

}  // namespace
}  // namespace ChromvaleBeta2
