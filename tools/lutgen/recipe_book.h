#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/lutgen/colour_space.h"

namespace tonemill::lutgen {

// One section of data/lut_recipes.ini: how one archive entry is computed.
// A section may name another with "base = ..." and inherits every key it does
// not set itself.
class Recipe {
 public:
    Recipe(std::string entryName, std::map<std::string, std::string> values);

    const std::string& entryName() const { return m_entryName; }
    // Every key with its inherited value, "base" resolved away.
    const std::map<std::string, std::string>& values() const { return m_values; }
    bool has(const std::string& key) const;
    const std::string& text(const std::string& key) const;
    std::string text(const std::string& key, const std::string& fallback) const;
    double number(const std::string& key) const;
    double number(const std::string& key, double fallback) const;
    // One value for all channels, or three values.
    Vec3 triple(const std::string& key, const Vec3& fallback) const;
    std::vector<double> numbers(const std::string& key) const;

 private:
    [[noreturn]] void fail(const std::string& key, const std::string& what) const;

    std::string m_entryName;
    std::map<std::string, std::string> m_values;
};

// Reads the recipe file. Sections whose name ends in ".cube" are entries of
// the archive; other sections only serve as bases. Throws std::runtime_error
// naming file and line on malformed input or an unknown base.
std::vector<Recipe> readRecipeBook(const std::string& path);

}  // namespace tonemill::lutgen
