// The export buttons pressed in a host: what is proposed, what is written,
// and what happens when the user cancels or the target cannot be written.

#include "export_fixture.h"

namespace export_integration {
namespace {

TEST_F(ExportTest, NeutralLookSavesTheLatticeItselfInCubeOrder) {
    bundle.writeArchive(exportTables());
    Instance& effect = create({{"outputProfileOptions", 0}});
    dialogs->script("zenity", (chosen / "neutral").string());
    ASSERT_EQ(effect.pressButton("export65LUTButton"), kNormalEnd);

    EXPECT_EQ(proposedPath(), (defaultFolder() / "Untitled-65.cube").string());
    EXPECT_TRUE(fs::is_directory(defaultFolder())) << "the dialog starts in a folder that exists";
    const CubeFile file = readCubeFile(chosen / "neutral.cube");
    ASSERT_EQ(file.points.size(), 65u * 65 * 65);
    auto expectPoint = [&](std::size_t index, double r, double g, double b) {
        EXPECT_NEAR(file.points[index][0], r, 1e-6) << "point " << index;
        EXPECT_NEAR(file.points[index][1], g, 1e-6) << "point " << index;
        EXPECT_NEAR(file.points[index][2], b, 1e-6) << "point " << index;
    };
    expectPoint(0, 0, 0, 0);
    expectPoint(1, 1.0 / 64, 0, 0);
    expectPoint(65, 0, 1.0 / 64, 0);
    expectPoint(65 * 65, 0, 0, 1.0 / 64);
    expectPoint(file.points.size() - 1, 1, 1, 1);

    LookParams look = defaultLook();
    look.outputProfileOptions = 0;
    look.odtTable = nullptr;
    expectChainOfLattice(chosen / "neutral.cube", look, 65);
}

TEST_F(ExportTest, EveryPointIsTheChainOfItsLatticePointWithoutTheZoneChart) {
    bundle.writeArchive(exportTables());
    Instance& effect = create({{"idtProfile", 2},
                               {"contrastOptions", 1},
                               {"contrastIntensity", 0.7},
                               {"lift", 0.05},
                               {"gammaR", 1.2},
                               {"gain", 0.9},
                               {"saturation", -0.3},
                               {"globalBlendEnabled", true},
                               {"globalBlend", 0.8},
                               {"testKorvoLUTToggle", true}});
    dialogs->script("zenity", (chosen / "graded.cube").string());
    ASSERT_EQ(effect.pressButton("export33LUTButton"), kNormalEnd);

    EXPECT_EQ(proposedPath(), (defaultFolder() / "ARRI_Log_C-F1-REC709_ODT-33.cube").string());
    LookParams look = defaultLook();
    look.idtProfile = 2;
    look.idtTable = table("1-IDT/ARRI-LOGC-IDT-65.cube");
    look.contrastOptions = 1;
    look.contrastIntensity = 0.7f;
    look.contrastTable = table("2-CURVES/F1.cube");
    look.lift = 0.05f;
    look.gammaR = 1.2f;
    look.gain = 0.9f;
    look.saturation = -0.3f;
    look.globalBlendEnabled = 1;
    look.globalBlend = 0.8f;
    expectChainOfLattice(chosen / "graded.cube", look, 33);
}

TEST_F(ExportTest, ProposedNamesFollowTheChosenLutsAndCancellingWritesNothing) {
    bundle.writeArchive(exportTables());
    const fs::path hostLuts = home / ".local/share/DaVinciResolve/LUT";
    fs::create_directories(hostLuts);
    Instance& effect = create();
    dialogs->script("zenity", "", 1);

    struct Case {
        std::vector<std::pair<std::string, ParamValue>> values;
        const char* button;
        std::string name;
    };
    const std::vector<Case> cases = {
        {{}, "export33LUTButton", "REC709_ODT-33"},
        {{{"outputProfileOptions", 0}}, "export65LUTButton", "Untitled-65"},
        // The print stock names the LUT even while its stage is bypassed.
        {{{"colorPaletteBOptions", 1}, {"printToggle", true}}, "export65LUTButton", "Velmora_500D_Gen1-65"},
        {{{"colorPaletteBOptions", 0}, {"idtProfile", 2}, {"contrastOptions", 1}, {"outputProfileOptions", 16}},
         "export33LUTButton",
         "ARRI_Log_C-F1-REC709_ODT-33"},
    };
    for (const Case& c : cases) {
        for (const auto& [name, value] : c.values) effect.setValue(name, value);
        ASSERT_EQ(effect.pressButton(c.button), kNormalEnd);
        EXPECT_EQ(proposedPath(), (hostLuts / "CHROMVALE" / (c.name + ".cube")).string());
    }
    EXPECT_TRUE(fs::is_empty(hostLuts / "CHROMVALE"));
    EXPECT_TRUE(fs::is_empty(chosen));
    EXPECT_FALSE(fs::exists(defaultFolder())) << "the host's LUT folder is preferred";
    EXPECT_EQ(logCount("An error occurred while in ChromvaleNG::renderLUT"), 0);
}

TEST_F(ExportTest, UnwritableTargetLeavesNoFileAndTheActionEndsNormally) {
    bundle.writeArchive(exportTables());
    fs::create_directories(chosen / "taken.cube");  // a folder where the file should go
    Instance& effect = create();
    dialogs->script("zenity", (chosen / "taken").string());
    EXPECT_EQ(effect.pressButton("export33LUTButton"), kNormalEnd);

    std::vector<fs::path> left;
    for (const auto& entry : fs::recursive_directory_iterator(chosen)) left.push_back(entry.path());
    EXPECT_EQ(left, std::vector<fs::path>{chosen / "taken.cube"});
    EXPECT_EQ(logCount("An error occurred while in ChromvaleNG::renderLUT"), 0);
}

TEST_F(ExportTest, AnErrorBeforeTheDialogIsLoggedAndNoDialogOpens) {
    // No archive: the output profile's table cannot be loaded.
    Instance& effect = create();
    dialogs->script("zenity", (chosen / "never").string());
    EXPECT_EQ(effect.pressButton("export65LUTButton"), kNormalEnd);
    EXPECT_EQ(logCount("ERROR : An error occurred while in ChromvaleNG::renderLUT"), 1);
    EXPECT_FALSE(dialogs->ran("zenity"));
    EXPECT_TRUE(fs::is_empty(chosen));
}

TEST_F(ExportTest, WithoutADisplayTheLutIsSavedBesideEarlierOnesAndTheLogSaysWhere) {
    bundle.writeArchive(exportTables());
    dialogs->hideDisplay();
    Instance& effect = create();
    ASSERT_EQ(effect.pressButton("export33LUTButton"), kNormalEnd);
    ASSERT_EQ(effect.pressButton("export33LUTButton"), kNormalEnd);

    const fs::path first = defaultFolder() / "REC709_ODT-33.cube", second = defaultFolder() / "REC709_ODT-33_2.cube";
    expectChainOfLattice(first, defaultLook(), 33);
    expectChainOfLattice(second, defaultLook(), 33);
    EXPECT_EQ(logCount("the LUT was saved as " + first.string()), 1);
    EXPECT_EQ(logCount("the LUT was saved as " + second.string()), 1);
}

}  // namespace
}  // namespace export_integration
