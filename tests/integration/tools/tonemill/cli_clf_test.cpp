// `tonemill bake NAME.clf` and `bake DIR/config.ocio`: the files applied by
// OpenColorIO against the plug-in's own render of the same colours, for every
// shipped look and looks of sliders alone.
#include <OpenColorIO/OpenColorIO.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "tests/integration/tools/tonemill/command_line_fixture.h"
#include "tools/tonemill/effect_session.h"
#include "tools/tonemill/look_assignments.h"

namespace {

using namespace tonemill;
using namespace tonemill::testing;
namespace OCIO = OCIO_NAMESPACE;

constexpr float kTolerance = 1e-5f;

// Random colours in [low, high], 64 by 32 of them.
std::shared_ptr<host::HostImage> randomColours(float low = 0.0f, float high = 1.0f) {
    std::mt19937 rng(2136);
    std::uniform_real_distribution<float> value(low, high);
    auto image = host::HostImage::rgbaFloat({0, 0, 64, 32});
    image->fill([&](int, int) -> host::RgbaPixel { return {value(rng), value(rng), value(rng), 1.0f}; });
    return image;
}

std::vector<std::string>& ocioMessages() {
    static std::vector<std::string> messages;
    return messages;
}

// The largest difference between a processor applied to `source` and `expected`.
float largestDifference(const OCIO::ConstProcessorRcPtr& processor, const host::HostImage& source,
                        const host::HostImage& expected) {
    const auto cpu = processor->getDefaultCPUProcessor();
    float largest = 0.0f;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            float rgb[3] = {source.pixel(x, y)[0], source.pixel(x, y)[1], source.pixel(x, y)[2]};
            cpu->applyRGB(rgb);
            for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(rgb[c] - expected.pixel(x, y)[c]));
        }
    return largest;
}

OCIO::ConstProcessorRcPtr fileProcessor(const fs::path& path) {
    OCIO::ClearAllCaches();
    auto file = OCIO::FileTransform::Create();
    file->setSrc(path.c_str());
    file->setInterpolation(OCIO::INTERP_TETRAHEDRAL);  // a .cube's, as the export buttons' users apply them
    return OCIO::Config::CreateRaw()->getProcessor(file);
}

OCIO::ConstProcessorRcPtr clfProcessor(const fs::path& path) {
    OCIO::ClearAllCaches();
    auto file = OCIO::FileTransform::Create();
    file->setSrc(path.c_str());  // the interpolation the file names
    return OCIO::Config::CreateRaw()->getProcessor(file);
}

class ClfBakeTest : public CommandLineTest {
 protected:
    void SetUp() override {
        CommandLineTest::SetUp();
        OCIO::SetLoggingLevel(OCIO::LOGGING_LEVEL_WARNING);
        OCIO::SetLoggingFunction([](const char* message) { ocioMessages().push_back(message); });
        ocioMessages().clear();
    }
    void TearDown() override {
        OCIO::ResetToDefaultLoggingFunction();
        CommandLineTest::TearDown();
    }

    // The look rendered in-process, as `tonemill render` renders it.
    static std::shared_ptr<host::HostImage> render(const std::vector<cli::Assignment>& look,
                                                   std::shared_ptr<host::HostImage> source) {
        cli::EffectSession session(TONEMILL_BUNDLE_DIR, 1);
        session.apply(look, false);
        return session.render(std::move(source), 0);
    }

    // Bakes the look into `file` and returns OpenColorIO's largest difference from the render.
    float clfDifference(const std::vector<std::string>& lookArguments, const std::vector<cli::Assignment>& look,
                        const std::string& file, float low = 0.0f, float high = 1.0f) {
        std::vector<std::string> arguments = {"bake", at(file).string()};
        arguments.insert(arguments.end(), lookArguments.begin(), lookArguments.end());
        const CliRun run = tonemill(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        const auto source = randomColours(low, high);
        return largestDifference(clfProcessor(at(file)), *source, *render(look, source));
    }
};

TEST_F(ClfBakeTest, EveryShippedLookMatchesTheRenderInOpenColorIO) {
    for (const fs::path& look : sourceLooks()) {
        const std::string name = look.stem().string();
        const float clf = clfDifference({"--look", look.string()}, cli::readLookFile(look.string()), name + ".clf");
        EXPECT_LE(clf, kTolerance) << name;
        // For the record: the .cube files of the same look, which resample the
        // chain, and the CLF on working-space values beyond [0, 1].
        const auto source = randomColours();
        const auto expected = render(cli::readLookFile(look.string()), source);
        const auto wide = randomColours(-0.25f, 1.5f);
        char figures[200];
        std::snprintf(
            figures, sizeof figures, "%s: CLF %.2g, beyond [0, 1] %.2g", name.c_str(), clf,
            largestDifference(clfProcessor(at(name + ".clf")), *wide, *render(cli::readLookFile(look.string()), wide)));
        std::string line = figures;
        for (const char* size : {"33", "65"}) {
            const fs::path cube = at(name + "-" + size + ".cube");
            ASSERT_EQ(tonemill({"bake", cube.string(), "--size", size, "--look", look.string()}).exitCode, 0);
            std::snprintf(figures, sizeof figures, ", cube %s %.2g", size,
                          largestDifference(fileProcessor(cube), *source, *expected));
            line += figures;
        }
        RecordProperty(name, line);
        std::printf("%s\n", line.c_str());
    }
    EXPECT_TRUE(ocioMessages().empty()) << ocioMessages().front();
}

TEST_F(ClfBakeTest, SliderLooksMatchTheRenderInOpenColorIO) {
    const std::vector<std::vector<std::string>> looks = {
        {"liftR=0.2", "liftG=-0.3", "lift=0.05"},
        {"gain=1.3", "gainB=0.6"},
        {"gammaR=0.4", "gammaG=1.8", "gamma=1.1"},
        {"temperature=-1200"},
        {"temperature=900", "PrinterLight=0.1", "PrinterLightB=-0.2"},
        {"CMYAmount=1.4", "C=0.6", "Y=1.2"},
        {"PushPullLight=1.5"},
        {"PushPullLight=0.6"},
        {"saturation=1"},
        {"saturation=-0.7"},
        {"contrastOptions=1", "contrastIntensity=0.5"},
        {"contrastOptions=2", "saturation=0.8", "contrastIntensity=0.5"},
    };
    for (size_t i = 0; i < looks.size(); ++i) {
        std::vector<std::string> arguments;
        std::vector<cli::Assignment> assignments;
        for (const std::string& setting : looks[i]) {
            arguments.insert(arguments.end(), {"--set", setting});
            assignments.push_back(cli::parseAssignment(setting, "--set"));
        }
        EXPECT_LE(clfDifference(arguments, assignments, "slider-" + std::to_string(i) + ".clf"), kTolerance)
            << looks[i].front();
    }
    EXPECT_TRUE(ocioMessages().empty()) << ocioMessages().front();
}

TEST_F(ClfBakeTest, AGlobalBlendIsReportedAndTheWholeLookSampled) {
    std::vector<cli::Assignment> look =
        cli::readLookFile((fs::path(TONEMILL_SOURCE_DIR) / "looks/print-film-709.look").string());
    look.push_back(cli::parseAssignment("globalBlendEnabled=on", "--set"));
    look.push_back(cli::parseAssignment("globalBlend=0.5", "--set"));
    const float difference = clfDifference(
        {"--look", "print-film-709", "--set", "globalBlendEnabled=on", "--set", "globalBlend=0.5"}, look, "blend.clf");
    EXPECT_NE(readAll(at("stderr.txt")).find("not exact: the global blend of 0.5"), std::string::npos);
    EXPECT_NE(readAll(at("blend.clf")).find("<Description>Not exact: the global blend"), std::string::npos);
    EXPECT_LE(difference, 0.05f);  // as a 65^3 .cube of the look would be
    std::printf("print-film-709 at a global blend of 0.5: %.2g\n", difference);
}

TEST_F(ClfBakeTest, TheConfigShowsTheLookUnderItsOutputProfile) {
    fs::create_directories(at("ocio"));
    const CliRun run = tonemill({"bake", at("ocio/config.ocio").string(), "--look", "print-film-709"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_TRUE(fs::exists(at("ocio/print-film-709.clf")));
    const auto config = OCIO::Config::CreateFromFile(at("ocio/config.ocio").c_str());
    ASSERT_NO_THROW(config->validate());
    ASSERT_EQ(config->getNumLooks(), 1);
    EXPECT_STREQ(config->getLookNameByIndex(0), "print-film-709");
    const std::string display = config->getDefaultDisplay();
    EXPECT_FALSE(display.empty());
    auto view = OCIO::DisplayViewTransform::Create();
    view->setSrc("ACEScct");
    view->setDisplay(display.c_str());
    view->setView("print-film-709");
    const auto source = randomColours();
    const auto look = cli::readLookFile((fs::path(TONEMILL_SOURCE_DIR) / "looks/print-film-709.look").string());
    EXPECT_LE(largestDifference(config->getProcessor(view), *source, *render(look, source)), kTolerance);
    EXPECT_TRUE(ocioMessages().empty()) << ocioMessages().front();
}

TEST_F(ClfBakeTest, ACubeSizeIsRefusedForAClf) {
    const CliRun run = tonemill({"bake", at("a.clf").string(), "--size", "65"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("--size"), std::string::npos) << run.errors;
    EXPECT_FALSE(fs::exists(at("a.clf")));
}

}  // namespace
