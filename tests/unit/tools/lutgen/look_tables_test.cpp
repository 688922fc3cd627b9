#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "tests/unit/tools/lutgen/lookdata_fixture.h"
#include "tools/lutgen/colour_space.h"

namespace tonemill::lookdata_test {
namespace {

const float kMidGrey = static_cast<float>(lutgen::midGreyAcescct());

TEST(LookTables, NeutralAxisOfEveryLookRisesMonotonically) {
    const auto names = entriesIn(
        {"2-CURVES/", "3A-NEGATIVE/", "3B-NEGATIVE_GEN 2/", "3C-MAJOR/", "3D-MINOR/", "PRINT/", "POST PROCESS/"});
    ASSERT_GT(names.size(), 60u);
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const auto& table = bundleTable(name);
        Rgb previous = sample(table, {0.0f, 0.0f, 0.0f});
        const Rgb black = previous;
        for (int i = 1; i <= 1024; ++i) {
            const float t = i / 1024.0f;
            const Rgb now = sample(table, {t, t, t});
            for (int c = 0; c < 3; ++c) ASSERT_GE(now[c], previous[c] - 1e-6f) << "channel " << c << " falls at " << t;
            previous = now;
        }
        for (int c = 0; c < 3; ++c)
            EXPECT_GT(previous[c] - black[c], 0.35f) << "the tone range collapses in channel " << c;
    }
}

// A camera's or display's grey must arrive as working-space grey at every
// level; display inputs invert an output transform, whose code values beyond
// the peak must not fold back or turn coloured.
TEST(LookTables, InputTablesKeepTheNeutralAxisNeutralAndRisingToTheTop) {
    for (const auto& name : entriesIn({"1-IDT/"})) {
        SCOPED_TRACE(name);
        const auto& table = bundleTable(name);
        Rgb previous = sample(table, {0.0f, 0.0f, 0.0f});
        for (int i = 1; i <= 256; ++i) {
            const float t = i / 256.0f;
            const Rgb now = sample(table, {t, t, t});
            for (int c = 0; c < 3; ++c) ASSERT_GE(now[c], previous[c] - 1e-5f) << "channel " << c << " falls at " << t;
            EXPECT_NEAR(now[0], now[1], 2e-3f) << t;
            EXPECT_NEAR(now[2], now[1], 2e-3f) << t;
            previous = now;
        }
    }
}

TEST(LookTables, FilmStocksAndCurvesKeepMidGreyNearlyNeutral) {
    for (const auto& name : entriesIn({"2-CURVES/", "3A-NEGATIVE/", "3B-NEGATIVE_GEN 2/", "PRINT/", "POST PROCESS/"})) {
        SCOPED_TRACE(name);
        const Rgb grey = sample(bundleTable(name), {kMidGrey, kMidGrey, kMidGrey});
        const auto [lo, hi] = std::minmax({grey[0], grey[1], grey[2]});
        EXPECT_LT(hi - lo, 0.03f);
        EXPECT_NEAR((grey[0] + grey[1] + grey[2]) / 3.0f, kMidGrey, 0.04f);
    }
}

TEST(LookTables, MajorPalettesAreBrighterAndMoreOpenThanMinorOnes) {
    const Rgb shadow{0.25f, 0.25f, 0.25f};
    float darkestMajor = 1.0f, brightestMinor = 0.0f;
    float lowestMajorShadow = 1.0f, highestMinorShadow = 0.0f;
    for (const auto& name : entriesIn({"3C-MAJOR/", "3D-MINOR/"})) {
        const auto& table = bundleTable(name);
        const Rgb grey = sample(table, {kMidGrey, kMidGrey, kMidGrey});
        const float level = (grey[0] + grey[1] + grey[2]) / 3.0f;
        const Rgb s = sample(table, shadow);
        const float shadowLevel = (s[0] + s[1] + s[2]) / 3.0f;
        if (inFolder(name, {"3C-MAJOR/"})) {
            darkestMajor = std::min(darkestMajor, level);
            lowestMajorShadow = std::min(lowestMajorShadow, shadowLevel);
        } else {
            brightestMinor = std::max(brightestMinor, level);
            highestMinorShadow = std::max(highestMinorShadow, shadowLevel);
        }
    }
    EXPECT_GT(darkestMajor, brightestMinor);
    EXPECT_GT(lowestMajorShadow, highestMinorShadow);
}

// Two options that silently bake the same table would offer the user a
// choice that does nothing; only recipes that say the same thing on purpose
// may give the same table.
TEST(LookTables, EveryTableDiffersFromTheOthersOfItsFolderUnlessItsRecipeIsTheSame) {
    std::map<std::string, std::vector<std::string>> byFolder;
    for (const auto& name : expectedLutEntries()) byFolder[name.substr(0, name.find('/'))].push_back(name);
    for (const auto& [folder, names] : byFolder)
        for (size_t i = 0; i < names.size(); ++i)
            for (size_t j = i + 1; j < names.size(); ++j) {
                if (recipeFor(names[i]).values() == recipeFor(names[j]).values()) continue;
                const auto& a = bundleTable(names[i]).data;
                const auto& b = bundleTable(names[j]).data;
                float largest = 0.0f;
                for (size_t k = 0; k < a.size() && k < b.size(); ++k)
                    largest = std::max(largest, std::abs(a[k] - b[k]));
                EXPECT_GT(largest, 1e-3f) << names[i] << " and " << names[j] << " are the same table";
            }
}

// The chain clamps to the working range right after the input transform and
// before every later table lookup, so a lattice value outside it is cut away
// anyway; on the way it steepens its cells and skews partial intensities.
TEST(LookTables, EveryTableBeforeTheOutputHoldsValuesInTheWorkingRange) {
    const auto names = entriesIn({"GAMUT LIMIT/", "1-IDT/", "3A-NEGATIVE/", "3B-NEGATIVE_GEN 2/", "3C-MAJOR/",
                                  "3D-MINOR/", "PRINT/", "POST PROCESS/"});
    ASSERT_GT(names.size(), 90u);
    for (const auto& name : names) {
        const auto [lo, hi] = std::minmax_element(bundleTable(name).data.begin(), bundleTable(name).data.end());
        EXPECT_GE(*lo, 0.0f) << name;
        EXPECT_LE(*hi, 1.0f) << name;
    }
}

// A smooth gradient must stay smooth through every look: film and palette
// models that push saturated colours far outside the working range leave
// hard edges where the chain clamps them (the Ektachrome greens stepped by
// 0.077 per 1/1024). Looks are steeper than decodes, so the bound is looser.
TEST(LookTables, NoLookJumpsOverOneStepOfATenBitCodeValue) {
    for (const auto& name : entriesIn({"GAMUT LIMIT/", "3A-NEGATIVE/", "3B-NEGATIVE_GEN 2/", "3C-MAJOR/", "3D-MINOR/",
                                       "PRINT/", "POST PROCESS/"})) {
        const Step step = largestStepOfRandomWalks(bundleTable(name));
        EXPECT_LE(step.size, 0.025f) << name << " " << step;
    }
}

// Mean absolute difference over the lattice points inside [0.1, 0.9] on every
// axis (the colours a picture mostly holds), after the clamp the chain applies.
float meanDifferenceInside(const std::vector<float>& a, const std::vector<float>& b, uint32_t size) {
    const uint32_t first = uint32_t(std::ceil(0.1 * (size - 1))), last = uint32_t(std::floor(0.9 * (size - 1)));
    double sum = 0.0;
    size_t count = 0;
    for (uint32_t z = first; z <= last; ++z)
        for (uint32_t y = first; y <= last; ++y)
            for (uint32_t x = first; x <= last; ++x)
                for (uint32_t c = 0; c < 3; ++c) {
                    const size_t i = ((size_t(z) * size + y) * size + x) * 3 + c;
                    sum += std::abs(std::clamp(a[i], 0.0f, 1.0f) - std::clamp(b[i], 0.0f, 1.0f));
                    ++count;
                }
    return float(sum / double(count));
}

// A stock or palette that looks like its neighbour on screen is a choice that
// does nothing for the user.
TEST(LookTables, EveryLookDiffersVisiblyFromTheOthersOfItsFolder) {
    for (const char* folder :
         {"3A-NEGATIVE/", "3B-NEGATIVE_GEN 2/", "3C-MAJOR/", "3D-MINOR/", "PRINT/", "POST PROCESS/"}) {
        const auto names = entriesIn({folder});
        ASSERT_GE(names.size(), 2u) << folder;
        for (size_t i = 0; i < names.size(); ++i)
            for (size_t j = i + 1; j < names.size(); ++j) {
                const auto& a = bundleTable(names[i]);
                const auto& b = bundleTable(names[j]);
                ASSERT_EQ(a.m_dims, b.m_dims);
                EXPECT_GE(meanDifferenceInside(a.data, b.data, a.m_dims), 0.01f) << names[i] << " and " << names[j];
            }
    }
}

}  // namespace
}  // namespace tonemill::lookdata_test
