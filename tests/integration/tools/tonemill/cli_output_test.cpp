// What comes out: colour graded the same whatever the alpha, the depth,
// windows and metadata of the input kept, .cube files named as given, and
// every message one line.
#include <OpenImageIO/deepdata.h>
#include <OpenImageIO/imageio.h>

#include "tests/integration/tools/tonemill/command_line_fixture.h"
#include "tools/tonemill/image_reader.h"
#include "tools/tonemill/image_writer.h"

namespace {

using namespace tonemill;
using namespace tonemill::testing;
namespace OIIO = OIIO_NAMESPACE;

TEST_F(CommandLineTest, TranslucentPixelsAreGradedAsTheirOpaqueSelves) {
    writeLook();
    auto opaque = sampleImage();
    auto translucent = sampleImage();
    translucent->fill([&](int x, int y) -> host::RgbaPixel {
        host::RgbaPixel pixel = opaque->pixel(x, y);
        pixel[3] = 0.25f;
        return pixel;
    });
    // PNG and TIFF store straight colour, EXR premultiplied.
    for (const std::string extension : {".png", ".tif", ".exr"}) {
        for (const auto& [name, image] : {std::pair{"opaque", opaque}, std::pair{"quarter", translucent}}) {
            cli::writeImage(*image, at(name + extension).string());
            const CliRun run =
                tonemill({"render", at(name + extension).string(),
                          at(name + std::string(".graded") + extension).string(), "--look", at("grade.look").string()});
            ASSERT_EQ(run.exitCode, 0) << run.errors;
        }
        const auto graded = cli::readImage(at("quarter.graded" + extension).string());
        expectClose(*graded, *cli::readImage(at("opaque.graded" + extension).string()), 3.0f / 255.0f);
        EXPECT_NEAR(graded->pixel(3, 3)[3], 0.25f, 0.5f / 255.0f) << extension;
    }
}

// A half-float, DWAA-compressed EXR whose 512 x 512 pixels sit at +100+50 inside 1024 x 768.
void writeWindowedExr(const std::string& path) {
    OIIO::ImageSpec layout(512, 512, 4, OIIO::TypeDesc::HALF);
    layout.x = 100;
    layout.y = 50;
    layout.full_width = 1024;
    layout.full_height = 768;
    layout.alpha_channel = 3;
    layout.attribute("Artist", "Velmora grading");
    layout.attribute("compression", "dwaa");
    std::vector<float> pixels(512 * 512 * 4, 0.5f);
    auto output = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(output && output->open(path, layout) && output->write_image(OIIO::TypeDesc::FLOAT, pixels.data()) &&
                output->close());
}

TEST_F(CommandLineTest, OutputKeepsTheInputsDepthWindowsAndMetadata) {
    writeWindowedExr(at("windowed.exr").string());
    const CliRun kept = tonemill({"render", at("windowed.exr").string(), at("kept.exr").string()});
    ASSERT_EQ(kept.exitCode, 0) << kept.errors;
    const OIIO::ImageSpec layout = cli::ImageReader(at("kept.exr").string()).layout();
    EXPECT_EQ(layout.format, OIIO::TypeDesc::HALF);
    EXPECT_EQ(std::vector<int>({layout.x, layout.y, layout.width, layout.height}),
              std::vector<int>({100, 50, 512, 512}));
    EXPECT_EQ(std::vector<int>({layout.full_x, layout.full_y, layout.full_width, layout.full_height}),
              std::vector<int>({0, 0, 1024, 768}));
    EXPECT_EQ(layout.get_string_attribute("Artist"), "Velmora grading");
    EXPECT_EQ(layout.get_string_attribute("compression"), "dwaa");

    {
        cli::ImageWriter deep(at("deep.png").string(), 48, 20, nullptr, {"uint16", ""});
        deep.writeRows(*sampleImage());
        deep.commit();
    }
    const CliRun deepRun = tonemill({"render", at("deep.png").string(), at("deep.graded.png").string()});
    ASSERT_EQ(deepRun.exitCode, 0) << deepRun.errors;
    EXPECT_EQ(cli::ImageReader(at("deep.graded.png").string()).layout().format, OIIO::TypeDesc::UINT16);

    const CliRun chosen = tonemill(
        {"render", at("windowed.exr").string(), at("chosen.exr").string(), "--depth", "float", "--compression", "piz"});
    ASSERT_EQ(chosen.exitCode, 0) << chosen.errors;
    const OIIO::ImageSpec written = cli::ImageReader(at("chosen.exr").string()).layout();
    EXPECT_EQ(written.format, OIIO::TypeDesc::FLOAT);
    EXPECT_EQ(written.get_string_attribute("compression"), "piz");

    const CliRun refused = tonemill({"render", at("deep.png").string(), at("half.png").string(), "--depth", "half"});
    EXPECT_NE(refused.errors.find("--depth half: .png files hold uint8, uint16"), std::string::npos) << refused.errors;
    EXPECT_FALSE(fs::exists(at("half.png")));
}

// Writes one file of the given parts, each 64 x 32 RGB of one grey.
void writeParts(const std::string& path, const std::vector<OIIO::ImageSpec>& parts) {
    std::vector<float> pixels(64 * 32 * 3, 0.25f);
    auto output = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(output && output->open(path, static_cast<int>(parts.size()), parts.data()));
    for (size_t part = 0; part < parts.size(); ++part) {
        if (part > 0) {
            ASSERT_TRUE(output->open(path, parts[part], OIIO::ImageOutput::AppendSubimage));
        }
        ASSERT_TRUE(output->write_image(OIIO::TypeDesc::FLOAT, pixels.data()));
    }
    ASSERT_TRUE(output->close());
}

// A file is read as what it is: every part of it or none, a colour profile
// only where it still describes the pixels, and a photograph with a word on
// the input profile it needs.
TEST_F(CommandLineTest, PartsProfilesAndPhotographsAreTakenForWhatTheyAre) {
    OIIO::ImageSpec left(64, 32, 3, OIIO::TypeDesc::HALF), right = left;
    left.attribute("name", "left");
    right.attribute("name", "right");
    writeParts(at("stereo.exr").string(), {left, right});
    const CliRun parts = tonemill({"render", at("stereo.exr").string(), at("graded.exr").string()});
    EXPECT_NE(parts.exitCode, 0);
    EXPECT_NE(parts.errors.find("holds 2 parts ('left', 'right')"), std::string::npos) << parts.errors;
    EXPECT_FALSE(fs::exists(at("graded.exr")));

    // A CMYK profile on an RGB picture: copied, it would make a PNG unwritable
    // and a JPEG wrongly coloured in every reader that honours it.
    OIIO::ImageSpec photo(64, 32, 3, OIIO::TypeDesc::UINT8);
    std::vector<unsigned char> cmyk(132, 0);
    cmyk[3] = 132;
    std::copy_n("prtr", 4, cmyk.begin() + 12);
    std::copy_n("CMYK", 4, cmyk.begin() + 16);
    std::copy_n("Lab ", 4, cmyk.begin() + 20);
    std::copy_n("acsp", 4, cmyk.begin() + 36);
    photo.attribute("ICCProfile", OIIO::TypeDesc(OIIO::TypeDesc::UINT8, static_cast<int>(cmyk.size())), cmyk.data());
    writeParts(at("photo.jpg").string(), {photo});
    ASSERT_TRUE(cli::ImageReader(at("photo.jpg").string()).layout().find_attribute("ICCProfile"));
    for (const char* output : {"graded.png", "graded.jpg"}) {
        const CliRun run = tonemill({"render", at("photo.jpg").string(), at(output).string()});
        ASSERT_EQ(run.exitCode, 0) << output << ": " << run.errors;
        EXPECT_FALSE(cli::ImageReader(at(output).string()).layout().find_attribute("ICCProfile")) << output;
        EXPECT_NE(run.errors.find("is read as ACEScct working-space values; an 8- or 16-bit picture like this one "
                                  "is usually sRGB: --set idtProfile=\"sRGB IDT\""),
                  std::string::npos)
            << run.errors;
    }
    const CliRun chosen =
        tonemill({"render", at("photo.jpg").string(), at("srgb.png").string(), "--set", "idtProfile=sRGB IDT"});
    ASSERT_EQ(chosen.exitCode, 0) << chosen.errors;
    EXPECT_EQ(chosen.errors.find("no input profile is set"), std::string::npos) << chosen.errors;
}

TEST_F(CommandLineTest, TiledFilesRenderAsScanlineFilesDo) {
    // Tall enough for two bands, neither of which lines up with the tiles:
    // tiles shorter than a band, and a first row of tiles taller than the
    // first band, kept for the second.
    constexpr int kWidth = 1024, kHeight = 1100;
    std::vector<float> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<float>(i % 997) / 997.0f;
    const std::vector<std::pair<std::string, std::pair<int, int>>> files{
        {"lines.exr", {0, 0}}, {"tiled.exr", {64, 48}}, {"tall-tiles.exr", {128, 640}}};
    for (const auto& [name, tile] : files) {
        OIIO::ImageSpec layout(kWidth, kHeight, 4, OIIO::TypeDesc::FLOAT);
        layout.tile_width = tile.first;
        layout.tile_height = tile.second;
        const std::string path = at(name).string();
        auto output = OIIO::ImageOutput::create(path);
        ASSERT_TRUE(output && output->open(path, layout) && output->write_image(OIIO::TypeDesc::FLOAT, pixels.data()) &&
                    output->close());
        const CliRun run = tonemill({"render", path, path + ".graded.exr", "--set", "gain=1.2"});
        ASSERT_EQ(run.exitCode, 0) << run.errors;
    }
    const auto expected = cli::readImage(at("lines.exr.graded.exr").string());
    for (const std::string name : {"tiled.exr", "tall-tiles.exr"}) {
        SCOPED_TRACE(name);
        expectClose(*cli::readImage(at(name + ".graded.exr").string()), *expected, 0.0f);
    }
}

TEST_F(CommandLineTest, TestViewsInBandsMatchAWholeFrameRender) {
    // Three bands of test views, the top one partial.
    auto tall = host::HostImage::rgbaFloat({0, 0, 600, 2300});
    tall->fill([](int x, int y) -> host::RgbaPixel { return {x / 600.0f, y / 2300.0f, 0.5f, 1.0f}; });
    cli::writeImage(*tall, at("tall.exr").string());
    const CliRun run = tonemill({"render", at("tall.exr").string(), at("ramp.exr").string(), "--set",
                                 "testRampToggle=on", "--set", "testKorvoLUTToggle=on"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto expected =
        referenceRender(cli::readImage(at("tall.exr").string()),
                        {{"testRampToggle", host::ParamValue(true)}, {"testKorvoLUTToggle", host::ParamValue(true)}});
    expectClose(*cli::readImage(at("ramp.exr").string()), *expected, 0.0f);
}

TEST_F(CommandLineTest, BakeKeepsTheNameGivenAndWritesToStandardOutput) {
    ASSERT_EQ(tonemill({"bake", at("upper.CUBE").string(), "--set", "gain=1.2"}).exitCode, 0);
    EXPECT_TRUE(fs::exists(at("upper.CUBE")));
    EXPECT_FALSE(fs::exists(at("upper.CUBE.cube")));

    const std::string piped = at("piped.cube").string();
    const int status = std::system(("OFX_PLUGIN_PATH=" + quoted(TONEMILL_BUILD_DIR) + " " + quoted(TONEMILL_CLI) +
                                    " bake - --set gain=1.2 > " + quoted(piped))
                                       .c_str());
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(readAll(piped) == readAll(at("upper.CUBE"))) << "standard output differs from the file";

    const CliRun viewed =
        tonemill({"bake", at("viewed.cube").string(), "--set", "gain=1.2", "--set", "testRampToggle=on"});
    ASSERT_EQ(viewed.exitCode, 0) << viewed.errors;
    EXPECT_NE(viewed.errors.find("test views are never baked"), std::string::npos) << viewed.errors;
    EXPECT_TRUE(readAll(at("viewed.cube")) == readAll(at("upper.CUBE"))) << "a test view was baked";

    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals{
        {{"bake", at("look.txt").string()}, "bake writes .cube, .clf and .ocio files"},
        {{"bake", at("look.cube").string(), "--frames", "1-3"}, "--frames has no effect on bake"},
        {{"bake", at("look.cube").string(), "--gpu", "cuda"}, "--gpu has no effect on bake"},
        {{"render", at("out.png").string(), "--size", "65"}, "--size has no effect on render"},
        {{"list", "--set", "gain=1.2"}, "--set has no effect on list"},
    };
    for (const auto& [arguments, message] : refusals) {
        const CliRun run = tonemill(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.errors.find(message), std::string::npos) << run.errors;
    }
    EXPECT_FALSE(fs::exists(at("look.txt")));
    EXPECT_FALSE(fs::exists(at("out.png")));
}

TEST_F(CommandLineTest, MessagesAreOneLineWhateverTheyQuote) {
    {
        std::ofstream look(at("binary.look"), std::ios::binary);
        look << "gain=1" << std::string(1, '\0') << "junk\n";
    }
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"render", at("out.png").string(), "--set", "gain=1\x01\n2"}, "'1\\x01\\n2'"},
        {{"render", at("out.png").string(), "--look", at("binary.look").string()}, "'1\\x00junk'"},
        {{"render", at("out.png").string(), "--set", "idtProfile=1e1"}, "has no option '1e1'"},
        {{"render", at("out.png").string(), "--set", "gain=1e-400"}, "'1e-400' is not one"},
        {{"render", at("out.png").string(), "--frames", "1\n2"}, "'1\\n2'"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliRun run = tonemill(arguments);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.errors.find(message), std::string::npos) << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    }
}

TEST_F(CommandLineTest, MessagesSayWhatIsWrongAndWhereBeforeAnyWork) {
    std::ofstream(at("long.look")) << "gain=" << std::string(100000, '9') << "\n";
    std::ofstream(at("wide.look"), std::ios::binary) << std::string(
        "\xFF\xFEg\0a\0i\0n\0=\0"
        "1\0\n\0",
        16);
    {
        OIIO::ImageSpec layout(4, 4, 4, OIIO::TypeDesc::FLOAT);
        layout.deep = true;
        OIIO::DeepData samples;
        samples.init(layout);
        auto output = OIIO::ImageOutput::create(at("deep.exr").string());
        ASSERT_TRUE(output && output->open(at("deep.exr").string(), layout) && output->write_deep_image(samples) &&
                    output->close());
    }
    {
        // More than a JPEG comment holds: libjpeg ends the process when it is copied over.
        cli::writeImage(*sampleImage(), at("described.tif").string());
        auto input = OIIO::ImageInput::open(at("described.tif").string());
        ASSERT_TRUE(input);
        OIIO::ImageSpec layout = input->spec();
        layout.attribute("ImageDescription", std::string(70000, 'd'));
        std::vector<float> pixels(static_cast<size_t>(layout.width) * layout.height * layout.nchannels);
        ASSERT_TRUE(input->read_image(0, 0, 0, layout.nchannels, OIIO::TypeDesc::FLOAT, pixels.data()));
        auto output = OIIO::ImageOutput::create(at("described.tif").string());
        ASSERT_TRUE(output && output->open(at("described.tif").string(), layout) &&
                    output->write_image(OIIO::TypeDesc::FLOAT, pixels.data()) && output->close());
    }
    const std::string tooLong = std::string(252, 'n') + ".png";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"render", at("out.png").string(), "--look", at("long.look").string()}, "' (100000 bytes) is not one"},
        {{"render", at("out.png").string(), "--look", at("wide.look").string()}, "is UTF-16 text; save it as UTF-8"},
        {{"render", at("deep.exr").string(), at("out.png").string()}, "holds deep pixels"},
        {{"render", "/dev/null", at("out.png").string()}, "'/dev/null': it is not a regular file"},
        {{"render", at("missing/out.png").string()},
         "cannot create a file in its folder '" + at("missing").string() + "': No such file"},
        {{"render", at(tooLong).string()}, "its name is longer than the 255 bytes a file name holds"},
        {{"render", at("described.tif").string(), at("out.jpg").string()},
         "an image library ended the process while writing '" + at("out.jpg").string() + "' (it said: "},
    };
    for (const auto& [arguments, message] : cases) {
        const CliRun run = tonemill(arguments);
        EXPECT_NE(run.exitCode, 0) << message;
        EXPECT_NE(run.errors.find(message), std::string::npos) << run.errors.substr(0, 400);
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors.substr(0, 400);
        EXPECT_LT(run.errors.size(), 600u) << message;
    }
    EXPECT_FALSE(fs::exists(at("out.png")));
    EXPECT_FALSE(fs::exists(at("out.jpg")));

    // Lines that end in a lone carriage return are lines.
    std::ofstream(at("classic.look"), std::ios::binary) << "gain=1.2\rcontrastOptions=F1\r";
    ASSERT_EQ(tonemill({"render", at("classic.png").string(), "--look", at("classic.look").string()}).exitCode, 0);
    ASSERT_EQ(tonemill({"render", at("set.png").string(), "--set", "gain=1.2", "--set", "contrastOptions=F1"}).exitCode,
              0);
    EXPECT_TRUE(readAll(at("classic.png")) == readAll(at("set.png"))) << "the carriage returns were not line ends";
}

TEST_F(CommandLineTest, ASettingWithNoEffectIsNamedOnOneLine) {
    cli::writeImage(*sampleImage(), at("in.exr").string());
    // The stock list belongs to a palette that stays off; the contrast intensity
    // is enabled by an option set after it.
    const CliRun run =
        tonemill({"render", at("in.exr").string(), at("out.exr").string(), "--set", "idtProfile=ACESCCT", "--set",
                  "colorPaletteMajorSelections=1", "--set", "contrastIntensity=0.7", "--set", "contrastOptions=F1"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors,
              "tonemill: warning: 'colorPaletteMajorSelections' (--set) has no effect with these settings (the plug-in "
              "disables it)\n");
}

TEST_F(CommandLineTest, HelpAndVersionNeedNoBundle) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--version"}, {"help", "render"}, {"render", "--help"}, {"help"}}) {
        const CliRun run = tonemill(arguments, "OFX_PLUGIN_PATH=/nonexistent ");
        EXPECT_EQ(run.exitCode, 0) << run.errors;
    }
    EXPECT_EQ(tonemill({"help", "paint"}).exitCode, 2);
}

TEST_F(CommandLineTest, OutputThatNeverArrivedIsAFailure) {
    const std::vector<std::vector<std::string>> commands{{"list"}, {"looks"}, {"info"}, {"help"}, {"--version"}};
    std::vector<std::string> outputs{">&-"};
    if (fs::exists("/dev/full")) outputs.push_back("> /dev/full");
    for (const std::string& output : outputs) {
        for (const auto& arguments : commands) {
            const CliRun run = tonemill(arguments, "", output);
            EXPECT_EQ(run.exitCode, 1) << arguments[0] << " " << output;
            EXPECT_EQ(run.errors.rfind("tonemill: cannot write to standard output", 0), 0u) << run.errors;
            EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        }
    }
    // A closed standard output is no free number for a file to take.
    const CliRun chart = tonemill({"render", at("chart.png").string()}, "", ">&-");
    ASSERT_EQ(chart.exitCode, 0) << chart.errors;
    EXPECT_EQ(cli::readImage(at("chart.png").string())->width(), 1920);
}

TEST_F(CommandLineTest, SettingsAFormatCannotHonourAreRefusedByName) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"out.exr", "--compression", "bogus"}, "--compression 'bogus': .exr files take none, rle, zips, zip, piz"},
        {{"out.exr", "--compression", "dwaa:-5"}, "--compression 'dwaa:-5': dwaa takes a level from 1 to 1000"},
        {{"out.exr", "--compression", "piz:3"}, "piz takes no level"},
        {{"out.png", "--compression", "zip:10"}, "zip takes a whole number from 1 to 9"},
        {{"out.bmp", "--compression", "rle"}, ".bmp files take no compression setting"},
        {{"out.ppm", "--depth", "float"}, "--depth float: .ppm files cannot hold it (uint8 would be written)"},
        {{"out.null"}, "cannot write '" + at("out.null").string() + "': OpenImageIO's null format writes no file"},
        {{"out.term"}, "OpenImageIO's term format writes no file"},
    };
    for (const auto& [arguments, message] : cases) {
        std::vector<std::string> line{"render", at(arguments[0]).string()};
        line.insert(line.end(), arguments.begin() + 1, arguments.end());
        const CliRun run = tonemill(line);
        EXPECT_NE(run.exitCode, 0) << message;
        EXPECT_NE(run.errors.find(message), std::string::npos) << run.errors;
        EXPECT_FALSE(fs::exists(at(arguments[0]))) << message;
    }
    for (const std::string compression : {"zip", "zip:9", "dwaa:45", "dwab:12.5"})
        EXPECT_EQ(tonemill({"render", at("out.exr").string(), "--compression", compression}).exitCode, 0)
            << compression;
}

// An EXR of `names`: the red, green and blue of `source` in the first three, 0.5 in any other.
void writeNamedChannels(const host::HostImage& source, const std::string& path, const std::vector<std::string>& names,
                        int alpha) {
    const int width = source.width(), height = source.height(), channels = static_cast<int>(names.size());
    OIIO::ImageSpec layout(width, height, channels, OIIO::TypeDesc::FLOAT);
    layout.channelnames = names;
    layout.alpha_channel = alpha;
    std::vector<float> pixels;
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) pixels.push_back(c < 3 ? source.pixel(x, y)[c] : 0.5f);
    auto output = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(output && output->open(path, layout) && output->write_image(OIIO::TypeDesc::FLOAT, pixels.data()) &&
                output->close());
}

TEST_F(CommandLineTest, ChannelsAreTakenByNameAndAlphaOnlyWhereTheFileSaysSo) {
    // Depth after colour is no alpha; two colour channels are no grey and alpha.
    auto opaque = sampleImage();
    writeNamedChannels(*opaque, at("depth.exr").string(), {"R", "G", "B", "Z"}, -1);
    writeNamedChannels(*opaque, at("two.exr").string(), {"R", "G"}, -1);
    auto blueless = sampleImage();
    blueless->fill([&](int x, int y) -> host::RgbaPixel {
        return {opaque->pixel(x, y)[0], opaque->pixel(x, y)[1], 0.0f, 1.0f};
    });
    for (const auto& [name, expected] : {std::pair{"depth", opaque}, std::pair{"two", blueless}}) {
        const std::string graded = at(name + std::string(".graded.exr")).string();
        const CliRun run = tonemill({"render", at(name + std::string(".exr")).string(), graded, "--set", "gain=1.2"});
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_FALSE(cli::ImageReader(graded).hasAlpha()) << name;
        expectClose(*cli::readImage(graded), *referenceRender(expected, {{"gain", host::ParamValue(1.2)}}), 1e-6f);
    }
}

TEST_F(CommandLineTest, AnInputCutShortIsAnErrorWithAReason) {
    auto picture = host::HostImage::rgbaFloat({0, 0, 256, 256});
    picture->fill([](int x, int y) -> host::RgbaPixel { return {x / 255.0f, y / 255.0f, (x ^ y) / 255.0f, 1.0f}; });
    // Decoders fill a JPEG's missing half with grey and say so only as a warning.
    for (const std::string extension : {".jpg", ".tif", ".dpx"}) {
        const std::string whole = at("whole" + extension).string(), cut = at("cut" + extension).string();
        cli::writeImage(*picture, whole);
        const std::string bytes = readAll(whole);
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
        const CliRun run = tonemill({"render", cut, at("graded.exr").string()});
        EXPECT_NE(run.exitCode, 0) << extension;
        // With the reason after the name.
        const std::string start = "tonemill: cannot read the pixels of '" + cut + "': ";
        EXPECT_EQ(run.errors.rfind(start, 0), 0u) << run.errors;
        EXPECT_GT(run.errors.size(), start.size() + 1) << run.errors;
        EXPECT_FALSE(fs::exists(at("graded.exr"))) << extension;
    }
}

}  // namespace
