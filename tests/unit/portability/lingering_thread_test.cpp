// The thread the check renders on must outlive the library it called into:
// what was registered for it runs only once it is released.

#include "tests/portability/lingering_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace tonemill::portability {
namespace {

std::atomic<bool> threadEnded{false};

struct EndOfThreadMark {
    ~EndOfThreadMark() { threadEnded = true; }
};

TEST(LingeringThread, EndsOnlyWhenReleasedAfterItsJob) {
    threadEnded = false;
    std::thread::id jobThread;
    LingeringThread thread([&] {
        thread_local EndOfThreadMark mark;
        (void)mark;
        jobThread = std::this_thread::get_id();
    });
    thread.waitForJob();
    EXPECT_NE(jobThread, std::this_thread::get_id());
    EXPECT_FALSE(threadEnded) << "the thread ended before it was released";
    thread.release();
    EXPECT_TRUE(threadEnded);
}

TEST(LingeringThread, HandsTheJobsFailureToTheWaiter) {
    LingeringThread thread([] { throw std::runtime_error("case zone-chart: rendering failed"); });
    try {
        thread.waitForJob();
        ADD_FAILURE() << "the failure was lost";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "case zone-chart: rendering failed");
    }
}

}  // namespace
}  // namespace tonemill::portability
