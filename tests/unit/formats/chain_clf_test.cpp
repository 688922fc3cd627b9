// The chain written as CLF, read back and applied by OpenColorIO, against the
// chain itself on random colours in [0, 1].

#include "formats/chain_clf.h"

#include <gtest/gtest.h>

#include <OpenColorIO/OpenColorIO.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "pipeline/cpu_chain.h"
#include "tests/unit/pipeline/chain_fixtures.h"

namespace ChromvaleBeta2 {
namespace {

namespace OCIO = OCIO_NAMESPACE;
using testing::LoadedLook;

constexpr float kTolerance = 1e-5f;

std::string clfText(const ChainAsClf& chain) {
    ClfProcessList list;
    list.id = "com.velmora.tonemill:test";
    list.name = "test look";
    list.descriptions = {"a look made by a test"};
    list.operators = chain.operators;
    std::string text;
    writeClfText(list, [&](std::string_view piece) { text += piece; });
    return text;
}

std::filesystem::path scratchFile(const std::string& name) {
    const char* folder = std::getenv("TEST_TMPDIR");
    const std::filesystem::path base = folder && *folder ? folder : std::filesystem::temp_directory_path();
    return base / name;
}

// OpenColorIO's messages while a file is read and its processor built.
class OcioMessages {
 public:
    OcioMessages() {
        OCIO::SetLoggingLevel(OCIO::LOGGING_LEVEL_WARNING);
        OCIO::SetLoggingFunction([](const char* message) { lines().push_back(message); });
        lines().clear();
    }
    ~OcioMessages() { OCIO::ResetToDefaultLoggingFunction(); }
    static std::vector<std::string>& lines() {
        static std::vector<std::string> collected;
        return collected;
    }
};

OCIO::ConstCPUProcessorRcPtr ocioProcessor(const std::string& text, const std::string& name) {
    const std::filesystem::path path = scratchFile(name + ".clf");
    std::ofstream(path, std::ios::binary) << text;
    OCIO::ClearAllCaches();  // the same path is written again by the next case
    const OCIO::ConstConfigRcPtr config = OCIO::Config::CreateRaw();
    const OCIO::FileTransformRcPtr file = OCIO::FileTransform::Create();
    file->setSrc(path.c_str());
    file->setInterpolation(OCIO::INTERP_BEST);
    return config->getProcessor(file)->getDefaultCPUProcessor();
}

// The largest channel difference between OpenColorIO's application of the CLF
// and the chain, over `count` random colours in [low, high].
float largestDifference(const PipelineSettings& s, const std::string& name, int count = 3000, float low = 0.0f,
                        float high = 1.0f) {
    OcioMessages messages;
    const auto processor = ocioProcessor(clfText(chainAsClf(s)), name);
    EXPECT_TRUE(OcioMessages::lines().empty()) << name << ": " << OcioMessages::lines().front();
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> unit(low, high);
    float largest = 0.0f;
    for (int i = 0; i < count; ++i) {
        float rgb[3] = {unit(rng), unit(rng), unit(rng)};
        const float4 expected = processColour(s, make_float4(rgb[0], rgb[1], rgb[2], 1.0f));
        processor->applyRGB(rgb);
        largest = std::max(
            {largest, std::abs(rgb[0] - expected.x), std::abs(rgb[1] - expected.y), std::abs(rgb[2] - expected.z)});
    }
    return largest;
}

PipelineSettings neutral() {
    return testing::neutralSettings();
}

TEST(ChainClf, EverySliderAloneMatchesTheChain) {
    struct Case {
        const char* name;
        void (*set)(PipelineSettings&);
    };
    const Case cases[] = {
        {"lift", [](PipelineSettings& s) { s.lift[0] = 0.2f, s.lift[1] = -0.3f, s.lift[2] = 0.05f; }},
        {"gain", [](PipelineSettings& s) { s.gain[0] = 1.7f, s.gain[1] = 0.4f, s.gain[2] = 1.0f; }},
        {"gamma", [](PipelineSettings& s) { s.gamma[0] = 0.1f, s.gamma[1] = 2.0f, s.gamma[2] = 0.8f; }},
        {"gamma-tiny", [](PipelineSettings& s) { s.gamma[0] = 0.001f, s.gamma[1] = 0.0f, s.gamma[2] = 4.0f; }},
        {"printer-lights", [](PipelineSettings& s) { s.printerLight[0] = 0.3f, s.printerLight[2] = -0.4f; }},
        {"temperature", [](PipelineSettings& s) { s.temperatureGain[0] = 0.93f, s.temperatureGain[2] = 1.14f; }},
        {"cmy", [](PipelineSettings& s) { s.cmy[0] = 1.5f, s.cmy[1] = 0.2f, s.cmy[2] = 0.0f; }},
        {"push-pull", [](PipelineSettings& s) { s.pushPull[0] = 0.25f, s.pushPull[1] = 4.0f, s.pushPull[2] = 0.0f; }},
        {"saturation-up", [](PipelineSettings& s) { s.saturation = 1.0f; }},
        {"saturation-down", [](PipelineSettings& s) { s.saturation = -1.0f; }},
        {"saturation-half", [](PipelineSettings& s) { s.saturation = -0.5f; }},
    };
    for (const Case& c : cases) {
        PipelineSettings s = neutral();
        c.set(s);
        EXPECT_LE(largestDifference(s, c.name), kTolerance) << c.name;
    }
}

// Each table stage on or off, each mix at 0, 0.5 or 1, with saturation both
// ways so that the blended stages also see colours beyond [0, 1].
TEST(ChainClf, TableStagesAndMixesMatchTheChain) {
    std::mt19937 rng(11);
    LoadedLook look;
    const PipelineSettings full = testing::randomSettings(look, rng, false);
    const float mixes[] = {0.0f, 0.5f, 1.0f};
    const float saturations[] = {-1.0f, 0.0f, 0.6f, 1.0f};
    for (int variant = 0; variant < 36; ++variant) {
        PipelineSettings s = full;
        s.globalBlend = 1.0f;
        std::uniform_int_distribution<int> pick(0, 2);
        s.contrastMix = mixes[pick(rng)];
        s.paletteMix = mixes[pick(rng)];
        s.printMix = mixes[pick(rng)];
        s.postProcessMix = mixes[pick(rng)];
        for (float& kept : s.gamutMix) kept = mixes[pick(rng)];
        s.saturation = saturations[variant % 4];
        // Stage by stage off in turn, then everything on.
        const int off = variant / 4;
        unsigned int* sizes[] = {&s.idtLutSize, &s.contrastLutSize,    &s.paletteLutSize,  &s.printLutSize,
                                 &s.odtLutSize, &s.postProcessLutSize, &s.gamutLutSize[0], &s.gamutLutSize[1]};
        if (off < 8) *sizes[off] = 0u;
        const std::string name = "stages-" + std::to_string(variant);
        EXPECT_LE(largestDifference(s, name, 1500), kTolerance) << name;
    }
}

TEST(ChainClf, BlendedStagesHoldTheirStraightCourseBeyondTheUnitRange) {
    std::mt19937 rng(3);
    LoadedLook look;
    PipelineSettings s = testing::randomSettings(look, rng, false);
    s.globalBlend = 1.0f;
    s.saturation = 1.0f;  // the strongest push beyond [0, 1]
    s.contrastMix = 0.5f;
    s.paletteMix = 0.3f;
    s.printMix = 0.5f;
    s.postProcessMix = 0.8f;
    s.gamutLutSize[0] = s.gamutLutSize[1] = s.gamutLutSize[2] = 0u;
    s.idtLutSize = 0u;
    s.odtLutSize = 0u;  // the ODT's clamp would hide the blends' outer course
    EXPECT_LE(largestDifference(s, "outer-course"), kTolerance);
}

TEST(ChainClf, StepsThatCannotBeExactAreNamed) {
    PipelineSettings s = neutral();
    EXPECT_TRUE(chainAsClf(s).inexact.empty());
    std::mt19937 rng(5);
    LoadedLook look;
    const PipelineSettings loaded = testing::randomSettings(look, rng, false);
    s.gamutLut[1] = loaded.gamutLut[1];
    s.gamutLutSize[1] = loaded.gamutLutSize[1];
    s.gamutMix[1] = 0.25f;
    const auto notes = chainAsClf(s).inexact;
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("green gamut limit"), std::string::npos);
    // The gamut blend still holds exactly inside [0, 1].
    EXPECT_LE(largestDifference(s, "gamut-kept"), kTolerance);
}

// A global blend needs the ungraded colour beside the graded one: the whole
// look is sampled instead, as close as a .cube of the same lattice.
TEST(ChainClf, AGlobalBlendIsSampledWholeAndNamed) {
    std::mt19937 rng(13);
    LoadedLook look;
    PipelineSettings s = testing::randomSettings(look, rng, false);
    s.globalBlend = 0.5f;
    const ChainAsClf chain = chainAsClf(s);
    ASSERT_EQ(chain.inexact.size(), 1u);
    EXPECT_NE(chain.inexact[0].find("global blend of 0.5"), std::string::npos);
    ASSERT_EQ(chain.operators.size(), 1u);
    EXPECT_LE(largestDifference(s, "global-blend"), 0.02f);
}

// The elements and attributes of the CLF 3 schema that a process list of these
// operators may use, element by element; the file's text is checked against
// them tag by tag.
const std::map<std::string, std::set<std::string>>& clfSchemaSubset() {
    static const std::map<std::string, std::set<std::string>> allowed = {
        {"ProcessList", {"id", "name", "compCLFversion", "inverseOf"}},
        {"Description", {}},
        {"InputDescriptor", {}},
        {"OutputDescriptor", {}},
        {"Matrix", {"id", "name", "inBitDepth", "outBitDepth"}},
        {"LUT1D", {"id", "name", "inBitDepth", "outBitDepth", "interpolation", "halfDomain", "rawHalfs"}},
        {"LUT3D", {"id", "name", "inBitDepth", "outBitDepth", "interpolation"}},
        {"Range", {"id", "name", "inBitDepth", "outBitDepth", "style"}},
        {"Exponent", {"id", "name", "inBitDepth", "outBitDepth", "style"}},
        {"ExponentParams", {"exponent", "offset", "channel"}},
        {"Array", {"dim"}},
        {"minInValue", {}},
        {"maxInValue", {}},
        {"minOutValue", {}},
        {"maxOutValue", {}},
    };
    return allowed;
}

TEST(ChainClf, WritesOnlyElementsAndAttributesOfTheSchema) {
    std::mt19937 rng(9);
    LoadedLook look;
    PipelineSettings s = testing::randomSettings(look, rng, false);
    s.globalBlend = 1.0f;
    s.saturation = 1.0f;
    s.contrastMix = 0.5f;
    s.paletteMix = 0.5f;
    s.gamma[0] = 0.001f;
    const std::string text = clfText(chainAsClf(s));
    const std::regex tag(R"re(<([A-Za-z0-9]+)((?:\s+[A-Za-z]+="[^"]*")*)\s*/?>)re");
    const std::regex attribute(R"(([A-Za-z]+)=")");
    const std::set<std::string> bitDepths = {"8i", "10i", "12i", "16i", "16f", "32f"};
    int tags = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::string element = (*it)[1];
        ++tags;
        ASSERT_TRUE(clfSchemaSubset().count(element)) << element;
        const std::string attributes = (*it)[2];
        for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
             a != std::sregex_iterator(); ++a)
            EXPECT_TRUE(clfSchemaSubset().at(element).count((*a)[1])) << element << " " << (*a)[1];
    }
    EXPECT_GT(tags, 20);
    for (const std::string depth : {"inBitDepth", "outBitDepth"}) {
        const std::regex value(depth + R"re(="([^"]*)")re");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), value); it != std::sregex_iterator(); ++it)
            EXPECT_TRUE(bitDepths.count((*it)[1])) << (*it)[1];
    }
    const std::regex style(R"re(style="([^"]*)")re");
    const std::set<std::string> styles = {"Clamp", "noClamp", "basicFwd"};
    for (auto it = std::sregex_iterator(text.begin(), text.end(), style); it != std::sregex_iterator(); ++it)
        EXPECT_TRUE(styles.count((*it)[1])) << (*it)[1];
}

}  // namespace
}  // namespace ChromvaleBeta2
