#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "formats/cube_reader.h"
#include "formats/cube_writer.h"
#include "tests/unit/formats/formats_test_support.h"

namespace ChromvaleBeta2 {
namespace {

using testing::filesIn;
using testing::readBytes;
using testing::ScratchFolder;
using testing::StdoutCapture;
using testing::writeBytes;

std::vector<float> lattice(uint32_t n) {
    std::vector<float> data;
    for (uint32_t b = 0; b < n; ++b) {
        for (uint32_t g = 0; g < n; ++g) {
            for (uint32_t r = 0; r < n; ++r) {
                data.insert(data.end(), {r / float(n - 1), g / float(n - 1) - 0.5f, b * 1.7f});
            }
        }
    }
    return data;
}

TEST(CubeWriter, WritesTheMinimalTextWithTenDecimals) {
    ScratchFolder scratch;
    std::vector<float> data = lattice(2);
    data[0] = 1.0f / 3.0f;
    ASSERT_TRUE(writeCubeFile((scratch / "two").string(), data, 2));
    EXPECT_EQ(readBytes(scratch / "two.cube"),
              "LUT_3D_SIZE 2\n\n"
              "0.3333333433 -0.5000000000 0.0000000000\n"
              "1.0000000000 -0.5000000000 0.0000000000\n"
              "0.0000000000 0.5000000000 0.0000000000\n"
              "1.0000000000 0.5000000000 0.0000000000\n"
              "0.0000000000 -0.5000000000 1.7000000477\n"
              "1.0000000000 -0.5000000000 1.7000000477\n"
              "0.0000000000 0.5000000000 1.7000000477\n"
              "1.0000000000 0.5000000000 1.7000000477\n");
}

TEST(CubeWriter, CompletesTheExtensionOnlyWhenMissing) {
    ScratchFolder scratch;
    for (const std::string name : {"plain", "look.cube", "look.txt"}) {
        ASSERT_TRUE(writeCubeFile((scratch / name).string(), lattice(2), 2));
    }
    EXPECT_EQ(filesIn(scratch.path()), (std::vector<std::string>{"look.cube", "look.txt.cube", "plain.cube"}));
}

TEST(CubeWriter, TheReaderReadsEveryFileBack) {
    ScratchFolder scratch;
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> data = lattice(33);
    data[3] = std::numeric_limits<float>::quiet_NaN();
    data[4] = inf;
    data[5] = -inf;
    ASSERT_TRUE(writeCubeFile((scratch / "look.cube").string(), data, 33));

    const std::string text = readBytes(scratch / "look.cube");
    LutTable table;
    StdoutCapture output;
    ASSERT_TRUE(parseCube(table, text.c_str()));
    EXPECT_EQ(output.take(), "");
    EXPECT_EQ(table.m_dims, 33u);
    ASSERT_EQ(table.data.size(), data.size());
    EXPECT_EQ(table.data[3], 0.0f);
    EXPECT_EQ(table.data[4], std::numeric_limits<float>::max());
    EXPECT_EQ(table.data[5], -std::numeric_limits<float>::max());
    for (std::size_t i = 6; i < data.size(); ++i) {
        ASSERT_NEAR(table.data[i], data[i], 1e-9) << "float " << i;
    }
}

TEST(CubeWriter, FailuresLeaveNothingHalfWrittenAndNoTemporaryFile) {
    ScratchFolder scratch;
    writeBytes(scratch / "old.cube", "earlier export");
    StdoutCapture output;

    // Too few values for the size: refused before anything is written.
    EXPECT_FALSE(writeCubeFile((scratch / "old.cube").string(), std::vector<float>(7), 2));
    EXPECT_EQ(output.take(), "Could not write file " + (scratch / "old.cube").string() +
                                 ": 7 values do not make a table of 2 points per axis\n");
    EXPECT_FALSE(writeCubeFile((scratch / "old.cube").string(), {}, 0));
    output.take();
    EXPECT_EQ(readBytes(scratch / "old.cube"), "earlier export");

    const std::string noFolder = (scratch / "no/such/folder/look.cube").string();
    EXPECT_FALSE(writeCubeFile(noFolder, lattice(2), 2));
    EXPECT_EQ(output.take(), "Could not open file " + noFolder + " for writing\n");

    // A folder in the way of the rename: the written file must not linger.
    std::filesystem::create_directories(scratch / "taken.cube/inside");
    EXPECT_FALSE(writeCubeFile((scratch / "taken").string(), lattice(2), 2));
    EXPECT_EQ(output.take().rfind("Could not write file " + (scratch / "taken.cube").string() + ": ", 0), 0u);
    EXPECT_EQ(filesIn(scratch.path()), (std::vector<std::string>{"old.cube", "taken.cube"}));

    // An existing file is replaced whole.
    ASSERT_TRUE(writeCubeFile((scratch / "old").string(), lattice(2), 2));
    EXPECT_EQ(readBytes(scratch / "old.cube").rfind("LUT_3D_SIZE 2\n\n", 0), 0u);
}

}  // namespace
}  // namespace ChromvaleBeta2
