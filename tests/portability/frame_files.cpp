#include "tests/portability/frame_files.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace tonemill::portability {
namespace {

static_assert(std::endian::native == std::endian::little, "the files are written in the machine's byte order");

void writeBytes(const std::filesystem::path& path, const char* bytes, size_t size) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes, static_cast<std::streamsize>(size));
        out.close();
        if (out) return;
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

void writeFloats(const std::filesystem::path& path, const std::vector<float>& values) {
    writeBytes(path, reinterpret_cast<const char*>(values.data()), values.size() * sizeof(float));
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    writeBytes(path, text.data(), text.size());
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) throw std::runtime_error("cannot read " + path.string());
    if (!std::filesystem::exists(path)) throw std::runtime_error("cannot read " + path.string() + ": no such file");
    return text;
}

std::vector<float> readFloats(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) throw std::runtime_error("cannot read " + path.string() + ": " + error.message());
    if (size % sizeof(float) != 0)
        throw std::runtime_error(path.string() + " holds " + std::to_string(size) +
                                 " bytes, not a whole number of floats");
    std::vector<float> values(size / sizeof(float));
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(values.data()), static_cast<std::streamsize>(size)))
        throw std::runtime_error("cannot read " + path.string());
    return values;
}

Difference compareFloats(const std::vector<float>& a, const std::vector<float>& b) {
    Difference difference;
    if (a.size() != b.size()) {
        difference.comparable = false;
        return difference;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const bool nanA = std::isnan(a[i]);
        const bool nanB = std::isnan(b[i]);
        double gap = 0.0;
        if (nanA != nanB)
            gap = std::numeric_limits<double>::infinity();
        else if (!nanA)
            gap = a[i] == b[i] ? 0.0 : std::abs(static_cast<double>(a[i]) - static_cast<double>(b[i]));
        if (gap > difference.largest) {
            difference.largest = gap;
            difference.index = i;
        }
    }
    return difference;
}

}  // namespace tonemill::portability
