#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "formats/lut_archive.h"
#include "tests/unit/tools/lutgen/lookdata_fixture.h"
#include "tools/lutgen/lut_baker.h"

namespace tonemill::lookdata_test {
namespace {

// The archive ships in every bundle and every install; it grew by a fifth
// once without anyone deciding so.
TEST(ArchiveContents, StaysWithinItsSizeBudget) {
    EXPECT_LT(std::filesystem::file_size(resourcePath("data.bin")), 130'000'000u);
}

TEST(ArchiveContents, EveryEntryTheOptionsCanSelectIsAFiniteTableOfItsSlotKind) {
    const auto names = expectedLutEntries();
    ASSERT_GT(names.size(), 100u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const auto& table = bundleTable(name);
        if (lutgen::isCurveEntry(name)) {
            EXPECT_TRUE(table.is1D());
            EXPECT_EQ(table.m_dims, 4096u);
            EXPECT_EQ(table.data.size(), 4096u * 3);
        } else {
            // 33 points unless the recipe asks for a finer lattice (the zone chart).
            const auto& recipe = recipeFor(name);
            const uint32_t points = recipe.has("points") ? uint32_t(recipe.number("points")) : 33u;
            EXPECT_TRUE(table.is3D());
            EXPECT_EQ(table.m_dims, points);
            EXPECT_EQ(table.data.size(), size_t(points) * points * points * 3);
        }
        size_t nonFinite = 0;
        for (float v : table.data) nonFinite += !std::isfinite(v);
        EXPECT_EQ(nonFinite, 0u);
    }
}

TEST(ArchiveContents, HoldsExactlyTheTablesAndTheOpenClSourcesFromKernels) {
    ChromvaleBeta2::LutArchive archive;
    ASSERT_TRUE(archive.open(resourcePath("data.bin")));
    std::set<std::string> expected;
    for (const auto& name : expectedLutEntries()) expected.insert(name);
    expected.insert("OCL/lut_cuda.h");
    expected.insert("OCL/chromvale_cuda.cu");
    const auto names = archive.entryNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);

    for (const char* source : {"lut_cuda.h", "chromvale_cuda.cu"}) {
        std::vector<unsigned char> body;
        ASSERT_TRUE(archive.extract(std::string("OCL/") + source, body));
        const std::string onDisk = readWholeFile(std::string(TONEMILL_SOURCE_DIR) + "/kernels/" + source);
        EXPECT_EQ(std::string(body.begin(), body.end() - 1), onDisk) << source;
    }
}

}  // namespace
}  // namespace tonemill::lookdata_test
