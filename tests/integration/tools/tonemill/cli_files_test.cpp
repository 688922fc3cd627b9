// Files the command line must never damage or leave behind: a full disk, a
// signal during a write, an output that names an input, frames too large to
// hold at once.
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include <OpenImageIO/imageio.h>

#include "tests/integration/tools/tonemill/command_line_fixture.h"
#include "tools/tonemill/image_reader.h"
#include "tools/tonemill/image_writer.h"

namespace {

using namespace tonemill;
using namespace tonemill::testing;

constexpr const char* kEarlier = "an earlier render that must survive\n";

// Written a band at a time, as a frame too large to hold at once would be.
void writeTallFrame(const std::string& path, int width, int height) {
    cli::ImageWriter writer(path, width, height, nullptr, {"uint8", ""});
    constexpr int kRows = 512;
    for (int top = height; top > 0; top -= kRows) {
        auto band = host::HostImage::rgbaFloat({0, std::max(0, top - kRows), width, top});
        band->fill([](int x, int y) -> host::RgbaPixel {
            return {(x % 256) / 255.0f, (y % 256) / 255.0f, 0.5f, 1.0f};
        });
        writer.writeRows(*band);
    }
    writer.commit();
}

class FileSafetyTest : public CommandLineTest {
 protected:
    void writeEarlier(const fs::path& path) const { std::ofstream(path, std::ios::binary) << kEarlier; }

    // Nothing but what the test put there: no temporary of any write.
    void expectNoTemporaries() const {
        for (const auto& entry : fs::recursive_directory_iterator(scratch_))
            EXPECT_EQ(entry.path().filename().string().find(".tonemill-"), std::string::npos) << entry.path();
    }

    static void expectOneLine(const CliRun& run, const std::string& start) {
        EXPECT_NE(run.exitCode, 0);
        EXPECT_EQ(run.errors.rfind("tonemill: " + start, 0), 0u) << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        EXPECT_EQ(run.errors.find(".tonemill-"), std::string::npos) << "the temporary's name was shown: " << run.errors;
    }

    // Every format, as the file system refuses more bytes part way through.
    void expectEveryFormatFailsCleanly(const fs::path& folder, const std::string& limit) {
        for (const std::string extension : {".png", ".jpg", ".exr", ".tif", ".dpx"}) {
            const fs::path target = folder / ("graded" + extension);
            writeEarlier(target);
            const CliRun run = tonemill({"render", target.string()}, limit);
            expectOneLine(run, "cannot write '" + target.string() + "'");
            EXPECT_EQ(readAll(target), kEarlier) << extension << " replaced the earlier file";
        }
        expectNoTemporaries();
    }
};

TEST_F(FileSafetyTest, AFileSizeLimitFailsEveryFormatAndKeepsTheEarlierFile) {
    // Past the limit writes fail with EFBIG, as they fail with ENOSPC on a full
    // disk; the signal the kernel would send first is ignored, as batch systems do.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    expectEveryFormatFailsCleanly(scratch_, "ulimit -f 16; ");
    const fs::path cube = at("look.cube");
    writeEarlier(cube);
    expectOneLine(tonemill({"bake", cube.string()}, "ulimit -f 16; "), "cannot write '" + cube.string() + "'");
    EXPECT_EQ(readAll(cube), kEarlier);
    expectNoTemporaries();
    ::sigaction(SIGXFSZ, &previous, nullptr);
}

TEST_F(FileSafetyTest, AFileSizeSignalRemovesTheTemporaryAndKeepsTheEarlierFile) {
    // Not ignored this time: the kernel's signal ends the render part way.
    struct sigaction standard {
    }, previous{};
    standard.sa_handler = SIG_DFL;
    ::sigaction(SIGXFSZ, &standard, &previous);
    const fs::path target = at("graded.exr");
    writeEarlier(target);
    const CliRun run = tonemill({"render", target.string()}, "ulimit -c 0; ulimit -f 16; ");
    ::sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(readAll(target), kEarlier);
    expectNoTemporaries();
}

TEST_F(FileSafetyTest, FormatsThatCannotReportAFullDiskAreRefused) {
    // Their writers write their own files and carry on past a failed write.
    for (const std::string extension : {".sgi", ".fits"}) {
        const fs::path target = at("graded" + extension);
        writeEarlier(target);
        expectOneLine(tonemill({"render", target.string()}), "cannot write '" + target.string() + "': OpenImageIO's");
        EXPECT_EQ(readAll(target), kEarlier);
    }
    expectNoTemporaries();
}

TEST_F(FileSafetyTest, AWriteProtectedOutputStaysAndAReplacedOneKeepsItsMode) {
    const fs::path kept = at("approved.png"), replaced = at("shared.png");
    writeEarlier(kept);
    writeEarlier(replaced);
    fs::permissions(kept, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(replaced, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    expectOneLine(tonemill({"render", kept.string()}),
                  "cannot write '" + kept.string() + "': the file there is write-protected");
    EXPECT_EQ(readAll(kept), kEarlier);

    const CliRun run = tonemill({"render", replaced.string()});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(readAll(replaced), kEarlier);
    EXPECT_EQ(fs::status(replaced).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    expectNoTemporaries();
}

TEST_F(FileSafetyTest, InfoWritesItsLogWhereNoPlantedLinkLeads) {
    // Links planted under the coming process's name, in the folder it uses for temporaries.
    const fs::path temporaries = at("tmp"), victim = at("victim.txt");
    fs::create_directories(temporaries);
    writeEarlier(victim);
    const std::string plant = "export TMPDIR=" + quoted(temporaries.string()) + "; ln -s " + quoted(victim.string()) +
                              " \"$TMPDIR/tonemill-info-$$.log\" && exec env ";
    const CliRun run = tonemill({"info"}, plant);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(readAll(victim), kEarlier);
    // Only the planted link is left: the log was removed.
    EXPECT_EQ(std::distance(fs::directory_iterator(temporaries), fs::directory_iterator()), 1);
}

TEST_F(FileSafetyTest, AFullDiskFailsEveryFormatAndKeepsTheEarlierFile) {
    const fs::path disk = at("disk");
    fs::create_directories(disk);
    if (::mount("tonemill-test", disk.c_str(), "tmpfs", 0, "size=48k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root (" << std::strerror(errno)
                     << "); the size-limit test covers it";
    struct Unmount {
        const fs::path& disk;
        ~Unmount() { ::umount(disk.c_str()); }
    } unmount{disk};
    expectEveryFormatFailsCleanly(disk, "");
}

TEST_F(FileSafetyTest, ASignalDuringAWriteRemovesTheTemporaryAndEndsWithTheSignal) {
    writeTallFrame(at("tall.png").string(), 1024, 8192);
    for (const int signal : {SIGINT, SIGTERM}) {
        // Only async-signal-safe calls between fork and exec.
        ::setenv("OFX_PLUGIN_PATH", TONEMILL_BUILD_DIR, 1);
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(::open("/dev/null", O_WRONLY), STDERR_FILENO);
            // One thread keeps the write going long enough to be caught on any machine.
            ::execl(TONEMILL_CLI, "tonemill", "--threads", "1", "render", at("tall.png").c_str(),
                    at("graded.exr").c_str(), nullptr);
            ::_exit(127);
        }
        bool writing = false;
        for (auto waited = std::chrono::steady_clock::now(); !writing;) {
            for (const auto& entry : fs::directory_iterator(scratch_))
                writing = writing || entry.path().filename().string().find(".tonemill-") != std::string::npos;
            if (std::chrono::steady_clock::now() - waited > std::chrono::seconds(60)) break;
            if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_TRUE(writing) << "no temporary appeared";
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << status;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_FALSE(fs::exists(at("graded.exr")));
        expectNoTemporaries();
    }
}

TEST_F(FileSafetyTest, AnOutputThatIsAnInputIsRefusedThroughAnyLink) {
    cli::writeImage(*sampleImage(), at("camera.png").string());
    const std::string original = readAll(at("camera.png"));
    fs::create_symlink(at("camera.png"), at("symbolic.png"));
    fs::create_hard_link(at("camera.png"), at("hard.png"));
    fs::create_directories(at("shot"));
    for (int frame = 1; frame <= 3; ++frame)
        fs::copy_file(at("camera.png"), at("shot/a." + std::to_string(frame) + ".png"));
    fs::create_symlink(at("shot/a.3.png"), at("shot/b.03.png"));

    const std::vector<std::vector<std::string>> attempts{
        {"render", at("camera.png").string(), at("camera.png").string()},
        {"render", at("camera.png").string(), at("symbolic.png").string()},
        {"render", at("symbolic.png").string(), at("hard.png").string()},
        {"render", at("shot/a.%d.png").string(), at("shot/a.%d.png").string(), "--frames", "1-3"},
        // Frame 3's output is frame 3's input under another pattern.
        {"render", at("shot/a.%d.png").string(), at("shot/b.%02d.png").string(), "--frames", "1-3"},
    };
    for (const auto& attempt : attempts) {
        const CliRun run = tonemill(attempt);
        EXPECT_NE(run.errors.find("is one of the input files"), std::string::npos) << run.errors;
        EXPECT_FALSE(fs::exists(at("shot/b.01.png"))) << "rendering began before the check";
    }
    EXPECT_EQ(readAll(at("camera.png")), original);
    EXPECT_EQ(readAll(at("shot/a.1.png")), original);
    EXPECT_EQ(readAll(at("shot/a.3.png")), original);
}

std::uint32_t crc32(const std::string& bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string bigEndian(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string chunk(const std::string& type, const std::string& data) {
    return bigEndian(static_cast<std::uint32_t>(data.size())) + type + data + bigEndian(crc32(type + data));
}

long peakChildKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

// AddressSanitizer's shadow memory and quarantine add hundreds of megabytes to any
// process; the bound holds for the program users run.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kPeakKilobytes = 2 * 1024 * 1024;
#else
constexpr long kPeakKilobytes = 500 * 1024;
#endif

TEST_F(FileSafetyTest, MemoryIsAFewBandsWhateverTheFrameClaimsOrHolds) {
    // 11000 x 11000 claimed, with almost no pixel data behind it.
    const std::string header = bigEndian(11000) + bigEndian(11000) + std::string("\x08\x06\x00\x00\x00", 5);
    std::ofstream(at("claims.png"), std::ios::binary) << std::string("\x89PNG\r\n\x1a\n", 8) << chunk("IHDR", header)
                                                      << chunk("IDAT", std::string("\x78\x9c\x63", 3));
    const CliRun claims = tonemill({"render", at("claims.png").string(), at("claims.exr").string()});
    expectOneLine(claims, "cannot read the pixels of '" + at("claims.png").string() + "'");
    EXPECT_FALSE(fs::exists(at("claims.exr")));

    // Whole, this frame's source, output and file buffers would take over 1 GB.
    writeTallFrame(at("tall.png").string(), 1024, 16384);
    const CliRun tall = tonemill({"render", at("tall.png").string(), at("tall.exr").string()});
    ASSERT_EQ(tall.exitCode, 0) << tall.errors;
    EXPECT_LT(peakChildKilobytes(), kPeakKilobytes) << "the render held more than a few bands";
    const cli::ImageReader rendered(at("tall.exr").string());
    EXPECT_EQ(rendered.width(), 1024);
    EXPECT_EQ(rendered.height(), 16384);
    expectNoTemporaries();
}

TEST_F(FileSafetyTest, ASheetOfALargeFrameHoldsAFewBandsOfIt) {
    // Whole, this frame and its file buffer would take over 1 GB; the sheet
    // needs only thumbnails of it.
    writeTallFrame(at("tall.png").string(), 2048, 16384);
    const CliRun sheet = tonemill({"sheet", at("tall.png").string(), at("sheet.png").string(), "--vary", "gain",
                                   "--values", "0.8,1.2", "--threads", "2"});
    ASSERT_EQ(sheet.exitCode, 0) << sheet.errors;
    EXPECT_LT(peakChildKilobytes(), kPeakKilobytes) << "the sheet held more than a few bands of its input";
    EXPECT_TRUE(fs::exists(at("sheet.png")));
}

// Bytes the test process and the children it has waited for have read.
long long bytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value = 0;
    while (io >> name >> value)
        if (name == "rchar:") return value;
    return -1;
}

TEST_F(FileSafetyTest, EachTileIsReadOnceHoweverManyBandsItSpans) {
    // One row of tiles four bands tall: decoded for every band, the file would
    // be read four times over.
    constexpr int kWidth = 4096, kHeight = 1024;
    std::vector<float> pixels(static_cast<size_t>(kWidth) * kHeight * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<float>(i % 1009) / 1009.0f;
    long long bytesRead[2] = {};
    for (const bool tiled : {false, true}) {
        OIIO::ImageSpec layout(kWidth, kHeight, 3, OIIO::TypeDesc::HALF);
        layout.attribute("compression", "none");
        if (tiled) {
            layout.tile_width = 256;
            layout.tile_height = kHeight;
        }
        const std::string path = at(tiled ? "tiled.exr" : "lines.exr").string();
        auto output = OIIO::ImageOutput::create(path);
        ASSERT_TRUE(output && output->open(path, layout) && output->write_image(OIIO::TypeDesc::FLOAT, pixels.data()) &&
                    output->close());
        const long long before = bytesReadSoFar();
        // Kernels built without I/O accounting have no count to compare.
        if (before < 0) GTEST_SKIP() << "this system does not count the bytes a process reads";
        const CliRun run = tonemill({"render", path, path + ".graded.exr"});
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        bytesRead[tiled] = bytesReadSoFar() - before;
    }
    EXPECT_LT(bytesRead[1], bytesRead[0] + static_cast<long long>(fs::file_size(at("tiled.exr"))) / 2)
        << "the tiled file was read more than once";
    expectClose(*cli::readImage(at("tiled.exr.graded.exr").string()),
                *cli::readImage(at("lines.exr.graded.exr").string()), 0.0f);
}

}  // namespace
