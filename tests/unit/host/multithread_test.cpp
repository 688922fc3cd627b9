#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ofxMultiThread.h"
#include "suite_access.h"

using namespace tonemill::host;

namespace {

class MultiThreadSuite : public ::testing::Test {
 protected:
    Host host;
    const OfxMultiThreadSuiteV1& suite = fetch<OfxMultiThreadSuiteV1>(host, kOfxMultiThreadSuite);
};

struct Record {
    const OfxMultiThreadSuiteV1* suite = nullptr;
    std::mutex mutex;
    std::vector<int> calls;  // per index
    std::set<std::thread::id> threads;
    bool indexMatches = true;
    bool spawned = true;
    unsigned seenMax = 0;
};

void recordCall(unsigned index, unsigned max, void* arg) {
    auto* r = static_cast<Record*>(arg);
    unsigned reported = 99;
    r->suite->multiThreadIndex(&reported);
    std::lock_guard lock(r->mutex);
    ++r->calls.at(index);
    r->threads.insert(std::this_thread::get_id());
    r->indexMatches = r->indexMatches && reported == index;
    r->spawned = r->spawned && r->suite->multiThreadIsSpawnedThread() == 1;
    r->seenMax = max;
}

TEST_F(MultiThreadSuite, EveryIndexRunsOnceOnItsOwnThread) {
    Record record;
    record.suite = &suite;
    record.calls.assign(6, 0);
    EXPECT_EQ(suite.multiThread(recordCall, 6, &record), kOfxStatOK);
    EXPECT_EQ(record.calls, std::vector<int>(6, 1));
    EXPECT_EQ(record.threads.size(), 6u);
    EXPECT_FALSE(record.threads.count(std::this_thread::get_id()));
    EXPECT_TRUE(record.indexMatches);
    EXPECT_TRUE(record.spawned);
    EXPECT_EQ(record.seenMax, 6u);
    EXPECT_EQ(suite.multiThreadIsSpawnedThread(), 0);
}

TEST_F(MultiThreadSuite, ManyIndicesShareABoundedPoolAndNestedCallsRunInline) {
    Record record;
    record.suite = &suite;
    record.calls.assign(1000, 0);
    EXPECT_EQ(suite.multiThread(recordCall, 1000, &record), kOfxStatOK);
    EXPECT_EQ(record.calls, std::vector<int>(1000, 1));
    EXPECT_LE(record.threads.size(), 256u);

    struct Nest {
        const OfxMultiThreadSuiteV1* suite;
        Record inner;
    } nest{&suite, {}};
    nest.inner.suite = &suite;
    nest.inner.calls.assign(3, 0);
    auto outer = [](unsigned, unsigned, void* arg) {
        auto* n = static_cast<Nest*>(arg);
        n->suite->multiThread(recordCall, 3, &n->inner);
    };
    EXPECT_EQ(suite.multiThread(outer, 2, &nest), kOfxStatOK);
    EXPECT_EQ(nest.inner.calls, std::vector<int>(3, 2));
}

TEST_F(MultiThreadSuite, AThrowingFunctionFailsTheCallButNotTheHost) {
    std::atomic<int> finished{0};
    auto throwing = [](unsigned index, unsigned, void* arg) {
        if (index == 1) throw std::runtime_error("band failed");
        ++*static_cast<std::atomic<int>*>(arg);
    };
    EXPECT_EQ(suite.multiThread(throwing, 4, &finished), kOfxStatFailed);
    EXPECT_EQ(finished.load(), 3);
}

TEST_F(MultiThreadSuite, CpuCountIsConfigurableAndCanBeRefused) {
    host.setCpuCount(3);
    unsigned cpus = 0;
    EXPECT_EQ(suite.multiThreadNumCPUs(&cpus), kOfxStatOK);
    EXPECT_EQ(cpus, 3u);

    Record record;
    record.suite = &suite;
    record.calls.assign(3, 0);
    EXPECT_EQ(suite.multiThread(recordCall, 0, &record), kOfxStatOK);  // 0 threads: one per CPU
    EXPECT_EQ(record.calls, std::vector<int>(3, 1));

    host.faults().failSuiteCall("multiThreadNumCPUs", kOfxStatFailed);
    host.faults().failSuiteCall("multiThread", kOfxStatErrUnsupported);
    EXPECT_EQ(suite.multiThreadNumCPUs(&cpus), kOfxStatFailed);
    EXPECT_EQ(suite.multiThread(recordCall, 3, &record), kOfxStatErrUnsupported);
    EXPECT_EQ(record.calls, std::vector<int>(3, 1));
}

TEST_F(MultiThreadSuite, MutexesCountLocksAndExcludeOtherThreads) {
    OfxMutexHandle mutex = nullptr;
    ASSERT_EQ(suite.mutexCreate(&mutex, 1), kOfxStatOK);
    EXPECT_EQ(suite.mutexTryLock(mutex), kOfxStatOK);  // recursive for its holder
    OfxStatus fromOther = kOfxStatOK;
    std::thread([&] { fromOther = suite.mutexTryLock(mutex); }).join();
    EXPECT_EQ(fromOther, kOfxStatFailed);
    EXPECT_EQ(suite.mutexUnLock(mutex), kOfxStatOK);
    EXPECT_EQ(suite.mutexUnLock(mutex), kOfxStatOK);
    EXPECT_EQ(suite.mutexUnLock(mutex), kOfxStatFailed);
    std::thread([&] {
        fromOther = suite.mutexTryLock(mutex);
        suite.mutexUnLock(mutex);
    }).join();
    EXPECT_EQ(fromOther, kOfxStatOK);
    EXPECT_EQ(suite.mutexDestroy(mutex), kOfxStatOK);
    EXPECT_EQ(suite.mutexLock(nullptr), kOfxStatErrBadHandle);
}

}  // namespace
