#pragma once

#include <string>

namespace tonemill::cli {

// Holds back what image libraries print on standard error themselves (libpng
// writes "libpng error: ..." lines before it reports the same to its caller),
// so that a failure is told once, in our one line. While one lives, standard
// error goes to a scratch file; captured() returns what was written there.
class QuietStandardError {
 public:
    QuietStandardError();
    ~QuietStandardError();
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

    std::string captured() const;

 private:
    int saved_ = -1;  // the real standard error
    int scratch_ = -1;
};

// A library's error as one line, or what it printed when it gave none.
std::string libraryMessage(const std::string& error, const QuietStandardError& quiet);

// Where standard error really goes, also while a QuietStandardError lives.
int realStandardError();

}  // namespace tonemill::cli
