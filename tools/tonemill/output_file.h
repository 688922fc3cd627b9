#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tonemill::cli {

// A file that appears at its target only once every byte of it was written:
// writing goes to a hidden temporary beside the target, commit() checks every
// write, flushes to the disk and renames it over the target. Without a commit
// (an error, an exception, a signal) the temporary is removed and an earlier
// file at the target stays byte for byte as it was.
//
// Writes never report failure to their caller: the first one is recorded and
// later ones are dropped, and commit() throws it. Image libraries thus never
// take their own error path (libjpeg's ends the process).
class OutputFile {
 public:
    // Throws CliError naming the target when the temporary cannot be created.
    explicit OutputFile(std::string target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& target() const { return target_; }
    const std::string& temporaryPath() const { return temporary_; }

    // At the end of what was written so far.
    void append(const void* bytes, size_t count);
    // At an offset, as formats that seek back write.
    void writeAt(const void* bytes, size_t count, int64_t offset);
    size_t readAt(void* bytes, size_t count, int64_t offset) const;
    int64_t size() const { return size_; }
    bool failed() const { return failure_ != 0; }

    // Throws CliError naming the target, with the reason, when anything failed.
    void commit();

 private:
    void discard();

    std::string target_;
    std::string temporary_;
    int descriptor_ = -1;
    int failure_ = 0;  // errno of the first failed write
    int64_t size_ = 0;
    bool watched_ = false;
};

// The extension of a path in lower case, with its dot (".exr").
std::string lowercaseExtension(const std::string& path);

}  // namespace tonemill::cli
