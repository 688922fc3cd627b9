#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "formats/archive_entry.h"

namespace ChromvaleBeta2 {

// Reader of the bundle's scrambled archive (layout in archive_entry.h). The
// index is read once per open; each extract is one seek and one read of the
// body. Every failure writes one line naming what was wrong to standard
// output and returns false.
class LutArchive {
 public:
    LutArchive();
    ~LutArchive();
    LutArchive(const LutArchive&) = delete;
    LutArchive& operator=(const LutArchive&) = delete;

    // True when the archive at `path` is open and its index loaded. Opening
    // the path already open reads nothing; another path replaces the index.
    bool open(const std::string& path);

    // On success `out` holds the unscrambled body followed by one NUL byte, so
    // that text can be handed on as a C string. On failure `out` is untouched.
    bool extract(const std::string& fileName, std::vector<unsigned char>& out);

    bool isOpen() const;
    // Entry names in byte-wise order.
    std::vector<std::string> entryNames() const;

 private:
    void closeLocked();
    bool failOpen(const std::string& message);

    // The LUT library and the OpenCL back-end extract under different locks of
    // their own; this one keeps their seeks and reads on the shared descriptor
    // apart.
    mutable std::mutex m_ioMutex;
    int m_file = -1;
    uint64_t m_fileSize = 0;
    std::string m_path;
    std::map<std::string, ArchiveEntry> m_index;
};

}  // namespace ChromvaleBeta2
