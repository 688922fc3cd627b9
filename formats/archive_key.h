#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace ChromvaleBeta2 {

// The archive's index and bodies are XORed with this key. It is the text of
// four GUIDs (36 characters each) laid end to end, no separators.
inline constexpr std::size_t kArchiveKeyLength = 144;
using ArchiveKey = std::array<unsigned char, kArchiveKeyLength>;

// Built on first use and kept for the life of the process. The reader and the
// packer both call this, so one definition serves both sides of the format.
const ArchiveKey& archiveKey();

// XORs `bytes` with the key, starting at key position `keyPosition`. The
// operation is its own inverse: the same call scrambles and unscrambles.
void scrambleArchiveBytes(std::span<unsigned char> bytes, std::size_t keyPosition = 0);

}  // namespace ChromvaleBeta2
