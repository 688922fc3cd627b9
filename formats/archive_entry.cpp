#include "formats/archive_entry.h"

#include <algorithm>

namespace ChromvaleBeta2 {

uint32_t readLittleEndian32(const unsigned char* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

void writeLittleEndian32(uint32_t value, unsigned char* bytes) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

std::optional<DecodedArchiveEntry> decodeArchiveEntry(std::span<const unsigned char, kArchiveEntrySize> bytes) {
    // The name may end on the first byte of the offset field, so the NUL is
    // searched within 257 bytes.
    const auto nameEnd = std::find(bytes.begin(), bytes.begin() + kArchiveNameFieldSize + 1, 0);
    if (nameEnd == bytes.begin() + kArchiveNameFieldSize + 1) {
        return std::nullopt;
    }
    DecodedArchiveEntry decoded;
    decoded.name.assign(bytes.begin(), nameEnd);
    decoded.entry.offset = readLittleEndian32(bytes.data() + kArchiveNameFieldSize);
    decoded.entry.size = readLittleEndian32(bytes.data() + kArchiveNameFieldSize + 4);
    return decoded;
}

bool encodeArchiveEntry(const std::string& name, ArchiveEntry entry,
                        std::span<unsigned char, kArchiveEntrySize> bytes) {
    if (name.size() >= kArchiveNameFieldSize) {
        return false;
    }
    std::fill(bytes.begin(), bytes.end(), 0);
    std::copy(name.begin(), name.end(), bytes.begin());
    writeLittleEndian32(entry.offset, bytes.data() + kArchiveNameFieldSize);
    writeLittleEndian32(entry.size, bytes.data() + kArchiveNameFieldSize + 4);
    return true;
}

}  // namespace ChromvaleBeta2
