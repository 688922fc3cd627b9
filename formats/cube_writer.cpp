#include "formats/cube_writer.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

#include "formats/console_line.h"
#include "formats/cube_reader.h"

namespace ChromvaleBeta2 {
namespace {

constexpr std::string_view kCubeExtension = ".cube";
constexpr std::size_t kFlushThreshold = 1 << 16;

// Text the reader accepts for every float: no "nan" or "inf" spelled out.
double writableValue(float value) {
    if (std::isnan(value)) {
        return 0.0;
    }
    if (std::isinf(value)) {
        return std::copysign(static_cast<double>(std::numeric_limits<float>::max()), static_cast<double>(value));
    }
    return value;
}

void appendNumber(std::string& text, float value) {
    // Large enough for the largest float in fixed notation with ten decimals.
    char buffer[64];
    // to_chars ignores the process locale, which a host may have set to one
    // with a decimal comma.
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, writableValue(value), std::chars_format::fixed, 10);
    text.append(buffer, written.ptr);
}

std::string temporaryPathBeside(const std::string& target) {
    std::random_device random;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x%08x.tmp", random(), random());
    return target + suffix;
}

class CubeTextFile {
public:
    explicit CubeTextFile(const std::string& path) : m_file(std::fopen(path.c_str(), "w")) {}
    ~CubeTextFile() {
        if (m_file) {
            std::fclose(m_file);
        }
    }
    CubeTextFile(const CubeTextFile&) = delete;
    CubeTextFile& operator=(const CubeTextFile&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    bool write(const std::string& text) { return std::fwrite(text.data(), 1, text.size(), m_file) == text.size(); }
    bool close() {
        std::FILE* file = m_file;
        m_file = nullptr;
        return std::fclose(file) == 0;
    }

private:
    std::FILE* m_file;
};

bool writeLines(CubeTextFile& file, const std::vector<float>& data, uint32_t n) {
    std::string text = "LUT_3D_SIZE " + std::to_string(n) + "\n\n";
    for (std::size_t i = 0; i < data.size(); i += 3) {
        appendNumber(text, data[i]);
        text += ' ';
        appendNumber(text, data[i + 1]);
        text += ' ';
        appendNumber(text, data[i + 2]);
        text += '\n';
        if (text.size() >= kFlushThreshold) {
            if (!file.write(text)) {
                return false;
            }
            text.clear();
        }
    }
    return file.write(text);
}

bool failWrite(const std::string& path, const std::string& temporary, int error) {
    writeConsoleLine("Could not write file " + path + ": " + (error != 0 ? std::strerror(error) : "write error"));
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
}

}  // namespace

bool writeCubeFile(std::string path, std::vector<float> data, uint32_t n) {
    // Held here rather than in the parameter, whose release some ABIs leave
    // to the caller after the call.
    const std::vector<float> points = std::move(data);
    if (!path.ends_with(kCubeExtension)) {
        path += kCubeExtension;
    }
    // Beyond this size the reader would refuse the file, and n^3 * 3 could overflow.
    if (n == 0 || n > kMaxCube3DPoints || points.size() != std::size_t{n} * n * n * 3) {
        writeConsoleLine("Could not write file " + path + ": " + std::to_string(points.size()) +
                         " values do not make a table of " + std::to_string(n) + " points per axis");
        return false;
    }

    const std::string temporary = temporaryPathBeside(path);
    CubeTextFile file(temporary);
    if (!file.isOpen()) {
        writeConsoleLine("Could not open file " + path + " for writing");
        return false;
    }
    errno = 0;
    if (!writeLines(file, points, n)) {
        const int error = errno;
        file.close();
        return failWrite(path, temporary, error);
    }
    if (!file.close()) {
        return failWrite(path, temporary, errno);
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, path, renameError);
    if (renameError) {
        return failWrite(path, temporary, renameError.value());
    }
    return true;
}

}  // namespace ChromvaleBeta2
