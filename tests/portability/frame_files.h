#pragma once

// What the check writes for each case, in a form every platform reads alike:
// pixels as raw little-endian 32-bit floats, RGBA, rows bottom-up.

#include <filesystem>
#include <string>
#include <vector>

namespace tonemill::portability {

// Writes the whole file or throws std::runtime_error naming it; a failed write
// leaves no file behind.
void writeFloats(const std::filesystem::path& path, const std::vector<float>& values);
void writeText(const std::filesystem::path& path, const std::string& text);

// Throws std::runtime_error naming the file when it is missing, unreadable or
// not a whole number of floats.
std::vector<float> readFloats(const std::filesystem::path& path);
// Throws std::runtime_error naming the file when it is missing or unreadable.
std::string readText(const std::filesystem::path& path);

struct Difference {
    bool comparable = true;  // same number of values
    double largest = 0.0;    // infinite where one side is NaN and the other not
    size_t index = 0;        // where the largest difference is
};

Difference compareFloats(const std::vector<float>& a, const std::vector<float>& b);

}  // namespace tonemill::portability
