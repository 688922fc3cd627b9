#pragma once

#include <string>
#include <string_view>

namespace ChromvaleBeta2 {

// Text as XML and HTML take it in element content and double-quoted
// attributes: &, <, > and " written as entities.
inline std::string escapedMarkup(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace ChromvaleBeta2
