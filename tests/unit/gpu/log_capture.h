#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ChromvaleBeta2::testing {

// The diagnostic log lines written since construction.
class LogCapture {
 public:
    LogCapture();
    std::vector<std::string> lines() const;
    // The captured lines joined with '\n', for failure messages.
    std::string text() const;

 private:
    std::uintmax_t start_ = 0;
};

}  // namespace ChromvaleBeta2::testing
