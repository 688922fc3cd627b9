// Bundles whose archive or pictures are missing, cut short or made up: renders
// and exports fail with a status and a log line, or render without the missing
// picture, and the host goes on.

#include <lodepng.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "reliability_fixture.h"
#include "tests/unit/plugin/export/fake_dialog.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using ChromvaleBeta2::testing::ScopedEnvironment;

constexpr const char* kDefaultOutputTable = "4-ODT/REC709-ODT-65.cube";
constexpr unsigned kFrameWidth = 1920, kFrameHeight = 1080;
constexpr OfxRectI kFrame{0, 0, int(kFrameWidth), 4};

class HostileBundle : public ReliabilityTest {
 protected:
    HostileBundle() {
        // Exports save unattended into this home folder.
        fs::create_directories(bundle.root() / "home");
        environment.set("HOME", (bundle.root() / "home").string());
        environment.unset("XDG_DATA_HOME");
        environment.unset("DISPLAY");
        environment.unset("WAYLAND_DISPLAY");
    }

    fs::path archive() const { return bundle.resources() / "data.bin"; }

    std::string readArchive() const {
        std::ifstream in(archive(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void writeArchiveBytes(const std::string& bytes) const {
        std::ofstream(archive(), std::ios::binary | std::ios::trunc) << bytes;
    }
    static uint32_t indexLength(const std::string& bytes) {
        uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = n << 8 | uint8_t(bytes[i]);
        return n;
    }

    // The exported LUTs, wherever the unattended save put them. The OpenCL
    // runtime may keep a cache of its own in the same home folder.
    std::vector<fs::path> exportedFiles() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(bundle.root() / "home")) {
            if (entry.is_regular_file() && entry.path().extension() == ".cube") files.push_back(entry.path());
        }
        return files;
    }

    // A default render and an export of the bundle as it now is, each failing
    // the way `renderStatus` says; afterwards a render without any table still
    // works or fails the same way if the archive itself is unusable.
    void expectRenderAndExportFail(OfxStatus renderStatus, const std::string& logLine) {
        auto instance = instanceWithSource();
        ASSERT_TRUE(instance);
        EXPECT_EQ(render(*instance).status, renderStatus);
        EXPECT_TRUE(anyLineHas(newLogLines(), "ERROR : " + logLine)) << logLine;
        EXPECT_EQ(host->imageCounts().outstanding(), 0u);

        EXPECT_EQ(instance->pressButton("export33LUTButton"), kOfxStatReplyDefault);
        EXPECT_TRUE(anyLineHas(newLogLines(), "ERROR : An error occurred while in ChromvaleNG::renderLUT"));
        EXPECT_TRUE(exportedFiles().empty()) << "nothing half-written";

        instance->setValue("outputProfileOptions", 0);
        const OfxStatus withoutTables = render(*instance).status;
        EXPECT_TRUE(withoutTables == kOfxStatOK || withoutTables == kOfxStatErrUnsupported) << withoutTables;
    }

    // Renders one frame with `toggle` on and off at the test picture's size.
    std::pair<RenderResult, RenderResult> renderWithAndWithout(const std::string& toggle) {
        auto instance = create();
        const OfxRectI frame = kFrame;
        auto source = std::make_shared<HostImage>(frame);
        for (int x = 0; x < frame.x2; ++x) {
            for (int y = 0; y < frame.y2; ++y) source->setPixel(x, y, {0.3f, 0.5f, 0.7f, 1.0f});
        }
        instance->setImage(kOfxImageEffectSimpleSourceClipName, source);
        instance->setValue("outputProfileOptions", 0);
        RenderResult without = instance->render(renderOf(frame));
        instance->setValue(toggle, true);
        RenderResult with = instance->render(renderOf(frame));
        return {with, without};
    }

    fs::path ramp() const { return bundle.resources() / "LightnesRamp.png"; }

    // The ramp view renders as if it were off, and the log says why.
    void expectBlankTestView(const std::string& logLine) {
        auto [with, without] = renderWithAndWithout("testRampToggle");
        EXPECT_EQ(with.status, kOfxStatOK);
        EXPECT_EQ(without.status, kOfxStatOK);
        ASSERT_TRUE(with.output && without.output);
        EXPECT_TRUE(samePixels(*with.output, *without.output, kFrame));
        EXPECT_TRUE(anyLineHas(logLines(), logLine)) << logLine;
    }

    ScopedEnvironment environment;
};

TEST_F(HostileBundle, AnArchiveThatCannotBeOpenedFailsEveryRenderAndExport) {
    fs::remove(archive());
    expectRenderAndExportFail(kOfxStatErrUnsupported, "Unable to load archive");
}

TEST_F(HostileBundle, AnIndexCutShortOrLongerThanTheFileIsRefusedWhole) {
    std::string bytes = readArchive();
    const uint32_t length = indexLength(bytes);
    writeArchiveBytes(bytes.substr(0, 4 + length / 2 + 3));  // mid-entry
    expectRenderAndExportFail(kOfxStatErrUnsupported, "Unable to load archive");

    bytes.replace(0, 4, "\xff\xff\xff\x7f");  // an index of two gigabytes
    writeArchiveBytes(bytes);
    expectRenderAndExportFail(kOfxStatErrUnsupported, "Unable to load archive");
}

TEST_F(HostileBundle, AnIndexOfNoiseIsCorrupt) {
    std::string noise(4 + 264 * 3, '\0');
    noise[0] = char(264 * 3 & 0xff);
    noise[1] = char(264 * 3 >> 8);
    for (size_t i = 4; i < noise.size(); ++i) noise[i] = char(i * 131 + 7);
    writeArchiveBytes(noise);
    expectRenderAndExportFail(kOfxStatErrUnsupported, "Unable to load archive");
}

TEST_F(HostileBundle, AnEmptyArchiveHoldsNoTablesButRendersWithoutThem) {
    writeArchiveBytes("");
    expectRenderAndExportFail(kOfxStatFailed, std::string("Unable to load LUT ") + kDefaultOutputTable);
    auto instance = instanceWithSource();
    instance->setValue("outputProfileOptions", 0);
    EXPECT_EQ(render(*instance).status, kOfxStatOK);
}

TEST_F(HostileBundle, AnEntryReachingPastTheEndFailsOnlyTheTableItHolds) {
    bundle.writeArchive({{kDefaultOutputTable, lookTables().at(kDefaultOutputTable)}});
    const std::string bytes = readArchive();
    writeArchiveBytes(bytes.substr(0, bytes.size() - 5));
    expectRenderAndExportFail(kOfxStatFailed, std::string("Unable to load LUT ") + kDefaultOutputTable);
    auto instance = instanceWithSource();
    instance->setValue("outputProfileOptions", 0);
    EXPECT_EQ(render(*instance).status, kOfxStatOK) << "the archive itself stays usable";
}

TEST_F(HostileBundle, TablesThatLieAboutTheirSizeOrKindAreRefusedAndTriedAgain) {
    const std::string failing = std::string("Unable to load LUT ") + kDefaultOutputTable;
    for (const std::string& text :
         {std::string("LUT_3D_SIZE 2000000000\n0 0 0\n"), std::string("LUT_3D_SIZE 65536\n0 0 0\n1 1 1\n"),
          std::string("LUT_1D_SIZE 4294967297\n0 0 0\n"),
          ChromvaleBeta2::testing::cubeText1D(17),  // 1D in a 3D slot
          std::string("LUT_3D_SIZE 2\n0 0 0\n1 1 1\n")}) {
        auto tables = lookTables();
        tables[kDefaultOutputTable] = text;
        bundle.writeArchive(tables);
        auto instance = instanceWithSource();
        ASSERT_TRUE(instance);
        EXPECT_EQ(render(*instance).status, kOfxStatFailed) << text.substr(0, 40);
        EXPECT_EQ(render(*instance).status, kOfxStatFailed) << "nothing cached: tried again";
        EXPECT_TRUE(anyLineHas(newLogLines(), "ERROR : " + failing)) << text.substr(0, 40);
        EXPECT_EQ(host->imageCounts().outstanding(), 0u);
    }
}

TEST_F(HostileBundle, AMissingPictureLeavesItsTestViewBlank) {
    expectBlankTestView("ERROR : loading error");
}

TEST_F(HostileBundle, AFileThatIsNotAPngLeavesItsTestViewBlank) {
    std::ofstream(ramp()) << "GIF89a and then some";
    expectBlankTestView("ERROR : decoder error");
}

TEST_F(HostileBundle, APngCutShortLeavesItsTestViewBlank) {
    bundle.writePng(ramp().filename().string(), kFrameWidth, kFrameHeight,
                    std::vector<unsigned char>(size_t(kFrameWidth) * kFrameHeight * 4, 200));
    fs::resize_file(ramp(), fs::file_size(ramp()) / 2);
    expectBlankTestView("ERROR : decoder error");
}

TEST_F(HostileBundle, APngOfAnotherSizeLeavesItsTestViewBlank) {
    bundle.writePng(ramp().filename().string(), 64, 32, std::vector<unsigned char>(64 * 32 * 4, 200));
    expectBlankTestView("is 64 x 32 pixels");
}

TEST_F(HostileBundle, APngClaimingBillionsOfPixelsIsRefusedBeforeDecoding) {
    // 2147483649 x 2 pixels in a 69-byte file, found by the fuzzer.
    fs::copy_file(fs::path(TONEMILL_SOURCE_DIR) / "tests/fuzz/corpus/png/header_claims_two_billion_columns.png",
                  ramp());
    expectBlankTestView("is 2147483649 x 2 pixels");
}

TEST_F(HostileBundle, PicturesOfAnotherColourTypeAreConvertedAndShown) {
    // 16-bit grey: the decoder converts it to the 8-bit RGBA the chain reads.
    const std::vector<unsigned char> grey(size_t(kFrameWidth) * kFrameHeight * 2, 0x80);
    ASSERT_EQ(lodepng::encode((bundle.resources() / "LightnesRamp.png").string(), grey, kFrameWidth, kFrameHeight,
                              LCT_GREY, 16),
              0u);
    auto [with, without] = renderWithAndWithout("testRampToggle");
    ASSERT_EQ(with.status, kOfxStatOK);
    ASSERT_TRUE(with.output && without.output);
    EXPECT_FALSE(samePixels(*with.output, *without.output, kFrame));
    const RgbaPixel left = with.output->pixel(0, 0), right = with.output->pixel(kFrameWidth - 1, 3);
    EXPECT_EQ(left, right) << "a flat grey picture renders flat";
}

}  // namespace
}  // namespace reliability
