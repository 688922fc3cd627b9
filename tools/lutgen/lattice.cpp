#include "tools/lutgen/lattice.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string_view>

namespace tonemill::lutgen {

Lattice identityLattice(bool oneDimensional, uint32_t size) {
    Lattice lattice{oneDimensional, size, {}};
    const double step = 1.0 / (size - 1);
    if (oneDimensional) {
        lattice.rgb.reserve(size * 3);
        for (uint32_t i = 0; i < size; ++i) lattice.rgb.insert(lattice.rgb.end(), {i * step, i * step, i * step});
        return lattice;
    }
    lattice.rgb.reserve(size_t(size) * size * size * 3);
    for (uint32_t b = 0; b < size; ++b)
        for (uint32_t g = 0; g < size; ++g)
            for (uint32_t r = 0; r < size; ++r) lattice.rgb.insert(lattice.rgb.end(), {r * step, g * step, b * step});
    return lattice;
}

namespace {

// Six decimals: a millionth of the working range is far below anything a
// display or an encoding shows (a 16-bit code is fifteen millionths), and the
// archive's text stays a fifth shorter than with every digit of a float.
void appendValue(std::string& out, double value) {
    if (!std::isfinite(static_cast<float>(value)))
        throw std::runtime_error("value " + std::to_string(value) + " is not a finite float");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    const char* end = result.ptr;
    while (end[-1] == '0') --end;  // the shortest text of the rounded value
    if (end[-1] == '.') --end;
    std::string_view text(buffer, static_cast<size_t>(end - buffer));
    if (text == "-0") text = "0";  // no negative zero
    out.append(text);
}

}  // namespace

std::string cubeText(const Lattice& lattice, const std::string& title) {
    std::string out;
    out.reserve(lattice.rgb.size() * 12 + 256);
    out += "TITLE \"" + title + "\"\n";
    out += lattice.oneDimensional ? "LUT_1D_SIZE " : "LUT_3D_SIZE ";
    out += std::to_string(lattice.size) + "\n";
    out += "DOMAIN_MIN 0 0 0\nDOMAIN_MAX 1 1 1\n\n";
    for (size_t i = 0; i < lattice.rgb.size(); i += 3) {
        try {
            appendValue(out, lattice.rgb[i]);
            out += ' ';
            appendValue(out, lattice.rgb[i + 1]);
            out += ' ';
            appendValue(out, lattice.rgb[i + 2]);
        } catch (const std::runtime_error& e) {
            throw std::runtime_error(title + ", entry " + std::to_string(i / 3) + ": " + e.what());
        }
        out += '\n';
    }
    return out;
}

}  // namespace tonemill::lutgen
