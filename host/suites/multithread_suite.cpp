#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "host/host.h"
#include "host/suites/guard.h"
#include "host/suites/suites.h"
#include "ofxMultiThread.h"

namespace tonemill::host::suites {
namespace {

// More threads than this at once are served by this many workers taking indices in turn.
constexpr unsigned maxWorkers = 256;

thread_local unsigned threadIndex = 0;
thread_local bool spawnedThread = false;

// Runs one index; false when the function threw.
bool runIndex(OfxThreadFunctionV1* func, unsigned index, unsigned count, void* arg) {
    threadIndex = index;
    // The function must not throw; if it does, the host survives and reports failure.
    try {
        func(index, count, arg);
        return true;
    } catch (...) {
        return false;
    }
}

// Runs the indices still unclaimed; false when any of them threw.
bool runIndices(OfxThreadFunctionV1* func, unsigned count, void* arg, std::atomic<unsigned>& next) {
    bool clean = true;
    for (unsigned i = next.fetch_add(1); i < count; i = next.fetch_add(1))
        clean = runIndex(func, i, count, arg) && clean;
    return clean;
}

OfxStatus multiThread(OfxThreadFunctionV1 func, unsigned int nThreads, void* customArg) {
    if (auto status = planned("multiThread")) return *status;
    Host* host = Host::active();
    if (!host || !func) return kOfxStatErrBadHandle;
    const unsigned count = nThreads == 0 ? host->cpuCount() : nThreads;
    std::atomic<unsigned> next{0};
    std::atomic<bool> clean{true};

    if (spawnedThread) {
        // A nested call from a spawned thread runs its indices in turn on this thread.
        const unsigned outerIndex = threadIndex;
        const bool ok = runIndices(func, count, customArg, next);
        threadIndex = outerIndex;
        return ok ? kOfxStatOK : kOfxStatFailed;
    }

    // Up to maxWorkers, every index gets a thread of its own; beyond, the workers
    // take indices in turn.
    std::vector<std::thread> workers;
    const bool threadPerIndex = count <= maxWorkers;
    if (threadPerIndex) next = count;
    const unsigned wanted = std::min(count, maxWorkers);
    try {
        for (unsigned w = 0; w < wanted; ++w)
            workers.emplace_back([&, w] {
                spawnedThread = true;
                bool ok = threadPerIndex ? runIndex(func, w, count, customArg) : true;
                ok = runIndices(func, count, customArg, next) && ok;
                if (!ok) clean = false;
            });
    } catch (const std::system_error&) {
        // Fewer threads than asked for: this thread runs the indices nobody started.
        spawnedThread = true;
        if (threadPerIndex)
            for (unsigned i = static_cast<unsigned>(workers.size()); i < count; ++i)
                if (!runIndex(func, i, count, customArg)) clean = false;
        if (!runIndices(func, count, customArg, next)) clean = false;
        spawnedThread = false;
        threadIndex = 0;
    }
    for (auto& worker : workers) worker.join();
    return clean ? kOfxStatOK : kOfxStatFailed;
}

OfxStatus multiThreadNumCPUs(unsigned int* nCPUs) {
    if (auto status = planned("multiThreadNumCPUs")) return *status;
    Host* host = Host::active();
    if (!host || !nCPUs) return kOfxStatErrBadHandle;
    *nCPUs = host->cpuCount();
    return kOfxStatOK;
}

OfxStatus multiThreadIndex(unsigned int* index) {
    if (auto status = planned("multiThreadIndex")) return *status;
    if (!index) return kOfxStatErrBadHandle;
    *index = spawnedThread ? threadIndex : 0;
    return kOfxStatOK;
}

int multiThreadIsSpawnedThread() {
    if (auto status = planned("multiThreadIsSpawnedThread")) return *status;
    return spawnedThread ? 1 : 0;
}

// The object behind an OfxMutexHandle: recursive, as the suite's lock counts imply.
struct HostMutex {
    static constexpr unsigned liveTag = 0x4d555458u;  // "MUTX"
    unsigned tag = liveTag;
    std::recursive_mutex mutex;
    std::atomic<int> depth{0};
};

HostMutex* mutexFrom(OfxMutexHandle handle) {
    auto* m = reinterpret_cast<HostMutex*>(handle);
    return m && m->tag == HostMutex::liveTag ? m : nullptr;
}

OfxStatus mutexCreate(OfxMutexHandle* mutex, int lockCount) {
    if (auto status = planned("mutexCreate")) return *status;
    if (!mutex || lockCount < 0) return kOfxStatErrBadHandle;
    return guarded([&] {
        auto* m = new HostMutex;
        for (int i = 0; i < lockCount; ++i) m->mutex.lock();
        m->depth = lockCount;
        *mutex = reinterpret_cast<OfxMutexHandle>(m);
        return kOfxStatOK;
    });
}

OfxStatus mutexDestroy(const OfxMutexHandle mutex) {
    if (auto status = planned("mutexDestroy")) return *status;
    HostMutex* m = mutexFrom(mutex);
    if (!m) return kOfxStatErrBadHandle;
    // Destroying a held mutex is allowed by the suite; the holder must be this thread.
    if (m->depth > 0) {
        if (!m->mutex.try_lock()) return kOfxStatFailed;
        m->mutex.unlock();
        for (int i = m->depth; i > 0; --i) m->mutex.unlock();
    }
    m->tag = 0;
    delete m;
    return kOfxStatOK;
}

OfxStatus mutexLock(const OfxMutexHandle mutex) {
    if (auto status = planned("mutexLock")) return *status;
    HostMutex* m = mutexFrom(mutex);
    if (!m) return kOfxStatErrBadHandle;
    m->mutex.lock();
    ++m->depth;
    return kOfxStatOK;
}

OfxStatus mutexUnLock(const OfxMutexHandle mutex) {
    if (auto status = planned("mutexUnLock")) return *status;
    HostMutex* m = mutexFrom(mutex);
    if (!m) return kOfxStatErrBadHandle;
    if (m->depth <= 0) return kOfxStatFailed;
    --m->depth;
    m->mutex.unlock();
    return kOfxStatOK;
}

OfxStatus mutexTryLock(const OfxMutexHandle mutex) {
    if (auto status = planned("mutexTryLock")) return *status;
    HostMutex* m = mutexFrom(mutex);
    if (!m) return kOfxStatErrBadHandle;
    if (!m->mutex.try_lock()) return kOfxStatFailed;
    ++m->depth;
    return kOfxStatOK;
}

const OfxMultiThreadSuiteV1 table = {
    multiThread, multiThreadNumCPUs, multiThreadIndex, multiThreadIsSpawnedThread, mutexCreate, mutexDestroy,
    mutexLock,   mutexUnLock,        mutexTryLock,
};

}  // namespace

const OfxMultiThreadSuiteV1& multiThreadSuite() {
    return table;
}

}  // namespace tonemill::host::suites
