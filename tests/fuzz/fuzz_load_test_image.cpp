// Feeds arbitrary bytes through the test image loader, from the file on disk
// to the flipped RGBA rows. A load that succeeds must hold exactly one full
// frame; a load that fails must leave the caller's buffer as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "plugin/test_image_store.h"
#include "tests/fuzz/scratch_file.h"

// Most mutations would only break a chunk checksum and stop the decoder at
// once; giving every chunk its right checksum again lets them reach the header
// checks, the decompression and the pixel conversion.
namespace {

// The PNG chunk checksum (CRC-32, reflected, polynomial 0xEDB88320).
uint32_t chunkChecksum(const uint8_t* bytes, size_t count) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    auto be32 = [&](size_t at) {
        return uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 | data[at + 3];
    };
    for (size_t at = 8; at + 12 <= size;) {  // after the signature: length, type, data, checksum
        const uint32_t length = be32(at);
        if (length > size - at - 12) break;
        const uint32_t crc = chunkChecksum(data + at + 4, length + 4);
        for (int i = 0; i < 4; ++i) data[at + 8 + length + i] = uint8_t(crc >> (24 - 8 * i));
        at += 12 + length;
    }
    return size;
}

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
