#include "tests/unit/formats/formats_test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace ChromvaleBeta2::testing {
namespace {

void scrambleFrom(std::string& bytes, std::size_t first, std::size_t count) {
    const ArchiveKey& key = archiveKey();
    for (std::size_t i = 0; i < count; ++i) {
        bytes[first + i] = static_cast<char>(bytes[first + i] ^ key[i % key.size()]);
    }
}

void appendLittleEndian32(std::string& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
}

}  // namespace

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

RawArchive& RawArchive::entry(const std::string& name, const std::string& body) {
    m_entries.push_back({name, 0, static_cast<uint32_t>(body.size()), body, true});
    return *this;
}

RawArchive& RawArchive::entryAt(const std::string& nameField, uint32_t offset, uint32_t size) {
    m_entries.push_back({nameField, offset, size, {}, false});
    return *this;
}

RawArchive& RawArchive::indexTail(std::string bytes) {
    m_indexTail = std::move(bytes);
    return *this;
}

std::string RawArchive::bytes() const {
    const std::size_t indexLength = m_entries.size() * kArchiveEntrySize + m_indexTail.size();
    std::string index;
    std::string bodies;
    std::size_t nextBody = kArchiveLengthFieldSize + indexLength;
    for (const Entry& item : m_entries) {
        std::string field = item.nameField.substr(0, kArchiveNameFieldSize);
        field.resize(kArchiveNameFieldSize, '\0');
        index += field;
        // A name field of 257 bytes or more spills into the offset, as a
        // damaged index would.
        std::string numbers;
        appendLittleEndian32(numbers, item.placeBody ? static_cast<uint32_t>(nextBody) : item.offset);
        appendLittleEndian32(numbers, item.size);
        for (std::size_t i = kArchiveNameFieldSize; i < item.nameField.size() && i < kArchiveEntrySize; ++i) {
            numbers[i - kArchiveNameFieldSize] = item.nameField[i];
        }
        index += numbers;
        if (item.placeBody) {
            std::string body = item.body;
            scrambleFrom(body, 0, body.size());
            bodies += body;
            nextBody += body.size();
        }
    }
    index += m_indexTail;
    scrambleFrom(index, 0, index.size());
    std::string file;
    appendLittleEndian32(file, static_cast<uint32_t>(indexLength));
    return file + index + bodies;
}

}  // namespace ChromvaleBeta2::testing
