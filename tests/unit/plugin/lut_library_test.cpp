#include <gtest/gtest.h>

#include "formats/lut_archive.h"
#include "ofx/support/ofxsCore.h"
#include "plugin/bundle_path.h"
#include "plugin/lut_library.h"
#include "scratch_bundle.h"

namespace ChromvaleBeta2 {
namespace {

using testing::ScratchBundle;

// The cache is process-wide, so each test selects entries no other test uses.
class LutLibrary : public ::testing::Test {
 protected:
    void SetUp() override { bundlePath = bundle.root().string(); }

    LookParams nothingSelected() const { return LookParams{}; }

    ScratchBundle bundle{"unit"};
};

TEST_F(LutLibrary, InstancesSelectingTheSameProfileShareOneLoad) {
    bundle.writeArchive({{"1-IDT/ARRI-LOGC-IDT-65.cube", testing::cubeText3D(2)}});
    LutArchive first;
    LookParams a = nothingSelected();
    a.idtProfile = 2;  // "ARRI Log C"
    resolveLookLuts(first, a);
    ASSERT_NE(a.idtTable, nullptr);
    EXPECT_EQ(a.idtTable->name, "1-IDT/ARRI-LOGC-IDT-65.cube");

    // The second instance finds an archive without the entry: only the cache
    // can answer it.
    bundle.writeArchive({{"unrelated.cube", testing::cubeText3D(2)}});
    LutArchive second;
    LookParams b = nothingSelected();
    b.idtProfile = 2;
    resolveLookLuts(second, b);
    EXPECT_EQ(b.idtTable, a.idtTable);
}

TEST_F(LutLibrary, NothingSelectedStillOpensTheArchiveAndLoadsNothing) {
    bundle.writeArchive({{"unrelated.cube", testing::cubeText3D(2)}});
    const size_t cached = lutCache.size();
    LutArchive archive;
    LookParams values = nothingSelected();
    // Inactive stock lists are ignored: a major stock chosen while the palette
    // option points at the (unselected) negative list loads nothing.
    values.colorPaletteAOptions = 1;
    values.colorPaletteMajorSelections = 3;
    resolveLookLuts(archive, values);
    EXPECT_TRUE(archive.isOpen());
    EXPECT_EQ(lutCache.size(), cached);
    for (const LutTable* slot :
         {values.idtTable, values.contrastTable, values.zoneTable, values.paletteTable, values.printTable,
          values.odtTable, values.gamutTable[0], values.gamutTable[1], values.gamutTable[2], values.postProcessTable}) {
        EXPECT_EQ(slot, nullptr);
    }
}

TEST_F(LutLibrary, EverySlotResolvesFromItsOwnList) {
    bundle.writeArchive({
        {"GAMUT LIMIT/R_Gamut_LImit.cube", testing::cubeText3D(2)},
        {"GAMUT LIMIT/B_Gamut_Limit.cube", testing::cubeText3D(2)},
        {"POST PROCESS/ENR.cube", testing::cubeText3D(2)},
        {"2-CURVES/KODAK 2393.cube", testing::cubeText1D(4)},
        {"KORVO/KORVO_ZONES_000.cube", testing::cubeText3D(2)},
        {"3C-MAJOR/Major C sharp_1.cube", testing::cubeText3D(2)},
        {"PRINT/KODAK_2388_MODERN.cube", testing::cubeText3D(2)},
        {"4-ODT/REC709-ODT-65.cube", testing::cubeText3D(2)},
    });
    LutArchive archive;
    LookParams values = nothingSelected();
    values.gamutRAdjust = values.gamutBAdjust = true;
    values.postProcessAdjust = true;
    values.postProcessOptions = 1;  // "ENR", loaded even at intensity 0
    values.contrastOptions = 8;     // "KODAK 2393"
    values.testKorvoLUTToggle = true;
    values.colorPaletteAOptions = 3;
    values.colorPaletteMajorSelections = 7;     // "Major C sharp"
    values.colorPaletteNegativeSelections = 5;  // inactive list, ignored
    values.colorPaletteBOptions = 12;           // "KODAK 2383 MODERN", whose file says 2388
    values.outputProfileOptions = 16;
    resolveLookLuts(archive, values);
    ASSERT_NE(values.gamutTable[0], nullptr);
    EXPECT_EQ(values.gamutTable[1], nullptr);
    ASSERT_NE(values.gamutTable[2], nullptr);
    EXPECT_EQ(values.postProcessTable->name, "POST PROCESS/ENR.cube");
    EXPECT_TRUE(values.contrastTable->is1D());
    EXPECT_EQ(values.zoneTable->name, "KORVO/KORVO_ZONES_000.cube");
    EXPECT_EQ(values.paletteTable->name, "3C-MAJOR/Major C sharp_1.cube");
    EXPECT_EQ(values.printTable->name, "PRINT/KODAK_2388_MODERN.cube");
    EXPECT_EQ(values.odtTable->name, "4-ODT/REC709-ODT-65.cube");
}

TEST_F(LutLibrary, AFailingTableKeepsTheTablesLoadedBeforeIt) {
    bundle.writeArchive({{"1-IDT/SRGB-IDT-65.cube", testing::cubeText3D(2)}});
    LutArchive archive;
    LookParams values = nothingSelected();
    values.idtProfile = 36;      // "sRGB IDT", present
    values.contrastOptions = 1;  // "F1", missing
    // A generic failure, not a suite status, so the host sees kOfxStatFailed.
    try {
        resolveLookLuts(archive, values);
        FAIL() << "a missing table was not reported";
    } catch (const OFX::Exception::Suite&) {
        FAIL() << "a table failure must not keep its suite status";
    } catch (const std::runtime_error&) {
    }
    ASSERT_NE(values.idtTable, nullptr);
    EXPECT_EQ(lutCache.count("1-IDT/SRGB-IDT-65.cube"), 1u);
    EXPECT_EQ(lutCache.count("2-CURVES/F1.cube"), 0u);
}

TEST_F(LutLibrary, ATableOfTheWrongKindIsRejectedAndNotCached) {
    bundle.writeArchive({
        {"1-IDT/Z-LOG2-IDT-65.cube", testing::cubeText1D(8)},
        {"2-CURVES/L1.cube", testing::cubeText3D(2)},
    });
    LutArchive archive;
    ASSERT_TRUE(archive.open(lutArchivePath()));
    for (auto [name, kind] :
         {std::pair{"1-IDT/Z-LOG2-IDT-65.cube", LutKind::Table3D}, std::pair{"2-CURVES/L1.cube", LutKind::Table1D}}) {
        try {
            loadLut(archive, name, kind);
            ADD_FAILURE() << name << " was accepted";
        } catch (const OFX::Exception::Suite& failure) {
            EXPECT_EQ(failure.status(), kOfxStatErrFatal);
        }
        EXPECT_EQ(lutCache.count(name), 0u);
    }
}

TEST_F(LutLibrary, AnOptionIndexOutsideItsListIsRefusedByName) {
    bundle.writeArchive({{"unrelated.cube", testing::cubeText3D(2)}});
    LutArchive archive;
    LookParams values = nothingSelected();
    values.outputProfileOptions = 21;  // one past "sRGB ODT"
    try {
        resolveLookLuts(archive, values);
        FAIL() << "an unknown option was resolved";
    } catch (const std::runtime_error& failure) {
        EXPECT_NE(std::string(failure.what()).find("outputProfileOptions"), std::string::npos);
    }
}

}  // namespace
}  // namespace ChromvaleBeta2
