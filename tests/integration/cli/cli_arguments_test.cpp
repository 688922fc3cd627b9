// Parsing of what users type: assignments, look files, frame patterns.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/frame_range.h"
#include "tools/tonemill/look_assignments.h"

namespace tonemill::cli {
namespace {

TEST(FramePatterns, ExpandPaddedAndPlainNumbers) {
  EXPECT_EQ(pathForFrame("shot.%04d.exr", 7), "shot.0007.exr");
  EXPECT_EQ(pathForFrame("shot.%d.exr", 1234), "shot.1234.exr");
  EXPECT_EQ(pathForFrame("shot.%03d.exr", -5), "shot.-005.exr");
  EXPECT_EQ(pathForFrame("still.exr", 9), "still.exr");
  EXPECT_THROW(pathForFrame("100%.exr", 1), UsageError);
  EXPECT_THROW(pathForFrame("a.%04d.%04d.exr", 1), UsageError);
}

TEST(FramePatterns, RangesAreOrderedWholeNumbers) {
  const FrameRange range = parseFrameRange("10-12");
  EXPECT_EQ(range.first, 10);
  EXPECT_EQ(range.last, 12);
  EXPECT_EQ(parseFrameRange("-2-1").first, -2);
  EXPECT_EQ(parseFrameRange("5").last, 5);
  EXPECT_THROW(parseFrameRange("12-10"), UsageError);
  EXPECT_THROW(parseFrameRange("a-b"), UsageError);
  EXPECT_THROW(parseFrameRange("1-2x"), UsageError);
}

TEST(LookFiles, SkipCommentsAndNameTheFaultyLine) {
  const std::string path = ::testing::TempDir() + "look_files_test.look";
  {
    std::ofstream look(path);
    look << "# a comment\n\n  gain = 1.2 \nidtProfile=ARRI Log C\n";
  }
  const auto assignments = readLookFile(path);
  ASSERT_EQ(assignments.size(), 2u);
  EXPECT_EQ(assignments[0].name, "gain");
  EXPECT_EQ(assignments[0].value, "1.2");
  EXPECT_EQ(assignments[1].value, "ARRI Log C");
  EXPECT_EQ(assignments[1].origin, path + ":4");
  {
    std::ofstream look(path);
    look << "gain=1\nnot an assignment\n";
  }
  try {
    readLookFile(path);
    FAIL() << "a line without '=' was accepted";
  } catch (const CliError &error) {
    EXPECT_NE(std::string(error.what()).find(path + ":2"), std::string::npos) << error.what();
  }
  std::remove(path.c_str());
  EXPECT_THROW(readLookFile(path), CliError);
}

TEST(Suggestions, NearNamesComeFirst) {
  const std::vector<std::string> names{"gain", "gainR", "gamma", "idtProfile", "outputProfileOptions"};
  const auto suggestions = closestNames("idtProfil", names);
  ASSERT_FALSE(suggestions.empty());
  EXPECT_EQ(suggestions.front(), "idtProfile");
  EXPECT_TRUE(closestNames("zzzzzzzzzzzzzzzz", names).empty());
}

}  // namespace
}  // namespace tonemill::cli
