// Parsing of what users type: assignments, look files, frame patterns.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/frame_range.h"
#include "tools/tonemill/numbers.h"
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

std::vector<std::int64_t> framesOf(const std::string& text, size_t cap = 100) {
    std::vector<std::int64_t> frames;
    FrameList::parse(text).forEach([&](std::int64_t frame) {
        frames.push_back(frame);
        return frames.size() < cap;
    });
    return frames;
}

TEST(FrameLists, RangesStepsAndListsInTheOrderGiven) {
    EXPECT_EQ(framesOf("10-12"), (std::vector<std::int64_t>{10, 11, 12}));
    EXPECT_EQ(framesOf("1001-1007x2"), (std::vector<std::int64_t>{1001, 1003, 1005, 1007}));
    EXPECT_EQ(framesOf("1,5,9-12"), (std::vector<std::int64_t>{1, 5, 9, 10, 11, 12}));
    EXPECT_EQ(framesOf("-2-1"), (std::vector<std::int64_t>{-2, -1, 0, 1}));
    EXPECT_EQ(framesOf("-5--4"), (std::vector<std::int64_t>{-5, -4}));
    EXPECT_EQ(FrameList::parse("1001-1100x2").count(), 50);
    EXPECT_EQ(FrameList::parse("1,5,9-12").highest(), 12);
    for (const char* wrong : {"12-10", "a-b", "1-2x", "1-9x0", "1-9x-1", "1,,2", "1,", "", "1e1", "x2"})
        EXPECT_THROW(FrameList::parse(wrong), UsageError) << wrong;
}

TEST(FrameLists, LargeFrameNumbersStopAndKeepTheirSign) {
    // The largest frame once wrapped round and rendered forever.
    EXPECT_EQ(framesOf("2147483647"), (std::vector<std::int64_t>{2147483647}));
    EXPECT_EQ(framesOf("2147483646-2147483648"), (std::vector<std::int64_t>{2147483646, 2147483647, 2147483648}));
    const std::string last = std::to_string(kMaxFrameNumber);
    EXPECT_EQ(framesOf(std::to_string(kMaxFrameNumber - 1) + "-" + last + "x5").size(), 1u);
    EXPECT_THROW(FrameList::parse(std::to_string(kMaxFrameNumber + 1)), UsageError);
    EXPECT_THROW(FrameList::parse("9223372036854775808"), UsageError);
    EXPECT_EQ(pathForFrame("o.%d.exr", -2147483648LL), "o.-2147483648.exr");
    EXPECT_EQ(pathForFrame("o.%d.exr", -kMaxFrameNumber), "o.-" + last + ".exr");
}

TEST(FramePatterns, DoublePercentIsALiteralPercent) {
    EXPECT_EQ(pathForFrame("100%%.%04d.exr", 7), "100%.0007.exr");
    EXPECT_EQ(pathForFrame("100%%.exr", 7), "100%.exr");
    EXPECT_FALSE(hasFramePattern("100%%d.exr"));
    EXPECT_THROW(pathForFrame("a.%s.exr", 1), UsageError);
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
    } catch (const CliError& error) {
        EXPECT_NE(std::string(error.what()).find(path + ":2"), std::string::npos) << error.what();
    }
    std::remove(path.c_str());
    EXPECT_THROW(readLookFile(path), CliError);
}

TEST(LookFiles, AcceptAByteOrderMarkQuotedValuesAndCommentsAfterAValue) {
    const std::string path = ::testing::TempDir() + "look_files_quoting.look";
    {
        std::ofstream look(path, std::ios::binary);
        look << "\xEF\xBB\xBFgain=1.2 # brighter\n"
                "idtProfile=\"ARRI Log C\"   # the camera\n"
                "note = '# not a comment' # a comment\n"
                "hash=#1\n";
    }
    const auto assignments = readLookFile(path);
    std::remove(path.c_str());
    ASSERT_EQ(assignments.size(), 4u);
    EXPECT_EQ(assignments[0].name, "gain");
    EXPECT_EQ(assignments[0].value, "1.2");
    EXPECT_EQ(assignments[1].value, "ARRI Log C");
    EXPECT_EQ(assignments[2].value, "# not a comment");
    EXPECT_EQ(assignments[3].value, "#1");
}

TEST(Numbers, OneRuleEverywhere) {
    EXPECT_EQ(parseReal("+1"), 1.0);
    EXPECT_EQ(parseReal("-0.5e1"), -5.0);
    EXPECT_EQ(parseReal("0e-400"), 0.0);
    EXPECT_EQ(parseInteger("+7"), 7);
    for (const char* wrong : {"1e-400", "1e400", "inf", "nan", " 1", "1 ", "0x10", "++1", "+-1", "", "+"}) {
        EXPECT_FALSE(parseReal(wrong)) << wrong;
        EXPECT_FALSE(parseInteger(wrong)) << wrong;
    }
    EXPECT_FALSE(parseInteger("1e1"));
    EXPECT_FALSE(parseInteger("1.0"));
    EXPECT_FALSE(parseInteger("9223372036854775808"));
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
