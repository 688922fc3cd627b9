#include "ofx/support/ofxsMultiThread.h"

#include <atomic>
#include <exception>

#include "ofx/support/ofxsCore.h"

namespace OFX::MultiThread {
namespace {

// What the host's threads share for one multiThread call: the processor, and the first
// exception any of them raised, kept for the calling thread to raise again.
struct ThreadRun {
    explicit ThreadRun(Processor* p) : processor(p) {}
    Processor* processor;
    std::atomic<bool> failed{false};
    std::exception_ptr error;
};

// Called by the host on each of its threads. No exception may cross back into the host,
// so a failing band is recorded and the other bands still run.
void runThread(unsigned int threadIndex, unsigned int threadMax, void* customArg) {
    auto* run = static_cast<ThreadRun*>(customArg);
    try {
        run->processor->multiThreadFunction(threadIndex, threadMax);
    } catch (...) {
        if (!run->failed.exchange(true)) run->error = std::current_exception();
    }
}

const OfxMultiThreadSuiteV1* fetchedSuite() {
    try {
        return &multiThreadSuite();
    } catch (const Exception::HostInadequate&) {
        return nullptr;
    }
}

}  // namespace

unsigned int getNumCPUs() {
    const OfxMultiThreadSuiteV1* suite = fetchedSuite();
    unsigned int count = 1;
    if (suite != nullptr && suite->multiThreadNumCPUs(&count) != kOfxStatOK) count = 1;
    return count;
}

void Processor::multiThread(unsigned int threadCount) {
    if (threadCount == 0) threadCount = getNumCPUs();
    // A host that reports no CPUs still gets its work done, on the calling thread.
    if (threadCount <= 1) {
        multiThreadFunction(0, 1);
        return;
    }
    const OfxMultiThreadSuiteV1* suite = fetchedSuite();
    if (suite == nullptr) throwSuiteStatusException(kOfxStatFailed);

    ThreadRun run(this);
    throwSuiteStatusException(suite->multiThread(&runThread, threadCount, &run));
    if (run.failed) std::rethrow_exception(run.error);
}

}  // namespace OFX::MultiThread
