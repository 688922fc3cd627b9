#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace tonemill::portability {

// A thread that runs one job and then stays alive until released, as a host's
// render thread outlives a plug-in library it has called into: whatever the
// library left registered for that thread runs when it ends.
class LingeringThread {
 public:
    explicit LingeringThread(std::function<void()> job);
    ~LingeringThread();
    LingeringThread(const LingeringThread&) = delete;
    LingeringThread& operator=(const LingeringThread&) = delete;

    // Waits for the job to finish and rethrows what it threw.
    void waitForJob();
    // Lets the thread end and waits until it has.
    void release();

 private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool jobDone_ = false;
    bool released_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: starts once the state above exists
};

}  // namespace tonemill::portability
