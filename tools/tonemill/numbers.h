#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tonemill::cli {

// The one rule for numbers a user types, on the command line and in look files:
// an optional sign (+ or -), decimal digits, and for reals a fraction and an
// exponent. Nothing else is a number: no spaces, hex, "inf" or "nan", and no
// value too large or too small to hold (1e400 and 1e-400 are both refused).
std::optional<double> parseReal(std::string_view text);
std::optional<std::int64_t> parseInteger(std::string_view text);
// An integer when `whole`, else a real.
std::optional<double> parseNumber(std::string_view text, bool whole);

}  // namespace tonemill::cli
