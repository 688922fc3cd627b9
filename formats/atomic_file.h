#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace ChromvaleBeta2 {

// A file that appears at its target path only once complete. Writing goes to a
// temporary file beside the target; commit() closes it and renames it over
// the target. Without a successful commit the temporary file is removed and
// any earlier file at the target stays as it was. Bytes go out as given, never
// with line ends translated, so a file is the same on every platform.
class AtomicFile {
 public:
    explicit AtomicFile(std::string target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    bool write(const void* bytes, std::size_t count);
    // False when any write, the close or the rename failed; `error` then says why.
    bool commit(std::string& error);

 private:
    void discard();

    std::string m_target;
    std::string m_temporary;
    std::FILE* m_file = nullptr;
    int m_writeError = 0;  // errno of the first failure
    bool m_committed = false;
};

}  // namespace ChromvaleBeta2
