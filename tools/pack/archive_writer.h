#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ChromvaleBeta2 {

// One file to pack: its name inside the archive and where its bytes are now.
struct PackEntry {
    std::string name;
    std::filesystem::path source;
};

// Every regular file below `folder`, named by its path relative to the folder
// with "/" between the parts, in byte-wise name order.
std::vector<PackEntry> collectFolder(const std::filesystem::path& folder);

// Writes the archive at `target`: the index length, the scrambled index in
// name order, then each body scrambled on its own, in the same order. The same
// entries always give the same bytes. The file appears only when complete.
// Throws std::runtime_error naming the entry or file that could not be packed.
void writeArchive(std::vector<PackEntry> entries, const std::filesystem::path& target);

}  // namespace ChromvaleBeta2
