#include "tests/portability/lingering_thread.h"

namespace tonemill::portability {

LingeringThread::LingeringThread(std::function<void()> job)
    : thread_([this, job = std::move(job)] {
          std::exception_ptr failure;
          try {
              job();
          } catch (...) {
              failure = std::current_exception();
          }
          std::unique_lock lock(mutex_);
          failure_ = failure;
          jobDone_ = true;
          changed_.notify_all();
          changed_.wait(lock, [this] { return released_; });
      }) {}

LingeringThread::~LingeringThread() {
    release();
}

void LingeringThread::waitForJob() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobDone_; });
    if (failure_) std::rethrow_exception(failure_);
}

void LingeringThread::release() {
    {
        std::lock_guard lock(mutex_);
        released_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

}  // namespace tonemill::portability
