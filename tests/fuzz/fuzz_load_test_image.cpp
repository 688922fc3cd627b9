// Feeds arbitrary bytes through the test image loader, from the file on disk
// to the flipped RGBA rows. A load that succeeds must hold exactly one full
// frame; a load that fails must leave the caller's buffer as it was.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "plugin/test_image_store.h"

namespace {

// Removed when the fuzzer exits.
struct ScratchFile {
    std::string path;
    ~ScratchFile() { std::remove(path.c_str()); }
} scratch;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed files keep the fuzzer fast; the loader insists on a path.
    std::error_code noShm;
    const std::filesystem::path folder =
        std::filesystem::is_directory("/dev/shm", noShm) ? "/dev/shm" : std::filesystem::temp_directory_path();
    scratch.path = (folder / ("tonemill-fuzz-png-" + std::to_string(getpid()) + ".png")).string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(scratch.path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::abort();
    }
    const std::vector<unsigned char> sentinel = {1, 2, 3};
    std::vector<unsigned char> buffer = sentinel;
    if (ChromvaleBeta2::loadTestImage(buffer, scratch.path)) {
        if (buffer.size() != std::size_t(ChromvaleBeta2::kTestImageWidth) * ChromvaleBeta2::kTestImageHeight * 4) {
            std::abort();
        }
    } else if (buffer != sentinel) {
        std::abort();
    }
    return 0;
}
