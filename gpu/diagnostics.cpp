#include "gpu/diagnostics.h"

#include <cstdarg>
#include <cstdio>

namespace ChromvaleBeta2 {
namespace {

std::string formatted(const char* format, std::va_list args) {
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.pop_back();
    return text;
}

}  // namespace

void Diagnostics::note(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    lines_.push_back({false, formatted(format, args)});
    va_end(args);
}

void Diagnostics::error(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    lines_.push_back({true, formatted(format, args)});
    va_end(args);
}

}  // namespace ChromvaleBeta2
