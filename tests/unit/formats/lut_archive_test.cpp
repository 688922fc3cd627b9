#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <thread>

#include "formats/lut_archive.h"
#include "tests/unit/formats/formats_test_support.h"
#include "tools/pack/archive_writer.h"

namespace ChromvaleBeta2 {
namespace {

using testing::RawArchive;
using testing::readBytes;
using testing::ScratchFolder;
using testing::StdoutCapture;
using testing::writeBytes;

std::string extracted(LutArchive& archive, const std::string& name) {
    std::vector<unsigned char> out;
    EXPECT_TRUE(archive.extract(name, out)) << name;
    EXPECT_FALSE(out.empty());
    EXPECT_EQ(out.back(), 0) << "the body must end with a NUL byte";
    return {out.begin(), out.end() - (out.empty() ? 0 : 1)};
}

std::string binaryBody() {
    std::string body;
    for (int i = 0; i < 1000; ++i) {
        body += static_cast<char>(i * 7);
    }
    return body;
}

TEST(PackedArchive, EveryFileOfAFolderExtractsByteExact) {
    ScratchFolder scratch;
    const std::map<std::string, std::string> files = {
        {"1-IDT/ARRI LogC3.cube", "LUT_3D_SIZE 2\n"},
        {"3B-NEGATIVE_GEN 2/Stock.cube", "TITLE \"x\"\r\nLUT_1D_SIZE 4\r\n"},
        {"OCL/lut_cuda.h", binaryBody()},
        {"empty", ""},
        {"z/deep/er/file", "deep"},
    };
    for (const auto& [name, body] : files) {
        writeBytes(scratch / ("tree/" + name), body);
    }
    writeArchive(collectFolder(scratch / "tree"), scratch / "data.bin");

    LutArchive archive;
    ASSERT_TRUE(archive.open((scratch / "data.bin").string()));
    std::vector<std::string> names;
    for (const auto& [name, body] : files) {
        names.push_back(name);
        EXPECT_EQ(extracted(archive, name), body) << name;
    }
    EXPECT_EQ(archive.entryNames(), names);

    // The same folder packs to the same bytes, whatever the file times.
    std::filesystem::last_write_time(scratch / "tree/empty",
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(24));
    writeArchive(collectFolder(scratch / "tree"), scratch / "again.bin");
    EXPECT_EQ(readBytes(scratch / "data.bin"), readBytes(scratch / "again.bin"));
}

TEST(PackedArchive, PackerRefusesNamesTheReaderCannotHold) {
    ScratchFolder scratch;
    writeBytes(scratch / "a", "x");
    writeBytes(scratch / "b", "y");
    EXPECT_THROW(writeArchive({{std::string(256, 'n'), scratch / "a"}}, scratch / "out.bin"), std::runtime_error);
    EXPECT_THROW(writeArchive({{"same", scratch / "a"}, {"same", scratch / "b"}}, scratch / "out.bin"),
                 std::runtime_error);
    EXPECT_THROW(writeArchive({{"gone", scratch / "missing"}}, scratch / "out.bin"), std::exception);
    EXPECT_FALSE(std::filesystem::exists(scratch / "out.bin"));

    writeArchive({{std::string(255, 'n'), scratch / "a"}}, scratch / "out.bin");
    LutArchive archive;
    ASSERT_TRUE(archive.open((scratch / "out.bin").string()));
    EXPECT_EQ(extracted(archive, std::string(255, 'n')), "x");
}

TEST(ArchiveIndex, KeyRunsOnAcrossEntriesAndRestartsForEachBody) {
    ScratchFolder scratch;
    // The second entry starts at key position 120; bodies start at 0.
    writeBytes(
        scratch / "data.bin",
        RawArchive().entry("first.cube", "first body").entry("second.cube", binaryBody()).entry("third", "3").bytes());
    LutArchive archive;
    ASSERT_TRUE(archive.open((scratch / "data.bin").string()));
    EXPECT_EQ(archive.entryNames(), (std::vector<std::string>{"first.cube", "second.cube", "third"}));
    EXPECT_EQ(extracted(archive, "second.cube"), binaryBody());
    EXPECT_EQ(extracted(archive, "third"), "3");
}

TEST(ArchiveIndex, IndexLayoutEdges) {
    ScratchFolder scratch;
    // A remainder after the last whole entry is ignored.
    writeBytes(scratch / "tail.bin", RawArchive().entry("a", "A").indexTail(std::string(263, 'x')).bytes());
    // The later of two entries with one name wins.
    writeBytes(scratch / "twice.bin", RawArchive().entry("dup", "old").entry("dup", "new").bytes());
    // A 256-byte name ends on the first byte of its offset, which is 0 here.
    writeBytes(scratch / "long.bin", RawArchive().entryAt(std::string(256, 'n'), 0x100, 0).bytes());
    writeBytes(scratch / "short.bin", "abc");

    StdoutCapture output;
    LutArchive tail;
    ASSERT_TRUE(tail.open((scratch / "tail.bin").string()));
    EXPECT_EQ(tail.entryNames(), std::vector<std::string>{"a"});
    EXPECT_EQ(extracted(tail, "a"), "A");

    LutArchive twice;
    ASSERT_TRUE(twice.open((scratch / "twice.bin").string()));
    EXPECT_EQ(extracted(twice, "dup"), "new");

    LutArchive longName;
    ASSERT_TRUE(longName.open((scratch / "long.bin").string()));
    EXPECT_EQ(longName.entryNames(), std::vector<std::string>{std::string(256, 'n')});

    LutArchive tooShort;
    ASSERT_TRUE(tooShort.open((scratch / "short.bin").string()));
    EXPECT_TRUE(tooShort.entryNames().empty());
    EXPECT_EQ(output.take(), "");
}

TEST(ArchiveIndex, OpenFailuresSayWhatAndLeaveTheArchiveClosed) {
    ScratchFolder scratch;
    const std::string missing = (scratch / "missing.bin").string();
    writeBytes(scratch / "corrupt.bin", RawArchive().entry("ok", "1").entryAt(std::string(257, 'n'), 0, 0).bytes());
    std::string lying = RawArchive().entry("a", "A").bytes();
    lying[2] = 0x10;  // index length far beyond the file
    writeBytes(scratch / "lying.bin", lying);

    StdoutCapture output;
    const std::pair<std::string, std::string> cases[] = {
        {missing, "Cannot open archive - " + missing + ", error: " + std::to_string(ENOENT) + "\n"},
        {scratch.path().string(),
         "Cannot open archive - " + scratch.path().string() + ", error: " + std::to_string(EISDIR) + "\n"},
        {(scratch / "corrupt.bin").string(), "Archive is corrupted\n"},
        {(scratch / "lying.bin").string(), "Archive is corrupted - its index of 1048840 bytes runs past the end of " +
                                               (scratch / "lying.bin").string() + "\n"},
    };
    for (const auto& [path, message] : cases) {
        LutArchive archive;
        EXPECT_FALSE(archive.open(path));
        EXPECT_EQ(output.take(), message);
        EXPECT_FALSE(archive.isOpen());
        EXPECT_TRUE(archive.entryNames().empty());
    }
}

TEST(ArchiveIndex, ReopeningTheSamePathReadsNothingAnotherPathReplacesTheIndex) {
    ScratchFolder scratch;
    writeBytes(scratch / "one.bin", RawArchive().entry("one", "1").bytes());
    writeBytes(scratch / "two.bin", RawArchive().entry("two", "2").bytes());
    LutArchive archive;
    ASSERT_TRUE(archive.open((scratch / "one.bin").string()));
    std::filesystem::remove(scratch / "one.bin");
    EXPECT_TRUE(archive.open((scratch / "one.bin").string()));
    EXPECT_EQ(extracted(archive, "one"), "1");

    ASSERT_TRUE(archive.open((scratch / "two.bin").string()));
    EXPECT_EQ(archive.entryNames(), std::vector<std::string>{"two"});

    StdoutCapture output;
    EXPECT_FALSE(archive.open((scratch / "one.bin").string()));
    output.take();
    std::vector<unsigned char> out;
    EXPECT_FALSE(archive.extract("two", out));
    EXPECT_EQ(output.take(), "Archive is not opened yet\n");
}

TEST(ArchiveExtract, RefusalsNameTheEntryAndLeaveTheBufferAlone) {
    ScratchFolder scratch;
    const std::string body = "0123456789";
    std::string file = RawArchive()
                           .entry("Good.cube", body)
                           .entry("empty", "")
                           .entryAt("past-end", 4, 1u << 20)
                           .entryAt("huge", 0, 0xFFFFFFFFu)
                           .entryAt("far", 0xFFFFFFF0u, 0x20)
                           .bytes();
    writeBytes(scratch / "data.bin", file);
    LutArchive archive;
    StdoutCapture output;
    ASSERT_TRUE(archive.open((scratch / "data.bin").string()));

    EXPECT_EQ(extracted(archive, "empty"), "");
    const std::vector<unsigned char> untouched = {'k', 'e', 'e', 'p'};
    const std::string size = std::to_string(file.size());
    const std::pair<std::string, std::string> cases[] = {
        {"good.cube", "fileName not found good.cube\n"},
        {"Good", "fileName not found Good\n"},
        {"past-end", "Archive entry past-end reaches past the end of the archive (offset 4, size 1048576, archive " +
                         size + " bytes)\n"},
        {"huge", "Archive entry huge reaches past the end of the archive (offset 0, size 4294967295, archive " + size +
                     " bytes)\n"},
        {"far", "Archive entry far reaches past the end of the archive (offset 4294967280, size 32, archive " + size +
                    " bytes)\n"},
    };
    for (const auto& [name, message] : cases) {
        std::vector<unsigned char> out = untouched;
        EXPECT_FALSE(archive.extract(name, out));
        EXPECT_EQ(output.take(), message);
        EXPECT_EQ(out, untouched);
    }

    // A file cut short after opening is a failure, not a body padded with zeros.
    std::filesystem::resize_file(scratch / "data.bin", file.size() - 3);
    std::vector<unsigned char> out = untouched;
    EXPECT_FALSE(archive.extract("Good.cube", out));
    EXPECT_EQ(output.take(), "Short read of archive entry Good.cube: 7 of 10 bytes\n");
    EXPECT_EQ(out, untouched);
}

TEST(ArchiveExtract, ExtractsFromTwoThreadsDoNotMixTheirBodies) {
    ScratchFolder scratch;
    const std::string first(5000, 'a');
    const std::string second = binaryBody();
    writeBytes(scratch / "data.bin", RawArchive().entry("first", first).entry("second", second).bytes());
    LutArchive archive;
    ASSERT_TRUE(archive.open((scratch / "data.bin").string()));
    auto extractRepeatedly = [&archive](const std::string& name, const std::string& body, int& mismatches) {
        for (int i = 0; i < 3000; ++i) {
            std::vector<unsigned char> out;
            mismatches += !archive.extract(name, out) || std::string(out.begin(), out.end() - 1) != body;
        }
    };
    int firstMismatches = 0;
    int secondMismatches = 0;
    std::thread other(extractRepeatedly, "first", std::cref(first), std::ref(firstMismatches));
    extractRepeatedly("second", second, secondMismatches);
    other.join();
    EXPECT_EQ(firstMismatches + secondMismatches, 0);
}

}  // namespace
}  // namespace ChromvaleBeta2
