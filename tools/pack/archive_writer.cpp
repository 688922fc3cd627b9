#include "tools/pack/archive_writer.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <limits>
#include <span>
#include <stdexcept>

#include "formats/archive_entry.h"
#include "formats/archive_key.h"
#include "formats/atomic_file.h"

namespace ChromvaleBeta2 {
namespace {

// Readers use body offsets as signed 32-bit file positions.
constexpr uint64_t kMaxArchiveSize = std::numeric_limits<int32_t>::max();

std::vector<unsigned char> readWholeFile(const PackEntry& entry, uint64_t expectedSize) {
    std::ifstream in(entry.source, std::ios::binary);
    std::vector<unsigned char> bytes(expectedSize);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in || in.peek() != std::ifstream::traits_type::eof()) {
        throw std::runtime_error("cannot read " + entry.source.string() + " for entry " + entry.name +
                                 " (missing, unreadable or changed while packing)");
    }
    return bytes;
}

void checkNames(const std::vector<PackEntry>& sorted) {
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (sorted[i].name.size() >= kArchiveNameFieldSize) {
            throw std::runtime_error("entry name longer than " + std::to_string(kArchiveNameFieldSize - 1) +
                                     " bytes: " + sorted[i].name);
        }
        if (sorted[i].name.find('\0') != std::string::npos) {
            throw std::runtime_error("entry name holds a NUL byte: " + sorted[i].name);
        }
        if (i > 0 && sorted[i].name == sorted[i - 1].name) {
            throw std::runtime_error("two files for entry " + sorted[i].name);
        }
    }
}

struct ArchiveIndex {
    std::vector<unsigned char> bytes;  // unscrambled
    std::vector<uint32_t> bodySizes;
};

ArchiveIndex buildIndex(const std::vector<PackEntry>& sorted) {
    ArchiveIndex index;
    index.bytes.resize(sorted.size() * kArchiveEntrySize);
    uint64_t offset = kArchiveLengthFieldSize + index.bytes.size();
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const uint64_t size = std::filesystem::file_size(sorted[i].source);
        if (offset + size > kMaxArchiveSize) {
            throw std::runtime_error("archive would pass 2 GiB at entry " + sorted[i].name);
        }
        const ArchiveEntry entry{static_cast<uint32_t>(offset), static_cast<uint32_t>(size)};
        encodeArchiveEntry(
            sorted[i].name, entry,
            std::span<unsigned char, kArchiveEntrySize>(index.bytes.data() + i * kArchiveEntrySize, kArchiveEntrySize));
        index.bodySizes.push_back(entry.size);
        offset += size;
    }
    return index;
}

}  // namespace

std::vector<PackEntry> collectFolder(const std::filesystem::path& folder) {
    if (!std::filesystem::is_directory(folder)) {
        throw std::runtime_error("not a folder: " + folder.string());
    }
    std::vector<PackEntry> entries;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (item.is_regular_file()) {
            entries.push_back({item.path().lexically_relative(folder).generic_string(), item.path()});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const PackEntry& a, const PackEntry& b) { return a.name < b.name; });
    return entries;
}

void writeArchive(std::vector<PackEntry> entries, const std::filesystem::path& target) {
    std::sort(entries.begin(), entries.end(), [](const PackEntry& a, const PackEntry& b) { return a.name < b.name; });
    checkNames(entries);
    ArchiveIndex index = buildIndex(entries);
    unsigned char lengthField[kArchiveLengthFieldSize];
    writeLittleEndian32(static_cast<uint32_t>(index.bytes.size()), lengthField);
    scrambleArchiveBytes(index.bytes);

    AtomicFile file(target.string());
    if (!file.isOpen()) {
        throw std::runtime_error("cannot create " + target.string());
    }
    file.write(lengthField, sizeof lengthField);
    file.write(index.bytes.data(), index.bytes.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::vector<unsigned char> body = readWholeFile(entries[i], index.bodySizes[i]);
        scrambleArchiveBytes(body);
        file.write(body.data(), body.size());
    }
    std::string error;
    if (!file.commit(error)) {
        throw std::runtime_error("cannot write " + target.string() + ": " + error);
    }
}

}  // namespace ChromvaleBeta2
