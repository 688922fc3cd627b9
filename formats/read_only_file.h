#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ChromvaleBeta2 {

// Thin layer over the C runtime's descriptor calls, the same on POSIX and
// Windows. Failures leave the reason in errno.

// Opens a regular file for reading in binary mode, without locking it. Returns
// -1 on failure; a directory or device fails with EISDIR or EINVAL rather than
// blocking or failing later on read.
int openReadOnlyFile(const std::string& path);

// The size of the open file, or nothing when it cannot be queried.
std::optional<uint64_t> sizeOfOpenFile(int file);

// Seeks to `offset` and reads up to `count` bytes, retrying partial reads.
// Returns how many bytes arrived; fewer than `count` means end of file or error.
std::size_t readFileAt(int file, uint64_t offset, unsigned char* buffer, std::size_t count);

void closeFile(int file);

}  // namespace ChromvaleBeta2
