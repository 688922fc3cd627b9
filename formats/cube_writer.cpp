#include "formats/cube_writer.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "formats/atomic_file.h"
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
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, writableValue(value), std::chars_format::fixed, 10);
    text.append(buffer, written.ptr);
}

}  // namespace

void writeCubeText(const std::vector<float>& data, uint32_t n, const std::function<void(std::string_view)>& write) {
    std::string text = "LUT_3D_SIZE " + std::to_string(n) + "\n\n";
    for (std::size_t i = 0; i < data.size(); i += 3) {
        appendNumber(text, data[i]);
        text += ' ';
        appendNumber(text, data[i + 1]);
        text += ' ';
        appendNumber(text, data[i + 2]);
        text += '\n';
        if (text.size() >= kFlushThreshold) {
            write(text);
            text.clear();
        }
    }
    write(text);
}

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

    AtomicFile file(path);
    if (!file.isOpen()) {
        writeConsoleLine("Could not open file " + path + " for writing");
        return false;
    }
    writeCubeText(points, n, [&file](std::string_view text) { file.write(text.data(), text.size()); });
    std::string error;
    if (!file.commit(error)) {
        writeConsoleLine("Could not write file " + path + ": " + error);
        return false;
    }
    return true;
}

}  // namespace ChromvaleBeta2
