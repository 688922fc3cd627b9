#pragma once

#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "formats/archive_entry.h"
#include "formats/archive_key.h"

namespace ChromvaleBeta2::testing {

// Collects what the code under test writes to standard output.
class StdoutCapture {
 public:
    StdoutCapture() : m_previous(std::cout.rdbuf(m_text.rdbuf())) {}
    ~StdoutCapture() { std::cout.rdbuf(m_previous); }
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Everything written so far, and starts afresh.
    std::string take() {
        std::string text = m_text.str();
        m_text.str({});
        return text;
    }

 private:
    std::ostringstream m_text;
    std::streambuf* m_previous;
};

// A fresh folder, removed with everything in it at the end of the test.
class ScratchFolder {
 public:
    ScratchFolder() {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() /
                 ("tonemill-formats-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
    std::filesystem::path m_path;
};

void writeBytes(const std::filesystem::path& path, const std::string& bytes);
std::string readBytes(const std::filesystem::path& path);
std::vector<std::string> filesIn(const std::filesystem::path& folder);

// Builds archive bytes by hand, scrambling with its own loop rather than the
// production code, so that a shared mistake in both cannot go unnoticed.
class RawArchive {
 public:
    // Adds an entry; its body is appended after the index unless `offset` is given.
    RawArchive& entry(const std::string& name, const std::string& body);
    RawArchive& entryAt(const std::string& nameField, uint32_t offset, uint32_t size);
    // Extra bytes after the last whole entry, counted in the index length.
    RawArchive& indexTail(std::string bytes);
    std::string bytes() const;

 private:
    struct Entry {
        std::string nameField;
        uint32_t offset;
        uint32_t size;
        std::string body;
        bool placeBody;
    };
    std::vector<Entry> m_entries;
    std::string m_indexTail;
};

}  // namespace ChromvaleBeta2::testing
