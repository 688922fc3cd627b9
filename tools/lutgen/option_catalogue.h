#pragma once

#include <string>
#include <vector>

namespace tonemill::lutgen {

// One archive entry that an option of a choice parameter selects.
struct CatalogueEntry {
    std::string entryName;  // folder + file + ".cube"
    bool oneDimensional = false;
    std::string source;  // "file:line" of the option, for messages
};

// Reads data/lut_options.tsv and returns every distinct LUT entry that an
// option can select, in file order. Throws std::runtime_error naming the file
// and line on malformed input.
std::vector<CatalogueEntry> readOptionCatalogue(const std::string& path);

}  // namespace tonemill::lutgen
