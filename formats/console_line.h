#pragma once

#include <iostream>
#include <string_view>

namespace ChromvaleBeta2 {

// The archive and .cube code report to standard output, one flushed line per
// message, so that a line survives a crash that follows it.
inline void writeConsoleLine(std::string_view text) {
    std::cout << text << std::endl;
}

// The start of a line that the caller completes, typically with the name of
// the entry being read.
inline void writeConsoleLineStart(std::string_view text) {
    std::cout << text << std::flush;
}

}  // namespace ChromvaleBeta2
