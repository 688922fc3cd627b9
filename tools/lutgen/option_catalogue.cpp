#include "tools/lutgen/option_catalogue.h"

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace tonemill::lutgen {

namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

}  // namespace

std::vector<CatalogueEntry> readOptionCatalogue(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read option catalogue " + path);
    std::vector<CatalogueEntry> entries;
    std::set<std::string> seen;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(number);
        const auto fields = splitTabs(line);
        if (fields.size() != 6)
            throw std::runtime_error(where + ": expected 6 tab-separated fields, found " +
                                     std::to_string(fields.size()));
        const std::string& folder = fields[3];
        const std::string& file = fields[4];
        const std::string& kind = fields[5];
        if (kind == "-") {
            if (!folder.empty() || !file.empty())
                throw std::runtime_error(where + ": an option without a LUT names a file");
            continue;
        }
        if (kind != "3D" && kind != "1D")
            throw std::runtime_error(where + ": kind must be 3D, 1D or -, found '" + kind + "'");
        if (folder.empty() || folder.back() != '/' || file.empty())
            throw std::runtime_error(where + ": a LUT option needs a folder ending in '/' and a file");
        CatalogueEntry entry{folder + file + ".cube", kind == "1D", where};
        if (seen.insert(entry.entryName).second) entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace tonemill::lutgen
