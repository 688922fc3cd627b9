#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace ChromvaleBeta2::fuzzing {

// A file of this process that each input is written to, for readers that
// insist on a path. It lives in memory where the system allows (a file on
// disk per input costs milliseconds) and is removed when the fuzzer exits.
class ScratchFile {
 public:
    explicit ScratchFile(const std::string& stem) {
        std::error_code noShm;
        const std::filesystem::path folder =
            std::filesystem::is_directory("/dev/shm", noShm) ? "/dev/shm" : std::filesystem::temp_directory_path();
        m_path = (folder / (stem + "-" + std::to_string(getpid()))).string();
    }
    ~ScratchFile() { std::remove(m_path.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return m_path; }

    // Replaces the file's content with the input; a failure here is the
    // harness's, so it stops the run.
    void write(const uint8_t* data, std::size_t size) const {
        std::FILE* file = std::fopen(m_path.c_str(), "wb");
        if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
            std::abort();
        }
    }

 private:
    std::string m_path;
};

}  // namespace ChromvaleBeta2::fuzzing
