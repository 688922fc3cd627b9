// The shipped looks: each one loads, changes the picture, is listed by
// `tonemill looks` and is found by --look NAME.
#include "tests/integration/tools/tonemill/command_line_fixture.h"
#include "tests/unit/tools/lutgen/colour_difference.h"
#include "tools/tonemill/effect_session.h"
#include "tools/tonemill/image_files.h"
#include "tools/tonemill/sheet_pictures.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace tonemill;
using namespace tonemill::testing;

float largestDifference(const host::HostImage& a, const host::HostImage& b) {
    float largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(a.pixel(x, y)[c] - b.pixel(x, y)[c]));
    return largest;
}

TEST_F(CommandLineTest, EveryShippedLookLoadsAndChangesTheDefaultRenderButTheNeutralReference) {
    const auto looks = sourceLooks();
    ASSERT_GE(looks.size(), 12u);
    cli::EffectSession session(TONEMILL_BUNDLE_DIR, 1);
    const auto plain = session.render(sampleImage(), 0);
    for (const fs::path& look : looks) {
        SCOPED_TRACE(look.filename().string());
        session.resetToDefaults();
        // Every value must be accepted as written: a renamed option would fail here.
        ASSERT_NO_THROW(session.apply(cli::readLookFile(look.string())));
        const float difference = largestDifference(*session.render(sampleImage(), 0), *plain);
        // The neutral look is the reference the others are judged against: the
        // default rendering through the ACES Rec.709 output, and nothing else.
        if (look.stem() == "neutral-709") {
            EXPECT_EQ(difference, 0.0f);
        } else {
            EXPECT_GT(difference, 2.0f / 255.0f);
        }
    }
}

// CIELAB of every pixel as a Rec.709 display (BT.1886) shows the render.
std::vector<lookdata_test::Lab> shownOnRec709(const host::HostImage& render) {
    constexpr double kToXyz[3][3] = {{0.4124, 0.3576, 0.1805}, {0.2126, 0.7152, 0.0722}, {0.0193, 0.1192, 0.9505}};
    std::vector<lookdata_test::Lab> shown;
    for (int y = 0; y < render.height(); ++y)
        for (int x = 0; x < render.width(); ++x) {
            double linear[3];
            for (int c = 0; c < 3; ++c) linear[c] = std::pow(std::clamp(double(render.pixel(x, y)[c]), 0.0, 1.0), 2.4);
            lookdata_test::Xyz xyz{};
            for (int r = 0; r < 3; ++r)
                xyz[r] = kToXyz[r][0] * linear[0] + kToXyz[r][1] * linear[1] + kToXyz[r][2] * linear[2];
            shown.push_back(lookdata_test::labFromXyz(xyz, {0.95047, 1.0, 1.08883}));
        }
    return shown;
}

// Two looks a grader can hardly tell apart are one look too many: on the
// natural scene the help page shows, every two shipped looks for Rec.709
// displays differ by 5 CIEDE2000 on average (five just noticeable steps).
// Four of them once sat 3 to 5 apart.
TEST_F(CommandLineTest, EveryShippedLookForRec709DisplaysLooksUnlikeEveryOther) {
    const auto scene = cli::shrunk(
        *cli::readImage((fs::path(TONEMILL_BUNDLE_DIR) / "Contents" / "Resources" / "scene.png").string()), 240, 135);
    cli::EffectSession session(TONEMILL_BUNDLE_DIR, 1);
    std::vector<std::pair<std::string, std::vector<lookdata_test::Lab>>> looks;
    for (const fs::path& look : sourceLooks()) {
        const auto assignments = cli::readLookFile(look.string());
        const bool forRec709 = std::any_of(assignments.begin(), assignments.end(), [](const auto& a) {
            return a.name == "outputProfileOptions" && a.value == "REC709 ODT";
        });
        if (!forRec709) continue;
        session.resetToDefaults();
        session.apply(assignments);
        looks.emplace_back(look.stem().string(), shownOnRec709(*session.render(scene, 0)));
    }
    ASSERT_GE(looks.size(), 12u);
    for (size_t i = 0; i < looks.size(); ++i)
        for (size_t j = i + 1; j < looks.size(); ++j) {
            double sum = 0.0;
            for (size_t p = 0; p < looks[i].second.size(); ++p)
                sum += lookdata_test::deltaE2000(looks[i].second[p], looks[j].second[p]);
            EXPECT_GE(sum / double(looks[i].second.size()), 5.0) << looks[i].first << " and " << looks[j].first;
        }
}

TEST_F(CommandLineTest, LooksListsEveryShippedLookWithItsPurpose) {
    const fs::path listing = at("listing.txt");
    const std::string command = std::string(TONEMILL_CLI) + " looks > " + quoted(listing.string());
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string text = readAll(listing);
    for (const fs::path& look : sourceLooks()) {
        const std::string name = look.stem().string();
        const size_t line = text.find(name + " ");
        ASSERT_NE(line, std::string::npos) << name << " missing from:\n" << text;
        // The purpose follows on the same line.
        const std::string rest = text.substr(line + name.size(), text.find('\n', line) - line - name.size());
        EXPECT_GT(rest.find_first_not_of(' '), 0u) << name;
        EXPECT_NE(rest.find_first_not_of(' '), std::string::npos) << name << " has no purpose";
    }
}

TEST_F(CommandLineTest, LookByNameIsTheShippedFileUnlessAFileOfThatNameExists) {
    const fs::path shipped = fs::path(TONEMILL_SOURCE_DIR) / "looks" / "bleach-bypass.look";
    ASSERT_EQ(tonemill({"render", at("by-name.png").string(), "--look", "bleach-bypass"}).exitCode, 0);
    ASSERT_EQ(tonemill({"render", at("by-path.png").string(), "--look", shipped.string()}).exitCode, 0);
    EXPECT_EQ(readAll(at("by-name.png")), readAll(at("by-path.png")));

    // A file in the working folder takes precedence over the shipped look.
    std::ofstream(at("bleach-bypass")) << "gain=0.5\n";
    const std::string command = "cd " + quoted(scratch_.string()) + " &&";
    ASSERT_EQ(tonemill({"render", at("local.png").string(), "--look", "bleach-bypass"}, command).exitCode, 0);
    EXPECT_NE(readAll(at("local.png")), readAll(at("by-name.png")));

    const CliRun unknown = tonemill({"render", at("none.png").string(), "--look", "no-such-look"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.errors.find("no look file or shipped look named 'no-such-look'"), std::string::npos)
        << unknown.errors;
    EXPECT_FALSE(fs::exists(at("none.png")));
}

TEST_F(CommandLineTest, ALookFromAPipeIsReadOnce) {
    // A pipe yields its lines to the first reader only.
    const std::string piped = "printf 'gain=1.5\\ncontrastOptions=F1\\n' | ";
    const std::vector<std::pair<std::string, std::string>> outputs{{"render", "chart.png"}, {"bake", "look.cube"}};
    for (const auto& [command, name] : outputs) {
        const CliRun set =
            tonemill({command, at("set-" + name).string(), "--set", "gain=1.5", "--set", "contrastOptions=F1"});
        ASSERT_EQ(set.exitCode, 0) << set.errors;
        const CliRun run = tonemill({command, at("piped-" + name).string(), "--look", "/dev/stdin"}, piped);
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_TRUE(readAll(at("piped-" + name)) == readAll(at("set-" + name))) << command << " lost the piped look";
    }
}

}  // namespace
