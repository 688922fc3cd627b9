#include <gtest/gtest.h>

#include <set>

#include "plugin/param_catalogue.h"

namespace ChromvaleBeta2 {
namespace {

TEST(ParamCatalogue, NamesAreUniqueAndParentsAreGroupsDefinedEarlier) {
    std::set<std::string_view> seen, groups;
    for (const ParamSpec& spec : paramCatalogue()) {
        EXPECT_TRUE(seen.insert(spec.name).second) << spec.name << " is defined twice";
        if (!spec.parent.empty()) {
            EXPECT_TRUE(groups.count(spec.parent)) << spec.name;
        }
        if (spec.kind == ParamKind::Group) groups.insert(spec.name);
    }
}

TEST(ParamCatalogue, EveryChoiceHasItsOptionsAndADefaultAmongThem) {
    for (const ParamSpec& spec : paramCatalogue()) {
        if (spec.kind != ParamKind::Choice) continue;
        const auto options = optionsOf(spec.name);
        ASSERT_FALSE(options.empty()) << spec.name;
        EXPECT_NE(optionAt(spec.name, static_cast<int>(spec.defaultValue)), nullptr) << spec.name;
        EXPECT_EQ(optionAt(spec.name, static_cast<int>(options.size())), nullptr);
        EXPECT_EQ(optionAt(spec.name, -1), nullptr);
    }
    EXPECT_EQ(optionAt("outputProfileOptions", 16)->text, "REC709 ODT");
}

TEST(ParamCatalogue, OptionsNameTheirArchiveEntriesExactly) {
    EXPECT_EQ(optionAt("colorPaletteNegativeSelections", 2)->entryName(),
              "3A-NEGATIVE/Fuji Eterna 8543 Vivid Negative_1.cube");
    EXPECT_EQ(optionAt("colorPaletteNegativeSelections", 2)->text, "Fuji Eterna 8543  Vivid");
    EXPECT_EQ(optionAt("contrastOptions", 6)->entryName(), "2-CURVES/FUJI 3510.cube");
    EXPECT_EQ(optionAt("contrastOptions", 6)->kind, LutKind::Table1D);
    EXPECT_EQ(optionAt("postProcessOptions", 0)->entryName(), "POST PROCESS/FPE.cube");
    // Option 0 switches every other LUT stage off.
    for (std::string_view list : {"idtProfile", "outputProfileOptions", "contrastOptions",
                                  "colorPaletteBOptions", "colorPaletteMinorSelections"}) {
        EXPECT_FALSE(optionAt(list, 0)->selectsLut()) << list;
    }
}

TEST(ParamCatalogue, PaletteOptionsPickOneStockList) {
    EXPECT_EQ(activePaletteList(0), "");
    EXPECT_EQ(activePaletteList(2), "colorPaletteNegativeGEN2Selections");
    EXPECT_EQ(activePaletteList(4), "colorPaletteMinorSelections");
    EXPECT_EQ(activePaletteList(5), "");
    for (int option = 1; option <= 4; ++option) {
        EXPECT_NE(findParam(activePaletteList(option)), nullptr);
        EXPECT_FALSE(optionsOf(activePaletteList(option)).empty());
    }
}

}  // namespace
}  // namespace ChromvaleBeta2
