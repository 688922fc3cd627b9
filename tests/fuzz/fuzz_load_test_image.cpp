// Feeds arbitrary bytes through the test image loader, from the file on disk
// to the flipped RGBA rows. A load that succeeds must hold exactly one full
// frame; a load that fails must leave the caller's buffer as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "plugin/test_image_store.h"
#include "tests/fuzz/scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The loader insists on a path.
    static const ChromvaleBeta2::fuzzing::ScratchFile scratch("tonemill-fuzz-png");
    scratch.write(data, size);
    const std::vector<unsigned char> sentinel = {1, 2, 3};
    std::vector<unsigned char> buffer = sentinel;
    if (ChromvaleBeta2::loadTestImage(buffer, scratch.path())) {
        if (buffer.size() != std::size_t(ChromvaleBeta2::kTestImageWidth) * ChromvaleBeta2::kTestImageHeight * 4) {
            std::abort();
        }
    } else if (buffer != sentinel) {
        std::abort();
    }
    return 0;
}
