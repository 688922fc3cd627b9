// Feeds arbitrary text to the one rule for numbers a user types. What either
// parser accepts is written only with signs, digits, a point and an exponent;
// every integer is also a real of the same value; and what the tool would
// print for a value it read reads back as that same value.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/tonemill/numbers.h"

namespace {

bool writtenAsNumber(std::string_view text) {
    return text.find_first_not_of("+-0123456789.eE") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace tonemill::cli;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int64_t> integer = parseInteger(text);
    const std::optional<double> real = parseReal(text);
    if ((integer || real) && !writtenAsNumber(text)) std::abort();
    if (integer) {
        if (!real || *real != static_cast<double>(*integer)) std::abort();
        if (parseInteger(std::to_string(*integer)) != integer) std::abort();
    }
    if (real) {
        if (!std::isfinite(*real)) std::abort();
        char printed[64];
        const auto written = std::to_chars(printed, printed + sizeof printed, *real);
        if (written.ec != std::errc() || parseReal(std::string_view(printed, written.ptr - printed)) != real)
            std::abort();
    }
    return 0;
}
