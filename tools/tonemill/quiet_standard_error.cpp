#include "tools/tonemill/quiet_standard_error.h"

#include "tools/tonemill/message_text.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace tonemill::cli {
namespace {

// Read by the exit handler of temporary_cleanup, which may run while a library call is quieted.
std::atomic<int> realDescriptor{STDERR_FILENO};

}  // namespace

int realStandardError() {
    return realDescriptor.load();
}

QuietStandardError::QuietStandardError() {
    std::fflush(stderr);
    scratch_ = ::memfd_create("tonemill-library-messages", MFD_CLOEXEC);
    if (scratch_ < 0) return;  // the messages then show; nothing else depends on it
    saved_ = ::dup(STDERR_FILENO);
    if (saved_ >= 0) realDescriptor.store(saved_);
    if (saved_ < 0 || ::dup2(scratch_, STDERR_FILENO) < 0) {
        realDescriptor.store(STDERR_FILENO);
        if (saved_ >= 0) ::close(saved_);
        saved_ = -1;
    }
}

QuietStandardError::~QuietStandardError() {
    std::fflush(stderr);
    if (saved_ >= 0) {
        ::dup2(saved_, STDERR_FILENO);
        realDescriptor.store(STDERR_FILENO);
        ::close(saved_);
    }
    if (scratch_ >= 0) ::close(scratch_);
}

std::string libraryMessage(const std::string& error, const QuietStandardError& quiet) {
    return oneLine(error.empty() ? quiet.captured() : error);
}

std::string QuietStandardError::captured() const {
    std::fflush(stderr);
    std::string text;
    if (scratch_ < 0) return text;
    char buffer[4096];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(scratch_, buffer, sizeof buffer, offset);
        if (got <= 0 || text.size() > 65536) break;
        text.append(buffer, static_cast<size_t>(got));
        offset += got;
    }
    return text;
}

}  // namespace tonemill::cli
