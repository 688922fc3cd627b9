#include "tools/tonemill/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tonemill::cli {
namespace {

// from_chars takes a '-' but not a '+'.
std::string_view withoutPlus(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    return text;
}

}  // namespace

std::optional<double> parseReal(std::string_view text) {
    text = withoutPlus(text);
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    // A non-zero number that came out as zero or lost precision underflowed.
    if (value != 0.0 && std::fabs(value) < std::numeric_limits<double>::min()) return std::nullopt;
    if (value == 0.0 && text.find_first_of("123456789") < text.find_first_of("eE")) return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    text = withoutPlus(text);
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<double> parseNumber(std::string_view text, bool whole) {
    if (!whole) return parseReal(text);
    const std::optional<std::int64_t> integer = parseInteger(text);
    if (!integer) return std::nullopt;
    return static_cast<double>(*integer);
}

}  // namespace tonemill::cli
