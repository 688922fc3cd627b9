// Contact sheets: one picture per option or value, where the layout puts it,
// each labelled in the sheet's font.
#include "tests/integration/tools/tonemill/command_line_fixture.h"
#include "tools/testimages/bitmap_text.h"
#include "tools/tonemill/sheet_layout.h"

namespace {

using namespace tonemill;
using namespace tonemill::testing;
using cli::SheetLayout;

constexpr int kBackground = 24;
constexpr int kInk = 220;

class ContactSheetTest : public CommandLineTest {
 protected:
    // Each label's box holds exactly the text drawn in the font: ink where a
    // glyph sets a pixel, background elsewhere.
    static void expectLabels(const host::HostImage& sheet, const SheetLayout& layout,
                             const std::vector<std::string>& labels) {
        ASSERT_EQ(static_cast<int>(labels.size()), layout.cells);
        for (int cell = 0; cell < layout.cells; ++cell) {
            SCOPED_TRACE(labels[cell]);
            testimages::Picture expected(layout.cellWidth, 5 * SheetLayout::kLabelScale, 3);
            std::fill(expected.bytes.begin(), expected.bytes.end(), kBackground);
            testimages::drawText(expected, cli::fittedLabel(labels[cell], layout.cellWidth), 0, 0,
                                 SheetLayout::kLabelScale, kInk);
            for (unsigned y = 0; y < expected.height; ++y)
                for (unsigned x = 0; x < expected.width; ++x) {
                    // The sheet read back has OpenFX rows, counted up from the bottom.
                    const int row = sheet.height() - 1 - (layout.labelTop(cell) + static_cast<int>(y));
                    const float value = sheet.pixel(layout.labelLeft(cell) + static_cast<int>(x), row)[0];
                    ASSERT_NEAR(value * 255.0f, expected.at(x, y)[0], 0.5f) << "at " << x << "," << y;
                }
        }
    }

    // The mean of the red channel over one picture of the sheet.
    static float pictureMean(const host::HostImage& sheet, const SheetLayout& layout, int cell) {
        double sum = 0;
        for (int y = 0; y < layout.cellHeight; ++y)
            for (int x = 0; x < layout.cellWidth; ++x)
                sum += sheet.pixel(layout.pictureLeft(cell) + x, sheet.height() - 1 - (layout.pictureTop(cell) + y))[0];
        return static_cast<float>(sum / (layout.cellWidth * layout.cellHeight));
    }
};

TEST_F(ContactSheetTest, AChoiceShowsTheToneChartThroughEveryOption) {
    const CliRun run = tonemill({"sheet", at("contrast.png").string(), "--vary", "contrastOptions", "--threads", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.errors.find("13/13"), std::string::npos) << run.errors;
    const auto sheet = cli::readImage(at("contrast.png").string());
    const SheetLayout layout = cli::layoutSheet(13, 1920, 1080);
    ASSERT_EQ(sheet->width(), layout.width);
    ASSERT_EQ(sheet->height(), layout.height);
    expectLabels(*sheet, layout,
                 {"Select Contrast", "F1", "F2", "F3", "F4", "F5", "FUJI 3510", "KODAK 2383", "KODAK 2393", "L1", "L2",
                  "S2", "S3"});
    EXPECT_NE(pictureMean(*sheet, layout, 0), pictureMean(*sheet, layout, 12));

    // A list the plug-in disables with these settings changes nothing: said once.
    const CliRun disabled =
        tonemill({"sheet", at("stocks.png").string(), "--vary", "colorPaletteNegativeSelections", "--values", "1,2"});
    ASSERT_EQ(disabled.exitCode, 0) << disabled.errors;
    const size_t warning = disabled.errors.find("'colorPaletteNegativeSelections' (--values) has no effect");
    EXPECT_NE(warning, std::string::npos) << disabled.errors;
    EXPECT_EQ(disabled.errors.find("warning", warning), std::string::npos) << disabled.errors;
}

TEST_F(ContactSheetTest, ASliderShowsTheGivenValuesOrFiveStepsAcrossItsRange) {
    auto source = host::HostImage::rgbaFloat({0, 0, 160, 90});
    source->fill([](int x, int) -> host::RgbaPixel { return {x / 320.0f, 0.3f, 0.2f, 1.0f}; });
    cli::writeImage(*source, at("in.exr").string());
    const CliRun run = tonemill({"sheet", at("in.exr").string(), at("gain.png").string(), "--vary", "gain", "--values",
                                 "0.5,1,1.5", "--set", "saturation=0.2"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto sheet = cli::readImage(at("gain.png").string());
    const SheetLayout layout = cli::layoutSheet(3, 160, 90);
    ASSERT_EQ(sheet->width(), layout.width);
    ASSERT_EQ(sheet->height(), layout.height);
    expectLabels(*sheet, layout, {"gain=0.5", "gain=1", "gain=1.5"});
    EXPECT_LT(pictureMean(*sheet, layout, 0), pictureMean(*sheet, layout, 1));
    EXPECT_LT(pictureMean(*sheet, layout, 1), pictureMean(*sheet, layout, 2));

    ASSERT_EQ(tonemill({"sheet", at("in.exr").string(), at("steps.png").string(), "--vary", "gain"}).exitCode, 0);
    const auto steps = cli::readImage(at("steps.png").string());
    const SheetLayout fiveSteps = cli::layoutSheet(5, 160, 90);
    ASSERT_EQ(steps->width(), fiveSteps.width);
    expectLabels(*steps, fiveSteps, {"gain=0", "gain=0.5", "gain=1", "gain=1.5", "gain=2"});
}

TEST_F(ContactSheetTest, MistakesAreNamedAndLeaveNoSheet) {
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::string out = at("sheet.png").string();
    const std::vector<Case> cases{
        {{"sheet", out}, "sheet needs --vary"},
        {{"sheet", at("sheet.jpg").string(), "--vary", "gain"}, "does not end in .png"},
        {{"sheet", out, "--vary", "contrastOption"}, "unknown parameter 'contrastOption' (--vary); did you mean"},
        {{"sheet", out, "--vary", "contrastOptions", "--values", "F1,F9"}, "has no option 'F9'"},
        {{"sheet", out, "--vary", "gain", "--values", "0.5,7"}, "out of range"},
        {{"sheet", out, "--vary", "look", "--values", "bleach-bypass,no-such-look"}, "no-such-look"},
        {{"sheet", out, "--vary", "gain", "--frames", "1-3"}, "--frames has no effect on sheet"},
    };
    for (const Case& mistake : cases) {
        SCOPED_TRACE(mistake.message);
        const CliRun run = tonemill(mistake.arguments);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.errors.find(mistake.message), std::string::npos) << run.errors;
        EXPECT_FALSE(fs::exists(out));
    }
}

}  // namespace
