#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace ChromvaleBeta2 {

// On disk an archive is: a 32-bit little-endian index length L, then L
// scrambled index bytes holding floor(L / 264) entries, then the bodies, each
// scrambled on its own from key position 0. An entry is a NUL-terminated name
// in a 256-byte field followed by the body's offset and size, both 32-bit
// little-endian. A 256-byte name is legal only when the offset's first byte
// happens to end it.
inline constexpr std::size_t kArchiveLengthFieldSize = 4;
inline constexpr std::size_t kArchiveEntrySize = 264;
inline constexpr std::size_t kArchiveNameFieldSize = 256;

struct ArchiveEntry {
    uint32_t offset = 0;  // from the start of the archive file
    uint32_t size = 0;    // body length in bytes
};

struct DecodedArchiveEntry {
    std::string name;
    ArchiveEntry entry;
};

// Reads one unscrambled 264-byte entry; empty when the name runs past 256
// bytes, which marks a corrupted index.
std::optional<DecodedArchiveEntry> decodeArchiveEntry(std::span<const unsigned char, kArchiveEntrySize> bytes);

// Writes one unscrambled entry. Fails, writing nothing, unless `name` is
// shorter than the name field so that a NUL ends it.
bool encodeArchiveEntry(const std::string& name, ArchiveEntry entry, std::span<unsigned char, kArchiveEntrySize> bytes);

uint32_t readLittleEndian32(const unsigned char* bytes);
void writeLittleEndian32(uint32_t value, unsigned char* bytes);

}  // namespace ChromvaleBeta2
