#include "plugin/platform/help_opener.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <spawn.h>
#include <sys/wait.h>

#include <mutex>
#include <thread>
#include <vector>

extern char** environ;
#endif

namespace ChromvaleBeta2 {

#ifdef _WIN32

void openHelpPage(const std::string& path) {
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

#else

namespace {

// Waits for opener processes off the host's thread so none is left a zombie.
// The waits are joined when the library unloads, so no thread outlives the
// code it runs.
class OpenerReaper {
 public:
    ~OpenerReaper() {
        for (std::thread& wait : m_waits) wait.join();
    }
    void reap(pid_t child) {
        std::lock_guard lock(m_mutex);
        m_waits.emplace_back([child] {
            int status = 0;
            waitpid(child, &status, 0);
        });
    }

 private:
    std::mutex m_mutex;  // only guards m_waits
    std::vector<std::thread> m_waits;
};

}  // namespace

void openHelpPage(const std::string& path) {
    // An argument vector, never a shell: the bundle path may hold any character.
    std::string program = "xdg-open";
    std::string page = path;
    char* argv[] = {program.data(), page.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) return;
    static OpenerReaper reaper;
    reaper.reap(child);
}

#endif

}  // namespace ChromvaleBeta2
