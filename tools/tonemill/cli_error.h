#pragma once

#include <stdexcept>
#include <string>

namespace tonemill::cli {

// A failure the user can act on: main prints its text as one line on standard
// error and exits with a non-zero status.
class CliError : public std::runtime_error {
 public:
    explicit CliError(const std::string& message, int exitCode = 1)
        : std::runtime_error(message), exitCode_(exitCode) {}
    int exitCode() const { return exitCode_; }

 private:
    int exitCode_;
};

// The command line was malformed; main adds the usage hint.
class UsageError : public CliError {
 public:
    explicit UsageError(const std::string& message) : CliError(message, 2) {}
};

}  // namespace tonemill::cli
