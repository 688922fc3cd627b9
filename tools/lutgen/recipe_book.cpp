#include "tools/lutgen/recipe_book.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tonemill::lutgen {

Recipe::Recipe(std::string entryName, std::map<std::string, std::string> values)
    : m_entryName(std::move(entryName)), m_values(std::move(values)) {}

bool Recipe::has(const std::string& key) const {
    return m_values.count(key) != 0;
}

const std::string& Recipe::text(const std::string& key) const {
    const auto it = m_values.find(key);
    if (it == m_values.end()) fail(key, "is missing");
    return it->second;
}

std::string Recipe::text(const std::string& key, const std::string& fallback) const {
    return has(key) ? text(key) : fallback;
}

std::vector<double> Recipe::numbers(const std::string& key) const {
    std::istringstream in(text(key));
    in.imbue(std::locale::classic());
    std::vector<double> out;
    std::string word;
    while (in >> word) {
        char* end = nullptr;
        const double v = std::strtod(word.c_str(), &end);
        if (end == word.c_str() || *end != '\0') fail(key, "holds '" + word + "', which is not a number");
        out.push_back(v);
    }
    if (out.empty()) fail(key, "holds no number");
    return out;
}

double Recipe::number(const std::string& key) const {
    const auto values = numbers(key);
    if (values.size() != 1) fail(key, "must hold one number");
    return values[0];
}

double Recipe::number(const std::string& key, double fallback) const {
    return has(key) ? number(key) : fallback;
}

Vec3 Recipe::triple(const std::string& key, const Vec3& fallback) const {
    if (!has(key)) return fallback;
    const auto v = numbers(key);
    if (v.size() == 1) return {v[0], v[0], v[0]};
    if (v.size() != 3) fail(key, "must hold one or three numbers");
    return {v[0], v[1], v[2]};
}

void Recipe::fail(const std::string& key, const std::string& what) const {
    throw std::runtime_error("recipe [" + m_entryName + "]: key '" + key + "' " + what);
}

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

using Sections = std::map<std::string, std::map<std::string, std::string>>;

std::map<std::string, std::string> resolved(const Sections& sections, const std::string& name, int depth) {
    const auto& own = sections.at(name);
    const auto base = own.find("base");
    if (base == own.end()) return own;
    if (depth > 16 || !sections.count(base->second))
        throw std::runtime_error("recipe [" + name + "]: unknown or circular base '" + base->second + "'");
    auto merged = resolved(sections, base->second, depth + 1);
    for (const auto& [key, value] : own) merged[key] = value;
    merged.erase("base");
    return merged;
}

}  // namespace

std::vector<Recipe> readRecipeBook(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read recipe book " + path);
    Sections sections;
    std::vector<std::string> order;
    std::string current;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string text = trim(line);
        if (text.empty() || text[0] == '#' || text[0] == ';') continue;
        const std::string where = path + ":" + std::to_string(number);
        if (text.front() == '[') {
            if (text.back() != ']') throw std::runtime_error(where + ": section header without ']'");
            current = text.substr(1, text.size() - 2);
            if (sections.count(current)) throw std::runtime_error(where + ": section [" + current + "] appears twice");
            sections[current];
            order.push_back(current);
            continue;
        }
        const auto eq = text.find('=');
        if (eq == std::string::npos || current.empty())
            throw std::runtime_error(where + ": expected 'key = value' inside a section");
        const std::string key = trim(text.substr(0, eq));
        if (sections[current].count(key)) throw std::runtime_error(where + ": key '" + key + "' set twice");
        sections[current][key] = trim(text.substr(eq + 1));
    }
    std::vector<Recipe> recipes;
    for (const auto& name : order)
        if (endsWith(name, ".cube")) recipes.emplace_back(name, resolved(sections, name, 0));
    return recipes;
}

}  // namespace tonemill::lutgen
