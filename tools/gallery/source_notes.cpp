#include "tools/gallery/source_notes.h"

#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace tonemill::gallery {
namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> cellsOf(const std::string& row) {
    std::vector<std::string> cells;
    std::stringstream parts(row.substr(1));
    std::string cell;
    while (std::getline(parts, cell, '|')) cells.push_back(trimmed(cell));
    return cells;
}

// "2-CURVES/F1 ... F5" or "2-CURVES/L1, L2": each entry both with its folder
// (which the first names for all) and without, as the 1-IDT table writes them.
std::vector<std::string> entriesOf(const std::string& cell) {
    std::vector<std::string> names;
    std::stringstream list(cell);
    std::string item, folder;
    while (std::getline(list, item, ',')) {
        item = trimmed(item);
        if (const size_t slash = item.rfind('/'); slash != std::string::npos) {
            folder = item.substr(0, slash + 1);
            item = item.substr(slash + 1);
        }
        std::vector<std::string> files{item};
        static const std::regex range(R"((\D*)(\d+) \.\.\. \D*(\d+))");
        if (std::smatch match; std::regex_match(item, match, range)) {
            files.clear();
            for (int n = std::stoi(match[2]); n <= std::stoi(match[3]); ++n)
                files.push_back(match[1].str() + std::to_string(n));
        }
        for (const std::string& file : files) {
            names.push_back(file);
            if (!folder.empty()) names.push_back(folder + file);
        }
    }
    return names;
}

}  // namespace

std::map<std::string, std::string> readSourceNotes(const std::string& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::map<std::string, std::string> notes;
    std::string line;
    bool inEntryTable = false;
    while (std::getline(file, line)) {
        if (!line.starts_with("|")) {
            inEntryTable = false;
            continue;
        }
        const std::vector<std::string> cells = cellsOf(line);
        if (cells.size() < 2) continue;
        if (cells[0] == "Entry") {
            inEntryTable = true;
            continue;
        }
        if (!inEntryTable || cells[0].starts_with("---")) continue;
        std::string note = cells[1];
        if (cells.size() > 2 && !cells[2].empty() && cells[2] != "\u2014") note += "; " + cells[2];
        for (const std::string& entry : entriesOf(cells[0])) notes[entry] = note;
    }
    return notes;
}

}  // namespace tonemill::gallery
