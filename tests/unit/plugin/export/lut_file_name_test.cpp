// The proposed name where the look's choices do not simply name a LUT each;
// the plain cases are pressed through a host in the integration tests.

#include <gtest/gtest.h>

#include "plugin/lut_file_name.h"

namespace ChromvaleBeta2 {
namespace {

TEST(LutFileName, OnlyTheStockListThePaletteOptionMakesActiveCounts) {
    LookParams values{};
    values.colorPaletteNegativeSelections = 2;
    values.colorPaletteMajorSelections = 1;
    EXPECT_EQ(makeLutFileName(values, 33), "Untitled-33") << "no palette option chosen";

    values.colorPaletteAOptions = 4;  // the minor list, still at "nothing"
    EXPECT_EQ(makeLutFileName(values, 33), "Untitled-33");

    values.colorPaletteAOptions = 3;
    values.idtProfile = 2;
    const std::string name = makeLutFileName(values, 33);
    EXPECT_TRUE(name.starts_with("ARRI_Log_C-") && name.ends_with("-33") && name.size() > 14) << name;
    EXPECT_EQ(name.find(' '), std::string::npos) << name;
}

TEST(LutFileName, IndicesOutsideTheListsNameNothing) {
    LookParams values{};
    values.idtProfile = 1000;
    values.colorPaletteBOptions = -3;
    values.colorPaletteAOptions = 2;
    values.colorPaletteNegativeGEN2Selections = 99;
    values.outputProfileOptions = 21;
    EXPECT_EQ(makeLutFileName(values, 65), "Untitled-65");
}

}  // namespace
}  // namespace ChromvaleBeta2
