// Where the command line finds its shipped looks, and what it reads of them.
#include "tools/tonemill/shipped_looks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using tonemill::cli::shippedLookFolders;
using tonemill::cli::shippedLooks;

class ShippedLooksTest : public ::testing::Test {
 protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) / "tonemill-shipped-looks";
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "looks");
    }
    void TearDown() override { fs::remove_all(folder_); }
    void write(const std::string& name, const std::string& text) { std::ofstream(folder_ / "looks" / name) << text; }
    fs::path folder_;
};

TEST_F(ShippedLooksTest, ListsLookFilesByNameWithTheirFirstCommentAsPurpose) {
    write("warm.look", "\n#  Warm light for exteriors.  \n# more notes\ntemperature=900\n");
    write("bare.look", "gain=1.1\n# a comment after the values is no purpose\n");
    write("README.txt", "# not a look\n");
    const auto looks = shippedLooks({folder_ / "absent", folder_ / "looks"});
    ASSERT_EQ(looks.size(), 2u);
    EXPECT_EQ(looks[0].name, "bare");
    EXPECT_EQ(looks[0].purpose, "");
    EXPECT_EQ(looks[1].name, "warm");
    EXPECT_EQ(looks[1].purpose, "Warm light for exteriors.");
    EXPECT_EQ(looks[1].path, folder_ / "looks" / "warm.look");
    EXPECT_TRUE(shippedLooks({folder_ / "absent"}).empty());
}

TEST(ShippedLookFolders, AnInstalledPrefixComesFirstThenTheBundlesInTheOrderTheyAreSearched) {
    const auto installed = shippedLookFolders("/footage/plugins", "/opt/grade/bin/tonemill");
    ASSERT_FALSE(installed.empty());
    EXPECT_EQ(installed.front(), fs::path("/opt/grade/share/tonemill/looks"));
    // Then the bundle of OFX_PLUGIN_PATH, which would be loaded, before the one beside the program.
    const auto listed = std::find(installed.begin(), installed.end(),
                                  fs::path("/footage/plugins/Tonemill.ofx.bundle/Contents/Resources/looks"));
    const auto beside = std::find(installed.begin(), installed.end(),
                                  fs::path("/opt/grade/OFX/Plugins/Tonemill.ofx.bundle/Contents/Resources/looks"));
    EXPECT_NE(beside, installed.end());
    EXPECT_LT(listed, beside);
    const auto built = shippedLookFolders(nullptr, "/src/build/tools/tonemill/tonemill");
    EXPECT_NE(
        std::find(built.begin(), built.end(), fs::path("/src/build/Tonemill.ofx.bundle/Contents/Resources/looks")),
        built.end());
    // Where the program's place is unknown, only the system's bundle is left.
    EXPECT_EQ(shippedLookFolders(nullptr, ""),
              std::vector<fs::path>{"/usr/OFX/Plugins/Tonemill.ofx.bundle/Contents/Resources/looks"});
}

}  // namespace
