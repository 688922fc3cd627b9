#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "formats/cube_reader.h"
#include "formats/lut_archive.h"
#include "tests/unit/formats/formats_test_support.h"

namespace ChromvaleBeta2 {
namespace {

using testing::RawArchive;
using testing::ScratchFolder;
using testing::StdoutCapture;
using testing::writeBytes;

struct Parsed {
    bool ok;
    LutTable table;
    std::string output;
};

Parsed parse(const std::string& text) {
    StdoutCapture output;
    Parsed parsed;
    parsed.ok = parseCube(parsed.table, text.c_str());
    parsed.output = output.take();
    return parsed;
}

// A 2-point 3D table whose entry i holds i/10, i/100, i/1000.
const std::vector<float> kTwoPointData = [] {
    std::vector<float> data;
    for (int i = 0; i < 8; ++i) {
        data.insert(data.end(), {i / 10.0f, i / 100.0f, i / 1000.0f});
    }
    return data;
}();

std::string twoPointTable(const std::string& lineEnd) {
    std::string text;
    for (int i = 0; i < 8; ++i) {
        text += std::to_string(i / 10.0) + " " + std::to_string(i / 100.0) + " " + std::to_string(i / 1000.0) + lineEnd;
    }
    return text;
}

void expectTwoPointTable(const Parsed& parsed) {
    ASSERT_TRUE(parsed.ok) << parsed.output;
    EXPECT_EQ(parsed.table.kind, LutTable::kKind3D);
    EXPECT_EQ(parsed.table.m_dims, 2u);
    ASSERT_EQ(parsed.table.data.size(), kTwoPointData.size());
    for (std::size_t i = 0; i < kTwoPointData.size(); ++i) {
        EXPECT_FLOAT_EQ(parsed.table.data[i], kTwoPointData[i]) << "float " << i;
    }
}

TEST(CubeReader, LineEndsOfEveryPlatformGiveTheSameTable) {
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        const Parsed parsed = parse("LUT_3D_SIZE 2" + lineEnd + twoPointTable(lineEnd));
        expectTwoPointTable(parsed);
        EXPECT_EQ(parsed.output, "");
    }
    const Parsed classicMac = parse("LUT_3D_SIZE 2\r" + twoPointTable("\r"));
    expectTwoPointTable(classicMac);
    EXPECT_EQ(classicMac.output, "Use linefeed as delim\n");
}

TEST(CubeReader, HeaderNoiseCommentsAndBlankLinesAreSkippedAnywhere) {
    std::string table = twoPointTable("\n");
    table.insert(table.find('\n') + 1, "\n# between table lines\n\n");
    table.pop_back();  // the last line need not end with a delimiter
    expectTwoPointTable(
        parse("# made by hand\n\nTITLE \"two # points\"\nDOMAIN_MIN 0 0 0\n"
              "DOMAIN_MAX 2 2 2\n   LUT_3D_SIZE 2\n\n" +
              table));
    // Lower-case keywords and exponents are read after upper-casing.
    expectTwoPointTable(parse("lut_3d_size 2\n" + twoPointTable("\n")));
    const Parsed lowerSized = parse("lut_1d_size 1\n1e-3 2.5e+1 -1E0\n");
    ASSERT_TRUE(lowerSized.ok) << lowerSized.output;
    EXPECT_EQ(lowerSized.table.kind, LutTable::kKind1D);
    EXPECT_EQ(lowerSized.table.data, (std::vector<float>{0.001f, 25.0f, -1.0f}));
    // A zero size does not count as the first size keyword.
    const Parsed late1D = parse("LUT_3D_SIZE 0\nLUT_1D_SIZE 2\n1 1 1\n2 2 2\n");
    ASSERT_TRUE(late1D.ok) << late1D.output;
    EXPECT_EQ(late1D.table.kind, LutTable::kKind1D);
    EXPECT_EQ(late1D.table.m_dims, 2u);
    // Surplus lines after the last entry are never read.
    const Parsed surplus = parse("LUT_1D_SIZE 1\n1 1 1\n2 2 2\nnot even a table line\n");
    EXPECT_TRUE(surplus.ok);
    EXPECT_EQ(surplus.table.data.size(), 3u);
}

TEST(CubeReader, NumbersAreReadLikeScanfInTheCLocale) {
    const Parsed parsed = parse(
        "LUT_1D_SIZE 7\n"
        "0.5\n"           // missing components are 0
        "   \n"           // a line of blanks is three zeros
        "0,5 0,5 0,5\n"   // a decimal comma ends the reading
        "+.25 -2. 1E2\n"  // signs, bare points, exponents
        "1.5.25 3 4\n"    // the second number starts at the second point
        "1E39 -1E39 1E-50\n"
        "1 2 3 4 5\n");  // numbers after the third are ignored
    ASSERT_TRUE(parsed.ok) << parsed.output;
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(parsed.table.data, (std::vector<float>{0.5f,   0,    0,     0,    0,   0,    0,    0, 0, 0.25f, -2.0f,
                                                     100.0f, 1.5f, 0.25f, 3.0f, inf, -inf, 0.0f, 1, 2, 3}));
    EXPECT_EQ(parsed.output, "");
}

struct Rejection {
    const char* text;
    const char* output;
};

TEST(CubeReader, EveryRejectionSaysWhyAndLeavesTheTableEmpty) {
    const Rejection cases[] = {
        {"", "Unexpected end of file "},
        {"TITLE \"only a header\"\n# nothing else\n", "Unexpected end of file "},
        // Tabs are not table characters, so the lines stay in the header.
        {"LUT_1D_SIZE 2\n0.1\t0.2\t0.3\n0.4\t0.5\t0.6\n", "Unexpected end of file "},
        {"LUT_3D_SIZE 2\nLUT_3D_SIZE 2\n1 1 1\n", "Duplicated keyword LUT_3D_SIZE - "},
        {"LUT_3D_SIZE 33\nLUT_1D_SIZE 1024\n1 1 1\n", "Duplicated keyword LUT_1D_SIZE - "},
        {"LUT_1D_SIZE 4\nLUT_3D_SIZE 2\n1 1 1\n", "Duplicated keyword LUT_3D_SIZE - "},
        {"TITLE \"no size\"\n1 1 1\n", "m_dims == 0, .cube file is corrupted\n"},
        {"LUT_3D_SIZE zero\n1 1 1\n", "m_dims == 0, .cube file is corrupted\n"},
        {"LUT_3D_SIZE -2\n1 1 1\n", "m_dims == 0, .cube file is corrupted\n"},
        // Before the first table line the same line would pass as a keyword line.
        {"LUT_1D_SIZE 2\n1 1 1\n0.1 0.2 0.3 # note\n",
         "The line must contain only digits, file is corrupted (0.1 0.2 0.3 # NOTE)\n"},
        {"LUT_1D_SIZE 2\n1 1 1\n0.1\t0.2\t0.3\n",
         "The line must contain only digits, file is corrupted (0.1\t0.2\t0.3)\n"},
        {"LUT_3D_SIZE 2\n1 1 1\n1 1 1\n", "Unexpected end of file during parsing - "},
        // Sizes whose table could not be allocated or indexed.
        {"LUT_3D_SIZE 257\n1 1 1\n", "Unsupported LUT_3D_SIZE 257, at most 256 points per axis - "},
        {"LUT_3D_SIZE 2642246\n1 1 1\n", "Unsupported LUT_3D_SIZE 2642246, at most 256 points per axis - "},
        {"LUT_3D_SIZE 99999999999999999999999\n1 1 1\n",
         "Unsupported LUT_3D_SIZE 99999999999999999999999, at most 256 points per axis - "},
        {"LUT_1D_SIZE 65537\n1 1 1\n", "Unsupported LUT_1D_SIZE 65537, at most 65536 entries - "},
        {"LUT_1D_SIZE 4294967297\n1 1 1\n", "Unsupported LUT_1D_SIZE 4294967297, at most 65536 entries - "},
    };
    for (const Rejection& rejection : cases) {
        const Parsed parsed = parse(rejection.text);
        EXPECT_FALSE(parsed.ok) << rejection.text;
        EXPECT_EQ(parsed.output, rejection.output) << rejection.text;
        EXPECT_EQ(parsed.table.m_dims, 0u) << rejection.text;
        EXPECT_TRUE(parsed.table.data.empty()) << rejection.text;
    }
}

TEST(CubeReader, LargestSizesAreAcceptedWithoutReservingForTheWholeTable) {
    // A short text claiming the largest table fails at its end, having
    // allocated no more than the text could fill.
    const Parsed parsed = parse("LUT_3D_SIZE 256\n1 1 1\n");
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.output, "Unexpected end of file during parsing - ");
    EXPECT_LT(parsed.table.data.capacity(), 1000u);

    std::string full = "LUT_1D_SIZE 65536\n";
    for (int i = 0; i < 65536; ++i) {
        full += "1 2 3\n";
    }
    const Parsed largest = parse(full);
    ASSERT_TRUE(largest.ok) << largest.output;
    EXPECT_EQ(largest.table.data.size(), 65536u * 3);
}

class CubeLoading : public ::testing::Test {
 protected:
    void SetUp() override {
        writeBytes(scratch / "data.bin", RawArchive()
                                             .entry("2-CURVES/Soft.cube", "LUT_1D_SIZE 2\n0 0 0\n1 1 1\n")
                                             .entry("2-CURVES/Broken.cube", "LUT_1D_SIZE 2\n0 0 0\n")
                                             .entry("", "LUT_1D_SIZE 1\n0.5 0.5 0.5\n")
                                             .bytes());
        ASSERT_TRUE(archive.open((scratch / "data.bin").string()));
    }

    ScratchFolder scratch;
    LutArchive archive;
    StdoutCapture output;
};

TEST_F(CubeLoading, LoadsOnceAndRemembersTheName) {
    LutTable table;
    ASSERT_TRUE(loadFromArchive(table, archive, "2-CURVES/Soft.cube"));
    EXPECT_EQ(table.name, "2-CURVES/Soft.cube");
    EXPECT_EQ(table.data, (std::vector<float>{0, 0, 0, 1, 1, 1}));
    // The second request for the same name reads nothing: not even an archive
    // that was never opened is asked.
    LutArchive closed;
    EXPECT_TRUE(loadFromArchive(table, closed, "2-CURVES/Soft.cube"));
    EXPECT_EQ(output.take(), "");
}

TEST_F(CubeLoading, FailuresAreCompletedWithTheNameAndKeepTheOldTable) {
    LutTable table;
    ASSERT_TRUE(loadFromArchive(table, archive, "2-CURVES/Soft.cube"));
    EXPECT_FALSE(loadFromArchive(table, archive, "2-CURVES/Broken.cube"));
    EXPECT_EQ(output.take(), "Unexpected end of file during parsing - 2-CURVES/Broken.cube\n");
    EXPECT_FALSE(loadFromArchive(table, archive, "2-CURVES/Missing.cube"));
    EXPECT_EQ(output.take(), "fileName not found 2-CURVES/Missing.cube\n");
    EXPECT_EQ(table.name, "2-CURVES/Soft.cube");
    EXPECT_EQ(table.data, (std::vector<float>{0, 0, 0, 1, 1, 1}));
}

TEST_F(CubeLoading, AnEmptyEntryNameIsLoadedNotTakenForTheNewTablesName) {
    LutTable table;
    ASSERT_TRUE(loadFromArchive(table, archive, ""));
    EXPECT_EQ(table.data, (std::vector<float>{0.5f, 0.5f, 0.5f}));
}

}  // namespace
}  // namespace ChromvaleBeta2
