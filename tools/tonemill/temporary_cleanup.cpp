#include "tools/tonemill/temporary_cleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "tools/tonemill/message_text.h"
#include "tools/tonemill/quiet_standard_error.h"

namespace tonemill::cli {
namespace {

// Read by a signal handler, so plain arrays behind an atomic flag: the handler
// may neither allocate nor lock.
struct Slot {
    std::atomic<bool> inUse{false};
    char temporary[PATH_MAX];
    char target[PATH_MAX];
};

constexpr int kSlots = 8;
Slot slots[kSlots];
std::mutex slotsMutex;  // orders watchers against each other, never taken by the handler

void removeWatched() {
    for (Slot& slot : slots)
        if (slot.inUse.exchange(false, std::memory_order_acquire)) ::unlink(slot.temporary);
}

extern "C" void onTerminatingSignal(int signal) {
    removeWatched();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// What the library printed before it ended the process, when a quieted call
// (see QuietStandardError) held standard error back for it; else nothing.
std::string libraryLastWords() {
    if (realStandardError() == STDERR_FILENO) return {};
    std::string text(512, '\0');
    const ssize_t got = ::pread(STDERR_FILENO, text.data(), text.size(), 0);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return oneLine(text);
}

// Runs after main returns too, when every file has been committed or removed
// already; anything still watched means a library ended the process mid-write.
void onExit() {
    const std::string said = libraryLastWords();
    for (Slot& slot : slots) {
        if (!slot.inUse.load(std::memory_order_acquire)) continue;
        ::dprintf(realStandardError(),
                  "tonemill: an image library ended the process while writing '%s'%s; the file was not changed\n",
                  slot.target, said.empty() ? "" : (" (it said: " + said + ")").c_str());
    }
    removeWatched();
}

void installHandlersOnce() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = onTerminatingSignal;
        sigemptyset(&action.sa_mask);
        // SIGXFSZ comes from a file size limit (ulimit -f) as a write goes past it.
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ}) {
            struct sigaction previous {};
            // A signal the caller chose to ignore (nohup, a batch system) stays ignored.
            if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
            ::sigaction(signal, &action, nullptr);
        }
        std::atexit(onExit);
        return true;
    }();
    (void)installed;
}

}  // namespace

bool watchTemporary(const std::string& temporary, const std::string& target) {
    if (temporary.size() >= PATH_MAX || target.size() >= PATH_MAX) return false;
    installHandlersOnce();
    std::lock_guard<std::mutex> lock(slotsMutex);
    for (Slot& slot : slots) {
        if (slot.inUse.load(std::memory_order_relaxed)) continue;
        std::memcpy(slot.temporary, temporary.c_str(), temporary.size() + 1);
        std::memcpy(slot.target, target.c_str(), target.size() + 1);
        slot.inUse.store(true, std::memory_order_release);
        return true;
    }
    return false;
}

void unwatchTemporary(const std::string& temporary) {
    std::lock_guard<std::mutex> lock(slotsMutex);
    for (Slot& slot : slots)
        if (slot.inUse.load(std::memory_order_relaxed) && temporary == slot.temporary)
            slot.inUse.store(false, std::memory_order_release);
}

}  // namespace tonemill::cli
