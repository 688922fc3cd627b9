// The command line run as users run it, checked against renders of the same
// bundle driven in-process through the host library.
#include "tests/integration/tools/tonemill/command_line_fixture.h"

namespace {

using namespace tonemill;
using namespace tonemill::testing;
namespace fs = std::filesystem;

TEST_F(CommandLineTest, RendersExrAndPngThroughALookAsTheHostLibraryDoes) {
    writeLook();
    cli::writeImage(*sampleImage(), at("in.exr").string());
    cli::writeImage(*sampleImage(), at("in.png").string());

    for (const std::string extension : {".exr", ".png"}) {
        const CliRun run = tonemill({"render", at("in" + extension).string(), at("out" + extension).string(), "--look",
                                     at("grade.look").string(), "--set", "gain=1.2"});
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        const auto expected = referenceRender(cli::readImage(at("in" + extension).string()));
        // EXR keeps floats; PNG holds 8 bits per channel.
        expectClose(*cli::readImage(at("out" + extension).string()), *expected,
                    extension == ".exr" ? 1e-6f : 0.5f / 255.0f + 1e-6f);
    }
}

TEST_F(CommandLineTest, RendersAFrameRangeFromAndToFramePatterns) {
    for (int frame = 1; frame <= 3; ++frame)
        cli::writeImage(*sampleImage(), at("in." + std::string("000") + std::to_string(frame) + ".exr").string());
    const CliRun run = tonemill({"render", at("in.%04d.exr").string(), at("out.%04d.exr").string(), "--frames", "1-3",
                                 "--set", "gain=1.2", "--set", "idtProfile=2", "--set", "contrastOptions=F1"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.errors.find("3/3 frames"), std::string::npos) << run.errors;
    const auto expected = referenceRender(cli::readImage(at("in.0001.exr").string()));
    for (int frame = 1; frame <= 3; ++frame)
        expectClose(*cli::readImage(at("out.000" + std::to_string(frame) + ".exr").string()), *expected, 1e-6f);
}

TEST_F(CommandLineTest, RendersTheToneChartWithoutAnInput) {
    const CliRun run = tonemill({"render", at("chart.png").string(), "--set", "contrastOptions=F1"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto chart = cli::readImage(at("chart.png").string());
    EXPECT_EQ(chart->width(), 1920);
    EXPECT_EQ(chart->height(), 1080);
}

TEST_F(CommandLineTest, EveryMistakeIsOneClearLineAndLeavesNoOutput) {
    cli::writeImage(*sampleImage(), at("in.exr").string());
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::string in = at("in.exr").string(), out = at("out.exr").string();
    const std::vector<Case> cases{
        {{"render", in, out, "--set", "gian=1.2"}, "unknown parameter 'gian' (--set); did you mean gain"},
        {{"render", in, out, "--set", "idtProfile=Nonexistent Camera"}, "valid options: \"Select Camera\""},
        {{"render", in, out, "--set", "gain=7"}, "out of range [0, 2]"},
        {{"render", in, out, "--set", "liftToggle=maybe"}, "is not on or off"},
        {{"render", at("missing.exr").string(), out}, "cannot read image"},
        {{"render", in, out, "--look", at("missing.look").string()}, "cannot read look file"},
        {{"render", in, out, "--frames", "1-3"}, "needs a frame pattern"},
        {{"render", in, out, "--bundle", at("nowhere").string()}, "does not exist"},
        {{"bake", at("look.cube").string(), "--size", "17"}, "--size expects 33 or 65"},
        {{"render", in, at("out.unknownformat").string()}, "no image format"},
        // Only a missing IN means the tone chart.
        {{"render", "", out}, "argument 2 is empty"},
        {{"sheet", "", at("sheet.png").string(), "--vary", "contrastOptions"}, "argument 2 is empty"},
        {{"render", in, out, "--compression", ""}, "--compression needs a value, got an empty one"},
    };
    for (const Case& mistake : cases) {
        const CliRun run = tonemill(mistake.arguments);
        EXPECT_NE(run.exitCode, 0) << mistake.message;
        EXPECT_NE(run.errors.find(mistake.message), std::string::npos) << run.errors;
        EXPECT_FALSE(fs::exists(out)) << mistake.message;
    }
    EXPECT_FALSE(fs::exists(at("sheet.png")));
    for (const auto& entry : fs::directory_iterator(scratch_))
        EXPECT_EQ(entry.path().filename().string().find(".tonemill-"), std::string::npos) << entry.path();
}

TEST_F(CommandLineTest, BakeWritesWhatTheExportButtonWrites) {
    const CliRun run = tonemill({"bake", at("baked.cube").string(), "--set", "idtProfile=ARRI Log C", "--set",
                                 "contrastOptions=F1", "--set", "gain=1.2"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;

    // Without a dialog program the export saves in the default folder of the home.
    const fs::path home = at("home"), noPrograms = at("bin");
    fs::create_directories(home);
    fs::create_directories(noPrograms);
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("PATH", noPrograms.c_str(), 1);
    {
        host::Host host;
        host::Plugin& plugin = host.openBundle(TONEMILL_BUNDLE_DIR).plugin(0);
        plugin.load();
        plugin.describe();
        auto instance = plugin.createInstance(kOfxImageEffectContextFilter);
        instance->setValue("idtProfile", 2);
        instance->setValue("contrastOptions", 1);
        instance->setValue("gain", 1.2);
        instance->pressButton("export33LUTButton");
        instance.reset();
        plugin.unload();
    }
    ::setenv("HOME", savedHome.c_str(), 1);
    ::setenv("PATH", savedPath.c_str(), 1);

    std::vector<fs::path> exported;
    for (const auto& entry : fs::recursive_directory_iterator(home))
        if (entry.path().extension() == ".cube") exported.push_back(entry.path());
    ASSERT_EQ(exported.size(), 1u);
    EXPECT_EQ(exported[0].filename().string(), "ARRI_Log_C-F1-REC709_ODT-33.cube");
    const std::string baked = readAll(at("baked.cube"));
    EXPECT_EQ(baked.size(), readAll(exported[0]).size());
    EXPECT_TRUE(baked == readAll(exported[0])) << "bake and export differ";
}

TEST_F(CommandLineTest, GapsAndFinishedFramesAreSkippedOnlyWhenAsked) {
    for (const int frame : {1, 3, 4})
        cli::writeImage(*sampleImage(), at("in.000" + std::to_string(frame) + ".exr").string());
    const std::vector<std::string> job{"render", at("in.%04d.exr").string(), at("out.%04d.exr").string(), "--frames",
                                       "1-4"};
    const CliRun stopped = tonemill(job);
    EXPECT_NE(stopped.errors.find("in.0002.exr': no such file (frame 2; --skip-missing"), std::string::npos)
        << stopped.errors;
    EXPECT_TRUE(fs::exists(at("out.0001.exr")));
    EXPECT_FALSE(fs::exists(at("out.0003.exr")));

    std::ofstream(at("out.0003.exr")) << "rendered before the job stopped";
    std::vector<std::string> resumed = job;
    resumed.insert(resumed.end(), {"--skip-missing", "--skip-existing"});
    const CliRun run = tonemill(resumed);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.errors.find("frame 2 skipped"), std::string::npos) << run.errors;
    EXPECT_EQ(readAll(at("out.0003.exr")), "rendered before the job stopped");
    EXPECT_TRUE(fs::exists(at("out.0004.exr")));
    // A log file gets one line per frame with the time taken and left, and no carriage returns.
    EXPECT_NE(run.errors.find("4/4 frames (frame 4) elapsed"), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find('\r'), std::string::npos) << run.errors;
}

TEST_F(CommandLineTest, FileNamesMayStartWithADashOrFillNameMax) {
    cli::writeImage(*sampleImage(), at("-camera.exr").string());
    const std::string longest = std::string(250, 'g') + ".exr";  // 254 bytes, as NAME_MAX allows
    const CliRun run = tonemill({"render", "--", "-camera.exr", longest}, "cd " + quoted(scratch_.string()) + " && ");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(fs::exists(at(longest)));
    for (const auto& entry : fs::directory_iterator(scratch_))
        EXPECT_EQ(entry.path().filename().string().find(".tonemill-"), std::string::npos) << entry.path();
}

}  // namespace
