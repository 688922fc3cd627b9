// The film texture effect from the command line: alone, after the look, and
// listed; each render compared with the bundles driven in-process.
#include "tests/integration/tools/tonemill/command_line_fixture.h"

namespace {

using namespace tonemill;
using namespace tonemill::testing;

const std::string kTextureBundle = std::string(TONEMILL_BUILD_DIR) + "/TonemillTexture.ofx.bundle";

std::shared_ptr<host::HostImage> textureReference(std::shared_ptr<host::HostImage> source, double amount,
                                                  double time = 0.0) {
    host::Host host;
    host::Plugin& plugin = host.openBundle(kTextureBundle).plugin(0);
    plugin.load();
    plugin.describe();
    auto instance = plugin.createInstance(kOfxImageEffectContextFilter);
    instance->setValue("grainAmount", host::ParamValue(amount));
    const OfxRectI bounds = source->bounds();
    instance->setImage("Source", std::move(source));
    host::RenderRequest request;
    request.window = bounds;
    request.time = time;
    auto result = instance->render(request);
    EXPECT_EQ(result.status, kOfxStatOK);
    return result.output;
}

// A larger picture than the sample, with a highlight for the glows to spread.
std::shared_ptr<host::HostImage> brightImage() {
    auto image = host::HostImage::rgbaFloat({0, 0, 120, 80});
    image->fill([](int x, int y) -> host::RgbaPixel {
        const bool light = (x - 60) * (x - 60) + (y - 40) * (y - 40) < 36;
        return {light ? 1.0f : x / 130.0f, light ? 1.0f : y / 90.0f, 0.4f, 1.0f};
    });
    return image;
}

TEST_F(CommandLineTest, RendersTheTextureAloneAndAfterTheLook) {
    cli::writeImage(*brightImage(), at("in.exr").string());
    const CliRun alone = tonemill(
        {"render", at("in.exr").string(), at("texture.exr").string(), "--effect", "texture", "--set", "grainAmount=2"});
    ASSERT_EQ(alone.exitCode, 0) << alone.errors;
    expectClose(*cli::readImage(at("texture.exr").string()),
                *textureReference(cli::readImage(at("in.exr").string()), 2.0), 1e-6f);

    // --set after --then is the texture's, before it the look's.
    const CliRun chained =
        tonemill({"render", at("in.exr").string(), at("both.exr").string(), "--set", "idtProfile=2", "--set",
                  "contrastOptions=F1", "--set", "gain=1.2", "--then", "texture", "--set", "grainAmount=0.4"});
    ASSERT_EQ(chained.exitCode, 0) << chained.errors;
    const auto graded = referenceRender(cli::readImage(at("in.exr").string()));
    expectClose(*cli::readImage(at("both.exr").string()), *textureReference(graded, 0.4), 1e-6f);
}

TEST_F(CommandLineTest, GrainFollowsTheFrameNumber) {
    cli::writeImage(*brightImage(), at("in.exr").string());
    const CliRun run = tonemill(
        {"render", at("in.exr").string(), at("out.%04d.exr").string(), "--effect", "texture", "--frames", "7-8"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto source = cli::readImage(at("in.exr").string());
    expectClose(*cli::readImage(at("out.0008.exr").string()), *textureReference(source, 1.0, 8.0), 1e-6f);
    EXPECT_NE(cli::readImage(at("out.0007.exr").string())->pixel(3, 3),
              cli::readImage(at("out.0008.exr").string())->pixel(3, 3));
}

TEST_F(CommandLineTest, ListsTheTextureAndRefusesUnknownEffects) {
    const CliRun list = tonemill({"list", "--effect", "texture"}, "", "> " + quoted(at("list.txt").string()));
    ASSERT_EQ(list.exitCode, 0) << list.errors;
    const std::string listed = readAll(at("list.txt"));
    for (const char* expected : {"grainAmount", "halationRadius", "bloomStrength", "500T (5219)", "16 mm"})
        EXPECT_NE(listed.find(expected), std::string::npos) << expected;
    EXPECT_EQ(listed.find("idtProfile"), std::string::npos);

    const CliRun unknown = tonemill({"list", "--effect", "grain"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.errors.find("--effect expects look or texture"), std::string::npos) << unknown.errors;

    // A texture parameter before --then belongs to the look, which has none.
    const CliRun misplaced = tonemill({"render", at("out.exr").string(), "--set", "grainAmount=1"});
    EXPECT_NE(misplaced.exitCode, 0);
    EXPECT_NE(misplaced.errors.find("grainAmount"), std::string::npos) << misplaced.errors;
    EXPECT_FALSE(fs::exists(at("out.exr")));
}

TEST_F(CommandLineTest, SheetsVaryATextureParameter) {
    const CliRun run = tonemill({"sheet", at("stocks.png").string(), "--effect", "texture", "--vary", "grainStock"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(fs::exists(at("stocks.png")));
}

}  // namespace
