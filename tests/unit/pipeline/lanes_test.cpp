#include <gtest/gtest.h>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "pipeline/chain_lanes.h"
#include "pipeline/cpu_chain.h"
#include "tests/unit/pipeline/chain_fixtures.h"

namespace ChromvaleBeta2 {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The many-pixel render must give what the one-pixel chain gives: within
// 2e-6 for colours in [0, 1], relatively as close outside, NaN where it
// gives NaN.
void expectSameChannel(float got, float want, const char* channel) {
    SCOPED_TRACE(channel);
    if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << got;
        return;
    }
    if (std::isinf(want)) {
        EXPECT_EQ(got, want);
        return;
    }
    EXPECT_NEAR(got, want, 2e-6f * std::fmax(1.0f, std::fabs(want)));
}

using SpanRenderer = void (*)(const ChainSettings&, const float*, float*, int);

// Checks every rendered pixel against processColour.
void expectPixelsMatchChain(const PipelineSettings& s, const std::vector<float>& source,
                            const std::vector<float>& out) {
    const int count = static_cast<int>(source.size() / 4);
    for (int x = 0; x < count; ++x) {
        SCOPED_TRACE(::testing::Message() << "pixel " << x << " (" << source[4 * x] << ", " << source[4 * x + 1] << ", "
                                          << source[4 * x + 2] << ", " << source[4 * x + 3] << ")");
        const float* in = &source[4 * x];
        const float4 want = processColour(s, make_float4(in[0], in[1], in[2], in[3]));
        expectSameChannel(out[4 * x], want.x, "R");
        expectSameChannel(out[4 * x + 1], want.y, "G");
        expectSameChannel(out[4 * x + 2], want.z, "B");
        expectSameChannel(out[4 * x + 3], want.w, "A");
        if (::testing::Test::HasFailure()) return;
    }
}

// Renders `source` as one span of lanes and checks every pixel.
void expectSpanMatchesChain(SpanRenderer render, const PipelineSettings& s, const std::vector<float>& source) {
    std::vector<float> out(source.size(), -7.0f);
    render(s, source.data(), out.data(), static_cast<int>(source.size() / 4));
    expectPixelsMatchChain(s, source, out);
}

std::vector<float> randomPixels(std::mt19937& rng, int count, float low, float high) {
    std::uniform_real_distribution<float> value(low, high);
    std::vector<float> pixels(4 * count);
    for (float& v : pixels) v = value(rng);
    return pixels;
}

// Random looks with each stage present or absent and each correction
// neutral, ordinary or extreme (gamma and push/pull 0 give the exponent 100).
PipelineSettings randomLook(testing::LoadedLook& look, std::mt19937& rng) {
    PipelineSettings s = testing::randomSettings(look, rng, false);
    std::bernoulli_distribution coin(0.5);
    auto dropTable = [&](unsigned int& size) {
        if (coin(rng)) size = 0;
    };
    for (unsigned int& size : s.gamutLutSize) dropTable(size);
    for (unsigned int* size :
         {&s.idtLutSize, &s.contrastLutSize, &s.paletteLutSize, &s.printLutSize, &s.postProcessLutSize, &s.odtLutSize})
        dropTable(*size);
    std::discrete_distribution<int> kind({2, 3, 1});
    for (float(*values)[3] : {&s.gamma, &s.pushPull}) {
        for (float& v : *values) {
            const int k = kind(rng);
            v = k == 0 ? 1.0f : k == 2 ? 0.0f : v;
        }
    }
    for (float(*values)[3] : {&s.gain, &s.temperatureGain, &s.cmy})
        for (float& v : *values)
            if (coin(rng)) v = 1.0f;
    if (coin(rng)) s.saturation = 0.0f;
    return s;
}

// A random look with both transforms, so with tables enough to run step by
// step.
PipelineSettings randomStepByStepLook(testing::LoadedLook& look, std::mt19937& rng) {
    PipelineSettings s = randomLook(look, rng);
    s.idtLutSize = look.idt.m_dims;
    s.odtLutSize = look.odt.m_dims;
    return s;
}

SpanRenderer spanRendererOf(LanePath path) {
    switch (path) {
        case LanePath::kSixteen: return renderSpanSixteenLanes;
        case LanePath::kEight: return renderSpanEightLanes;
        case LanePath::kFour: break;
    }
    return renderSpanFourLanes;
}

using PiecesRenderer = void (*)(const ChainSettings&, const SpanPiece*, int);

PiecesRenderer piecesRendererOf(LanePath path) {
    switch (path) {
        case LanePath::kSixteen: return renderSpansSixteenLanes;
        case LanePath::kEight: return renderSpansEightLanes;
        case LanePath::kFour: break;
    }
    return renderSpansFourLanes;
}

// Every lane path this processor runs.
class Lanes : public ::testing::TestWithParam<LanePath> {
 protected:
    void SetUp() override {
        if (!cpuRuns(GetParam())) GTEST_SKIP() << "this processor does not run " << lanePathName(GetParam());
    }

    void expectRowMatchesChain(const PipelineSettings& s, const std::vector<float>& source) const {
        expectSpanMatchesChain(spanRendererOf(GetParam()), s, source);
    }
};

TEST_P(Lanes, MatchTheChainOnRandomLooksAndColours) {
    std::mt19937 rng(12);
    for (int look = 0; look < 60; ++look) {
        SCOPED_TRACE(look);
        testing::LoadedLook tables;
        const PipelineSettings s = randomLook(tables, rng);
        // 37 pixels: whole groups of every width and a tail.
        expectRowMatchesChain(s, randomPixels(rng, 37, 0.0f, 1.0f));
    }
}

TEST_P(Lanes, MatchTheChainOutsideTheUnitRangeAndOnSpecialValues) {
    std::mt19937 rng(13);
    const float specials[] = {kNaN, kInf, -kInf, 0.0f, -0.0f, 1.0f, 1e-40f, 1e-30f, -1e-30f, 0.9999999f, 2.0f, -3.0f};
    for (int look = 0; look < 20; ++look) {
        SCOPED_TRACE(look);
        testing::LoadedLook tables;
        const PipelineSettings s = randomLook(tables, rng);
        std::vector<float> pixels = randomPixels(rng, 64, -1.5f, 2.5f);
        std::uniform_int_distribution<size_t> pick(0, std::size(specials) - 1);
        for (size_t i = 0; i < pixels.size(); i += 3) pixels[i] = specials[pick(rng)];
        expectRowMatchesChain(s, pixels);
    }
}

// Rows longer than one span of steps, a look with a single table (run
// group by group) and a window reaching past the source on both sides.
TEST_P(Lanes, MatchTheChainAcrossSpansWindowsAndSingleTables) {
    std::mt19937 rng(15);
    testing::LoadedLook tables;
    const PipelineSettings s = randomStepByStepLook(tables, rng);
    expectRowMatchesChain(s, randomPixels(rng, 3 * 3840 + 13, 0.0f, 1.0f));

    PipelineSettings single = testing::neutralSettings();
    single.printLut = tables.print.data.data();
    single.printLutSize = tables.print.m_dims;
    single.printMix = 0.6f;
    single.gamma[1] = 1.7f;
    expectRowMatchesChain(single, randomPixels(rng, 29, -0.2f, 1.2f));

    const std::vector<float> source = randomPixels(rng, 21, 0.0f, 1.0f);
    std::vector<float> out(4 * 31, -7.0f);
    renderRow(s, SourceRow{source.data(), 100, 121, 5}, 95, 126, out.data());
    for (int x = 95; x < 126; ++x) {
        SCOPED_TRACE(x);
        const float* got = &out[4 * (x - 95)];
        if (x < 100 || x >= 121) {
            EXPECT_TRUE(got[0] == 0.0f && got[1] == 0.0f && got[2] == 0.0f && got[3] == 0.0f);
            continue;
        }
        const float* in = &source[4 * (x - 100)];
        const float4 want = processColour(s, make_float4(in[0], in[1], in[2], in[3]));
        expectSameChannel(got[0], want.x, "R");
        expectSameChannel(got[3], want.w, "A");
    }
}

// Pieces rendered together share each step's span, which takes the end of
// one piece and the start of the next into it and splits a piece where it
// is full: every pixel must still be the chain's, with and without steps.
TEST_P(Lanes, MatchTheChainOnPiecesSharingSpans) {
    std::mt19937 rng(19);
    testing::LoadedLook tables;
    PipelineSettings stepByStep = randomStepByStepLook(tables, rng);
    PipelineSettings atOnce = testing::neutralSettings();
    atOnce.gamma[0] = 1.3f;
    const int lengths[] = {kSpanPixels - 5, 0, 37, kSpanPixels / 2 + 3, 1};
    for (const PipelineSettings* s : {&stepByStep, &atOnce}) {
        std::vector<std::vector<float>> sources, outs;
        std::vector<SpanPiece> pieces;
        for (int n : lengths) {
            sources.push_back(randomPixels(rng, n, -0.1f, 1.1f));
            outs.emplace_back(4 * static_cast<size_t>(n), -7.0f);
            pieces.push_back({sources.back().data(), outs.back().data(), n});
        }
        piecesRendererOf(GetParam())(*s, pieces.data(), static_cast<int>(pieces.size()));
        for (size_t i = 0; i < pieces.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "piece " << i);
            expectPixelsMatchChain(*s, sources[i], outs[i]);
        }
    }
}

// Rows rendered together, each with its own columns outside the source or
// no source at all, come out exactly as rendered one at a time.
TEST(Rows, RenderedTogetherComeOutAsRenderedAlone) {
    std::mt19937 rng(20);
    testing::LoadedLook tables;
    const PipelineSettings s = randomStepByStepLook(tables, rng);
    const int x1 = -3, x2 = 3000;
    const std::vector<float> pixels = randomPixels(rng, 3010, 0.0f, 1.0f);
    const SourceRow sources[] = {{pixels.data(), 0, 2990, 0},  {},
                                 {pixels.data(), -3, 3000, 2}, {pixels.data(), 10, 20, 3},
                                 {pixels.data(), -3, 3007, 4}, {pixels.data(), 0, 3000, 5}};
    const int rows = static_cast<int>(std::size(sources));
    const size_t floats = 4 * static_cast<size_t>(x2 - x1);
    std::vector<float> together(rows * floats, -7.0f), alone(rows * floats, -9.0f);
    std::vector<float*> destinations;
    for (int i = 0; i < rows; ++i) destinations.push_back(together.data() + i * floats);
    renderRows(s, sources, destinations.data(), rows, x1, x2);
    for (int i = 0; i < rows; ++i) renderRow(s, sources[i], x1, x2, alone.data() + i * floats);
    for (int i = 0; i < rows; ++i)
        EXPECT_EQ(std::memcmp(together.data() + i * floats, alone.data() + i * floats, floats * sizeof(float)), 0)
            << "row " << i;
    EXPECT_GE(rowsRenderedTogether(x2 - x1), 1);
    EXPECT_EQ(rowsRenderedTogether(0), 1);
}

// Colours whose cell fractions tie, and colours on lattice points and the
// table's last point, where the tetrahedron choice and the step up an axis
// are decided by selections rather than branches.
TEST_P(Lanes, MatchTheChainOnTiedFractionsAndLatticePoints) {
    std::mt19937 rng(16);
    const LutTable idt = testing::random3D(5, rng);
    const LutTable odt = testing::random3D(3, rng);
    std::vector<float> pixels;
    const float levels[] = {0.0f, 0.1f, 0.125f, 0.25f, 0.3f, 0.875f, 1.0f};
    for (float r : levels)
        for (float g : levels)
            for (float b : levels) pixels.insert(pixels.end(), {r, g, b, 1.0f});
    for (bool stepByStep : {false, true}) {
        SCOPED_TRACE(stepByStep);
        PipelineSettings s = testing::neutralSettings();
        s.idtLut = idt.data.data();
        s.idtLutSize = idt.m_dims;
        if (stepByStep) {
            s.odtLut = odt.data.data();
            s.odtLutSize = odt.m_dims;
        }
        expectRowMatchesChain(s, pixels);
    }
}

TEST_P(Lanes, NeutralAndEmptyLooksPassTheColourThrough) {
    std::mt19937 rng(14);
    const PipelineSettings neutral = testing::neutralSettings();
    std::vector<float> pixels = randomPixels(rng, 19, -0.5f, 1.5f);
    pixels[0] = kNaN;
    pixels[7] = kInf;
    expectRowMatchesChain(neutral, pixels);
}

// Exponents on colours near 0 and 1, where the power's own accuracy shows
// most: a fine ramp through every exponent the gamma and push/pull take.
TEST_P(Lanes, PowersMatchAcrossTheUnitRange) {
    std::vector<float> ramp;
    for (int i = 0; i <= 4096; ++i) {
        const float t = static_cast<float>(i) / 4096.0f;
        ramp.insert(ramp.end(), {t, t * t * t * t, std::sqrt(t), 1.0f});
    }
    for (float gamma : {0.0f, 0.1f, 0.45f, 0.8f, 1.25f, 2.2f, 4.0f, 10.0f, -0.7f}) {
        SCOPED_TRACE(gamma);
        PipelineSettings s = testing::neutralSettings();
        for (int c = 0; c < 3; ++c) s.gamma[c] = s.pushPull[c] = gamma;
        expectRowMatchesChain(s, ramp);
    }
}

// The power is one text for one pixel and for lanes: with nothing after it
// that rounds, the lanes give the one-pixel chain's bits exactly.
TEST_P(Lanes, PowersGiveTheOnePixelBits) {
    std::mt19937 rng(14);
    std::vector<float> pixels = randomPixels(rng, 301, 0.0f, 1.0f);
    for (size_t i = 0; i < pixels.size(); i += 8) pixels[i] = std::ldexp(pixels[i], -static_cast<int>(rng() % 140));
    for (float gamma : {0.07f, 0.45f, 1.3f, 2.2f, 0.0f, 1e-40f}) {
        SCOPED_TRACE(gamma);
        PipelineSettings s = testing::neutralSettings();
        for (int c = 0; c < 3; ++c) s.gamma[c] = gamma;
        std::vector<float> out(pixels.size());
        spanRendererOf(GetParam())(s, pixels.data(), out.data(), static_cast<int>(pixels.size() / 4));
        int differing = 0;
        for (size_t x = 0; x < pixels.size(); x += 4) {
            const float4 want = processColour(s, make_float4(pixels[x], pixels[x + 1], pixels[x + 2], pixels[x + 3]));
            differing += std::memcmp(&out[x], &want, sizeof want) != 0 ? 1 : 0;
        }
        EXPECT_EQ(differing, 0);
    }
}

#if defined(__linux__)
// Three pages with the outer two unreadable; a table copied against either
// guard page faults on any read past its first or last float.
class GuardedPages {
 public:
    GuardedPages() : page_(static_cast<size_t>(sysconf(_SC_PAGESIZE))) {
        void* at = mmap(nullptr, 3 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = at == MAP_FAILED ? nullptr : static_cast<char*>(at);
        if (base_ != nullptr) {
            mprotect(base_, page_, PROT_NONE);
            mprotect(base_ + 2 * page_, page_, PROT_NONE);
        }
    }
    ~GuardedPages() {
        if (base_ != nullptr) munmap(base_, 3 * page_);
    }
    GuardedPages(const GuardedPages&) = delete;
    GuardedPages& operator=(const GuardedPages&) = delete;

    bool ready() const { return base_ != nullptr; }
    const float* atStart(const std::vector<float>& table) { return place(table, base_ + page_); }
    const float* atEnd(const std::vector<float>& table) {
        return place(table, base_ + 2 * page_ - sizeof(float) * table.size());
    }

 private:
    const float* place(const std::vector<float>& table, char* at) {
        std::memcpy(at, table.data(), sizeof(float) * table.size());
        return reinterpret_cast<const float*>(at);
    }

    size_t page_;
    char* base_ = nullptr;
};

// Table reads stay inside the table: colours on its first and last entries,
// among ordinary ones, with the table against a page nothing may read.
TEST_P(Lanes, ReadNothingBeforeOrAfterATable) {
    std::mt19937 rng(17);
    const LutTable table = testing::random3D(5, rng);
    std::vector<float> pixels = randomPixels(rng, 64, 0.0f, 1.0f);
    const float corners[][3] = {{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.01f, 0.0f, 0.02f}, {0.99f, 1.0f, 0.98f}};
    for (int i = 0; i < 4; ++i) std::memcpy(&pixels[4 * (5 + 16 * i)], corners[i], sizeof(corners[i]));
    for (bool atStart : {true, false}) {
        SCOPED_TRACE(atStart ? "table after a guard page" : "table before a guard page");
        GuardedPages pages;
        ASSERT_TRUE(pages.ready());
        PipelineSettings s = testing::neutralSettings();
        s.idtLut = atStart ? pages.atStart(table.data) : pages.atEnd(table.data);
        s.idtLutSize = table.m_dims;
        expectRowMatchesChain(s, pixels);
        s.odtLut = s.idtLut;  // two tables: the step-by-step render
        s.odtLutSize = table.m_dims;
        expectRowMatchesChain(s, pixels);
    }
}
#endif

INSTANTIATE_TEST_SUITE_P(Widths, Lanes, ::testing::Values(LanePath::kSixteen, LanePath::kEight, LanePath::kFour),
                         [](const ::testing::TestParamInfo<LanePath>& info) {
                             return "Lanes" + std::to_string(lanesOf(info.param));
                         });

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
// The library asks the processor itself; GCC's runtime, which this test links,
// reads it too, so the two must agree wherever the test runs.
TEST(LanePaths, EachIsRunWhereTheProcessorHasItsInstructions) {
    EXPECT_TRUE(cpuRuns(LanePath::kFour));
    EXPECT_EQ(cpuRuns(LanePath::kEight), __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"));
    EXPECT_EQ(cpuRuns(LanePath::kSixteen), __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                                               __builtin_cpu_supports("avx512dq") &&
                                               __builtin_cpu_supports("avx512bw"));
}
#endif

// A request narrows the path but never widens it past what the processor runs.
TEST(LanePaths, ARequestPicksTheNamedPathOrTheWidestNarrowerOne) {
    const LanePath widest = cpuRuns(LanePath::kSixteen) ? LanePath::kSixteen
                            : cpuRuns(LanePath::kEight) ? LanePath::kEight
                                                        : LanePath::kFour;
    EXPECT_EQ(lanePathFor(nullptr), widest);
    EXPECT_EQ(lanePathFor("avx512"), widest);
    EXPECT_EQ(lanePathFor("neon"), widest);
    EXPECT_EQ(lanePathFor("sse2"), LanePath::kFour);
    EXPECT_EQ(lanePathFor("avx2"), cpuRuns(LanePath::kEight) ? LanePath::kEight : LanePath::kFour);
    EXPECT_EQ(lanePathFor(std::getenv("TONEMILL_SIMD")), cpuLanePath());
}

}  // namespace
}  // namespace ChromvaleBeta2
