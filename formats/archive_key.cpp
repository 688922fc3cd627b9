#include "formats/archive_key.h"

#include <algorithm>
#include <string_view>

namespace ChromvaleBeta2 {
namespace {

// Changing any of these makes every archive built before unreadable.
constexpr std::string_view kKeyGuids[] = {
    "7C3E91A4-52D8-4F0B-A6E1-93B27D5C08F4",
    "E05B6D29-1A7F-4C83-9D42-6F18B0E3A7C5",
    "3A9F0C71-D64E-4B25-8E97-C2051F6AD83B",
    "B81D47E6-0C3A-49F2-B5D8-7A6E29C41F03",
};

constexpr std::size_t keyGuidsLength() {
    std::size_t length = 0;
    for (std::string_view guid : kKeyGuids) {
        length += guid.size();
    }
    return length;
}
static_assert(keyGuidsLength() == kArchiveKeyLength, "four GUIDs of 36 characters each");

ArchiveKey buildArchiveKey() {
    ArchiveKey key{};
    auto out = key.begin();
    for (std::string_view guid : kKeyGuids) {
        out = std::copy(guid.begin(), guid.end(), out);
    }
    return key;
}

}  // namespace

const ArchiveKey& archiveKey() {
    static const ArchiveKey key = buildArchiveKey();
    return key;
}

void scrambleArchiveBytes(std::span<unsigned char> bytes, std::size_t keyPosition) {
    const ArchiveKey& key = archiveKey();
    keyPosition %= kArchiveKeyLength;
    for (unsigned char& byte : bytes) {
        byte ^= key[keyPosition];
        if (++keyPosition == kArchiveKeyLength) {
            keyPosition = 0;
        }
    }
}

}  // namespace ChromvaleBeta2
