#pragma once

#include <cstdlib>
#include <exception>
#include <string_view>

namespace ChromvaleBeta2::fuzzing {

// The command line prints every refusal as one line on standard error, quoting
// what the user gave with its control characters escaped; a raw line break or
// terminal escape from the input would break that line.
inline void requireOneLineMessage(const std::exception& error) {
    const std::string_view message = error.what();
    if (message.empty()) std::abort();
    for (const char c : message)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
}

}  // namespace ChromvaleBeta2::fuzzing
