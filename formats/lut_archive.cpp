#include "formats/lut_archive.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include "formats/archive_key.h"
#include "formats/console_line.h"
#include "formats/read_only_file.h"

namespace ChromvaleBeta2 {

LutArchive::LutArchive() {
    archiveKey();
}

LutArchive::~LutArchive() {
    closeLocked();
}

void LutArchive::closeLocked() {
    closeFile(m_file);
    m_file = -1;
    m_fileSize = 0;
    m_path.clear();
    m_index.clear();
}

bool LutArchive::failOpen(const std::string& message) {
    writeConsoleLine(message);
    closeLocked();
    return false;
}

bool LutArchive::open(const std::string& path) {
    std::lock_guard lock(m_ioMutex);
    if (m_file >= 0) {
        if (m_path == path) {
            return true;
        }
        closeLocked();
    }

    m_file = openReadOnlyFile(path);
    const std::optional<uint64_t> fileSize = m_file >= 0 ? sizeOfOpenFile(m_file) : std::nullopt;
    if (!fileSize) {
        return failOpen("Cannot open archive - " + path + ", error: " + std::to_string(errno));
    }
    m_fileSize = *fileSize;

    // A file too short to hold the length field is an empty archive.
    unsigned char lengthField[kArchiveLengthFieldSize] = {};
    uint64_t indexLength = 0;
    if (m_fileSize >= kArchiveLengthFieldSize) {
        if (readFileAt(m_file, 0, lengthField, kArchiveLengthFieldSize) != kArchiveLengthFieldSize) {
            return failOpen("Cannot read archive - " + path + ", error: " + std::to_string(errno));
        }
        indexLength = readLittleEndian32(lengthField);
    }
    // Checked before allocating: a damaged length must not ask for gigabytes.
    if (indexLength > m_fileSize - std::min<uint64_t>(m_fileSize, kArchiveLengthFieldSize)) {
        return failOpen("Archive is corrupted - its index of " + std::to_string(indexLength) +
                        " bytes runs past the end of " + path);
    }

    std::vector<unsigned char> index(indexLength);
    if (readFileAt(m_file, kArchiveLengthFieldSize, index.data(), index.size()) != index.size()) {
        return failOpen("Cannot read archive - " + path + ", error: " + std::to_string(errno));
    }
    scrambleArchiveBytes(index);

    for (std::size_t start = 0; start + kArchiveEntrySize <= index.size(); start += kArchiveEntrySize) {
        const std::optional<DecodedArchiveEntry> decoded = decodeArchiveEntry(
            std::span<const unsigned char, kArchiveEntrySize>(index.data() + start, kArchiveEntrySize));
        if (!decoded) {
            return failOpen("Archive is corrupted");
        }
        // A later entry of the same name replaces the earlier one.
        m_index.insert_or_assign(decoded->name, decoded->entry);
    }
    m_path = path;
    return true;
}

bool LutArchive::extract(const std::string& fileName, std::vector<unsigned char>& out) {
    std::lock_guard lock(m_ioMutex);
    if (m_file < 0) {
        writeConsoleLine("Archive is not opened yet");
        return false;
    }
    const auto found = m_index.find(fileName);
    if (found == m_index.end()) {
        writeConsoleLine("fileName not found " + fileName);
        return false;
    }
    const ArchiveEntry entry = found->second;
    const uint64_t end = uint64_t{entry.offset} + entry.size;
    if (end > m_fileSize) {
        writeConsoleLine("Archive entry " + fileName + " reaches past the end of the archive (offset " +
                         std::to_string(entry.offset) + ", size " + std::to_string(entry.size) + ", archive " +
                         std::to_string(m_fileSize) + " bytes)");
        return false;
    }
    if (uint64_t{entry.size} >= std::numeric_limits<std::size_t>::max()) {
        writeConsoleLine("Archive entry " + fileName + " is too large to extract (" + std::to_string(entry.size) +
                         " bytes)");
        return false;
    }

    std::vector<unsigned char> body(std::size_t{entry.size} + 1);
    const std::size_t got = readFileAt(m_file, entry.offset, body.data(), entry.size);
    if (got != entry.size) {
        writeConsoleLine("Short read of archive entry " + fileName + ": " + std::to_string(got) + " of " +
                         std::to_string(entry.size) + " bytes");
        return false;
    }
    scrambleArchiveBytes(std::span(body.data(), entry.size));
    body.back() = 0;
    out = std::move(body);
    return true;
}

bool LutArchive::isOpen() const {
    std::lock_guard lock(m_ioMutex);
    return m_file >= 0;
}

std::vector<std::string> LutArchive::entryNames() const {
    std::lock_guard lock(m_ioMutex);
    std::vector<std::string> names;
    names.reserve(m_index.size());
    for (const auto& [name, entry] : m_index) {
        names.push_back(name);
    }
    return names;
}

}  // namespace ChromvaleBeta2
