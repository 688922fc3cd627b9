// Opens arbitrary bytes as a LUT archive and extracts every entry it lists,
// plus one name it cannot list. The archive reads through a file descriptor,
// so each input goes through a scratch file of this process.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "formats/lut_archive.h"
#include "tests/fuzz/silence_stdout.h"

namespace {

// Removed when the fuzzer exits.
struct ScratchFile {
    std::string path;
    ~ScratchFile() { std::remove(path.c_str()); }
} scratch;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ChromvaleBeta2::fuzzing::silenceStdout();
    // A file on disk per input costs milliseconds; memory-backed files keep
    // the fuzzer at thousands of inputs a second.
    std::error_code noShm;
    const std::filesystem::path folder =
        std::filesystem::is_directory("/dev/shm", noShm) ? "/dev/shm" : std::filesystem::temp_directory_path();
    scratch.path = (folder / ("tonemill-fuzz-archive-" + std::to_string(getpid()) + ".bin")).string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(scratch.path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::abort();
    }
    ChromvaleBeta2::LutArchive archive;
    if (!archive.open(scratch.path)) {
        return 0;
    }
    std::vector<std::string> names = archive.entryNames();
    names.push_back("not an entry");
    for (const std::string& name : names) {
        std::vector<unsigned char> body;
        if (archive.extract(name, body) && (body.empty() || body.back() != 0)) {
            std::abort();
        }
    }
    return 0;
}
