#include "tools/tonemill/standard_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/tonemill/cli_error.h"

namespace tonemill::cli {

void holdClosedStandardDescriptors() {
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF) continue;
        // open() returns the lowest free number, which is this one.
        const int held = ::open("/dev/null", O_RDONLY);
        if (held >= 0 && held != descriptor) ::close(held);
    }
}

void flushStandardOutput() {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && !std::ferror(stdout)) return;
    // Reported once: the program that ran the commands module checks again.
    std::clearerr(stdout);
    throw CliError("cannot write to standard output" + (error != 0 ? ": " + std::string(std::strerror(error)) : ""));
}

}  // namespace tonemill::cli
